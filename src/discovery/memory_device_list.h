// An in-memory device list behind the DeviceList port: the rows in list order and
// nothing else. uvfind runs the refresh pass over it; tests build their doubles on it.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "device_list.h"
#include "registry_name.h"

namespace uvantic {

struct MemoryRow {
  std::wstring key{};
  std::wstring cells[3]{};       // indexed by Cell
  std::optional<int> icon{};     // none until first set
  bool ghosted = false;

  const std::wstring& cell(Cell c) const { return cells[static_cast<int>(c)]; }
};

// Rows are added at the end and keep their ids wherever they move. Its operations do
// not call each other through the port, so a subclass may wrap each one.
class MemoryDeviceList : public DeviceList {
 public:
  bool Add(const std::wstring& key) override;
  std::optional<std::size_t> Count() const override;
  std::optional<std::vector<RowId>> Rows() const override;
  std::optional<std::wstring> Key(RowId row) const override;
  std::optional<std::wstring> CellText(RowId row, Cell cell) override;
  bool SetCellText(RowId row, Cell cell, const std::wstring& text) override;
  bool SetIcon(RowId row, int icon) override;
  bool SetGhosted(RowId row, bool ghosted) override;
  bool Remove(RowId row) override;

  // Reading back; rows are found by key without regard to letter case.
  std::vector<std::wstring> keys() const;            // in list order
  const MemoryRow* row(std::wstring_view key) const;  // nullptr when there is none
  const MemoryRow* row(RowId id) const;
  std::optional<RowId> id(std::wstring_view key) const;

  // Takes a row out. False when there is no such row.
  bool erase(std::wstring_view key);

 protected:
  // The rows top to bottom, for a subclass that keeps them in another order.
  std::vector<RowId>& order() { return order_; }

 private:
  MemoryRow* Find(RowId row);

  std::unordered_map<RowId, MemoryRow> rows_;
  std::vector<RowId> order_;
  std::map<std::wstring, RowId, RegistryNameLess> byKey_;
  RowId nextId_ = 1;
};

}  // namespace uvantic
