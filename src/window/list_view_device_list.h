// The device list shown in a report-view list view: the rows the refresh pass reads
// and writes, kept sorted by one column.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "discovery/device_list.h"

namespace uvantic {

// Each row carries its id in its item data; the id's key is kept here beside it,
// with what the control was last given for the row (its cells, icon and ghosted flag)
// and where the row stands. A pass compares with that instead of asking the control,
// and finds a row to write with one check instead of a search: a message to the
// control costs far more than a comparison, and a search would make a pass cost the
// square of the rows. Keys match without regard to letter case, as
// the registry's names do. Writes that would leave a row as it is are not made, so a
// pass that changes nothing repaints nothing.
class ListViewDeviceList final : public DeviceList {
 public:
  ListViewDeviceList() = default;
  explicit ListViewDeviceList(HWND listView) : list_(listView) {}
  ListViewDeviceList(const ListViewDeviceList&) = delete;
  ListViewDeviceList& operator=(const ListViewDeviceList&) = delete;

  void Attach(HWND listView) { list_ = listView; }
  HWND hwnd() const { return list_; }

  bool Add(const std::wstring& key) override;
  std::optional<std::size_t> Count() const override;
  std::optional<std::vector<RowId>> Rows() const override;
  std::optional<std::wstring> Key(RowId row) const override;
  std::optional<std::wstring> CellText(RowId row, Cell cell) const override;
  bool SetCellText(RowId row, Cell cell, const std::wstring& text) override;
  // icon is the 1-based state icon; the list view's images are numbered from 0.
  bool SetIcon(RowId row, int icon) override;
  bool SetGhosted(RowId row, bool ghosted) override;
  bool Remove(RowId row) override;

  // The sort column (0 to 2) and order (0 ascending, 1 descending). Setting either
  // reorders the rows at once.
  int SortKey() const { return sortKey_; }
  int SortOrder() const { return sortOrder_; }
  void SetSortKey(int key);
  void SetSortOrder(int order);

  // Puts the rows back into sort order if a row was added or a sort cell rewritten
  // since the last sort and the order is off. Selection and focus stay with their rows.
  void SortIfNeeded();

  // Rows are not drawn while they are added, removed or rewritten: drawing each change
  // on its own costs many times the change, and adding a thousand rows to a shown
  // list took seconds. This draws all changes since the last call at once; call it
  // after every pass. Does nothing when nothing changed.
  void DrawChanges();

  // The key of the selected row; nullopt when no row is selected.
  std::optional<std::wstring> SelectedItem() const;

  // Selects the row at the top of the list and gives it the focus rectangle; false
  // when the list is empty.
  bool SelectFirstRow();

 private:
  // What the control shows for a row, as it was last given.
  struct Shown {
    int index = -1;  // where the row was last seen
    unsigned checkedInEpoch = 0;  // when the row was last found at index
    std::array<std::wstring, 3> texts;  // as the control keeps them: up to the first zero
    int image = I_IMAGENONE;
    bool ghosted = false;
  };

  std::optional<int> IndexOf(RowId row);
  std::optional<RowId> RowAt(int index) const;
  std::optional<std::vector<RowId>> ReadRows() const;
  void RememberIndexes(std::size_t from);
  void StopDrawing();
  void Sort();

  HWND list_ = nullptr;
  std::map<RowId, std::wstring> keys_;
  struct KeyLess {
    using is_transparent = void;
    bool operator()(std::wstring_view a, std::wstring_view b) const;
  };
  std::map<std::wstring, RowId, KeyLess> rowsByKey_;
  std::unordered_map<RowId, Shown> shown_;
  std::vector<RowId> order_;  // the rows top to bottom, as they were last arranged
  RowId nextId_ = 1;
  int sortKey_ = 0;
  int sortOrder_ = 0;
  bool mayBeUnsorted_ = false;
  bool drawingStopped_ = false;
  // An index found at the control is trusted until the epoch ends: at the end of every
  // pass, and after every sort, whose order is computed here rather than read back.
  unsigned epoch_ = 1;
};

// Custom draw of the list: ghosted rows get grey text as well as the cut state, which
// not every list view draws differently.
LRESULT DrawGhostedRowsGrey(NMLVCUSTOMDRAW& draw);

}  // namespace uvantic
