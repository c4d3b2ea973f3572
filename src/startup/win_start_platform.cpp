// Carries out the start procedure's operations with Win32.
#include "startup/win_start_platform.h"

#include <utility>

#include "platform/executable_file.h"

namespace uvantic {

WinStartPlatform::WinStartPlatform(std::wstring title, std::wstring windowClass, AppHelpFile& helpFile,
                                   std::function<bool()> loadAndShow)
    : title_(std::move(title)),
      windowClass_(std::move(windowClass)),
      helpFile_(helpFile),
      loadAndShow_(std::move(loadAndShow)) {}

std::optional<bool> WinStartPlatform::AnotherCopyRuns() {
  // Named after the title every copy starts with, not after the current one.
  if (!singleInstance_) singleInstance_.emplace(title_);
  return singleInstance_->AnotherCopyRuns();
}

bool WinStartPlatform::SetApplicationTitle(const std::wstring& title) {
  title_ = title;
  return true;
}

bool WinStartPlatform::AppActivate(const std::wstring& title) {
  return ActivateWindowByTitle(windowClass_.empty() ? nullptr : windowClass_.c_str(), title);
}

const std::optional<ExecutablePathParts>& WinStartPlatform::PathParts() {
  if (!pathParts_) {
    const auto path = ExecutableFilePath();
    pathParts_.emplace(path ? SplitExecutablePath(*path) : std::nullopt);
  }
  return *pathParts_;
}

std::optional<std::wstring> WinStartPlatform::ExecutableDirectory() {
  const auto& parts = PathParts();
  if (!parts) return std::nullopt;
  return parts->directory;
}

std::optional<std::wstring> WinStartPlatform::ExecutableName() {
  const auto& parts = PathParts();
  if (!parts) return std::nullopt;
  return parts->name;
}

bool WinStartPlatform::SetHelpFile(const std::wstring& path) {
  helpFile_.Set(path);
  return true;
}

bool WinStartPlatform::LoadAndShowMainWindow() { return loadAndShow_ && loadAndShow_(); }

}  // namespace uvantic
