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
#include <unordered_set>
#include <vector>

#include "discovery/device_list.h"
#include "discovery/device_state.h"

namespace uvantic {

// Each row carries its id in its item data; the id's key is kept here beside it, with
// the index the row was last seen at, so that a row is found with one check instead of
// a search, which would make a pass cost the square of the rows. Keys match without
// regard to letter case, as the registry's names do.
//
// What a row shows is always compared with the control itself: its cells, icon and cut
// state are read with the control's own messages and only what differs is written. So
// a row changed behind the list's back is put right by the next pass, and a pass that
// changes nothing writes nothing and repaints nothing.
class ListViewDeviceList final : public DeviceList {
 public:
  ListViewDeviceList() = default;
  ListViewDeviceList(const ListViewDeviceList&) = delete;
  ListViewDeviceList& operator=(const ListViewDeviceList&) = delete;

  void Attach(HWND listView) { list_ = listView; }
  // The words the status column shows for each status, indexed by CableStatus. Set
  // before the first pass; a row whose status cell says other words reads as none.
  void SetStatusTexts(std::array<std::wstring, 4> texts) { statusTexts_ = std::move(texts); }
  // The status shown in these words; nullopt for words that are no status's.
  std::optional<CableStatus> StatusShownAs(std::wstring_view text) const;

  bool Add(const std::wstring& key) override;
  std::optional<std::size_t> Count() const override;
  std::optional<std::vector<RowId>> Rows() const override;
  std::optional<std::wstring> Key(RowId row) const override;
  std::optional<std::wstring> CellText(RowId row, Cell cell) override;
  std::optional<CableStatus> Status(RowId row) override;
  bool SetCellText(RowId row, Cell cell, const std::wstring& text) override;
  bool SetStatus(RowId row, CableStatus status) override;
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

  // The list view repaints just the rows that a change touched. Once more than
  // kRowsRepaintedOneByOne rows have changed since the last call, or while the list is
  // hidden (the load sequence fills it before the window shows), it stops drawing
  // instead, since a repaint per row makes adding a thousand rows slow. This ends a
  // pass: it draws what changed while drawing was stopped, all at once. Call it after
  // every pass.
  void DrawChanges();
  static constexpr int kRowsRepaintedOneByOne = 16;

  // The key of the selected row; nullopt when no row is selected.
  std::optional<std::wstring> SelectedItem() const;

  // Has the list paint itself once where nobody sees it, before its window first shows.
  void PaintOffScreen() const;

  // Selects the row at the top of the list and gives it the focus rectangle; false
  // when the list is empty.
  bool SelectFirstRow();

 private:
  // Where a row stands, and what the control held for it when it was found there.
  struct Shown {
    int index = -1;  // where the row was last seen
    unsigned checkedInEpoch = 0;  // when the row was last found at index
    // The item's icon and cut state as read when it was found there this epoch, or as
    // written since.
    int image = I_IMAGENONE;
    bool ghosted = false;
    // The texts last written or found equal, up to their first zero as the control
    // keeps them: the sort's keys, and the size of the buffer a read starts with.
    std::array<std::wstring, 3> texts;
  };
  // What one message tells of the item at an index.
  struct Item {
    RowId row = 0;
    int image = I_IMAGENONE;
    bool ghosted = false;
  };

  std::optional<int> IndexOf(RowId row);
  std::optional<Item> ReadItem(int index) const;
  std::optional<std::vector<Item>> ReadItems() const;
  std::optional<std::wstring> ItemText(int index, int column, std::size_t expectedLength) const;
  std::optional<bool> ItemTextIs(int index, int column, std::wstring_view text) const;
  void RememberIndexes(std::size_t from);
  void BeforeChange(RowId row);
  void Sort();

  HWND list_ = nullptr;
  std::array<std::wstring, 4> statusTexts_;
  std::map<RowId, std::wstring> keys_;
  struct KeyLess {
    using is_transparent = void;
    bool operator()(std::wstring_view a, std::wstring_view b) const;
  };
  std::map<std::wstring, RowId, KeyLess> rowsByKey_;
  std::unordered_map<RowId, Shown> shown_;
  std::vector<RowId> order_;  // the rows top to bottom, as they were last arranged
  // Rows inserted since the last DrawChanges: the control shows them exactly as they
  // were inserted and written here since, so they are not read back.
  std::unordered_set<RowId> added_;
  RowId nextId_ = 1;
  int sortKey_ = 0;
  int sortOrder_ = 0;
  bool mayBeUnsorted_ = false;
  bool drawingStopped_ = false;
  int rowsChanged_ = 0;  // since the last DrawChanges
  RowId lastChanged_ = 0;
  // An index found at the control, with the icon and cut state read beside it, is
  // trusted until the epoch ends: when a pass starts its walk over the rows, at its end,
  // and after every sort, whose order is computed here rather than read back. Within a
  // pass nothing but the pass changes the control: it handles no message while it runs.
  mutable unsigned epoch_ = 1;
};

// Custom draw of the list: ghosted rows get grey text as well as the cut state, which
// not every list view draws differently; under high contrast a selected one takes the
// selection colours instead.
LRESULT DrawGhostedRows(NMLVCUSTOMDRAW& draw, bool highContrast);

}  // namespace uvantic
