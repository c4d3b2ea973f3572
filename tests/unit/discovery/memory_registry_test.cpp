// The in-memory registry behaves as the Windows registry does where the discovery
// logic can tell, and each injected failure hits only what it names.
#include <gtest/gtest.h>

#include <vector>

#include "discovery/memory_registry.h"

namespace uvantic {
namespace {

constexpr std::wstring_view kKey = L"\\HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\USB\\Dev";

std::vector<std::optional<std::wstring>> SubkeyNames(const RegistryKey& key) {
  std::vector<std::optional<std::wstring>> names;
  EXPECT_TRUE(key.ForEachSubkeyName([&](const std::optional<std::wstring>& name) { names.push_back(name); }));
  return names;
}

std::vector<RegistryData> ValueData(const RegistryKey& key) {
  std::vector<RegistryData> data;
  EXPECT_TRUE(key.ForEachValueData([&](const RegistryData& d) {
    data.push_back(d);
    return true;
  }));
  return data;
}

// As in the Windows registry, an opened key is named as the caller spelled it, and
// only enumeration gives the case it was created with.
TEST(MemoryRegistryTest, LooksUpWithoutLetterCaseAndEnumeratesTheCreatedCase) {
  MemoryRegistry reg;
  reg.key(kKey).value(L"PortName", L"COM3").key(L"Inst&0001");
  const auto key = reg.OpenKey(L"\\hkey_local_machine\\system\\CURRENTCONTROLSET\\enum\\usb\\dev");
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->Name(), L"dev");
  EXPECT_EQ(key->ReadValue(L"PORTNAME"), RegistryData::Text(L"COM3"));
  const auto sub = key->OpenSubkey(L"INST&0001");
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(sub->Name(), L"INST&0001");
  EXPECT_EQ(SubkeyNames(*key), (std::vector<std::optional<std::wstring>>{L"Inst&0001"}));
}

TEST(MemoryRegistryTest, EnumeratesInCreationOrderAndReplacesValuesInPlace) {
  MemoryRegistry reg;
  reg.key(kKey).value(L"b", 1u).value(L"a", L"x").value(L"B", 2u);
  reg.key(kKey).key(L"z");
  reg.key(kKey).key(L"y");
  const auto key = reg.OpenKey(kKey);
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(ValueData(*key), (std::vector{RegistryData::Number(2), RegistryData::Text(L"x")}));
  EXPECT_EQ(SubkeyNames(*key), (std::vector<std::optional<std::wstring>>{L"z", L"y"}));
}

TEST(MemoryRegistryTest, MissingKeysAndMalformedPathsDoNotOpen) {
  MemoryRegistry reg;
  reg.key(kKey).key(L"Child");
  EXPECT_EQ(reg.OpenKey(std::wstring(kKey) + L"\\Other"), nullptr);
  EXPECT_EQ(reg.OpenKey(std::wstring(kKey) + L"\\"), nullptr);
  EXPECT_EQ(reg.OpenKey(L"\\HKEY_LOCAL_MACHINE\\\\SYSTEM"), nullptr);
  EXPECT_EQ(reg.OpenKey(L""), nullptr);
  const auto key = reg.OpenKey(kKey);
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->OpenSubkey(L"Other"), nullptr);
  EXPECT_EQ(key->ReadValue(L"Missing"), std::nullopt);
}

TEST(MemoryRegistryTest, RemovedKeyIsGoneAndKeysOpenOnItFail) {
  MemoryRegistry reg;
  reg.key(kKey).value(L"v", 1u).key(L"Child").value(L"w", 2u);
  reg.key(kKey).key(L"Sibling");
  const auto parent = reg.OpenKey(kKey);
  const auto child = reg.OpenKey(std::wstring(kKey) + L"\\Child");
  ASSERT_NE(child, nullptr);

  EXPECT_TRUE(reg.remove(std::wstring(kKey) + L"\\CHILD"));
  EXPECT_FALSE(reg.remove(std::wstring(kKey) + L"\\Child"));
  EXPECT_EQ(reg.OpenKey(std::wstring(kKey) + L"\\Child"), nullptr);
  EXPECT_EQ(SubkeyNames(*parent), (std::vector<std::optional<std::wstring>>{L"Sibling"}));
  EXPECT_EQ(child->Name(), std::nullopt);
  EXPECT_EQ(child->ReadValue(L"w"), std::nullopt);
  EXPECT_FALSE(child->ForEachValueData([](const RegistryData&) { return true; }));

  // Created again, it starts empty.
  reg.key(kKey).key(L"Child");
  const auto again = reg.OpenKey(std::wstring(kKey) + L"\\Child");
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->ReadValue(L"w"), std::nullopt);
}

TEST(MemoryRegistryTest, EachFailureHitsOnlyWhatItNames) {
  MemoryRegistry reg;
  reg.key(kKey).value(L"good", 1u).value(L"bad", 2u).key(L"Locked");
  reg.key(kKey).key(L"Nameless");
  reg.key(kKey).key(L"Plain");
  reg.failOpen(std::wstring(kKey) + L"\\Locked");
  reg.failValue(kKey, L"bad");
  reg.failSubkeyName(std::wstring(kKey) + L"\\Nameless");
  reg.failName(std::wstring(kKey) + L"\\Plain");

  const auto key = reg.OpenKey(kKey);
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->OpenSubkey(L"Locked"), nullptr);
  EXPECT_EQ(reg.OpenKey(std::wstring(kKey) + L"\\Locked"), nullptr);
  EXPECT_EQ(key->ReadValue(L"bad"), std::nullopt);
  EXPECT_EQ(key->ReadValue(L"good"), RegistryData::Number(1));
  EXPECT_EQ(ValueData(*key), (std::vector{RegistryData::Number(1), RegistryData::Unreadable()}));
  EXPECT_EQ(SubkeyNames(*key), (std::vector<std::optional<std::wstring>>{L"Locked", std::nullopt, L"Plain"}));
  const auto plain = key->OpenSubkey(L"Plain");
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(plain->Name(), std::nullopt);

  reg.failValues(kKey);
  reg.failSubkeys(kKey);
  EXPECT_FALSE(key->ForEachValueData([](const RegistryData&) { return true; }));
  EXPECT_FALSE(key->ForEachSubkeyName([](const std::optional<std::wstring>&) {}));
}

}  // namespace
}  // namespace uvantic
