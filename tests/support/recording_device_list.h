// The in-memory device list as a test double: it records every change asked of it, can
// fail or throw on any operation, keeps its rows sorted as a list view does, and lets a
// test change the list in the middle of a pass.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "discovery/memory_device_list.h"

namespace uvantic {

// The operations of DeviceList, for failures, hooks and the record of changes.
enum class ListOp { Add, Count, Rows, Key, ReadCell, WriteCell, SetIcon, SetGhosted, Remove };

// One change asked of the list: Add, WriteCell, SetIcon, SetGhosted or Remove. A status
// written is a WriteCell of the Status cell.
struct ListWrite {
  ListOp op = ListOp::Add;
  std::wstring key{};        // the row's key
  Cell cell = Cell::Text;    // WriteCell
  std::wstring text{};       // WriteCell of a text cell
  std::optional<CableStatus> status{};  // WriteCell of the Status cell
  int icon = 0;              // SetIcon
  bool ghosted = false;      // SetGhosted
  bool done = false;         // false when the change failed
};

class RecordingDeviceList : public DeviceList {
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
  std::vector<std::wstring> keys() const;  // in list order
  const MemoryRow* row(std::wstring_view key) const { return rows_.row(key); }
  // Takes a row out as something other than the refresh pass would: it never fails, is
  // not recorded and calls no hook. False when there is no such row.
  bool erase(std::wstring_view key);

  // The record of changes, in the order they were asked for, failed ones included.
  const std::vector<ListWrite>& writes() const { return writes_; }
  std::size_t writeCount(ListOp op) const;
  void clearWrites() { writes_.clear(); }
  void recordWrites(bool on) { recording_ = on; }

  // Failures, one call each: every call of op, the calls for one row (for Add: adding
  // that key), or those for one cell of one row (ReadCell, WriteCell).
  void fail(ListOp op);
  void fail(ListOp op, std::wstring_view key);
  void fail(ListOp op, std::wstring_view key, Cell cell);
  // The calls of op for one row, or all of them when key is empty, throw
  // std::bad_alloc instead, as when memory runs out.
  void throwOn(ListOp op, std::wstring_view key = {});

  // Keeps the rows ordered by this cell, as a sorted list view does: a row moves
  // whenever the cell changes. Statuses sort in their enumeration's order.
  void sortBy(Cell cell);

  // Called before each operation on one row (Key, ReadCell, WriteCell, SetIcon,
  // SetGhosted, Remove), with the operation and the row. It may change the list, for
  // instance through erase(); operations made from inside it do not call it again.
  void onRowAccess(std::function<void(ListOp, RowId)> hook) { hook_ = std::move(hook); }

 private:
  struct Failure {
    ListOp op;
    std::optional<std::wstring> key;
    std::optional<Cell> cell;
    bool throws = false;
  };

  bool Fails(ListOp op, const std::wstring* key = nullptr, std::optional<Cell> cell = {}) const;
  // Runs the hook for this row, then finds it; nullptr when it is not in the list.
  const MemoryRow* Access(ListOp op, RowId row) const;
  void Record(ListWrite write);
  const MemoryRow* Row(RowId row) const;
  void Resort();

  MemoryDeviceList rows_;
  std::vector<RowId> order_;  // the rows top to bottom
  std::vector<ListWrite> writes_;
  bool recording_ = true;
  std::vector<Failure> failures_;
  std::optional<Cell> sortCell_;
  std::function<void(ListOp, RowId)> hook_;
  mutable bool inHook_ = false;
};

}  // namespace uvantic
