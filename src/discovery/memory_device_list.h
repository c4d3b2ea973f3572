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
#include "device_state.h"
#include "registry_name.h"

namespace uvantic {

struct MemoryRow {
  std::wstring key{};
  std::wstring cells[3]{};       // indexed by Cell; the status is kept apart
  std::optional<CableStatus> status{};  // none until first set
  std::optional<int> icon{};     // none until first set
  bool ghosted = false;

  const std::wstring& cell(Cell c) const { return cells[static_cast<int>(c)]; }
};

// Rows are added at the end and keep their ids.
class MemoryDeviceList : public DeviceList {
 public:
  bool Add(const std::wstring& key) override;
  std::optional<std::size_t> Count() const override;
  std::optional<std::vector<RowId>> Rows() const override;
  std::optional<std::wstring> Key(RowId row) const override;
  std::optional<std::wstring> CellText(RowId row, Cell cell) override;
  std::optional<CableStatus> Status(RowId row) override;
  bool SetCellText(RowId row, Cell cell, const std::wstring& text) override;
  bool SetStatus(RowId row, CableStatus status) override;
  bool SetIcon(RowId row, int icon) override;
  bool SetGhosted(RowId row, bool ghosted) override;
  bool Remove(RowId row) override;

  // Reading back; rows are found by key without regard to letter case.
  std::vector<std::wstring> keys() const;            // in list order
  const MemoryRow* row(std::wstring_view key) const;  // nullptr when there is none

 private:
  MemoryRow* Find(RowId row);
  const MemoryRow* Find(RowId row) const;

  std::unordered_map<RowId, MemoryRow> rows_;
  std::vector<RowId> order_;
  std::map<std::wstring, RowId, RegistryNameLess> byKey_;
  RowId nextId_ = 1;
};

}  // namespace uvantic
