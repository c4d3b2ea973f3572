// The user's own Run value, which starts a program when that user signs in.
#pragma once

#include <string>

namespace uvantic {

// Under HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run.
bool RunValueExists(const std::wstring& name);
// Writes data as REG_SZ; false when it could not be written.
bool WriteRunValue(const std::wstring& name, const std::wstring& data);
// False when it could not be deleted; a value that was not there counts as deleted.
bool DeleteRunValue(const std::wstring& name);

}  // namespace uvantic
