// Reads and writes the Run values and the user's choice through the platform layer, and
// finds where the program a user's Run value starts stands.
#include "notifier/win_sign_in.h"

#include <windows.h>

#include "platform/executable_file.h"
#include "platform/run_at_sign_in.h"

namespace uvantic {
namespace {

VolumeKind KindOfVolume(const std::wstring& path) {
  const std::wstring root = DriveRoot(path);
  if (root.empty()) return path.starts_with(L"\\\\") ? VolumeKind::Network : VolumeKind::Other;
  switch (GetDriveTypeW(root.c_str())) {
    case DRIVE_FIXED: return VolumeKind::Fixed;
    case DRIVE_REMOTE: return VolumeKind::Network;
    case DRIVE_REMOVABLE:
    case DRIVE_CDROM: return VolumeKind::Removable;
    case DRIVE_NO_ROOT_DIR: return VolumeKind::Absent;
  }
  return VolumeKind::Other;
}

// The file is looked for on a fixed drive only, where the answer comes at once.
ProgramPlace PlaceOf(const std::wstring& program) {
  ProgramPlace place{KindOfVolume(program), FileLook::Unknown};
  if (place.volume != VolumeKind::Fixed) return place;
  const DWORD attributes = GetFileAttributesW(program.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    place.file = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileLook::Missing : FileLook::Found;
  } else if (const DWORD error = GetLastError(); error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
    place.file = FileLook::Missing;
  }
  return place;
}

}  // namespace

SignInValues ReadSignInValues(bool lookForProgram) {
  SignInValues values;
  values.machineRunValue = ReadRunValue(RunKey::Machine, kRunValueName);
  values.userRunValue = ReadRunValue(RunKey::User, kRunValueName);
  if (lookForProgram && values.userRunValue) values.userRunProgram = PlaceOf(RunValueProgram(*values.userRunValue));
  values.chosen = ReadSignInChoice();
  return values;
}

bool FollowSignInStart(bool startedAtSignIn) {
  const auto self = ExecutableFilePath();
  if (!self) return !startedAtSignIn;
  const SignInValues values = ReadSignInValues(true);
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
