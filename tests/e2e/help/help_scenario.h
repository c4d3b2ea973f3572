// The fixture of the context-help scenarios: the program started on one cable, the
// popup menus it opens found by their window class, the recording hhctrl.ocx put in
// place when a scenario wants to see what help was asked for.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "commands/command_doubles.h"
#include "harness/running_program.h"
#include "harness/user_input.h"
#include "scenarios/program_scenario.h"

namespace uvantic::e2e {

// One call the recording hhctrl.ocx saw.
struct HelpCall {
  UINT command = 0;
  int id = -1;                 // text popups only
  POINT at{-1, -1};            // text popups only
  std::string file;
};
HelpCall ParseHelpCall(const std::string& line);

class HelpScenario : public ProgramScenario {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the program (by default the one under test, beside its help file) with one
  // cable installed and brings its window to the front.
  void Start(const std::wstring& executable = {});

  // Copies the program, and its help file if asked, into a folder of their own;
  // returns the copy's path. Removed again by TearDown.
  std::wstring CopyProgram(bool withHelpFile);
  // Puts a file into the folder of the copy.
  void AddBesideCopy(const std::wstring& from, const wchar_t* name) { copy_->Add(from, name); }

  // Puts the recording hhctrl.ocx into the system directory and makes the program
  // load it instead of Wine's own; undone by TearDown.
  void InstallRecorder() { helpControl_.emplace(L"hhctrl_recorder.dll"); }
  // Makes the program load a native hhctrl.ocx wherever Wine finds one.
  void PreferNativeControl() { preferNative_.emplace(); }
  // Registers the shell recorder for documents and web addresses; undone by TearDown.
  void InstallShellRecorder() { shell_.emplace(); }
  std::vector<HelpCall> HelpCalls() const;
  // Whether the recorder was loaded into the program.
  bool RecorderLoaded() const;
  std::vector<HelpCall> WaitForHelpCalls(std::size_t count) const;

  // The help file the program looks for: beside it, under its own name.
  std::string ProgramHelpFile() const;

  // The program's popup menu, through the harness's input helpers.
  HWND PopupMenu() const { return e2e::PopupMenu(program_->processId()); }
  HWND WaitForPopupMenu() const { return e2e::WaitForPopupMenu(program_->processId()); }
  bool NoPopupMenuAppears() const { return e2e::NoPopupMenuAppears(program_->processId()); }
  void DismissPopupMenu() { e2e::DismissPopupMenu(program_->processId()); }
  void ChooseWhatsThis(HWND popup) { e2e::ChooseWhatsThis(program_->processId(), popup); }
  void OpenPopupAndChoose(HWND control) {
    ASSERT_TRUE(e2e::OpenPopupAndChoose(program_->processId(), control)) << "no popup menu";
  }

  // The program's visible top-level windows other than the main window.
  std::vector<HWND> OtherProgramWindows() const;
  bool Responds() const { return e2e::Responds(window()); }

  POINT ScreenCentre(HWND control) const;

 private:
  RecordFile helpRecord_{L"UVANTIC_HHCTRL_RECORD", L"uvantic-hhctrl-record.txt"};
  std::optional<ProgramCopy> copy_;
  std::optional<NativeHelpControlPreferred> preferNative_;
  std::optional<HelpControlInPlace> helpControl_;
  std::optional<ShellRecorderInPlace> shell_;
};

}  // namespace uvantic::e2e
