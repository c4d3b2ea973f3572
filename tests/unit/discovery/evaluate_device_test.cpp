// What one cable's row shows, worked out from an in-memory registry.
#include <gtest/gtest.h>

#include <cwctype>
#include <functional>

#include "discovery/evaluate_device.h"
#include "discovery/memory_registry.h"
#include "support/cable_keys.h"
#include "support/test_printers.h"
#include "texts/state_words.h"

namespace uvantic {
namespace {

using namespace testing;  // the shared cable keys

constexpr std::wstring_view kName = L"6&2F6C1E2B&0&0000";
constexpr std::wstring_view kCableId = L"6&2F6C1E2B&0&0";

DeviceState State(CableStatus status, int icon, bool ghosted, std::wstring_view port = L"COM5",
                  std::wstring_view cableId = kCableId) {
  return {std::wstring(port), status, std::wstring(cableId), icon, ghosted};
}

class EvaluateDeviceTest : public ::testing::Test {
 protected:
  // A cable that is plugged in, enabled and served by the driver.
  void InstallWorkingCable(std::wstring_view name = kName) {
    InstallCable(reg, {.name = name, .port = L"COM5"});
    reg.key(kDriverListPath).value(L"0", InstancePath(name)).value(L"Count", 1u).value(L"NextInstance", 1u);
  }

  void Reinstall() {
    reg.remove(L"\\HKEY_LOCAL_MACHINE");
    InstallWorkingCable();
  }

  void Unplug(std::wstring_view name = kName) {
    reg.remove(ControlKey(name));
    reg.removeValue(kDriverListPath, L"0");
  }

  DeviceState Evaluate(std::wstring_view name = kName) {
    const auto key = reg.OpenKey(InstanceKey(name));
    if (!key) {
      ADD_FAILURE() << "instance key missing";
      return {};
    }
    return EvaluateDevice(reg, *key, InstancePath(name));
  }

  MemoryRegistry reg;
};

// S = in the driver list, B = "ActiveService" is "slabser", D = disabled.
struct StatusCase {
  const char* name;
  bool served;
  bool bound;
  bool disabled;
  CableStatus status;
  int icon;
  bool ghosted;
  std::wstring_view words;  // what the icon and the dimming add to the status
};

class StatusTableTest : public EvaluateDeviceTest, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(StatusTableTest, GivesStatusIconAndDimming) {
  const StatusCase& c = GetParam();
  InstallWorkingCable();
  if (!c.served) reg.removeValue(kDriverListPath, L"0");
  if (!c.bound) reg.key(ControlKey(kName)).value(L"ActiveService", L"usbser");
  if (c.disabled) reg.key(InstanceKey(kName)).value(L"ConfigFlags", 1u);
  const DeviceState state = Evaluate();
  EXPECT_EQ(state, State(c.status, c.icon, c.ghosted));
  EXPECT_EQ(StateWordsText(EnglishTexts(), StateWords(state.status, state.icon == kIconDisabled, state.ghosted)),
            c.words);
}

constexpr std::wstring_view kUnserved = L"not served by its driver", kDisabledUnserved = L"disabled, not served by its driver";
constexpr StatusCase kStatusTable[] = {
    {"ServedBoundEnabled", true, true, false, kStatusOk, kIconNormal, false, L""},
    {"ServedUnboundEnabled", true, false, false, kStatusDriverNotLoaded, kIconDriverNotLoaded, false, L""},
    {"ServedBoundDisabled", true, true, true, kStatusDisabled, kIconDisabled, false, L""},
    {"ServedUnboundDisabled", true, false, true, kStatusDisabled, kIconDisabled, false, L""},
    {"UnservedBoundEnabled", false, true, false, kStatusNotPresent, kIconNormal, true, kUnserved},
    {"UnservedUnboundEnabled", false, false, false, kStatusDriverNotLoaded, kIconDriverNotLoaded, true, kUnserved},
    {"UnservedBoundDisabled", false, true, true, kStatusNotPresent, kIconDisabled, true, kDisabledUnserved},
    {"UnservedUnboundDisabled", false, false, true, kStatusDriverNotLoaded, kIconDisabled, true, kDisabledUnserved},
};

INSTANTIATE_TEST_SUITE_P(EveryCombination, StatusTableTest, ::testing::ValuesIn(kStatusTable),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EvaluateDeviceTest, UnpluggedCableShowsDriverNotLoadedDimmed) {
  InstallWorkingCable();
  Unplug();
  EXPECT_EQ(Evaluate(), State(kStatusDriverNotLoaded, kIconDriverNotLoaded, true));
  reg.key(InstanceKey(kName)).value(L"ConfigFlags", 1u);
  EXPECT_EQ(Evaluate(), State(kStatusDriverNotLoaded, kIconDisabled, true));
}

TEST_F(EvaluateDeviceTest, CableIdIsTheKeyNameLessItsLastThreeCharacters) {
  const std::pair<std::wstring_view, std::wstring_view> cases[] = {
      {L"ABCD", L"A"}, {L"ABC", L""}, {L"AB", L""}, {L"A", L""}, {L"Ser-0042&0&001", L"Ser-0042&0&"}};
  for (const auto& [name, cableId] : cases) {
    InstallWorkingCable(name);
    EXPECT_EQ(Evaluate(name).cableId, cableId) << "instance " << std::string(name.begin(), name.end());
  }
}

TEST_F(EvaluateDeviceTest, UnreadableKeyNameGivesEmptyCableIdAndTheRestAsUsual) {
  InstallWorkingCable();
  reg.failName(InstanceKey(kName));
  EXPECT_EQ(Evaluate(), State(kStatusOk, kIconNormal, false, L"COM5", L""));
}

TEST_F(EvaluateDeviceTest, PortNameAsText) {
  const std::pair<RegistryData, std::wstring_view> cases[] = {
      {RegistryData::Text(L"COM12"), L"COM12"},
      {RegistryData::Number(3), L"3"},
      {RegistryData::Empty(), L""},
      {RegistryData::Unreadable(), L""},
  };
  InstallWorkingCable();
  for (const auto& [data, port] : cases) {
    reg.key(ParametersKey(kName)).value(L"PortName", data);
    EXPECT_EQ(Evaluate(), State(kStatusOk, kIconNormal, false, port));
  }
}

TEST_F(EvaluateDeviceTest, PortNameThatCannotBeReadIsEmptyAndTheRestAsUsual) {
  const std::function<void(MemoryRegistry&)> failures[] = {
      [](MemoryRegistry& r) { r.remove(ParametersKey(kName)); },
      [](MemoryRegistry& r) { r.failOpen(ParametersKey(kName)); },
      [](MemoryRegistry& r) { r.removeValue(ParametersKey(kName), L"PortName"); },
      [](MemoryRegistry& r) { r.failValue(ParametersKey(kName), L"PortName"); },
  };
  for (const auto& fail : failures) {
    Reinstall();
    fail(reg);
    EXPECT_EQ(Evaluate(), State(kStatusOk, kIconNormal, false, L""));
  }
}

TEST_F(EvaluateDeviceTest, DriverListMatchesOnlyTheExactInstancePath) {
  InstallWorkingCable();
  std::wstring upper = InstancePath(kName);
  for (auto& c : upper) c = static_cast<wchar_t>(std::towupper(c));
  const std::wstring near[] = {upper, InstancePath(kName) + L" ", InstancePath(kName).substr(1),
                               InstanceKey(kName)};
  for (std::size_t i = 0; i < std::size(near); ++i) {
    reg.key(kDriverListPath).value(L"0", near[i]);
    EXPECT_EQ(Evaluate(), State(kStatusNotPresent, kIconNormal, true)) << "entry " << i;
  }
}

TEST_F(EvaluateDeviceTest, DriverListOfCountersOnlyMatchesNothing) {
  InstallWorkingCable();
  reg.key(kDriverListPath).value(L"0", 0u);
  EXPECT_EQ(Evaluate(), State(kStatusNotPresent, kIconNormal, true));
}

TEST_F(EvaluateDeviceTest, MatchFurtherDownTheDriverListCounts) {
  InstallWorkingCable();
  reg.key(kDriverListPath).value(L"0", InstancePath(L"6&11111111&0&0000")).value(L"1", InstancePath(kName));
  EXPECT_EQ(Evaluate(), State(kStatusOk, kIconNormal, false));
}

TEST_F(EvaluateDeviceTest, DriverListThatCannotBeReadMatchesNothing) {
  InstallWorkingCable();
  reg.failValues(kDriverListPath);
  EXPECT_EQ(Evaluate(), State(kStatusNotPresent, kIconNormal, true));
  reg.failOpen(kDriverListPath);
  EXPECT_EQ(Evaluate(), State(kStatusNotPresent, kIconNormal, true));
}

// A driver-list value that cannot be read says nothing about this cable: it must
// neither make an absent cable look served nor hide a later entry that names it.
TEST_F(EvaluateDeviceTest, UnreadableDriverListValueIsNoMatchAndTheWalkGoesOn) {
  InstallWorkingCable();
  reg.key(kDriverListPath).value(L"0", L"").value(L"Binary", RegistryData::Unreadable());
  reg.failValue(kDriverListPath, L"0");
  EXPECT_EQ(Evaluate(), State(kStatusNotPresent, kIconNormal, true));

  reg.key(kDriverListPath).value(L"1", InstancePath(kName));
  EXPECT_EQ(Evaluate(), State(kStatusOk, kIconNormal, false));
}

TEST_F(EvaluateDeviceTest, ActiveServiceOtherThanExactlySlabserIsDriverNotLoaded) {
  const RegistryData services[] = {RegistryData::Text(L"SLABSER"), RegistryData::Text(L"slabser2"),
                                   RegistryData::Text(L""), RegistryData::Number(0), RegistryData::Empty(),
                                   RegistryData::Unreadable()};
  InstallWorkingCable();
  for (const auto& service : services) {
    reg.key(ControlKey(kName)).value(L"ActiveService", service);
    EXPECT_EQ(Evaluate(), State(kStatusDriverNotLoaded, kIconDriverNotLoaded, false));
  }
}

TEST_F(EvaluateDeviceTest, UnreadableActiveServiceIsDriverNotLoaded) {
  const std::function<void(MemoryRegistry&)> failures[] = {
      [](MemoryRegistry& r) { r.failValue(ControlKey(kName), L"ActiveService"); },
      [](MemoryRegistry& r) { r.removeValue(ControlKey(kName), L"ActiveService"); },
      [](MemoryRegistry& r) { r.failOpen(ControlKey(kName)); },
      [](MemoryRegistry& r) { r.remove(ControlKey(kName)); },
  };
  for (const auto& fail : failures) {
    Reinstall();
    fail(reg);
    EXPECT_EQ(Evaluate(), State(kStatusDriverNotLoaded, kIconDriverNotLoaded, false));
  }
}

// How "ConfigFlags" and "DisableCount" decide whether a served, bound cable is disabled.
TEST_F(EvaluateDeviceTest, DisabledFromConfigFlagsAndDisableCount) {
  struct Case {
    std::optional<RegistryData> configFlags;  // nullopt: cannot be read
    std::optional<RegistryData> disableCount;
    bool disabled;
  };
  const auto n = [](std::uint32_t v) { return std::optional(RegistryData::Number(v)); };
  const auto t = [](const wchar_t* v) { return std::optional(RegistryData::Text(v)); };
  const Case cases[] = {
      {n(0), n(0), false},
      {n(1), n(0), true},
      {n(3), n(0), true},
      {n(2), n(0), false},             // only bit 0 means disabled
      {n(0x80000001u), n(0), true},
      {t(L"1"), n(0), true},           // decimal text counts as its number
      {t(L"x"), n(0), false},
      {RegistryData::Empty(), n(0), false},
      {std::nullopt, n(0), false},
      {n(0), n(2), true},
      {n(0), n(1), true},
      {n(0), t(L"2"), true},
      {n(0), t(L"x"), false},
      {n(0), RegistryData::Empty(), false},
      {n(1), std::nullopt, true},      // an unreadable count leaves the flags' verdict
      {n(0), std::nullopt, false},
      {std::nullopt, n(4), true},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    Reinstall();
    if (c.configFlags) {
      reg.key(InstanceKey(kName)).value(L"ConfigFlags", *c.configFlags);
    } else {
      reg.failValue(InstanceKey(kName), L"ConfigFlags");
    }
    if (c.disableCount) {
      reg.key(ControlKey(kName)).value(L"DisableCount", *c.disableCount);
    } else {
      reg.failValue(ControlKey(kName), L"DisableCount");
    }
    const DeviceState expected = c.disabled ? State(kStatusDisabled, kIconDisabled, false)
                                            : State(kStatusOk, kIconNormal, false);
    EXPECT_EQ(Evaluate(), expected) << "case " << i;
  }
}

TEST_F(EvaluateDeviceTest, MissingConfigFlagsMeansEnabled) {
  InstallWorkingCable();
  reg.removeValue(InstanceKey(kName), L"ConfigFlags");
  EXPECT_EQ(Evaluate(), State(kStatusOk, kIconNormal, false));
}

TEST_F(EvaluateDeviceTest, InstanceKeyDeletedAfterOpeningStillGivesAState) {
  InstallWorkingCable();
  reg.key(InstanceKey(kName)).value(L"ConfigFlags", 1u);
  const auto key = reg.OpenKey(InstanceKey(kName));
  ASSERT_NE(key, nullptr);
  reg.remove(InstanceKey(kName));
  // Served still, but nothing of the key itself can be read any more.
  EXPECT_EQ(EvaluateDevice(reg, *key, InstancePath(kName)),
            State(kStatusDriverNotLoaded, kIconDriverNotLoaded, false, L"", L""));
}

}  // namespace
}  // namespace uvantic
