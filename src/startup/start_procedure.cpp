// The start procedure, in terms of the platform operations it needs.
#include "startup/start_procedure.h"

namespace uvantic {

std::wstring HelpFilePath(std::wstring_view directory, std::wstring_view name) {
  std::wstring path;
  path.reserve(directory.size() + name.size() + 5);
  path.append(directory).append(L"\\").append(name).append(L".chm");
  return path;
}

namespace {

StartResult ActivateRunningCopy(StartPlatform& platform) {
  const std::wstring savedTitle = platform.ApplicationTitle().value_or(L"");
  // This copy gives up its title first, so the search below can only find the copy
  // that was running before.
  platform.SetApplicationTitle(L"");
  // An empty title would match any window without a caption: it names no window.
  if (!savedTitle.empty()) platform.AppActivate(savedTitle);
  return StartResult::Ended;
}

StartResult StartAsOnlyCopy(StartPlatform& platform) {
  // The help file is registered before the window exists, so context help works from
  // the window's first moment.
  const auto directory = platform.ExecutableDirectory();
  const auto name = platform.ExecutableName();
  if (directory && name) platform.SetHelpFile(HelpFilePath(*directory, *name));
  return platform.LoadAndShowMainWindow() ? StartResult::WindowShown : StartResult::Ended;
}

}  // namespace

StartResult RunStartProcedure(StartPlatform& platform) {
  if (platform.AnotherCopyRuns().value_or(false)) return ActivateRunningCopy(platform);
  return StartAsOnlyCopy(platform);
}

}  // namespace uvantic
