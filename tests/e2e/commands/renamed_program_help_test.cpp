// A renamed executable looks for the help file under its own new name, beside itself:
// with that file there the help viewer opens; with only the original name's file there
// nothing opens and the program goes on.
#include "help/help_scenario.h"

#include "harness/running_program.h"
#include "harness/test_environment.h"

namespace uvantic::e2e {
namespace {

constexpr wchar_t kFolder[] = L"C:\\Renamed copy";
constexpr wchar_t kRenamed[] = L"C:\\Renamed copy\\Cable Finder.exe";

class RenamedProgramHelp : public HelpScenario {
 protected:
  void SetUp() override {
    HelpScenario::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    CreateDirectoryW(kFolder, nullptr);
    // The prefix outlives one scenario: start from a folder without help files.
    for (const wchar_t* name : {L"\\Cable Finder.chm", L"\\UvanticFinder.chm"}) {
      DeleteFileW((std::wstring(kFolder) + name).c_str());
    }
    ASSERT_TRUE(CopyFileW(Environment().program.c_str(), kRenamed, FALSE));
  }

  void PlaceHelpFileAs(const std::wstring& name) {
    const std::wstring& program = Environment().program;
    const std::wstring built = program.substr(0, program.find_last_of(L'.')) + L".chm";
    ASSERT_TRUE(CopyFileW(built.c_str(), (std::wstring(kFolder) + L"\\" + name).c_str(), FALSE));
  }

  bool ViewerOpens() const {
    return WaitUntil([&] { return ProgramWindowOfClass(L"HH Parent") != nullptr; }, Milliseconds{5000});
  }
};

TEST_F(RenamedProgramHelp, OpensTheHelpFileNamedAfterItself) {
  PlaceHelpFileAs(L"Cable Finder.chm");
  Start(kRenamed);
  OpenPopupAndChoose(controls_.list);
  EXPECT_TRUE(ViewerOpens());
  EXPECT_TRUE(program_->Close());
  program_.reset();
}

TEST_F(RenamedProgramHelp, DoesNotOpenTheOriginalNamesHelpFile) {
  PlaceHelpFileAs(L"UvanticFinder.chm");
  Start(kRenamed);
  OpenPopupAndChoose(controls_.list);
  EXPECT_FALSE(ViewerOpens());
  EXPECT_TRUE(Responds());
}

}  // namespace
}  // namespace uvantic::e2e
