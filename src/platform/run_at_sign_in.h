// The Run values that start a program when a user signs in, and the user's own choice of
// whether the installed notifier starts then.
#pragma once

#include <optional>
#include <string>

namespace uvantic {

// The user's own, under HKEY_CURRENT_USER, or the machine's, under HKEY_LOCAL_MACHINE,
// which the installer writes for every user: Software\Microsoft\Windows\CurrentVersion\Run.
enum class RunKey { User, Machine };

// The command line a REG_SZ or REG_EXPAND_SZ value runs, its variables expanded; nullopt
// when there is none or it cannot be read.
std::optional<std::wstring> ReadRunValue(RunKey key, const std::wstring& name);
// The user's own value, written as REG_SZ; false when it could not be written.
bool WriteRunValue(const std::wstring& name, const std::wstring& data);
// The user's own value; false when it could not be deleted. A value that was not there
// counts as deleted.
bool DeleteRunValue(const std::wstring& name);

// The user's choice under HKEY_CURRENT_USER\Software\Uvantic\Uvantic Finder, a DWORD
// that is 1 when chosen; false when it is not there or cannot be read.
bool ReadSignInChoice();
bool WriteSignInChoice(bool chosen);

}  // namespace uvantic
