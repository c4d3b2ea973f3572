// The registry view the program runs on: read-only access to the Windows registry
// through the Win32 registry functions.
#pragma once

#include <memory>
#include <string_view>

#include "discovery/registry_view.h"

namespace uvantic {

// Opens keys by full path, "\HKEY_LOCAL_MACHINE\SYSTEM\..." (any predefined root
// spelled out in full, in any letter case). Keys are opened for reading only.
// Text and expandable text values read as text (unexpanded), 32-bit numbers as
// numbers, zero-length data as empty; data of any other type or size, and any value
// of more than 64 KiB, is unreadable. No read throws.
class WinRegistryView final : public RegistryView {
 public:
  std::unique_ptr<RegistryKey> OpenKey(std::wstring_view path) const override;
};

}  // namespace uvantic
