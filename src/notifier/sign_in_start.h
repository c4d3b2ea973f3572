// Whether this copy of the notifier starts when the user signs in, and what to write so
// that it does, without Windows. Two ways lead there:
//  - a copy from the portable zip is started by the user's own Run value, which names it;
//  - the installed copy is started for every user by the machine's Run value, which the
//    installer writes and removes, with kSignInArgument; it then ends at once unless the
//    user has chosen it, a choice kept under the user's own key.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace uvantic {

// On the machine's Run value's command line: "started at sign-in".
inline constexpr wchar_t kSignInArgument[] = L"--sign-in";

// Whether the arguments after the program's name hold kSignInArgument.
bool HasSignInArgument(std::wstring_view arguments);

// The kind of volume a program's path lies on.
enum class VolumeKind { Fixed, Network, Removable, Absent, Other };
// What a look for the program found: it, nothing (a readable folder without it, or no
// such folder), or no answer (access denied, or not looked: the volume is not fixed).
enum class FileLook { Found, Missing, Unknown };

// Where the program a user's Run value starts stands.
struct ProgramPlace {
  VolumeKind volume = VolumeKind::Fixed;
  FileLook file = FileLook::Found;
};

// Gone for good only on a fixed local drive whose folder says so: a share or a stick is
// often not there yet at sign-in, and a copy on it is still the user's choice.
bool ProgramGone(const ProgramPlace& place);

// The root of a path's drive letter ("C:\"), whose kind the system is asked; empty for
// any other path.
std::wstring DriveRoot(std::wstring_view path);

// What the registry holds on the matter, as read at one moment.
struct SignInValues {
  std::optional<std::wstring> machineRunValue;  // the data of the machine's Run value
  std::optional<std::wstring> userRunValue;     // the data of the user's own Run value
  ProgramPlace userRunProgram;                  // where the program userRunValue starts stands
  bool chosen = false;                          // the user's choice, for the installed copy
};

// The writes that bring the registry where it should be; an empty one writes nothing.
struct SignInChanges {
  std::optional<std::wstring> userRunValue;  // written as the user's Run value
  bool deleteUserRunValue = false;
  std::optional<bool> chosen;
  bool empty() const { return !userRunValue && !deleteUserRunValue && !chosen; }
  friend bool operator==(const SignInChanges&, const SignInChanges&) = default;
};

// The program a Run value's command line starts: the quoted part, or up to the first space.
std::wstring RunValueProgram(std::wstring_view data);

// Whether the machine's Run value starts the notifier at self, the running copy's path.
bool IsInstalledCopy(const SignInValues& values, std::wstring_view self);

// The menu's tick: this copy starts when the user signs in.
bool StartsAtSignIn(const SignInValues& values, std::wstring_view self);

// At every start: a user's Run value whose program is gone (ProgramGone: the folder was
// moved, or the other build replaced this one) is pointed at this copy. The installed
// copy takes over a user's Run value that names it or a program that is gone as the
// user's choice, and deletes it, so that no user's value is left behind when the
// package is removed.
SignInChanges FollowAtStart(const SignInValues& values, std::wstring_view self);

// The menu item "Start when I sign in" chosen: the tick is turned over.
SignInChanges ToggleSignInStart(const SignInValues& values, std::wstring_view self);

// The values once changes are written.
SignInValues Applied(SignInValues values, const SignInChanges& changes, std::wstring_view self);

}  // namespace uvantic
