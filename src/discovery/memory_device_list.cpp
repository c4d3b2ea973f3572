// The in-memory device list: rows in list order, addressed by ids that stay with them.
#include "memory_device_list.h"

#include <algorithm>

namespace uvantic {

MemoryRow* MemoryDeviceList::Find(RowId row) {
  const auto found = rows_.find(row);
  return found == rows_.end() ? nullptr : &found->second;
}

const MemoryRow* MemoryDeviceList::Find(RowId row) const {
  const auto found = rows_.find(row);
  return found == rows_.end() ? nullptr : &found->second;
}

bool MemoryDeviceList::Add(const std::wstring& key) {
  const auto existing = byKey_.find(key);
  if (existing != byKey_.end()) {
    if (existing->first != key) {
      auto entry = byKey_.extract(existing);
      entry.key() = key;
      rows_.at(entry.mapped()).key = key;
      byKey_.insert(std::move(entry));
    }
    return false;
  }
  const RowId id = nextId_++;
  rows_.emplace(id, MemoryRow{.key = key});
  byKey_.emplace(key, id);
  order_.push_back(id);
  return true;
}

std::optional<std::size_t> MemoryDeviceList::Count() const { return order_.size(); }

std::optional<std::vector<RowId>> MemoryDeviceList::Rows() const { return order_; }

std::optional<std::wstring> MemoryDeviceList::Key(RowId id) const {
  const MemoryRow* r = Find(id);
  if (!r) return std::nullopt;
  return r->key;
}

std::optional<std::wstring> MemoryDeviceList::CellText(RowId id, Cell cell) {
  const MemoryRow* r = Find(id);
  if (!r) return std::nullopt;
  return r->cell(cell);
}

bool MemoryDeviceList::SetCellText(RowId id, Cell cell, const std::wstring& text) {
  MemoryRow* r = Find(id);
  if (r) r->cells[static_cast<int>(cell)] = text;
  return r != nullptr;
}

std::optional<CableStatus> MemoryDeviceList::Status(RowId id) {
  const MemoryRow* r = Find(id);
  return r ? r->status : std::nullopt;
}

bool MemoryDeviceList::SetStatus(RowId id, CableStatus status) {
  MemoryRow* r = Find(id);
  if (r) r->status = status;
  return r != nullptr;
}

bool MemoryDeviceList::SetIcon(RowId id, int icon) {
  MemoryRow* r = Find(id);
  if (r) r->icon = icon;
  return r != nullptr;
}

bool MemoryDeviceList::SetGhosted(RowId id, bool ghosted) {
  MemoryRow* r = Find(id);
  if (r) r->ghosted = ghosted;
  return r != nullptr;
}

bool MemoryDeviceList::Remove(RowId id) {
  const auto found = rows_.find(id);
  if (found == rows_.end()) return false;
  byKey_.erase(found->second.key);
  rows_.erase(found);
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

}  // namespace uvantic
