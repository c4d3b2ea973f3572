// The refresh pass over an in-memory registry and an in-memory device list.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "discovery/memory_registry.h"
#include "discovery/refresh_device_list.h"
#include "support/recording_device_list.h"
#include "support/cable_keys.h"

namespace uvantic {
namespace {

using namespace testing;  // the shared cable keys

constexpr std::wstring_view kFirst = L"6&2F6C1E2B&0&0000";
constexpr std::wstring_view kSecond = L"6&3A9D0C11&0&0000";
constexpr std::wstring_view kThird = L"6&14B7E2F0&0&0000";

class RefreshDeviceListTest : public ::testing::Test {
 protected:
  // A cable that is plugged in, enabled and served by the driver.
  void Install(std::wstring_view name, std::wstring_view port) {
    InstallCable(reg, {.name = name, .port = port});
    reg.key(kDriverListPath).value(std::wstring(name), InstancePath(name));
  }

  std::optional<bool> Pass() { return RefreshDeviceList(list, reg); }

  const MemoryRow& Row(std::wstring_view name) {
    static const MemoryRow kMissing{.key = L"<missing>"};
    const MemoryRow* row = list.row(InstancePath(name));
    if (!row) ADD_FAILURE() << "no row";
    return row ? *row : kMissing;
  }

  std::vector<std::wstring> Keys(std::initializer_list<std::wstring_view> names) {
    std::vector<std::wstring> keys;
    for (auto name : names) keys.push_back(InstancePath(name));
    return keys;
  }

  // How often each row was evaluated: the icon is written once per evaluation.
  std::map<std::wstring, int> Evaluations() const {
    std::map<std::wstring, int> count;
    for (const auto& w : list.writes()) {
      if (w.op == ListOp::SetIcon) ++count[w.key];
    }
    return count;
  }

  std::size_t CellWrites() const { return list.writeCount(ListOp::WriteCell); }

  MemoryRegistry reg;
  RecordingDeviceList list;
};

void ExpectRow(const MemoryRow& row, std::wstring_view port, CableStatus status,
               std::wstring_view cableId, int icon, bool ghosted) {
  EXPECT_EQ(row.cell(Cell::Text), port);
  EXPECT_EQ(row.status, status);
  EXPECT_EQ(row.cell(Cell::CableId), cableId);
  EXPECT_EQ(row.icon, icon);
  EXPECT_EQ(row.ghosted, ghosted);
}

TEST_F(RefreshDeviceListTest, NoHardwareKeyLeavesTheListEmptyAndPropertiesDisabled) {
  EXPECT_EQ(Pass(), false);
  EXPECT_TRUE(list.keys().empty());
  EXPECT_TRUE(list.writes().empty());
}

TEST_F(RefreshDeviceListTest, NewCableIsFilledInInTheSamePass) {
  Install(kFirst, L"COM5");
  EXPECT_EQ(Pass(), true);
  EXPECT_EQ(list.keys(), Keys({kFirst}));
  ExpectRow(Row(kFirst), L"COM5", kStatusOk, L"6&2F6C1E2B&0&0", kIconNormal, false);
}

TEST_F(RefreshDeviceListTest, RowsAreAddedInEnumerationOrderWithTheKeysLetterCase) {
  Install(L"zz&0001", L"COM3");
  Install(L"Ab&0002", L"COM4");
  Install(L"mM&0003", L"COM5");
  Pass();
  EXPECT_EQ(list.keys(), Keys({L"zz&0001", L"Ab&0002", L"mM&0003"}));
}

TEST_F(RefreshDeviceListTest, SecondPassWithoutRegistryChangeWritesNoTextCell) {
  Install(kFirst, L"COM5");
  Install(kSecond, L"COM6");
  reg.remove(ControlKey(kSecond));  // unplugged
  Pass();
  list.clearWrites();

  EXPECT_EQ(Pass(), true);
  EXPECT_EQ(CellWrites(), 0u);
  EXPECT_EQ(list.writeCount(ListOp::SetIcon), 2u);
  EXPECT_EQ(list.writeCount(ListOp::SetGhosted), 2u);
  EXPECT_EQ(list.writeCount(ListOp::Remove), 0u);
  // Known instances are offered again and refused.
  EXPECT_TRUE(std::none_of(list.writes().begin(), list.writes().end(),
                           [](const ListWrite& w) { return w.op == ListOp::Add && w.done; }));
  EXPECT_EQ(list.keys().size(), 2u);
}

TEST_F(RefreshDeviceListTest, OnlyTheCellThatChangedIsRewritten) {
  Install(kFirst, L"COM5");
  Install(kSecond, L"COM6");
  Pass();
  list.clearWrites();

  reg.key(ParametersKey(kSecond)).value(L"PortName", L"COM16");
  Pass();
  ASSERT_EQ(CellWrites(), 1u);
  const auto write = std::find_if(list.writes().begin(), list.writes().end(),
                                  [](const ListWrite& w) { return w.op == ListOp::WriteCell; });
  EXPECT_EQ(write->key, InstancePath(kSecond));
  EXPECT_EQ(write->cell, Cell::Text);
  EXPECT_EQ(write->text, L"COM16");
}

TEST_F(RefreshDeviceListTest, UnpluggingAndDisablingFollowTheRegistry) {
  Install(kFirst, L"COM5");
  Pass();
  reg.remove(ControlKey(kFirst));
  reg.removeValue(kDriverListPath, kFirst);
  Pass();
  ExpectRow(Row(kFirst), L"COM5", kStatusDriverNotLoaded, L"6&2F6C1E2B&0&0", kIconDriverNotLoaded, true);

  Install(kFirst, L"COM5");
  reg.key(InstanceKey(kFirst)).value(L"ConfigFlags", 1u);
  Pass();
  ExpectRow(Row(kFirst), L"COM5", kStatusDisabled, L"6&2F6C1E2B&0&0", kIconDisabled, false);
}

TEST_F(RefreshDeviceListTest, UninstalledInstanceLosesItsRowAndTheLastOneDisablesProperties) {
  Install(kFirst, L"COM5");
  Install(kSecond, L"COM6");
  Pass();

  reg.remove(InstanceKey(kFirst));
  EXPECT_EQ(Pass(), true);
  EXPECT_EQ(list.keys(), Keys({kSecond}));

  reg.remove(InstanceKey(kSecond));
  EXPECT_EQ(Pass(), false);
  EXPECT_TRUE(list.keys().empty());
}

TEST_F(RefreshDeviceListTest, RowWithoutAnInstanceKeyIsRemoved) {
  Install(kFirst, L"COM5");
  list.Add(InstancePath(L"gone&0000"));
  Pass();
  EXPECT_EQ(list.keys(), Keys({kFirst}));
}

TEST_F(RefreshDeviceListTest, RowsMovedBySortingAreEachEvaluatedOnce) {
  list.sortBy(Cell::Text);
  Install(kFirst, L"COM9");
  Install(kSecond, L"COM1");
  Install(kThird, L"COM5");
  Pass();
  EXPECT_EQ(Evaluations(), (std::map<std::wstring, int>{
                               {InstancePath(kFirst), 1}, {InstancePath(kSecond), 1}, {InstancePath(kThird), 1}}));
  EXPECT_EQ(list.keys(), Keys({kSecond, kThird, kFirst}));

  // Reverse the order the rows sort in: every text write moves a row.
  reg.key(ParametersKey(kFirst)).value(L"PortName", L"COM0");
  reg.key(ParametersKey(kSecond)).value(L"PortName", L"COM8");
  list.clearWrites();
  Pass();
  EXPECT_EQ(Evaluations(), (std::map<std::wstring, int>{
                               {InstancePath(kFirst), 1}, {InstancePath(kSecond), 1}, {InstancePath(kThird), 1}}));
  EXPECT_EQ(list.keys(), Keys({kFirst, kThird, kSecond}));
}

TEST_F(RefreshDeviceListTest, RowRemovedByOthersDuringThePassIsSkippedAndComesBackNextPass) {
  Install(kFirst, L"COM5");
  Install(kSecond, L"COM6");
  Install(kThird, L"COM7");
  // While the first row is being evaluated, the second row goes, and so does the
  // first row itself before its cells are compared.
  list.onRowAccess([&](ListOp op, RowId row) {
    if (list.Key(row) != InstancePath(kFirst)) return;
    if (op == ListOp::Key) list.erase(InstancePath(kSecond));
    if (op == ListOp::SetGhosted) list.erase(InstancePath(kFirst));
  });
  EXPECT_EQ(Pass(), true);
  EXPECT_EQ(list.keys(), Keys({kThird}));
  for (const auto& [key, count] : Evaluations()) EXPECT_LE(count, 1) << "evaluated twice";
  ExpectRow(Row(kThird), L"COM7", kStatusOk, L"6&14B7E2F0&0&0", kIconNormal, false);

  list.onRowAccess(nullptr);
  EXPECT_EQ(Pass(), true);
  EXPECT_EQ(list.keys(), Keys({kThird, kFirst, kSecond}));
  ExpectRow(Row(kFirst), L"COM5", kStatusOk, L"6&2F6C1E2B&0&0", kIconNormal, false);
  ExpectRow(Row(kSecond), L"COM6", kStatusOk, L"6&3A9D0C11&0&0", kIconNormal, false);
}

TEST_F(RefreshDeviceListTest, UnopenableHardwareKeyAddsNothingButRowsAreStillEvaluated) {
  Install(kFirst, L"COM5");
  Pass();
  Install(kSecond, L"COM6");
  reg.key(ParametersKey(kFirst)).value(L"PortName", L"COM15");
  reg.failOpen(kHardwareKeyPath);
  EXPECT_EQ(Pass(), true);
  EXPECT_EQ(list.keys(), Keys({kFirst}));
  EXPECT_EQ(Row(kFirst).cell(Cell::Text), L"COM15");
}

TEST_F(RefreshDeviceListTest, UnenumerableHardwareKeyAddsNothing) {
  Install(kFirst, L"COM5");
  reg.failSubkeys(kHardwareKeyPath);
  EXPECT_EQ(Pass(), false);
  EXPECT_TRUE(list.keys().empty());
}

TEST_F(RefreshDeviceListTest, SubkeyWhoseNameCannotBeReadAddsNothing) {
  Install(kFirst, L"COM5");
  Install(kSecond, L"COM6");
  Install(kThird, L"COM7");
  reg.failSubkeyName(InstanceKey(kSecond));
  Pass();
  EXPECT_EQ(list.keys(), Keys({kFirst, kThird}));
}

TEST_F(RefreshDeviceListTest, RefusedAddSkipsOnlyThatInstance) {
  Install(kFirst, L"COM5");
  Install(kSecond, L"COM6");
  list.fail(ListOp::Add, InstancePath(kFirst));
  Pass();
  EXPECT_EQ(list.keys(), Keys({kSecond}));
  ExpectRow(Row(kSecond), L"COM6", kStatusOk, L"6&3A9D0C11&0&0", kIconNormal, false);
}

TEST_F(RefreshDeviceListTest, UnwalkableListEvaluatesNothingButStillGivesTheCommandState) {
  Install(kFirst, L"COM5");
  list.fail(ListOp::Rows);
  EXPECT_EQ(Pass(), true);
  EXPECT_EQ(list.keys(), Keys({kFirst}));
  EXPECT_TRUE(Evaluations().empty());
}

TEST_F(RefreshDeviceListTest, UnreadableCountLeavesTheCommandStateAsItWas) {
  Install(kFirst, L"COM5");
  list.fail(ListOp::Count);
  EXPECT_EQ(Pass(), std::nullopt);
  ExpectRow(Row(kFirst), L"COM5", kStatusOk, L"6&2F6C1E2B&0&0", kIconNormal, false);
}

TEST_F(RefreshDeviceListTest, InstanceKeyThatCannotBeOpenedLosesItsRow) {
  Install(kFirst, L"COM5");
  Install(kSecond, L"COM6");
  reg.failOpen(InstanceKey(kFirst));
  EXPECT_EQ(Pass(), true);
  EXPECT_EQ(list.keys(), Keys({kSecond}));
}

TEST_F(RefreshDeviceListTest, RowThatCannotBeRemovedStaysAndThePassGoesOn) {
  Install(kFirst, L"COM5");
  Install(kSecond, L"COM6");
  Pass();
  reg.remove(InstanceKey(kFirst));
  reg.key(ParametersKey(kSecond)).value(L"PortName", L"COM16");
  list.fail(ListOp::Remove, InstancePath(kFirst));
  EXPECT_EQ(Pass(), true);
  EXPECT_EQ(list.keys(), Keys({kFirst, kSecond}));
  EXPECT_EQ(Row(kSecond).cell(Cell::Text), L"COM16");
}

TEST_F(RefreshDeviceListTest, RowWhoseKeyCannotBeReadIsLeftAlone) {
  Install(kFirst, L"COM5");
  Install(kSecond, L"COM6");
  list.fail(ListOp::Key, InstancePath(kFirst));
  Pass();
  EXPECT_EQ(list.keys(), Keys({kFirst, kSecond}));
  EXPECT_EQ(Row(kFirst).icon, std::nullopt);
  EXPECT_EQ(Row(kSecond).icon, kIconNormal);
}

TEST_F(RefreshDeviceListTest, FailedWriteIsSkippedAndTheOthersStillHappen) {
  Install(kFirst, L"COM5");
  reg.remove(ControlKey(kFirst));
  reg.removeValue(kDriverListPath, kFirst);
  list.fail(ListOp::SetIcon, InstancePath(kFirst));
  list.fail(ListOp::WriteCell, InstancePath(kFirst), Cell::Status);
  Pass();
  const MemoryRow& row = Row(kFirst);
  EXPECT_EQ(row.icon, std::nullopt);
  EXPECT_TRUE(row.ghosted);
  EXPECT_EQ(row.cell(Cell::Text), L"COM5");
  EXPECT_EQ(row.status, std::nullopt);
  EXPECT_EQ(row.cell(Cell::CableId), L"6&2F6C1E2B&0&0");
}

TEST_F(RefreshDeviceListTest, FailedGhostedWriteLeavesTheRestWritten) {
  Install(kFirst, L"COM5");
  reg.removeValue(kDriverListPath, kFirst);
  list.fail(ListOp::SetGhosted, InstancePath(kFirst));
  Pass();
  ExpectRow(Row(kFirst), L"COM5", kStatusNotPresent, L"6&2F6C1E2B&0&0", kIconNormal, false);
}

// An instance key deleted and created again in another letter case is the same
// instance: its row stays the only one and is evaluated under the new spelling, which
// is the one the driver list now holds.
TEST_F(RefreshDeviceListTest, InstanceRecreatedInAnotherLetterCaseKeepsOneRowUnderTheNewSpelling) {
  Install(L"uv5k31qx_00", L"COM5");
  Pass();
  reg.remove(InstanceKey(L"uv5k31qx_00"));
  reg.removeValue(kDriverListPath, L"uv5k31qx_00");
  Install(L"UV5K31QX_00", L"COM5");
  Pass();
  EXPECT_EQ(list.keys(), Keys({L"UV5K31QX_00"}));
  ExpectRow(Row(L"UV5K31QX_00"), L"COM5", kStatusOk, L"UV5K31QX", kIconNormal, false);
  list.clearWrites();
  Pass();
  EXPECT_EQ(CellWrites(), 0u);
}

// Windows writes the hardware key, and the driver list's instance paths, in its own
// spelling of the cable's identity. Rows take the spelling the registry stores; the
// driver list still matches only exactly.
TEST_F(RefreshDeviceListTest, RowKeysTakeTheRegistrysSpellingOfTheHardwareKey) {
  constexpr std::wstring_view kWindows = L"VID_2E7A&PID_0200&MI_00";  // Windows Vista to 11
  struct Case {
    const char* name;
    std::wstring_view keySpelling, listSpelling;
    bool usbTreeUnreadable;
    std::wstring_view rowSpelling;
    CableStatus status;
  };
  const Case cases[] = {
      {"modern Windows", kWindows, kWindows, false, kWindows, kStatusOk},
      {"before Vista", L"Vid_2e7a&Pid_0200&Mi_00", L"Vid_2e7a&Pid_0200&Mi_00", false, L"Vid_2e7a&Pid_0200&Mi_00",
       kStatusOk},
      {"listed in another spelling", kWindows, kHardwareId, false, kWindows, kStatusNotPresent},
      {"spelling unreadable", kWindows, kWindows, true, kHardwareId, kStatusNotPresent},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto path = [](std::wstring_view spelling) {
      return L"USB\\" + std::wstring(spelling) + L"\\" + std::wstring(kFirst);
    };
    MemoryRegistry registry;
    registry.key(std::wstring(kDeviceTreePath) + path(c.keySpelling))
        .key(L"Control").value(L"ActiveService", L"slabser");
    registry.key(kDriverListPath).value(L"0", path(c.listSpelling)).value(L"Count", 1u);
    if (c.usbTreeUnreadable) registry.failSubkeys(kUsbDeviceTreePath);
    RecordingDeviceList rows;
    RefreshDeviceList(rows, registry);
    ASSERT_EQ(rows.keys(), std::vector<std::wstring>{path(c.rowSpelling)});
    EXPECT_EQ(rows.row(path(c.rowSpelling))->status, c.status);
  }
}

// A list that throws, as one does when memory runs out, fails only the step that
// threw; the pass goes on and never lets the exception out.
TEST_F(RefreshDeviceListTest, StepThatThrowsIsSkippedLikeAFailedStep) {
  constexpr std::wstring_view kGone = L"gone&0000";  // a row whose instance is uninstalled
  struct Case {
    ListOp op;
    std::wstring_view name;  // the row whose calls throw; empty for every call
    std::optional<bool> result;
    bool secondFilledIn;
  };
  const Case cases[] = {
      {ListOp::Add, kFirst, true, true},        {ListOp::Key, kFirst, true, true},
      {ListOp::ReadCell, kFirst, true, true},   {ListOp::WriteCell, kFirst, true, true},
      {ListOp::SetIcon, kFirst, true, true},    {ListOp::SetGhosted, kFirst, true, true},
      {ListOp::Remove, kGone, true, true},      {ListOp::Rows, L"", true, false},
      {ListOp::Count, L"", std::nullopt, true},
  };
  Install(kFirst, L"COM5");
  Install(kSecond, L"COM6");
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.op));
    list = RecordingDeviceList();
    list.Add(InstancePath(kGone));
    list.throwOn(c.op, c.name.empty() ? L"" : InstancePath(c.name));
    EXPECT_EQ(Pass(), c.result);
    if (c.secondFilledIn) {
      ExpectRow(Row(kSecond), L"COM6", kStatusOk, L"6&3A9D0C11&0&0", kIconNormal, false);
    } else {
      EXPECT_TRUE(Evaluations().empty());
    }
  }
}

TEST_F(RefreshDeviceListTest, CellThatCannotBeReadIsWritten) {
  Install(kFirst, L"COM5");
  Pass();
  list.clearWrites();
  list.fail(ListOp::ReadCell, InstancePath(kFirst), Cell::CableId);
  Pass();
  ASSERT_EQ(CellWrites(), 1u);
  EXPECT_EQ(list.writes().back().cell, Cell::CableId);
  EXPECT_EQ(list.writes().back().text, L"6&2F6C1E2B&0&0");
}

}  // namespace
}  // namespace uvantic
