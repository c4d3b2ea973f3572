// The start procedure's platform on Windows: a named mutex for the running copy, the
// window found by class and caption, the executable's own path, and the main window
// made by the caller.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/single_instance.h"
#include "startup/executable_path.h"
#include "startup/start_procedure.h"
#include "window/app_help_file.h"

namespace uvantic {

class WinStartPlatform final : public StartPlatform {
 public:
  // title: the application title every copy starts with; windowClass: the class of the
  // main window that carries it as caption. loadAndShow makes and shows the main
  // window, which then lives on beyond the start procedure.
  WinStartPlatform(std::wstring title, std::wstring windowClass, AppHelpFile& helpFile,
                   std::function<bool()> loadAndShow);

  std::optional<bool> AnotherCopyRuns() override;
  std::optional<std::wstring> ApplicationTitle() override { return title_; }
  bool SetApplicationTitle(const std::wstring& title) override;
  bool AppActivate(const std::wstring& title) override;
  std::optional<std::wstring> ExecutableDirectory() override;
  std::optional<std::wstring> ExecutableName() override;
  bool SetHelpFile(const std::wstring& path) override;
  bool LoadAndShowMainWindow() override;

 private:
  const std::optional<ExecutablePathParts>& PathParts();

  std::wstring title_;
  std::wstring windowClass_;
  AppHelpFile& helpFile_;
  std::function<bool()> loadAndShow_;
  // Held until the program ends: while it exists, later copies see this one running.
  std::optional<SingleInstance> singleInstance_;
  std::optional<std::optional<ExecutablePathParts>> pathParts_;
};

}  // namespace uvantic
