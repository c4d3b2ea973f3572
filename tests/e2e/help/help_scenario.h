// The fixture of the context-help scenarios: the program started on one cable, the
// popup menus it opens found by their window class, the recording hhctrl.ocx put in
// place when a scenario wants to see what help was asked for.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "commands/command_doubles.h"
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
  void AddBesideCopy(const std::wstring& from, const wchar_t* name);

  // Puts the recording hhctrl.ocx into the system directory and makes the program
  // load it instead of Wine's own; undone by TearDown.
  void InstallRecorder();
  // The same with another library, from beside this executable, as the control.
  void InstallHelpControl(const wchar_t* library);
  // Makes the program load a native hhctrl.ocx wherever Wine finds one.
  void PreferNativeControl();
  std::vector<HelpCall> HelpCalls() const;
  // Whether the recorder was loaded into the program.
  bool RecorderLoaded() const;
  std::vector<HelpCall> WaitForHelpCalls(std::size_t count) const;

  // The help file the program looks for: beside it, under its own name.
  std::string ProgramHelpFile() const;

  // A visible popup menu of the program, or nullptr.
  HWND PopupMenu() const;
  HWND WaitForPopupMenu() const;
  // Waits long enough for a popup to have appeared; true when none did.
  bool NoPopupMenuAppears() const;
  void DismissPopupMenu();
  // Clicks the popup's only item, "What's This?".
  void ChooseWhatsThis(HWND popup);
  // A right click on the control, then the item.
  void OpenPopupAndChoose(HWND control);

  // A top-level window of the given class that belongs to the program, or nullptr.
  HWND ProgramWindowOfClass(const wchar_t* className) const;
  // The program's visible top-level windows other than the main window.
  std::vector<HWND> OtherProgramWindows() const;
  bool Responds() const;

  POINT ScreenCentre(HWND control) const;

 private:
  RecordFile helpRecord_{L"UVANTIC_HHCTRL_RECORD", L"uvantic-hhctrl-record.txt"};
  std::wstring savedControl_;  // Wine's own hhctrl.ocx while the recorder stands in
  bool overrideSet_ = false;
  std::wstring copyFolder_;
  std::vector<std::wstring> copiedFiles_;
};

}  // namespace uvantic::e2e
