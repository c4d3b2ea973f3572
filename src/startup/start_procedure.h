// The program's start: one running copy at a time, the help file beside the
// executable, then the main window.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace uvantic {

// What the start needs from the platform. Every operation may fail.
class StartPlatform {
 public:
  virtual ~StartPlatform() = default;

  // Whether another copy of the program runs already; nullopt when that cannot be told.
  virtual std::optional<bool> AnotherCopyRuns() = 0;

  // The title under which this copy is known; the running copy is found by it.
  virtual std::optional<std::wstring> ApplicationTitle() = 0;
  virtual bool SetApplicationTitle(const std::wstring& title) = 0;

  // Brings the top-level window carrying this title to the front, without waiting.
  virtual bool AppActivate(const std::wstring& title) = 0;

  // The directory of the running executable, as reported, and its file name without
  // the extension, as started.
  virtual std::optional<std::wstring> ExecutableDirectory() = 0;
  virtual std::optional<std::wstring> ExecutableName() = 0;

  virtual bool SetHelpFile(const std::wstring& path) = 0;

  // Loads the main window and shows it, not modal; false when it could not be shown.
  virtual bool LoadAndShowMainWindow() = 0;
};

enum class StartResult {
  WindowShown,  // the program lives on in the main window's message loop
  Ended,        // the program is to end now, with no window
};

// directory + "\" + name + ".chm", exactly: a directory that ends in a backslash
// already (a drive's root) gives two in a row, and nothing else is normalised either.
std::wstring HelpFilePath(std::wstring_view directory, std::wstring_view name);

// Another copy running: gives up this copy's title, activates the running copy's
// window and ends. Otherwise registers the help file, then shows the main window.
// A step that fails is skipped. When it cannot be told whether another copy runs,
// this copy starts as the only one: ending with nothing on screen would leave the
// user with no program at all.
StartResult RunStartProcedure(StartPlatform& platform);

}  // namespace uvantic
