// Cable sets with instance names in the form Windows gives the first interface of a
// composite USB device.
#include "demo_cables.h"

#include <cstdio>
#include <string>

namespace uvantic::e2e {

std::vector<Cable> DemoCables() {
  return {
      {L"6&2d3f0b1a&0&0000", L"COM3", CableSetup::Started},
      {L"6&19f0e2a7&0&0000", L"COM4", CableSetup::Started},
      {L"6&5d02b7e4&0&0000", L"COM5", CableSetup::Dropped},
      {L"6&0c44d1b9&0&0000", L"COM7", CableSetup::Unplugged},
      {L"6&3e8a5f12&0&0000", L"COM8", CableSetup::OtherDriver},
      {L"6&27b6c0de&0&0000", L"COM9", CableSetup::Disabled},
  };
}

std::vector<Cable> StartedCables(int count) {
  std::vector<Cable> cables;
  for (int i = 0; i < count; ++i) {
    wchar_t instance[32];
    std::swprintf(instance, std::size(instance), L"6&%08x&0&0000", 0x1f00a000u + static_cast<unsigned>(i));
    cables.push_back({instance, L"COM" + std::to_wstring(3 + i), CableSetup::Started});
  }
  return cables;
}

}  // namespace uvantic::e2e
