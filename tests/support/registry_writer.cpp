// Real registry keys for tests, fixtures and benchmarks, written with RegCreateKeyExW
// and RegSetValueExW and deleted again with RegDeleteTreeW.
#include "support/registry_writer.h"

#include <sddl.h>

#include <stdexcept>

namespace uvantic::testing {

std::string Narrow(std::wstring_view text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                       nullptr, nullptr);
  std::string narrow(size > 0 ? size : 0, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), size, nullptr,
                      nullptr);
  return narrow;
}

namespace {

[[noreturn]] void Fail(const char* what, std::wstring_view path, LSTATUS status) {
  throw std::runtime_error(std::string(what) + " " + Narrow(path) + ": error " + std::to_string(status));
}

void SetValue(HKEY key, const std::wstring& path, std::wstring_view name, DWORD type, const void* data,
              DWORD size) {
  const std::wstring valueName(name);
  const LSTATUS status = RegSetValueExW(key, valueName.c_str(), 0, type, static_cast<const BYTE*>(data), size);
  if (status != ERROR_SUCCESS) Fail("cannot set a value of", path + L" : " + valueName, status);
}

}  // namespace

SplitRegistryPath SplitPath(std::wstring_view path) {
  static const struct {
    std::wstring_view name;
    HKEY key;
  } kRoots[] = {{L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE}, {L"HKEY_CURRENT_USER", HKEY_CURRENT_USER}};
  for (const auto& root : kRoots) {
    const std::size_t prefix = root.name.size() + 2;  // "\" root "\"
    if (path.size() > prefix && path[0] == L'\\' && path.substr(1, root.name.size()) == root.name &&
        path[prefix - 1] == L'\\') {
      return {root.key, root.name, path.substr(prefix)};
    }
  }
  throw std::runtime_error("not a writable registry path: " + Narrow(path));
}

RegistryWriter::~RegistryWriter() {
  if (keep_ == Keep::Written) return;
  for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
    const SplitRegistryPath split = SplitPath(*it);
    RegDeleteTreeW(split.root, std::wstring(split.subkey).c_str());
  }
}

RegistryWriter::KeyWriter RegistryWriter::key(std::wstring_view path, Life life) {
  const SplitRegistryPath split = SplitPath(path);
  return KeyWriter(*this, Create(split.root, split.rootName, split.subkey, life), std::wstring(path));
}

void RegistryWriter::guardedKey(std::wstring_view path, const wchar_t* sddl) {
  const std::size_t separator = path.rfind(L'\\');
  const KeyWriter parent = key(path.substr(0, separator));
  SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, FALSE};
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &attributes.lpSecurityDescriptor,
                                                            nullptr)) {
    Fail("cannot describe the security of", path, static_cast<LSTATUS>(GetLastError()));
  }
  UniqueHKey created;
  const std::wstring name(path.substr(separator + 1));
  const LSTATUS status = RegCreateKeyExW(parent.get(), name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, DELETE,
                                         &attributes, created.put(), nullptr);
  LocalFree(attributes.lpSecurityDescriptor);
  if (status != ERROR_SUCCESS) Fail("cannot create", path, status);
}

bool RegistryWriter::remove(std::wstring_view path) {
  const SplitRegistryPath split = SplitPath(path);
  const LSTATUS status = RegDeleteTreeW(split.root, std::wstring(split.subkey).c_str());
  if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) Fail("cannot delete", path, status);
  return status == ERROR_SUCCESS;
}

bool RegistryWriter::removeKey(std::wstring_view path) {
  const SplitRegistryPath split = SplitPath(path);
  const LSTATUS status = RegDeleteKeyW(split.root, std::wstring(split.subkey).c_str());
  if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) Fail("cannot delete", path, status);
  return status == ERROR_SUCCESS;
}

bool RegistryWriter::removeValue(std::wstring_view keyPath, std::wstring_view name) {
  const SplitRegistryPath split = SplitPath(keyPath);
  const LSTATUS status =
      RegDeleteKeyValueW(split.root, std::wstring(split.subkey).c_str(), std::wstring(name).c_str());
  if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
    Fail("cannot delete a value of", std::wstring(keyPath) + L" : " + std::wstring(name), status);
  }
  return status == ERROR_SUCCESS;
}

UniqueHKey RegistryWriter::Create(HKEY root, std::wstring_view rootName, std::wstring_view subkey, Life life) {
  std::wstring path = L"\\" + std::wstring(rootName);
  UniqueHKey current;
  bool recorded = false;
  std::size_t start = 0;
  while (start <= subkey.size()) {
    const std::size_t end = std::min(subkey.find(L'\\', start), subkey.size());
    const std::wstring name(subkey.substr(start, end - start));
    path += L"\\" + name;
    HKEY next = nullptr;
    DWORD disposition = 0;
    const DWORD options = life == Life::Volatile ? REG_OPTION_VOLATILE : REG_OPTION_NON_VOLATILE;
    const LSTATUS status = RegCreateKeyExW(current ? current.get() : root, name.c_str(), 0, nullptr, options,
                                           KEY_ALL_ACCESS, nullptr, &next, &disposition);
    if (status != ERROR_SUCCESS) Fail("cannot create", path, status);
    current.reset(next);
    if (disposition == REG_CREATED_NEW_KEY && !recorded) {
      created_.push_back(path);
      recorded = true;
    }
    start = end + 1;
  }
  return current;
}

RegistryWriter::KeyWriter& RegistryWriter::KeyWriter::value(std::wstring_view name, std::wstring_view text) {
  const std::wstring terminated(text);
  SetValue(key_.get(), path_, name, REG_SZ, terminated.c_str(),
           static_cast<DWORD>((terminated.size() + 1) * sizeof(wchar_t)));
  return *this;
}

RegistryWriter::KeyWriter& RegistryWriter::KeyWriter::value(std::wstring_view name, std::uint32_t number) {
  const DWORD data = number;
  SetValue(key_.get(), path_, name, REG_DWORD, &data, sizeof(data));
  return *this;
}

RegistryWriter::KeyWriter& RegistryWriter::KeyWriter::value(std::wstring_view name,
                                                            const std::vector<std::wstring>& texts) {
  std::wstring data;
  for (const auto& text : texts) data += text + L'\0';
  data += L'\0';
  SetValue(key_.get(), path_, name, REG_MULTI_SZ, data.c_str(), static_cast<DWORD>(data.size() * sizeof(wchar_t)));
  return *this;
}

RegistryWriter::KeyWriter& RegistryWriter::KeyWriter::raw(std::wstring_view name, DWORD type,
                                                          const std::vector<BYTE>& data) {
  // RegSetValueExW looks at the character after text data and stores it too when it is a
  // terminator; a non-zero one after the copy keeps the bytes exactly as given.
  std::vector<BYTE> padded(data);
  padded.insert(padded.end(), {0xff, 0xff});
  SetValue(key_.get(), path_, name, type, padded.data(), static_cast<DWORD>(data.size()));
  return *this;
}

RegistryWriter::KeyWriter RegistryWriter::KeyWriter::key(std::wstring_view relativePath, Life life) {
  return owner_->key(path_ + L"\\" + std::wstring(relativePath), life);
}

}  // namespace uvantic::testing
