// The notifier's sign-in start carried out on the registry: the values its decisions
// (sign_in_start.h) read, and the changes they make.
#pragma once

#include "notifier/sign_in_start.h"

namespace uvantic {

// The name of the Run values, the user's and the machine's, that start the notifier.
inline constexpr wchar_t kRunValueName[] = L"Uvantic Finder Notifier";

// With lookForProgram, also where the program the user's Run value starts stands; only
// the start needs it, and the menu does not wait for a drive.
SignInValues ReadSignInValues(bool lookForProgram);

// At start: brings the values in line (FollowAtStart). False when this copy was started at
// sign-in and the user has not chosen it, so that it ends at once.
bool FollowSignInStart(bool startedAtSignIn);
// False when any write failed; the others are made all the same.
bool WriteSignInChanges(const SignInChanges& changes);

}  // namespace uvantic
