// The recording device list: each operation checks the failures asked for, runs the
// hook, records the change and then leaves the rows to the in-memory list, keeping
// their order itself.
#include "support/recording_device_list.h"

#include <algorithm>
#include <new>

namespace uvantic {

bool RecordingDeviceList::Fails(ListOp op, const std::wstring* key, std::optional<Cell> cell) const {
  const auto failure = std::find_if(failures_.begin(), failures_.end(), [&](const Failure& f) {
    return f.op == op && (!f.key || (key && *f.key == *key)) && (!f.cell || f.cell == cell);
  });
  if (failure != failures_.end() && failure->throws) throw std::bad_alloc();
  return failure != failures_.end();
}

const MemoryRow* RecordingDeviceList::Access(ListOp op, RowId row) const {
  if (hook_ && !inHook_) {
    inHook_ = true;
    hook_(op, row);
    inHook_ = false;
  }
  return Row(row);
}

const MemoryRow* RecordingDeviceList::Row(RowId row) const {
  const auto key = rows_.Key(row);
  return key ? rows_.row(*key) : nullptr;
}

void RecordingDeviceList::Record(ListWrite write) {
  if (recording_) writes_.push_back(std::move(write));
}

void RecordingDeviceList::Resort() {
  if (!sortCell_) return;
  const auto byStatus = [&](RowId a, RowId b) { return Row(a)->status < Row(b)->status; };
  if (*sortCell_ == Cell::Status) return std::stable_sort(order_.begin(), order_.end(), byStatus);
  std::stable_sort(order_.begin(), order_.end(),
                   [&](RowId a, RowId b) { return Row(a)->cell(*sortCell_) < Row(b)->cell(*sortCell_); });
}

bool RecordingDeviceList::Add(const std::wstring& key) {
  const bool refused = Fails(ListOp::Add, &key);
  const bool done = !refused && rows_.Add(key);
  Record({.op = ListOp::Add, .key = key, .done = done});
  if (!done) return false;
  order_.push_back(rows_.Rows()->back());
  Resort();
  return true;
}

std::optional<std::size_t> RecordingDeviceList::Count() const {
  if (Fails(ListOp::Count)) return std::nullopt;
  return order_.size();
}

std::optional<std::vector<RowId>> RecordingDeviceList::Rows() const {
  if (Fails(ListOp::Rows)) return std::nullopt;
  return order_;
}

std::optional<std::wstring> RecordingDeviceList::Key(RowId row) const {
  const MemoryRow* r = Access(ListOp::Key, row);
  if (!r || Fails(ListOp::Key, &r->key)) return std::nullopt;
  return r->key;
}

std::optional<std::wstring> RecordingDeviceList::CellText(RowId row, Cell cell) {
  const MemoryRow* r = Access(ListOp::ReadCell, row);
  if (!r || Fails(ListOp::ReadCell, &r->key, cell)) return std::nullopt;
  return r->cell(cell);
}

bool RecordingDeviceList::SetCellText(RowId row, Cell cell, const std::wstring& text) {
  const MemoryRow* r = Access(ListOp::WriteCell, row);
  const bool done = r && !Fails(ListOp::WriteCell, &r->key, cell);
  Record({.op = ListOp::WriteCell, .key = r ? r->key : L"", .cell = cell, .text = text, .done = done});
  if (!done) return false;
  rows_.SetCellText(row, cell, text);
  if (sortCell_ == cell) Resort();
  return true;
}

std::optional<CableStatus> RecordingDeviceList::Status(RowId row) {
  const MemoryRow* r = Access(ListOp::ReadCell, row);
  if (!r || Fails(ListOp::ReadCell, &r->key, Cell::Status)) return std::nullopt;
  return r->status;
}

bool RecordingDeviceList::SetStatus(RowId row, CableStatus status) {
  const MemoryRow* r = Access(ListOp::WriteCell, row);
  const bool done = r && !Fails(ListOp::WriteCell, &r->key, Cell::Status);
  Record({.op = ListOp::WriteCell, .key = r ? r->key : L"", .cell = Cell::Status, .status = status, .done = done});
  if (done && rows_.SetStatus(row, status) && sortCell_ == Cell::Status) Resort();
  return done;
}

bool RecordingDeviceList::SetIcon(RowId row, int icon) {
  const MemoryRow* r = Access(ListOp::SetIcon, row);
  const bool done = r && !Fails(ListOp::SetIcon, &r->key);
  Record({.op = ListOp::SetIcon, .key = r ? r->key : L"", .icon = icon, .done = done});
  return done && rows_.SetIcon(row, icon);
}

bool RecordingDeviceList::SetGhosted(RowId row, bool ghosted) {
  const MemoryRow* r = Access(ListOp::SetGhosted, row);
  const bool done = r && !Fails(ListOp::SetGhosted, &r->key);
  Record({.op = ListOp::SetGhosted, .key = r ? r->key : L"", .ghosted = ghosted, .done = done});
  return done && rows_.SetGhosted(row, ghosted);
}

bool RecordingDeviceList::Remove(RowId row) {
  const MemoryRow* r = Access(ListOp::Remove, row);
  const bool done = r && !Fails(ListOp::Remove, &r->key);
  Record({.op = ListOp::Remove, .key = r ? r->key : L"", .done = done});
  if (!done) return false;
  std::erase(order_, row);
  return rows_.Remove(row);
}

std::vector<std::wstring> RecordingDeviceList::keys() const {
  std::vector<std::wstring> keys;
  for (const RowId row : order_) keys.push_back(Row(row)->key);
  return keys;
}

bool RecordingDeviceList::erase(std::wstring_view key) {
  const MemoryRow* found = rows_.row(key);
  if (!found) return false;
  const RowId row = *std::find_if(order_.begin(), order_.end(), [&](RowId r) { return Row(r) == found; });
  std::erase(order_, row);
  return rows_.Remove(row);
}

std::size_t RecordingDeviceList::writeCount(ListOp op) const {
  return static_cast<std::size_t>(
      std::count_if(writes_.begin(), writes_.end(), [&](const ListWrite& w) { return w.op == op; }));
}

void RecordingDeviceList::fail(ListOp op) { failures_.push_back({op, std::nullopt, std::nullopt}); }

void RecordingDeviceList::fail(ListOp op, std::wstring_view key) {
  failures_.push_back({op, std::wstring(key), std::nullopt});
}

void RecordingDeviceList::fail(ListOp op, std::wstring_view key, Cell cell) {
  failures_.push_back({op, std::wstring(key), cell});
}

void RecordingDeviceList::throwOn(ListOp op, std::wstring_view key) {
  failures_.push_back(
      {op, key.empty() ? std::nullopt : std::optional<std::wstring>(key), std::nullopt, true});
}

void RecordingDeviceList::sortBy(Cell cell) {
  sortCell_ = cell;
  Resort();
}

}  // namespace uvantic
