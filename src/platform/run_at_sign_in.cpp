// The Run values and the user's sign-in choice. The program writes only under
// HKEY_CURRENT_USER: the machine's value needs an administrator, so the installer owns it.
#include "platform/run_at_sign_in.h"

#include <windows.h>

#include "platform/handles.h"

namespace uvantic {
namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kSettingsKey[] = L"Software\\Uvantic\\Uvantic Finder";
constexpr wchar_t kSignInChoice[] = L"StartNotifierAtSignIn";
// A command line is far shorter; more is not a value of ours.
constexpr DWORD kMaxDataBytes = 4096 * sizeof(wchar_t);

UniqueHKey OpenKey(HKEY root, const wchar_t* path, REGSAM access) {
  UniqueHKey key;
  if (RegOpenKeyExW(root, path, 0, access, key.put()) != ERROR_SUCCESS) key.reset();
  return key;
}

UniqueHKey CreateKey(const wchar_t* path) {
  // The keys exist on every Windows, but a new profile may lack them: then they are created.
  UniqueHKey key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr) !=
      ERROR_SUCCESS) {
    key.reset();
  }
  return key;
}

}  // namespace

std::optional<std::wstring> ReadRunValue(RunKey which, const std::wstring& name) {
  const UniqueHKey key = OpenKey(which == RunKey::User ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, kRunKey,
                                 KEY_QUERY_VALUE);
  if (!key) return std::nullopt;
  std::wstring data(kMaxDataBytes / sizeof(wchar_t) + 1, L'\0');
  DWORD bytes = kMaxDataBytes;
  DWORD type = REG_NONE;
  if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &bytes) !=
          ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return std::nullopt;
  }
  // The stored data may or may not end in a zero, and may hold one early.
  data.resize(bytes / sizeof(wchar_t));
  data.resize(data.find(L'\0') == std::wstring::npos ? data.size() : data.find(L'\0'));
  if (type == REG_EXPAND_SZ) {
    // Windows expands the variables of such a value before it runs it.
    std::wstring expanded(kMaxDataBytes / sizeof(wchar_t), L'\0');
    const DWORD length = ExpandEnvironmentStringsW(data.c_str(), expanded.data(), static_cast<DWORD>(expanded.size()));
    if (length == 0 || length > expanded.size()) return std::nullopt;
    expanded.resize(length - 1);
    return expanded;
  }
  return data;
}

bool WriteRunValue(const std::wstring& name, const std::wstring& data) {
  const UniqueHKey key = CreateKey(kRunKey);
  const auto bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
  return key &&
         RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()), bytes) ==
             ERROR_SUCCESS;
}

bool DeleteRunValue(const std::wstring& name) {
  const UniqueHKey key = OpenKey(HKEY_CURRENT_USER, kRunKey, KEY_SET_VALUE);
  if (!key) return true;
  const LSTATUS status = RegDeleteValueW(key.get(), name.c_str());
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool ReadSignInChoice() {
  const UniqueHKey key = OpenKey(HKEY_CURRENT_USER, kSettingsKey, KEY_QUERY_VALUE);
  DWORD chosen = 0;
  DWORD bytes = sizeof(chosen);
  DWORD type = REG_NONE;
  return key &&
         RegQueryValueExW(key.get(), kSignInChoice, nullptr, &type, reinterpret_cast<BYTE*>(&chosen), &bytes) ==
             ERROR_SUCCESS &&
         type == REG_DWORD && chosen == 1;
}

bool WriteSignInChoice(bool chosen) {
  const UniqueHKey key = CreateKey(kSettingsKey);
  const DWORD value = chosen ? 1 : 0;
  return key && RegSetValueExW(key.get(), kSignInChoice, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                               sizeof(value)) == ERROR_SUCCESS;
}

}  // namespace uvantic
