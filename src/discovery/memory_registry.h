// An in-memory registry tree behind the RegistryView port: what the discovery logic
// runs against in tests, benchmarks and demonstrations, with one-call failures.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "registry_view.h"

namespace uvantic {

// Paths are full, "\HKEY_LOCAL_MACHINE\SYSTEM\...". Keys and values are looked up
// without regard to letter case, as in the Windows registry: they enumerate in the
// case they were created with, and an opened key's Name() is spelled as it was asked
// for. Subkeys and values enumerate in the order they were created.
//
//   MemoryRegistry reg;
//   reg.key(instancePath).value(L"ConfigFlags", 0u)
//       .key(L"Device Parameters").value(L"PortName", L"COM3");
//   reg.failOpen(driverListPath);
class MemoryRegistry : public RegistryView {
 public:
  struct Node;  // defined where the tree is implemented

  // Builds one key; each call returns the builder so a key reads as one statement.
  class KeyBuilder {
   public:
    // Sets a value; a value of the same name is replaced where it stands.
    KeyBuilder& value(std::wstring_view name, std::wstring_view text);
    KeyBuilder& value(std::wstring_view name, std::uint32_t number);
    KeyBuilder& value(std::wstring_view name, RegistryData data);

    // The subkey at this relative path, created when missing.
    KeyBuilder key(std::wstring_view relativePath) const;

   private:
    friend class MemoryRegistry;
    explicit KeyBuilder(Node& node) : node_(&node) {}
    Node* node_;
  };

  MemoryRegistry();
  ~MemoryRegistry() override;
  MemoryRegistry(const MemoryRegistry&) = delete;
  MemoryRegistry& operator=(const MemoryRegistry&) = delete;

  // The key at this path, created with any missing parent when missing.
  KeyBuilder key(std::wstring_view path);

  // Deletes the key and its subtree. Keys opened on it before fail from then on, as
  // handles on a deleted registry key do. False when there is no such key.
  bool remove(std::wstring_view path);
  bool removeValue(std::wstring_view path, std::wstring_view name);

  // Failures, one call each. Each creates the key when missing; failures go with the
  // key when it is removed.
  void failOpen(std::wstring_view path);  // OpenKey, and OpenSubkey from its parent
  void failValue(std::wstring_view path, std::wstring_view name);  // read and enumerated
  void failName(std::wstring_view path);        // the key's own name
  void failSubkeyName(std::wstring_view path);  // its name as its parent enumerates it
  void failValues(std::wstring_view path);      // enumerating its values
  void failSubkeys(std::wstring_view path);     // enumerating its subkeys

  std::unique_ptr<RegistryKey> OpenKey(std::wstring_view path) const override;

 private:
  Node& Create(std::wstring_view path);

  std::shared_ptr<Node> root_;
};

}  // namespace uvantic
