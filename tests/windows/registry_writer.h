// Writes real registry keys for the tests and benchmarks that run under Wine, and
// deletes every key it created when it goes. Paths are full, as the registry view
// takes them: "\HKEY_LOCAL_MACHINE\SYSTEM\...".
//
//   RegistryWriter reg;
//   reg.key(instanceKeyPath).value(L"ConfigFlags", 0u)
//       .key(L"Device Parameters").value(L"PortName", L"COM3");
//
// A write that fails throws std::runtime_error naming the key: a fixture that was not
// built must not pass for a registry that reads wrongly.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/handles.h"

namespace uvantic::testing {

class RegistryWriter {
 public:
  class KeyWriter {
   public:
    // REG_SZ with its terminating zero, as Windows writes text.
    KeyWriter& value(std::wstring_view name, std::wstring_view text);
    // REG_DWORD.
    KeyWriter& value(std::wstring_view name, std::uint32_t number);
    // Any type, with exactly these bytes.
    KeyWriter& raw(std::wstring_view name, DWORD type, const std::vector<BYTE>& data);
    // The subkey at this relative path, created when missing.
    KeyWriter key(std::wstring_view relativePath);

    HKEY get() const { return key_.get(); }

   private:
    friend class RegistryWriter;
    KeyWriter(RegistryWriter& owner, UniqueHKey key, std::wstring path)
        : owner_(&owner), key_(std::move(key)), path_(std::move(path)) {}

    RegistryWriter* owner_;
    UniqueHKey key_;
    std::wstring path_;
  };

  RegistryWriter() = default;
  RegistryWriter(const RegistryWriter&) = delete;
  RegistryWriter& operator=(const RegistryWriter&) = delete;
  ~RegistryWriter();

  // The key at this full path, created with any missing parent.
  KeyWriter key(std::wstring_view path);

  // Deletes the key at this full path with its subtree; false when it did not exist.
  bool remove(std::wstring_view path);

 private:
  // Creates path component by component below root, remembering the topmost key that
  // did not exist yet so that the destructor deletes exactly what was created.
  UniqueHKey Create(HKEY root, std::wstring_view rootName, std::wstring_view subkey);

  std::vector<std::wstring> created_;  // full paths, deleted in reverse order
};

// "\HKEY_LOCAL_MACHINE\..." or "\HKEY_CURRENT_USER\...": the root handle and the rest.
struct SplitRegistryPath {
  HKEY root;
  std::wstring_view rootName;
  std::wstring_view subkey;
};
SplitRegistryPath SplitPath(std::wstring_view path);

}  // namespace uvantic::testing
