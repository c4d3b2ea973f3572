// The menu's tick and what the notifier writes at start and when the item is chosen, for
// a copy from the zip (the user's Run value) and the installed one (the machine's).
#include <gtest/gtest.h>

#include "notifier/sign_in_start.h"

namespace uvantic {
namespace {

const std::wstring kSelf = L"C:\\Tools\\Uvantic\\UvanticNotifier.exe";
const std::wstring kQuotedSelf = L"\"" + kSelf + L"\"";
const std::wstring kInstalledRun = L"\"C:\\Tools\\Uvantic\\UvanticNotifier.exe\" --sign-in";
const std::wstring kOtherInstalledRun = L"\"C:\\Program Files\\Uvantic\\Uvantic Finder\\UvanticNotifier.exe\" --sign-in";
const std::wstring kOther = L"\"D:\\Bench\\UvanticNotifier.exe\"";

SignInChanges Chosen(bool chosen, bool deleteRunValue = false) {
  SignInChanges changes;
  changes.chosen = chosen;
  changes.deleteUserRunValue = deleteRunValue;
  return changes;
}
SignInChanges RunValue(std::wstring data) {
  SignInChanges changes;
  changes.userRunValue = std::move(data);
  return changes;
}

TEST(NotifierSignIn, TheTickFollowsTheValuesAndIsTurnedOverByTheMenu) {
  const struct {
    const char* name;
    SignInValues values;
    bool ticked;               // as read at start
    SignInChanges atStart;     // what the start writes
    bool tickedAfterStart;
  } cases[] = {
      {"zip copy, no value", {{}, {}, false, false}, false, {}, false},
      {"zip copy named by the user's value", {{}, kQuotedSelf, true, false}, true, {}, true},
      {"named in another case", {{}, L"c:\\tools\\UVANTIC\\uvanticnotifier.exe", true, false}, true, {}, true},
      {"value naming a deleted copy is pointed here", {{}, kOther, false, false}, false, RunValue(kQuotedSelf), true},
      {"value naming another copy that is there", {{}, kOther, true, false}, false, {}, false},
      {"the choice counts only for the installed copy", {kOtherInstalledRun, {}, false, true}, false, {}, false},
      {"installed copy, not chosen", {kInstalledRun, {}, false, false}, false, {}, false},
      {"installed copy, chosen", {kInstalledRun, {}, false, true}, true, {}, true},
      {"installed copy takes over a value naming it", {kInstalledRun, kQuotedSelf, true, false}, true,
       Chosen(true, true), true},
      {"installed copy takes over a value naming a deleted copy", {kInstalledRun, kOther, false, false}, false,
       Chosen(true, true), true},
      {"installed copy leaves another copy's value", {kInstalledRun, kOther, true, false}, false, {}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(StartsAtSignIn(c.values, kSelf), c.ticked);
    const SignInChanges atStart = FollowAtStart(c.values, kSelf);
    EXPECT_EQ(atStart, c.atStart);
    const SignInValues started = Applied(c.values, atStart, kSelf);
    EXPECT_EQ(StartsAtSignIn(started, kSelf), c.tickedAfterStart);
    EXPECT_TRUE(FollowAtStart(started, kSelf).empty()) << "a second start writes again";

    // The menu turns the tick over, and back; the installed copy never writes a Run value.
    const SignInChanges toggled = ToggleSignInStart(started, kSelf);
    const SignInValues once = Applied(started, toggled, kSelf);
    EXPECT_EQ(StartsAtSignIn(once, kSelf), !c.tickedAfterStart);
    EXPECT_EQ(StartsAtSignIn(Applied(once, ToggleSignInStart(once, kSelf), kSelf), kSelf), c.tickedAfterStart);
    EXPECT_FALSE(IsInstalledCopy(started, kSelf) && toggled.userRunValue);
  }
}

TEST(NotifierSignIn, ReadsTheProgramOfARunValueAndTheSignInArgument) {
  EXPECT_EQ(RunValueProgram(kInstalledRun), kSelf);
  EXPECT_EQ(RunValueProgram(L"  C:\\Uvantic\\UvanticNotifier.exe --sign-in"), L"C:\\Uvantic\\UvanticNotifier.exe");
  EXPECT_EQ(RunValueProgram(L"\"C:\\No end"), L"C:\\No end");
  EXPECT_EQ(RunValueProgram(L""), L"");
  EXPECT_TRUE(HasSignInArgument(L"--sign-in"));
  EXPECT_TRUE(HasSignInArgument(L" --restarted\t--sign-in "));
  EXPECT_FALSE(HasSignInArgument(L""));
  EXPECT_FALSE(HasSignInArgument(L"--sign-inx --sign"));
}

}  // namespace
}  // namespace uvantic
