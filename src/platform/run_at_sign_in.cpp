// The Run value under HKEY_CURRENT_USER: never the machine's, which needs an
// administrator and would start the program for every user.
#include "platform/run_at_sign_in.h"

#include <windows.h>

#include "platform/handles.h"

namespace uvantic {
namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

UniqueHKey OpenRunKey(REGSAM access) {
  UniqueHKey key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, access, key.put()) != ERROR_SUCCESS) key.reset();
  return key;
}

}  // namespace

bool RunValueExists(const std::wstring& name) {
  const UniqueHKey key = OpenRunKey(KEY_QUERY_VALUE);
  return key && RegQueryValueExW(key.get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool WriteRunValue(const std::wstring& name, const std::wstring& data) {
  // The key exists on every Windows, but a new profile may lack it: then it is created.
  UniqueHKey key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr) !=
      ERROR_SUCCESS) {
    key.reset();
    return false;
  }
  const auto bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()), bytes) ==
         ERROR_SUCCESS;
}

bool DeleteRunValue(const std::wstring& name) {
  const UniqueHKey key = OpenRunKey(KEY_SET_VALUE);
  if (!key) return true;
  const LSTATUS status = RegDeleteValueW(key.get(), name.c_str());
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

}  // namespace uvantic
