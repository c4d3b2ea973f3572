// The refresh pass: rows for new instances, every row evaluated, uninstalled ones gone.
#include "refresh_device_list.h"

#include "device_state.h"
#include "evaluate_device.h"
#include "registry_name.h"

namespace uvantic {

namespace {

// Runs one step of the pass. A step that throws (memory running out, or a list or
// view that reports a failure that way) is skipped like any step that fails, so that
// no failure ends the pass.
template <typename Step>
void Try(Step&& step) noexcept {
  try {
    step();
  } catch (...) {
  }
}

// "USB\<hardware key's name>\", the hardware key's name spelled as the registry
// stores it. The driver lists the instances it serves in that spelling and compares
// exactly, so a row keyed in any other spelling would never be found there. Windows
// since Vista writes "VID_2E7A&PID_0200&MI_00", older systems "Vid_2e7a&Pid_0200&Mi_00".
// Enumerating the parent is the one read that returns a key's stored spelling, on
// Windows and elsewhere alike; when it fails, the literal spelling stands in.
std::wstring InstancePathPrefix(const RegistryView& view) {
  std::wstring prefix(kInstancePathPrefix);
  const auto usb = view.OpenKey(kUsbDeviceTreePath);
  if (!usb) return prefix;
  usb->ForEachSubkeyName([&](const std::optional<std::wstring>& name) {
    if (!name || !SameRegistryName(*name, kHardwareId)) return;
    Try([&] { prefix = L"USB\\" + *name + L'\\'; });
  });
  return prefix;
}

// Adds a row for every instance under the hardware key. The list refuses keys it
// holds already, so known instances need no lookup first; a row whose key differs
// from the instance path only in letter case takes the path's spelling.
void AddNewInstances(DeviceList& list, const RegistryView& view) {
  const auto hardwareKey = view.OpenKey(kHardwareKeyPath);
  if (!hardwareKey) return;
  const std::wstring prefix = InstancePathPrefix(view);
  std::wstring rowKey(prefix);
  hardwareKey->ForEachSubkeyName([&](const std::optional<std::wstring>& name) {
    if (!name) return;
    Try([&] {
      rowKey.resize(prefix.size());
      rowKey += *name;
      list.Add(rowKey);
    });
  });
}

// Writes a cell only when its text changes, so the list redraws only what changed.
// A cell that cannot be read is written.
void UpdateCell(DeviceList& list, RowId row, Cell cell, const std::wstring& text) {
  const auto current = list.CellText(row, cell);
  if (!current || *current != text) list.SetCellText(row, cell, text);
}

void UpdateStatus(DeviceList& list, RowId row, CableStatus status) {
  const auto current = list.Status(row);
  if (!current || *current != status) list.SetStatus(row, status);
}

void EvaluateRow(DeviceList& list, const RegistryView& view, RowId row, std::wstring& instanceKeyPath) {
  const auto rowKey = list.Key(row);
  if (!rowKey) return;  // gone from the list since the snapshot
  instanceKeyPath.resize(kDeviceTreePath.size());
  instanceKeyPath += *rowKey;
  const auto instanceKey = view.OpenKey(instanceKeyPath);
  if (!instanceKey) {
    list.Remove(row);  // uninstalled; if the removal fails the row stays
    return;
  }
  const DeviceState state = EvaluateDevice(view, *instanceKey, *rowKey);
  Try([&] { list.SetIcon(row, state.icon); });
  Try([&] { list.SetGhosted(row, state.ghosted); });
  Try([&] { UpdateCell(list, row, Cell::Text, state.portName); });
  Try([&] { UpdateStatus(list, row, state.status); });
  Try([&] { UpdateCell(list, row, Cell::CableId, state.cableId); });
}

// Walks a snapshot of the rows taken before the walk: sorting may move rows and
// rows may go while the walk runs, and neither must make a row evaluated twice.
void EvaluateRows(DeviceList& list, const RegistryView& view) {
  const auto rows = list.Rows();
  if (!rows) return;
  std::wstring instanceKeyPath(kDeviceTreePath);
  for (const RowId row : *rows) Try([&] { EvaluateRow(list, view, row, instanceKeyPath); });
}

}  // namespace

std::optional<bool> RefreshDeviceList(DeviceList& list, const RegistryView& view) noexcept {
  Try([&] { AddNewInstances(list, view); });
  Try([&] { EvaluateRows(list, view); });
  // The count is read and used in one try block, so a Count that throws leaves no value.
  try {
    const auto count = list.Count();
    if (count) return *count > 0;
  } catch (...) {
  }
  return std::nullopt;
}

}  // namespace uvantic
