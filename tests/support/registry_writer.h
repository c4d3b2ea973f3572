// The one writer of real registry keys for the tests, the scenario fixtures, the tools
// and the benchmarks that run under Wine. Paths are full, as the registry view takes
// them: "\HKEY_LOCAL_MACHINE\SYSTEM\...".
//
//   RegistryWriter reg;
//   reg.key(instanceKeyPath).value(L"ConfigFlags", 0u)
//       .key(L"Device Parameters").value(L"PortName", L"COM3");
//
// By default every key it created is deleted when it goes; a writer made with
// Keep::Written leaves them, for fixtures that seed a registry for another process.
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
  enum class Keep { Nothing, Written };
  // Keys that live only until Windows restarts, as Windows keeps a started device's
  // "Control" key.
  enum class Life { Stored, Volatile };

  class KeyWriter {
   public:
    // REG_SZ with its terminating zero, as Windows writes text.
    KeyWriter& value(std::wstring_view name, std::wstring_view text);
    // REG_DWORD.
    KeyWriter& value(std::wstring_view name, std::uint32_t number);
    // REG_MULTI_SZ.
    KeyWriter& value(std::wstring_view name, const std::vector<std::wstring>& texts);
    // Any type, with exactly these bytes.
    KeyWriter& raw(std::wstring_view name, DWORD type, const std::vector<BYTE>& data);
    // The subkey at this relative path, created when missing.
    KeyWriter key(std::wstring_view relativePath, Life life = Life::Stored);

    HKEY get() const { return key_.get(); }

   private:
    friend class RegistryWriter;
    KeyWriter(RegistryWriter& owner, UniqueHKey key, std::wstring path)
        : owner_(&owner), key_(std::move(key)), path_(std::move(path)) {}

    RegistryWriter* owner_;
    UniqueHKey key_;
    std::wstring path_;
  };

  explicit RegistryWriter(Keep keep = Keep::Nothing) : keep_(keep) {}
  RegistryWriter(const RegistryWriter&) = delete;
  RegistryWriter& operator=(const RegistryWriter&) = delete;
  ~RegistryWriter();

  // The key at this full path, created with any missing parent.
  KeyWriter key(std::wstring_view path, Life life = Life::Stored);
  // A key that only this security (SDDL) governs; its parents are created as by key().
  // Nothing is opened on it: the security may deny everything but deleting it.
  void guardedKey(std::wstring_view path, const wchar_t* sddl);

  // Deletes the key at this full path with its subtree; false when it did not exist.
  bool remove(std::wstring_view path);
  // Deletes the key itself, which must have no subkeys, with nothing opened on it: for a
  // key that may not be read. False when it did not exist.
  bool removeKey(std::wstring_view path);
  // False when there was no such value.
  bool removeValue(std::wstring_view keyPath, std::wstring_view name);

 private:
  // Creates path component by component below root, remembering the topmost key that
  // did not exist yet so that the destructor deletes exactly what was created.
  UniqueHKey Create(HKEY root, std::wstring_view rootName, std::wstring_view subkey, Life life);

  Keep keep_;
  std::vector<std::wstring> created_;  // full paths, deleted in reverse order
};

// "\HKEY_LOCAL_MACHINE\..." or "\HKEY_CURRENT_USER\...": the root handle and the rest.
struct SplitRegistryPath {
  HKEY root;
  std::wstring_view rootName;
  std::wstring_view subkey;
};
SplitRegistryPath SplitPath(std::wstring_view path);

// The characters' UTF-16 bytes, with no terminator added: for raw() values.
inline std::vector<BYTE> Utf16(std::wstring_view chars) {
  const auto* bytes = reinterpret_cast<const BYTE*>(chars.data());
  return {bytes, bytes + chars.size() * sizeof(wchar_t)};
}

// The text as UTF-8, as uvfind writes it and as messages print it.
std::string Narrow(std::wstring_view text);

}  // namespace uvantic::testing
