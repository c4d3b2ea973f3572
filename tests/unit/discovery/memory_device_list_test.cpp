// The in-memory device list: stable row ids, refused duplicates; and its recording
// double: sorting, the record of changes, failures scoped as asked, and the hook.
#include <gtest/gtest.h>

#include "discovery/memory_device_list.h"
#include "support/recording_device_list.h"

namespace uvantic {
namespace {

TEST(RecordingDeviceListTest, RowIdsStayWithTheirRowsWhenSortingMovesThem) {
  RecordingDeviceList list;
  list.sortBy(Cell::Text);
  list.Add(L"a");
  list.Add(L"b");
  const RowId a = list.Rows()->at(0), b = list.Rows()->at(1);
  list.SetCellText(a, Cell::Text, L"COM9");
  EXPECT_EQ(list.Rows(), (std::vector{b, a}));
  list.SetCellText(b, Cell::Text, L"COM99");
  EXPECT_EQ(list.Rows(), (std::vector{a, b}));
  EXPECT_EQ(list.Key(a), L"a");
  EXPECT_EQ(list.CellText(b, Cell::Text), L"COM99");
}

// One row per instance whatever the case of its key; the row takes the latest spelling.
TEST(MemoryDeviceListTest, KeyDifferingOnlyInLetterCaseRenamesTheRowInsteadOfAddingOne) {
  MemoryDeviceList list;
  ASSERT_TRUE(list.Add(L"USB\\uv5k31qx_00"));
  const RowId row = list.Rows()->front();
  EXPECT_FALSE(list.Add(L"USB\\UV5K31QX_00"));
  EXPECT_FALSE(list.Add(L"USB\\UV5K31QX_00"));
  EXPECT_EQ(list.keys(), std::vector<std::wstring>{L"USB\\UV5K31QX_00"});
  EXPECT_EQ(list.Key(row), L"USB\\UV5K31QX_00");
  EXPECT_EQ(list.Rows(), std::vector{row});
  EXPECT_EQ(list.row(L"usb\\uv5k31qx_00")->key, L"USB\\UV5K31QX_00");
}

TEST(MemoryDeviceListTest, RemovedRowIsGoneForEveryOperation) {
  MemoryDeviceList list;
  list.Add(L"a");
  list.Add(L"b");
  const RowId a = list.Rows()->front();
  EXPECT_TRUE(list.Remove(a));
  EXPECT_FALSE(list.Remove(a));
  EXPECT_EQ(list.keys(), std::vector<std::wstring>{L"b"});
  EXPECT_EQ(list.Key(a), std::nullopt);
  EXPECT_EQ(list.Status(a), std::nullopt);
  EXPECT_FALSE(list.SetIcon(a, 1));
  // A new row with the same key is a new row.
  EXPECT_TRUE(list.Add(L"a"));
  EXPECT_NE(list.Rows()->back(), a);
}

TEST(RecordingDeviceListTest, FailuresHitOnlyTheRowAndCellNamed) {
  RecordingDeviceList list;
  list.Add(L"a");
  list.Add(L"b");
  const RowId a = list.Rows()->at(0), b = list.Rows()->at(1);
  list.fail(ListOp::WriteCell, L"a", Cell::Status);
  list.fail(ListOp::SetIcon, L"b");
  EXPECT_FALSE(list.SetStatus(a, CableStatus::Ok));
  EXPECT_TRUE(list.SetCellText(a, Cell::Text, L"COM3"));
  EXPECT_TRUE(list.SetStatus(b, CableStatus::Ok));
  EXPECT_TRUE(list.SetIcon(a, 2));
  EXPECT_FALSE(list.SetIcon(b, 2));
  EXPECT_EQ(list.row(L"a")->status, std::nullopt);
  EXPECT_EQ(list.row(L"b")->status, CableStatus::Ok);
  EXPECT_EQ(list.row(L"b")->icon, std::nullopt);

  list.fail(ListOp::Count);
  EXPECT_EQ(list.Count(), std::nullopt);
  EXPECT_TRUE(list.Rows().has_value());
}

TEST(RecordingDeviceListTest, HookRunsBeforeEachRowOperationAndNotFromInsideItself) {
  RecordingDeviceList list;
  list.Add(L"a");
  list.Add(L"b");
  const RowId a = list.Rows()->front();
  std::vector<ListOp> seen;
  list.onRowAccess([&](ListOp op, RowId row) {
    seen.push_back(op);
    list.Key(row);  // no second call of the hook
    list.erase(L"b");
  });
  EXPECT_TRUE(list.SetGhosted(a, true));
  EXPECT_EQ(seen, std::vector{ListOp::SetGhosted});
  EXPECT_EQ(list.keys(), std::vector<std::wstring>{L"a"});
  EXPECT_EQ(list.writeCount(ListOp::Remove), 0u);  // erase is not the pass's doing
}

}  // namespace
}  // namespace uvantic
