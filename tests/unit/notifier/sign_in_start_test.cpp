// The menu's tick and what the notifier writes at start and when the item is chosen, for
// a copy from the zip (the user's Run value) and the installed one (the machine's).
#include <gtest/gtest.h>

#include "notifier/sign_in_start.h"

namespace uvantic {
namespace {

const std::wstring kSelf = L"C:\\Tools\\Uvantic\\UvanticNotifier.exe";
const std::wstring kQuotedSelf = L"\"" + kSelf + L"\"";
const std::wstring kInstalled = kQuotedSelf + L" --sign-in";
const std::wstring kOtherInstalled = L"\"C:\\Program Files\\Uvantic\\Uvantic Finder\\UvanticNotifier.exe\" --sign-in";
const std::wstring kOther = L"\"D:\\Bench\\UvanticNotifier.exe\"";

TEST(NotifierSignIn, TheTickFollowsTheValuesAndIsTurnedOverByTheMenu) {
  const struct {
    const char* name;
    SignInValues values;     // machine's value, user's value, its program there, chosen
    bool ticked;             // as read at start
    SignInChanges atStart;   // user's value written, user's value deleted, chosen
    bool tickedAfterStart;
  } cases[] = {
      {"zip copy, no value", {{}, {}, false, false}, false, {}, false},
      {"zip copy named by the user's value", {{}, kQuotedSelf, true, false}, true, {}, true},
      {"named in another case, unquoted", {{}, L"c:\\tools\\UVANTIC\\uvanticnotifier.exe", true, false},
       true, {}, true},
      {"value naming a deleted copy is pointed here", {{}, kOther, false, false},
       false, {kQuotedSelf, false, {}}, true},
      {"value naming another copy that is there", {{}, kOther, true, false}, false, {}, false},
      {"the choice counts only for the installed copy", {kOtherInstalled, {}, false, true}, false, {}, false},
      {"installed copy, not chosen", {kInstalled, {}, false, false}, false, {}, false},
      {"installed copy, chosen", {kInstalled, {}, false, true}, true, {}, true},
      {"installed copy takes over a value naming it", {kInstalled, kQuotedSelf, true, false},
       true, {{}, true, true}, true},
      {"and one naming a deleted copy", {kInstalled, kOther, false, false}, false, {{}, true, true}, true},
      {"installed copy leaves another copy's value", {kInstalled, kOther, true, false}, false, {}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(StartsAtSignIn(c.values, kSelf), c.ticked);
    EXPECT_EQ(FollowAtStart(c.values, kSelf), c.atStart);
    const SignInValues started = Applied(c.values, c.atStart, kSelf);
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

}  // namespace
}  // namespace uvantic
