// The sign-in start's decisions, over values read from the registry beforehand.
#include "notifier/sign_in_start.h"

#include <algorithm>
#include <cwctype>

#include "notifier/program_paths.h"

namespace uvantic {
namespace {

// Windows compares paths without regard to case.
bool SamePath(std::wstring_view a, std::wstring_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](wchar_t x, wchar_t y) { return std::towlower(x) == std::towlower(y); });
}

bool UserRunValueNames(const SignInValues& values, std::wstring_view self) {
  return values.userRunValue && SamePath(RunValueProgram(*values.userRunValue), self);
}

}  // namespace

std::wstring RunValueProgram(std::wstring_view data) {
  const std::size_t start = data.find_first_not_of(L' ');
  if (start == std::wstring_view::npos) return {};
  data.remove_prefix(start);
  if (data.front() == L'"') {
    data.remove_prefix(1);
    return std::wstring(data.substr(0, data.find(L'"')));
  }
  return std::wstring(data.substr(0, data.find(L' ')));
}

bool ProgramGone(const ProgramPlace& place) {
  return place.volume == VolumeKind::Fixed && place.file == FileLook::Missing;
}

std::wstring DriveRoot(std::wstring_view path) {
  const bool letter = path.size() >= 3 && std::iswalpha(path[0]) && path[1] == L':' && path[2] == L'\\';
  return letter ? std::wstring(path.substr(0, 3)) : std::wstring();
}

bool HasSignInArgument(std::wstring_view arguments) {
  while (!arguments.empty()) {
    const std::size_t start = arguments.find_first_not_of(L" \t");
    if (start == std::wstring_view::npos) break;
    arguments.remove_prefix(start);
    const std::size_t end = std::min(arguments.find_first_of(L" \t"), arguments.size());
    if (arguments.substr(0, end) == kSignInArgument) return true;
    arguments.remove_prefix(end);
  }
  return false;
}

bool IsInstalledCopy(const SignInValues& values, std::wstring_view self) {
  return values.machineRunValue && SamePath(RunValueProgram(*values.machineRunValue), self);
}

bool StartsAtSignIn(const SignInValues& values, std::wstring_view self) {
  if (IsInstalledCopy(values, self)) return values.chosen || UserRunValueNames(values, self);
  return UserRunValueNames(values, self);
}

SignInChanges FollowAtStart(const SignInValues& values, std::wstring_view self) {
  SignInChanges changes;
  if (!values.userRunValue) return changes;
  const bool gone = ProgramGone(values.userRunProgram);
  if (IsInstalledCopy(values, self)) {
    if (gone || UserRunValueNames(values, self)) {
      changes.chosen = true;
      changes.deleteUserRunValue = true;
    }
  } else if (gone) {
    changes.userRunValue = RunValueData(self);
  }
  return changes;
}

SignInChanges ToggleSignInStart(const SignInValues& values, std::wstring_view self) {
  SignInChanges changes;
  const bool starts = StartsAtSignIn(values, self);
  if (IsInstalledCopy(values, self)) {
    changes.chosen = !starts;
    changes.deleteUserRunValue = starts && UserRunValueNames(values, self);
  } else if (starts) {
    changes.deleteUserRunValue = true;
  } else {
    changes.userRunValue = RunValueData(self);
  }
  return changes;
}

SignInValues Applied(SignInValues values, const SignInChanges& changes, std::wstring_view self) {
  if (changes.deleteUserRunValue) values.userRunValue.reset();
  if (changes.userRunValue) {
    values.userRunValue = changes.userRunValue;
    const bool namesSelf = SamePath(RunValueProgram(*changes.userRunValue), self);
    values.userRunProgram = namesSelf ? ProgramPlace{} : ProgramPlace{VolumeKind::Fixed, FileLook::Missing};
  }
  if (changes.chosen) values.chosen = *changes.chosen;
  return values;
}

}  // namespace uvantic
