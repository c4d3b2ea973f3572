// The list view as the device list: a real list view control, read back through its
// own messages.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "discovery/device_state.h"
#include "discovery/memory_registry.h"
#include "discovery/refresh_device_list.h"
#include "support/cable_keys.h"
#include "window/list_view_device_list.h"

namespace uvantic {
namespace {

// Counts the messages that change a row, so that a pass can be shown to send none.
LRESULT CALLBACK CountRowWrites(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR counter) {
  if (message == LVM_SETITEMTEXTW || message == LVM_SETITEMW || message == LVM_SETITEMSTATE) {
    ++*reinterpret_cast<int*>(counter);
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

class ListViewDeviceListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_ = CreateWindowExW(0, L"STATIC", L"list host", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 0, 0, 420, 300,
                            nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(host_, nullptr);
    list_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL,
                            0, 0, 400, 260, host_, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(list_, nullptr);
    for (int column = 0; column < 3; ++column) {
      LVCOLUMNW info{};
      info.mask = LVCF_WIDTH | LVCF_TEXT;
      info.cx = 120;
      info.pszText = const_cast<wchar_t*>(L"column");
      SendMessageW(list_, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&info));
    }
    rows_.Attach(list_);
    rows_.SetStatusTexts({L"OK", L"Not present", L"Driver not loaded", L"Disabled"});
  }
  void TearDown() override { DestroyWindow(host_); }

  RowId AddRow(const std::wstring& key, const std::wstring& port, const std::wstring& status,
               const std::wstring& cable) {
    EXPECT_TRUE(rows_.Add(key));
    const RowId row = rows_.Rows()->back();
    rows_.SetCellText(row, Cell::Text, port);
    rows_.SetCellText(row, Cell::Status, status);
    rows_.SetCellText(row, Cell::CableId, cable);
    return row;
  }

  // The texts of one column, top to bottom, as the control holds them.
  std::vector<std::wstring> Column(int column) const {
    std::vector<std::wstring> texts;
    const auto count = static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
      wchar_t buffer[64] = {};
      LVITEMW item{};
      item.iSubItem = column;
      item.pszText = buffer;
      item.cchTextMax = 64;
      SendMessageW(list_, LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
      texts.emplace_back(buffer);
    }
    return texts;
  }

  // A cable in reg with this port, served by its driver or not.
  static void Install(MemoryRegistry& reg, const std::wstring& name, const std::wstring& port, bool served) {
    testing::InstallCable(reg, {.name = name, .port = port});
    if (served) reg.key(kDriverListPath).value(name, testing::InstancePath(name));
  }

  // A refresh pass as the window runs it; returns the writes it sent the rows.
  int Pass(const MemoryRegistry& reg) {
    int writes = 0;
    EXPECT_TRUE(SetWindowSubclass(list_, CountRowWrites, 1, reinterpret_cast<DWORD_PTR>(&writes)));
    RefreshDeviceList(rows_, reg);
    rows_.SortIfNeeded();
    rows_.DrawChanges();
    RemoveWindowSubclass(list_, CountRowWrites, 1);
    return writes;
  }

  // Paints whatever is pending, so that only later changes leave an update region.
  void Paint() {
    UpdateWindow(host_);
    UpdateWindow(list_);
    ASSERT_FALSE(GetUpdateRect(list_, nullptr, FALSE));
  }

  HWND host_ = nullptr;
  HWND list_ = nullptr;
  ListViewDeviceList rows_;
};

using Texts = std::vector<std::wstring>;

// Keys match as registry names do; a key that differs only in letter case renames
// the row to the newer spelling instead of adding a second row.
TEST_F(ListViewDeviceListTest, RefusesASecondRowWithAKeyItHoldsInAnyLetterCase) {
  EXPECT_TRUE(rows_.Add(L"USB\\uv5k31qx_00"));
  const RowId row = rows_.Rows()->back();
  EXPECT_FALSE(rows_.Add(L"USB\\uv5k31qx_00"));
  EXPECT_FALSE(rows_.Add(L"usb\\UV5K31QX_00"));
  EXPECT_EQ(rows_.Key(row), L"usb\\UV5K31QX_00");
  EXPECT_TRUE(rows_.Add(L"USB\\B"));
  EXPECT_EQ(rows_.Count(), 2u);
  EXPECT_TRUE(rows_.Remove(row));
  EXPECT_TRUE(rows_.Add(L"USB\\Uv5k31qx_00"));  // the key is free again in every spelling
}

// Texts as long as the registry lets through, and longer, compare equal to what the
// control keeps, so writing one again sends the control nothing.
TEST_F(ListViewDeviceListTest, LongTextsAreComparedWholeAndNotWrittenAgain) {
  for (const std::size_t length : {32766u, 32767u, 32768u, 40000u}) {
    SCOPED_TRACE(length);
    const std::wstring text(length, L'x');
    const RowId row = AddRow(L"k" + std::to_wstring(length), text, L"", L"");
    EXPECT_EQ(rows_.CellText(row, Cell::Text), text);
    int writes = 0;
    ASSERT_TRUE(SetWindowSubclass(list_, CountRowWrites, 1, reinterpret_cast<DWORD_PTR>(&writes)));
    EXPECT_TRUE(rows_.SetCellText(row, Cell::Text, text));
    EXPECT_TRUE(rows_.SetCellText(row, Cell::Text, text + L'\0' + L"tail"));
    RemoveWindowSubclass(list_, CountRowWrites, 1);
    EXPECT_EQ(writes, 0);
  }
}

// Text comparison, digits included: COM10 sorts before COM2.
TEST_F(ListViewDeviceListTest, SortsByEachColumnInBothDirections) {
  AddRow(L"k2", L"COM2", L"OK", L"UV300");
  AddRow(L"k10", L"COM10", L"Not present", L"UV100");
  AddRow(L"k3", L"COM3", L"Driver not loaded", L"UV200");
  struct Case {
    int key;
    int order;
    Texts ports;
  };
  const Case cases[] = {
      {0, 0, {L"COM10", L"COM2", L"COM3"}}, {0, 1, {L"COM3", L"COM2", L"COM10"}},
      {1, 0, {L"COM3", L"COM10", L"COM2"}}, {1, 1, {L"COM2", L"COM10", L"COM3"}},
      {2, 0, {L"COM10", L"COM3", L"COM2"}}, {2, 1, {L"COM2", L"COM3", L"COM10"}},
  };
  for (const Case& c : cases) {
    rows_.SetSortKey(c.key);
    rows_.SetSortOrder(c.order);
    EXPECT_EQ(Column(0), c.ports) << "key " << c.key << " order " << c.order;
  }
}

TEST_F(ListViewDeviceListTest, RowsKeepTheirKeysAndSelectionWhenSorted) {
  const RowId com2 = AddRow(L"USB\\two", L"COM2", L"OK", L"");
  const RowId com10 = AddRow(L"USB\\ten", L"COM10", L"OK", L"");
  AddRow(L"USB\\three", L"COM3", L"OK", L"");
  LVITEMW select{};
  select.stateMask = select.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list_, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&select));  // COM2, still unsorted
  rows_.SortIfNeeded();
  EXPECT_EQ(Column(0), (Texts{L"COM10", L"COM2", L"COM3"}));
  EXPECT_EQ(rows_.Key(com2), L"USB\\two");
  EXPECT_EQ(rows_.CellText(com10, Cell::Text), L"COM10");
  EXPECT_EQ(rows_.SelectedItem(), L"USB\\two");
  rows_.SetSortOrder(1);
  EXPECT_EQ(rows_.SelectedItem(), L"USB\\two");
}

TEST_F(ListViewDeviceListTest, RemovesTheRowWithThatIdWhereverSortingPutIt) {
  AddRow(L"k2", L"COM2", L"", L"");
  const RowId com10 = AddRow(L"k10", L"COM10", L"", L"");
  AddRow(L"k3", L"COM3", L"", L"");
  rows_.SortIfNeeded();
  EXPECT_TRUE(rows_.Remove(com10));
  EXPECT_FALSE(rows_.Remove(com10));
  EXPECT_EQ(rows_.Key(com10), std::nullopt);
  EXPECT_EQ(Column(0), (Texts{L"COM2", L"COM3"}));
  EXPECT_TRUE(rows_.Add(L"k10"));  // the key is free again
}

int CALLBACK OldestRowFirst(LPARAM first, LPARAM second, LPARAM) { return first < second ? -1 : 1; }

// Each step reorders the list or removes rows, then every row left is read and
// written through its id; the writes must land on that row wherever it now stands.
TEST_F(ListViewDeviceListTest, FindsEveryRowAfterSortingAndRemovals) {
  std::map<std::wstring, RowId> rows;
  const wchar_t* const ports[] = {L"COM1", L"COM2", L"COM3", L"COM4", L"COM5", L"COM6"};
  const wchar_t* const cables[] = {L"UV5", L"UV3", L"UV6", L"UV1", L"UV4", L"UV2"};
  for (std::size_t i = 0; i < std::size(ports); ++i) rows[ports[i]] = AddRow(ports[i], ports[i], L"", cables[i]);
  struct Step {
    int sortKey;  // -1: the control is reordered directly, not through the list
    int sortOrder;
    Texts remove;
  };
  const Step steps[] = {
      {0, 1, {}},                  // reversed: every row moved
      {0, 1, {L"COM6"}},           // the top row gone: all below moved up
      {-1, 0, {}},                 // moved behind the list's back, found after the pass
      {2, 0, {L"COM2", L"COM4"}},  // sorted by another column, then two rows gone
      {0, 0, {L"COM1"}},
  };
  int stepNumber = 0;
  for (const Step& step : steps) {
    ++stepNumber;
    if (step.sortKey < 0) {
      SendMessageW(list_, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&OldestRowFirst));
      rows_.DrawChanges();
    } else {
      rows_.SetSortKey(step.sortKey);
      rows_.SetSortOrder(step.sortOrder);
    }
    for (const auto& port : step.remove) {
      ASSERT_TRUE(rows_.Remove(rows.at(port))) << port;
      rows.erase(port);
    }
    const std::wstring mark = std::to_wstring(stepNumber) + L" ";
    for (const auto& [port, row] : rows) {
      EXPECT_EQ(rows_.CellText(row, Cell::Text), port) << "step " << stepNumber;
      EXPECT_TRUE(rows_.SetCellText(row, Cell::Status, mark + port));
    }
    const Texts shown = Column(0);
    ASSERT_EQ(shown.size(), rows.size());
    Texts expected;
    for (const auto& port : shown) expected.push_back(mark + port);
    EXPECT_EQ(Column(1), expected) << "step " << stepNumber;
  }
}

TEST_F(ListViewDeviceListTest, RowsWithEqualTextsStayInTheOrderTheyWereAdded) {
  AddRow(L"a", L"COM5", L"OK", L"first");
  AddRow(L"b", L"COM4", L"OK", L"second");
  AddRow(L"c", L"COM6", L"OK", L"third");
  for (int order : {0, 1}) {
    rows_.SetSortKey(1);
    rows_.SetSortOrder(order);
    EXPECT_EQ(Column(2), (Texts{L"first", L"second", L"third"})) << order;
  }
}

TEST_F(ListViewDeviceListTest, IconsAndTheGhostedFlagAreTheControlsOwn) {
  const RowId row = AddRow(L"k", L"COM1", L"", L"");
  LVITEMW item{};
  item.mask = LVIF_IMAGE;
  SendMessageW(list_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(item.iImage, I_IMAGENONE);  // a new row shows no icon
  for (int icon : {kIconNormal, kIconDisabled, kIconDriverNotLoaded}) {
    ASSERT_TRUE(rows_.SetIcon(row, icon));
    SendMessageW(list_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(item.iImage, icon - 1);
  }
  ASSERT_TRUE(rows_.SetGhosted(row, true));
  EXPECT_EQ(SendMessageW(list_, LVM_GETITEMSTATE, 0, LVIS_CUT), LVIS_CUT);
  ASSERT_TRUE(rows_.SetGhosted(row, false));
  EXPECT_EQ(SendMessageW(list_, LVM_GETITEMSTATE, 0, LVIS_CUT), 0);
  EXPECT_FALSE(rows_.SetIcon(row + 100, kIconNormal));
}

// The refresh pass writes every row's icon and ghosted flag on every tick; when
// nothing changed, nothing may be repainted.
TEST_F(ListViewDeviceListTest, APassThatChangesNothingLeavesNothingToRepaint) {
  MemoryRegistry reg;
  Install(reg, L"UV2&00", L"COM2", true);
  Install(reg, L"UV10&00", L"COM10", false);
  Install(reg, L"UV3&00", L"COM3", true);
  // The control keeps text up to its first zero; such a port name must not count as
  // changed on every pass.
  Install(reg, L"UV4&00", std::wstring(L"COM4\0old", 8), true);
  Pass(reg);
  EXPECT_EQ(Column(0), (Texts{L"COM10", L"COM2", L"COM3", L"COM4"}));
  Paint();

  EXPECT_EQ(Pass(reg), 0);
  EXPECT_FALSE(GetUpdateRect(list_, nullptr, FALSE));

  // A real change repaints its own row, and neither the other rows nor the header.
  reg.removeValue(kDriverListPath, L"UV2&00");
  EXPECT_GT(Pass(reg), 0);
  EXPECT_EQ(Column(1), (Texts{L"Not present", L"Not present", L"OK", L"OK"}));
  RECT row{LVIR_BOUNDS, 0, 0, 0};
  ASSERT_TRUE(SendMessageW(list_, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row)));
  RECT update{};
  ASSERT_TRUE(GetUpdateRect(list_, &update, FALSE));
  EXPECT_GE(update.top, row.top);
  EXPECT_LE(update.bottom, row.bottom);
  const auto header = reinterpret_cast<HWND>(SendMessageW(list_, LVM_GETHEADER, 0, 0));
  EXPECT_FALSE(GetUpdateRect(header, nullptr, FALSE));
}

// A row's cells, icon and cut state are compared with the control, not with what was
// last written: one changed behind the list's back is put right by the next pass, with
// that one write.
TEST_F(ListViewDeviceListTest, ARowChangedBehindItsBackIsPutRightByTheNextPass) {
  MemoryRegistry reg;
  Install(reg, L"UV3&00", L"COM3", true);
  Pass(reg);
  const auto shown = [&] {
    LVITEMW item{};
    item.mask = LVIF_IMAGE | LVIF_STATE;
    item.stateMask = LVIS_CUT;
    SendMessageW(list_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return std::tuple(Column(0), Column(1), Column(2), item.iImage, item.state);
  };
  const auto before = shown();
  struct Change {
    UINT mask;
    int subItem;
    int image;
    UINT state;
  };
  const Change changes[] = {{LVIF_TEXT, 0, 0, 0}, {LVIF_TEXT, 1, 0, 0}, {LVIF_TEXT, 2, 0, 0},
                            {LVIF_IMAGE, 0, kIconDisabled - 1, 0}, {LVIF_STATE, 0, 0, LVIS_CUT}};
  for (const Change& change : changes) {
    SCOPED_TRACE(change.mask + change.subItem);
    LVITEMW item{};
    item.mask = change.mask;
    item.iSubItem = change.subItem;
    item.iImage = change.image;
    item.state = change.state;
    item.stateMask = LVIS_CUT;
    item.pszText = const_cast<wchar_t*>(L"Tampered");
    ASSERT_TRUE(SendMessageW(list_, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    ASSERT_NE(shown(), before);
    EXPECT_EQ(Pass(reg), 1);
    EXPECT_EQ(shown(), before);
  }
}

}  // namespace
}  // namespace uvantic
