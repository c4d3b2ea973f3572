// Reads and writes the Run values and the user's choice through the platform layer.
#include "notifier/win_sign_in.h"

#include "platform/executable_file.h"
#include "platform/file_exists.h"
#include "platform/run_at_sign_in.h"

namespace uvantic {

SignInValues ReadSignInValues() {
  SignInValues values;
  values.machineRunValue = ReadRunValue(RunKey::Machine, kRunValueName);
  values.userRunValue = ReadRunValue(RunKey::User, kRunValueName);
  values.userRunProgramExists = values.userRunValue && FileExists(RunValueProgram(*values.userRunValue));
  values.chosen = ReadSignInChoice();
  return values;
}

bool FollowSignInStart(bool startedAtSignIn) {
  const auto self = ExecutableFilePath();
  if (!self) return !startedAtSignIn;
  const SignInValues values = ReadSignInValues();
  const SignInChanges changes = FollowAtStart(values, *self);
  WriteSignInChanges(changes);
  return !startedAtSignIn || StartsAtSignIn(Applied(values, changes, *self), *self);
}

bool WriteSignInChanges(const SignInChanges& changes) {
  bool written = true;
  if (changes.deleteUserRunValue) written = DeleteRunValue(kRunValueName) && written;
  if (changes.userRunValue) written = WriteRunValue(kRunValueName, *changes.userRunValue) && written;
  if (changes.chosen) written = WriteSignInChoice(*changes.chosen) && written;
  return written;
}

}  // namespace uvantic
