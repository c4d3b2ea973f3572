// The cables read through the refresh pass that fills the window's list.
#include "cables/cable_rows.h"

#include <algorithm>

#include "discovery/device_state.h"
#include "discovery/memory_device_list.h"
#include "discovery/refresh_device_list.h"

namespace uvantic {

std::vector<CableRow> ListCables(const RegistryView& view, const TextComparison& compare) {
  MemoryDeviceList list;
  RefreshDeviceList(list, view);
  std::vector<CableRow> cables;
  for (const std::wstring& key : list.keys()) {
    const MemoryRow* row = list.row(key);
    if (row == nullptr) continue;
    cables.push_back({row->cell(Cell::Text), row->status.value_or(CableStatus::NotPresent), row->cell(Cell::CableId), !row->ghosted,
                      row->icon == kIconDisabled, row->key});
  }
  std::stable_sort(cables.begin(), cables.end(),
                   [&](const CableRow& a, const CableRow& b) { return compare(a.port, b.port) < 0; });
  return cables;
}

std::vector<CableRow> OkCables(std::vector<CableRow> cables) {
  std::erase_if(cables, [](const CableRow& cable) { return cable.status != CableStatus::Ok; });
  return cables;
}

}  // namespace uvantic
