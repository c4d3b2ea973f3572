// The refresh pass: rows for new instances, every row evaluated, uninstalled ones gone.
#include "refresh_device_list.h"

#include "device_state.h"
#include "evaluate_device.h"

namespace uvantic {

namespace {

// Adds a row for every instance under the hardware key. The list refuses keys it
// holds already, so known instances need no lookup first.
void AddNewInstances(DeviceList& list, const RegistryView& view) {
  const auto hardwareKey = view.OpenKey(kHardwareKeyPath);
  if (!hardwareKey) return;
  std::wstring rowKey(kInstancePathPrefix);
  hardwareKey->ForEachSubkeyName([&](const std::optional<std::wstring>& name) {
    if (!name) return;
    rowKey.resize(kInstancePathPrefix.size());
    rowKey += *name;
    list.Add(rowKey);
  });
}

// Writes a cell only when its text changes, so the list redraws only what changed.
// A cell that cannot be read is written.
void UpdateCell(DeviceList& list, RowId row, Cell cell, const std::wstring& text) {
  const auto current = list.CellText(row, cell);
  if (!current || *current != text) list.SetCellText(row, cell, text);
}

// Walks a snapshot of the rows taken before the walk: sorting may move rows and
// rows may go while the walk runs, and neither must make a row evaluated twice.
void EvaluateRows(DeviceList& list, const RegistryView& view) {
  const auto rows = list.Rows();
  if (!rows) return;
  std::wstring instanceKeyPath(kDeviceTreePath);
  for (const RowId row : *rows) {
    const auto rowKey = list.Key(row);
    if (!rowKey) continue;  // gone from the list since the snapshot
    instanceKeyPath.resize(kDeviceTreePath.size());
    instanceKeyPath += *rowKey;
    const auto instanceKey = view.OpenKey(instanceKeyPath);
    if (!instanceKey) {
      list.Remove(row);  // uninstalled; if the removal fails the row stays
      continue;
    }
    const DeviceState state = EvaluateDevice(view, *instanceKey, *rowKey);
    list.SetIcon(row, state.icon);
    list.SetGhosted(row, state.ghosted);
    UpdateCell(list, row, Cell::Text, state.portName);
    UpdateCell(list, row, Cell::Status, state.status);
    UpdateCell(list, row, Cell::CableId, state.cableId);
  }
}

}  // namespace

std::optional<bool> RefreshDeviceList(DeviceList& list, const RegistryView& view) {
  AddNewInstances(list, view);
  EvaluateRows(list, view);
  const auto count = list.Count();
  if (!count) return std::nullopt;
  return *count > 0;
}

}  // namespace uvantic
