// Cable sets with instance names in the form Windows gives a USB function.
#include "demo_cables.h"

#include <cstdio>
#include <string>

namespace uvantic::e2e {

std::vector<Cable> DemoCables() {
  return {
      {L"7&2A1B3C4D&0&0001", L"COM3", CableSetup::Started},
      {L"7&19F0E2A7&0&0002", L"COM4", CableSetup::Started},
      {L"7&5D02B7E4&0&0006", L"COM5", CableSetup::Dropped},
      {L"7&0C44D1B9&0&0003", L"COM7", CableSetup::Unplugged},
      {L"7&3E8A5F12&0&0004", L"COM8", CableSetup::OtherDriver},
      {L"7&27B6C0DE&0&0005", L"COM9", CableSetup::Disabled},
  };
}

std::vector<Cable> StartedCables(int count) {
  std::vector<Cable> cables;
  for (int i = 0; i < count; ++i) {
    wchar_t instance[32];
    std::swprintf(instance, std::size(instance), L"7&%08X&0&%04d", 0x1F00A000u + static_cast<unsigned>(i), i + 1);
    cables.push_back({instance, L"COM" + std::to_wstring(3 + i), CableSetup::Started});
  }
  return cables;
}

}  // namespace uvantic::e2e
