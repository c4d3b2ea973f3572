// The in-memory device list: rows in list order, addressed by ids that stay with them.
#include "memory_device_list.h"

#include <algorithm>
#include <new>

namespace uvantic {

bool MemoryDeviceList::Fails(ListOp op, const std::wstring* key, std::optional<Cell> cell) const {
  const auto failure = std::find_if(failures_.begin(), failures_.end(), [&](const Failure& f) {
    return f.op == op && (!f.key || (key && *f.key == *key)) && (!f.cell || f.cell == cell);
  });
  if (failure != failures_.end() && failure->throws) throw std::bad_alloc();
  return failure != failures_.end();
}

MemoryRow* MemoryDeviceList::Access(ListOp op, RowId row) const {
  if (hook_ && !inHook_) {
    inHook_ = true;
    hook_(op, row);
    inHook_ = false;
  }
  const auto found = rows_.find(row);
  return found == rows_.end() ? nullptr : &found->second;
}

void MemoryDeviceList::Record(ListWrite write) {
  if (recording_) writes_.push_back(std::move(write));
}

void MemoryDeviceList::Resort() {
  if (!sortCell_) return;
  std::stable_sort(order_.begin(), order_.end(), [&](RowId a, RowId b) {
    return rows_.at(a).cell(*sortCell_) < rows_.at(b).cell(*sortCell_);
  });
}

bool MemoryDeviceList::Add(const std::wstring& key) {
  const bool refused = Fails(ListOp::Add, &key);
  const auto existing = byKey_.find(key);
  const bool done = !refused && existing == byKey_.end();
  Record({.op = ListOp::Add, .key = key, .done = done});
  if (!refused && existing != byKey_.end() && existing->first != key) {
    auto entry = byKey_.extract(existing);
    entry.key() = key;
    rows_.at(entry.mapped()).key = key;
    byKey_.insert(std::move(entry));
  }
  if (!done) return false;
  const RowId id = nextId_++;
  rows_.emplace(id, MemoryRow{.key = key});
  byKey_.emplace(key, id);
  order_.push_back(id);
  Resort();
  return true;
}

std::optional<std::size_t> MemoryDeviceList::Count() const {
  if (Fails(ListOp::Count)) return std::nullopt;
  return order_.size();
}

std::optional<std::vector<RowId>> MemoryDeviceList::Rows() const {
  if (Fails(ListOp::Rows)) return std::nullopt;
  return order_;
}

std::optional<std::wstring> MemoryDeviceList::Key(RowId row) const {
  const MemoryRow* r = Access(ListOp::Key, row);
  if (!r || Fails(ListOp::Key, &r->key)) return std::nullopt;
  return r->key;
}

std::optional<std::wstring> MemoryDeviceList::CellText(RowId row, Cell cell) {
  const MemoryRow* r = Access(ListOp::ReadCell, row);
  if (!r || Fails(ListOp::ReadCell, &r->key, cell)) return std::nullopt;
  return r->cell(cell);
}

bool MemoryDeviceList::SetCellText(RowId row, Cell cell, const std::wstring& text) {
  MemoryRow* r = Access(ListOp::WriteCell, row);
  const bool done = r && !Fails(ListOp::WriteCell, &r->key, cell);
  Record({.op = ListOp::WriteCell, .key = r ? r->key : L"", .cell = cell, .text = text, .done = done});
  if (!done) return false;
  r->cells[static_cast<int>(cell)] = text;
  if (sortCell_ == cell) Resort();
  return true;
}

bool MemoryDeviceList::SetIcon(RowId row, int icon) {
  MemoryRow* r = Access(ListOp::SetIcon, row);
  const bool done = r && !Fails(ListOp::SetIcon, &r->key);
  Record({.op = ListOp::SetIcon, .key = r ? r->key : L"", .icon = icon, .done = done});
  if (done) r->icon = icon;
  return done;
}

bool MemoryDeviceList::SetGhosted(RowId row, bool ghosted) {
  MemoryRow* r = Access(ListOp::SetGhosted, row);
  const bool done = r && !Fails(ListOp::SetGhosted, &r->key);
  Record({.op = ListOp::SetGhosted, .key = r ? r->key : L"", .ghosted = ghosted, .done = done});
  if (done) r->ghosted = ghosted;
  return done;
}

bool MemoryDeviceList::Remove(RowId row) {
  const MemoryRow* r = Access(ListOp::Remove, row);
  const bool done = r && !Fails(ListOp::Remove, &r->key);
  const std::wstring key = r ? r->key : L"";
  Record({.op = ListOp::Remove, .key = key, .done = done});
  return done && erase(key);
}

bool MemoryDeviceList::erase(std::wstring_view key) {
  const auto found = byKey_.find(key);
  if (found == byKey_.end()) return false;
  const RowId id = found->second;
  byKey_.erase(found);
  rows_.erase(id);
  std::erase(order_, id);
  return true;
}

std::vector<std::wstring> MemoryDeviceList::keys() const {
  std::vector<std::wstring> result;
  result.reserve(order_.size());
  for (const RowId id : order_) result.push_back(rows_.at(id).key);
  return result;
}

const MemoryRow* MemoryDeviceList::row(std::wstring_view key) const {
  const auto found = byKey_.find(key);
  return found == byKey_.end() ? nullptr : &rows_.at(found->second);
}

std::optional<RowId> MemoryDeviceList::id(std::wstring_view key) const {
  const auto found = byKey_.find(key);
  if (found == byKey_.end()) return std::nullopt;
  return found->second;
}

std::size_t MemoryDeviceList::writeCount(ListOp op) const {
  return static_cast<std::size_t>(
      std::count_if(writes_.begin(), writes_.end(), [&](const ListWrite& w) { return w.op == op; }));
}

void MemoryDeviceList::fail(ListOp op) { failures_.push_back({op, std::nullopt, std::nullopt}); }

void MemoryDeviceList::fail(ListOp op, std::wstring_view key) {
  failures_.push_back({op, std::wstring(key), std::nullopt});
}

void MemoryDeviceList::fail(ListOp op, std::wstring_view key, Cell cell) {
  failures_.push_back({op, std::wstring(key), cell});
}

void MemoryDeviceList::throwOn(ListOp op, std::wstring_view key) {
  failures_.push_back(
      {op, key.empty() ? std::nullopt : std::optional<std::wstring>(key), std::nullopt, true});
}

void MemoryDeviceList::sortBy(Cell cell) {
  sortCell_ = cell;
  Resort();
}

}  // namespace uvantic
