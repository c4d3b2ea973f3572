// The start procedure: the order of its steps and what each failing step leads to.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "startup/executable_path.h"
#include "startup/start_procedure.h"

namespace uvantic {
namespace {

// A platform that records every call in order; each operation can be made to fail.
class RecordingPlatform : public StartPlatform {
 public:
  std::optional<bool> anotherCopy = false;
  std::optional<std::wstring> title = L"Uvantic Finder";
  bool titleWritable = true;
  bool activates = true;
  std::optional<std::wstring> directory = L"C:\\Program Files\\Uvantic";
  std::optional<std::wstring> name = L"UvanticFinder";
  bool helpFileSettable = true;
  bool windowShows = true;
  std::vector<std::wstring> calls;

  std::optional<bool> AnotherCopyRuns() override {
    calls.push_back(L"query");
    return anotherCopy;
  }
  std::optional<std::wstring> ApplicationTitle() override {
    calls.push_back(L"read title");
    return title;
  }
  bool SetApplicationTitle(const std::wstring& t) override {
    calls.push_back(L"title=" + t);
    if (titleWritable) title = t;
    return titleWritable;
  }
  bool AppActivate(const std::wstring& t) override {
    calls.push_back(L"activate " + t);
    return activates;
  }
  std::optional<std::wstring> ExecutableDirectory() override {
    calls.push_back(L"directory");
    return directory;
  }
  std::optional<std::wstring> ExecutableName() override {
    calls.push_back(L"name");
    return name;
  }
  bool SetHelpFile(const std::wstring& path) override {
    calls.push_back(L"help " + path);
    return helpFileSettable;
  }
  bool LoadAndShowMainWindow() override {
    calls.push_back(L"show");
    return windowShows;
  }
};

using Calls = std::vector<std::wstring>;

TEST(StartProcedure, OnlyCopySetsTheHelpFileBeforeShowingTheWindow) {
  RecordingPlatform platform;
  EXPECT_EQ(RunStartProcedure(platform), StartResult::WindowShown);
  EXPECT_EQ(platform.calls, (Calls{L"query", L"directory", L"name",
                                   L"help C:\\Program Files\\Uvantic\\UvanticFinder.chm", L"show"}));
}

TEST(StartProcedure, SecondCopyEmptiesItsTitleBeforeActivatingTheFirstAndEnds) {
  RecordingPlatform platform;
  platform.anotherCopy = true;
  EXPECT_EQ(RunStartProcedure(platform), StartResult::Ended);
  EXPECT_EQ(platform.calls,
            (Calls{L"query", L"read title", L"title=", L"activate Uvantic Finder"}));
}

struct FailureCase {
  const char* what;
  void (*fail)(RecordingPlatform&);
  StartResult result;
  Calls calls;
};

TEST(StartProcedure, EachFailingStepIsSkipped) {
  const std::wstring help = L"help C:\\Program Files\\Uvantic\\UvanticFinder.chm";
  const FailureCase cases[] = {
      {"query fails: start as the only copy", [](RecordingPlatform& p) { p.anotherCopy.reset(); },
       StartResult::WindowShown, {L"query", L"directory", L"name", help, L"show"}},
      {"title unreadable: nothing to activate",
       [](RecordingPlatform& p) {
         p.anotherCopy = true;
         p.title.reset();
       },
       StartResult::Ended, {L"query", L"read title", L"title="}},
      {"title cannot be emptied: activate all the same",
       [](RecordingPlatform& p) {
         p.anotherCopy = true;
         p.titleWritable = false;
       },
       StartResult::Ended, {L"query", L"read title", L"title=", L"activate Uvantic Finder"}},
      {"activation fails: end all the same",
       [](RecordingPlatform& p) {
         p.anotherCopy = true;
         p.activates = false;
       },
       StartResult::Ended, {L"query", L"read title", L"title=", L"activate Uvantic Finder"}},
      {"no directory: no help file, window shown",
       [](RecordingPlatform& p) { p.directory.reset(); }, StartResult::WindowShown,
       {L"query", L"directory", L"name", L"show"}},
      {"no name: no help file, window shown", [](RecordingPlatform& p) { p.name.reset(); },
       StartResult::WindowShown, {L"query", L"directory", L"name", L"show"}},
      {"help file refused: window shown", [](RecordingPlatform& p) { p.helpFileSettable = false; },
       StartResult::WindowShown, {L"query", L"directory", L"name", help, L"show"}},
      {"window fails: the program ends", [](RecordingPlatform& p) { p.windowShows = false; },
       StartResult::Ended, {L"query", L"directory", L"name", help, L"show"}},
  };
  for (const auto& c : cases) {
    RecordingPlatform platform;
    c.fail(platform);
    EXPECT_EQ(RunStartProcedure(platform), c.result) << c.what;
    EXPECT_EQ(platform.calls, c.calls) << c.what;
  }
}

TEST(HelpFilePath, JoinsDirectoryNameAndExtensionWithoutNormalising) {
  struct Case {
    std::wstring directory, name, path;
  };
  const Case cases[] = {
      {L"C:\\Tools", L"UvanticFinder", L"C:\\Tools\\UvanticFinder.chm"},
      {L"C:\\", L"UvanticFinder", L"C:\\\\UvanticFinder.chm"},
      {L"D:\\Übersicht\\Кабель", L"Finder Copy", L"D:\\Übersicht\\Кабель\\Finder Copy.chm"},
      {L"\\\\server\\share", L"my.finder", L"\\\\server\\share\\my.finder.chm"},
  };
  for (const auto& c : cases) EXPECT_EQ(HelpFilePath(c.directory, c.name), c.path);
}

TEST(SplitExecutablePath, GivesTheDirectoryAsReportedAndTheNameAsStarted) {
  struct Case {
    std::wstring path;
    std::optional<ExecutablePathParts> parts;
  };
  const Case cases[] = {
      {L"C:\\Tools\\UvanticFinder.exe", ExecutablePathParts{L"C:\\Tools", L"UvanticFinder"}},
      {L"C:\\UvanticFinder.exe", ExecutablePathParts{L"C:\\", L"UvanticFinder"}},
      {L"\\\\?\\C:\\UvanticFinder.exe", ExecutablePathParts{L"\\\\?\\C:\\", L"UvanticFinder"}},
      {L"C:\\Tools\\Copy of finder.EXE", ExecutablePathParts{L"C:\\Tools", L"Copy of finder"}},
      {L"C:\\Tools\\my.finder.exe", ExecutablePathParts{L"C:\\Tools", L"my.finder"}},
      {L"C:\\v1.0\\finder", ExecutablePathParts{L"C:\\v1.0", L"finder"}},
      {L"\\\\server\\share\\finder.exe", ExecutablePathParts{L"\\\\server\\share", L"finder"}},
      {L"finder.exe", std::nullopt},
      {L"C:\\Tools\\", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitExecutablePath(c.path), c.parts);
}

}  // namespace
}  // namespace uvantic
