// The device list as the refresh pass sees it. The window's list view implements it;
// an in-memory list implements it for tests and benchmarks.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace uvantic {

// Identifies a row for as long as it is in the list, wherever sorting moves it.
using RowId = std::uint32_t;

// Cell columns: 0 is the row's text (port name), 1 and 2 its sub-items.
enum class Cell { Text = 0, Status = 1, CableId = 2 };

enum class CableStatus;

class DeviceList {
 public:
  virtual ~DeviceList() = default;

  // Appends a row with this key, empty cells and no icon. Keys match without regard
  // to letter case, as the registry names they come from do: when a row's key differs
  // from key only in case, that row takes key's spelling instead. False when no row
  // was added: one with the key exists already or the row cannot be added.
  virtual bool Add(const std::wstring& key) = 0;

  // Number of rows; nullopt when it cannot be read.
  virtual std::optional<std::size_t> Count() const = 0;

  // The rows in their current order; nullopt when the list cannot be walked.
  virtual std::optional<std::vector<RowId>> Rows() const = 0;

  virtual std::optional<std::wstring> Key(RowId row) const = 0;
  // What the list shows in a text cell (Text or CableId); nullopt when it cannot be
  // read. Not const: a list may have to find the row first.
  virtual std::optional<std::wstring> CellText(RowId row, Cell cell) = 0;
  // The status the row shows, which the list puts in words of its own; nullopt when it
  // cannot be read or the row shows none.
  virtual std::optional<CableStatus> Status(RowId row) = 0;

  // Each write returns false when it fails; the row is then left as it was.
  virtual bool SetCellText(RowId row, Cell cell, const std::wstring& text) = 0;
  virtual bool SetStatus(RowId row, CableStatus status) = 0;
  virtual bool SetIcon(RowId row, int icon) = 0;
  virtual bool SetGhosted(RowId row, bool ghosted) = 0;

  // Removes the row at its current index.
  virtual bool Remove(RowId row) = 0;
};

}  // namespace uvantic
