// The Win32 registry view against real keys: how each kind of stored data reads, odd
// and oversized data, long names, paths it must refuse, keys that vanish, and reads
// that run out of memory.
#include "platform/win_registry_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "support/registry_writer.h"
#include "support/test_printers.h"

namespace uvantic {
namespace {

// Allocations of this many bytes or more fail while a test sets it lower.
std::size_t failAllocationsFrom = SIZE_MAX;

}  // namespace
}  // namespace uvantic

void* operator new(std::size_t size) {
  if (size >= uvantic::failAllocationsFrom) throw std::bad_alloc();
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}

namespace uvantic {
namespace {

using namespace std::literals;
using testing::RegistryWriter;
using testing::Utf16;

constexpr std::wstring_view kScratch = L"\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Uvantic Tests";

std::wstring Scratch(std::wstring_view relative) { return std::wstring(kScratch) + L"\\" + std::wstring(relative); }

std::vector<BYTE> Append(std::vector<BYTE> bytes, std::initializer_list<BYTE> more) {
  bytes.insert(bytes.end(), more);
  return bytes;
}

std::vector<RegistryData> EnumeratedData(const RegistryKey& key) {
  std::vector<RegistryData> all;
  EXPECT_TRUE(key.ForEachValueData([&](const RegistryData& data) {
    all.push_back(data);
    return true;
  }));
  return all;
}

std::vector<std::wstring> SubkeyNames(const RegistryKey& key) {
  std::vector<std::wstring> names;
  EXPECT_TRUE(key.ForEachSubkeyName([&](const std::optional<std::wstring>& name) {
    EXPECT_TRUE(name.has_value());
    names.push_back(name.value_or(L"<unreadable>"));
  }));
  std::sort(names.begin(), names.end());
  return names;
}

class WinRegistryViewTest : public ::testing::Test {
 protected:
  std::unique_ptr<RegistryKey> OpenScratch() {
    auto key = view.OpenKey(kScratch);
    EXPECT_NE(key, nullptr);
    return key;
  }

  RegistryWriter reg;
  WinRegistryView view;
};

struct DataCase {
  const char* what;
  DWORD type;
  std::vector<BYTE> bytes;
  RegistryData expected;
};

// Up to 64 KiB a value reads whole; one byte more makes it unreadable, so that a huge
// value can neither stall the program nor exhaust its memory.
TEST_F(WinRegistryViewTest, StoredDataReadsTheSameQueriedOrEnumerated) {
  const std::wstring capText(32768, L'x');  // 64 KiB
  const std::wstring belowCap(32767, L'x');
  const std::vector<DataCase> cases = {
      {"terminated text", REG_SZ, Utf16(L"COM3\0"sv), RegistryData::Text(L"COM3")},
      {"text without terminator", REG_SZ, Utf16(L"COM3"), RegistryData::Text(L"COM3")},
      {"text with a stray odd byte", REG_SZ, Append(Utf16(L"COM3"), {'x'}), RegistryData::Text(L"COM3")},
      {"text with two terminators", REG_SZ, Utf16(L"COM3\0\0"sv), RegistryData::Text(L"COM3")},
      {"zero inside text is kept", REG_SZ, Utf16(L"A\0B\0"sv), RegistryData::Text(L"A\0B"s)},
      {"terminator only", REG_SZ, Utf16(L"\0"sv), RegistryData::Text(L"")},
      {"one byte of text", REG_SZ, {'A'}, RegistryData::Text(L"")},
      {"text of no bytes", REG_SZ, {}, RegistryData::Empty()},
      {"64 KiB of text, unterminated", REG_SZ, Utf16(capText), RegistryData::Text(capText)},
      {"64 KiB of text with its terminator", REG_SZ, Utf16(belowCap + L'\0'), RegistryData::Text(belowCap)},
      {"text one byte over 64 KiB", REG_SZ, Append(Utf16(capText), {'y'}), RegistryData::Unreadable()},
      {"text one character over 64 KiB", REG_SZ, Utf16(capText + L'\0'), RegistryData::Unreadable()},
      {"a megabyte of text", REG_SZ, Utf16(std::wstring(512 * 1024, L'x')), RegistryData::Unreadable()},
      {"a megabyte of binary", REG_BINARY, std::vector<BYTE>(1024 * 1024, 1), RegistryData::Unreadable()},
      {"expandable text stays unexpanded", REG_EXPAND_SZ, Utf16(L"%SystemRoot%\\x\0"sv),
       RegistryData::Text(L"%SystemRoot%\\x")},
      {"number", REG_DWORD, {7, 0, 0, 0}, RegistryData::Number(7)},
      {"largest number", REG_DWORD, {0xff, 0xff, 0xff, 0xff}, RegistryData::Number(0xffffffffu)},
      {"number of no bytes", REG_DWORD, {}, RegistryData::Empty()},
      {"number of two bytes", REG_DWORD, {1, 0}, RegistryData::Unreadable()},
      {"number of eight bytes", REG_DWORD, {1, 0, 0, 0, 0, 0, 0, 0}, RegistryData::Unreadable()},
      {"big-endian number", REG_DWORD_BIG_ENDIAN, {0, 0, 0, 1}, RegistryData::Unreadable()},
      {"64-bit number", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}, RegistryData::Unreadable()},
      {"binary", REG_BINARY, {1, 2, 3, 4}, RegistryData::Unreadable()},
      {"binary of no bytes", REG_BINARY, {}, RegistryData::Empty()},
      {"text list", REG_MULTI_SZ, Utf16(L"COM3\0\0"sv), RegistryData::Unreadable()},
      {"untyped data", REG_NONE, {1}, RegistryData::Unreadable()},
      {"untyped, no bytes", REG_NONE, {}, RegistryData::Empty()},
  };
  // Zero-padded names enumerate in the order they were written.
  auto key = reg.key(kScratch);
  for (std::size_t i = 0; i < cases.size(); ++i) {
    key.raw((i < 10 ? L"0" : L"") + std::to_wstring(i), cases[i].type, cases[i].bytes);
  }

  const auto opened = OpenScratch();
  ASSERT_NE(opened, nullptr);
  const auto enumerated = EnumeratedData(*opened);
  ASSERT_EQ(enumerated.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].what);
    EXPECT_EQ(opened->ReadValue((i < 10 ? L"0" : L"") + std::to_wstring(i)), cases[i].expected);
    EXPECT_EQ(enumerated[i], cases[i].expected);
  }
}

TEST_F(WinRegistryViewTest, LongestNamesReadWhole) {
  const std::wstring longValueName(16383, L'v');
  const std::wstring longKeyName(255, L'k');
  reg.key(kScratch).value(longValueName, L"long name").key(longKeyName).value(L"Inside", 1u);

  const auto key = OpenScratch();
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->ReadValue(longValueName), RegistryData::Text(L"long name"));
  EXPECT_EQ(EnumeratedData(*key), std::vector{RegistryData::Text(L"long name")});
  EXPECT_EQ(SubkeyNames(*key), std::vector<std::wstring>{longKeyName});
  const auto sub = key->OpenSubkey(longKeyName);
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(sub->Name(), longKeyName);
  EXPECT_EQ(sub->ReadValue(L"Inside"), RegistryData::Number(1));
}

// Copies the view makes of names and text fail when memory runs out: the read then
// fails as one of unreadable data does, and nothing is thrown.
TEST_F(WinRegistryViewTest, ReadsThatRunOutOfMemoryFailWithoutThrowing) {
  const std::wstring longName(200, L'n');  // its copies need more than 400 bytes
  const std::wstring longPath = Scratch(longName);
  reg.key(kScratch).value(L"Text", std::wstring(250, L't')).key(longName);
  const auto key = OpenScratch();
  ASSERT_NE(key, nullptr);

  std::vector<RegistryData> enumerated;
  enumerated.reserve(4);
  std::optional<std::wstring> subkeyName = L"not visited";
  failAllocationsFrom = 400;
  const auto read = key->ReadValue(L"Text");
  const bool walked = key->ForEachValueData([&](const RegistryData& data) {
    enumerated.push_back(data);
    return true;
  });
  const bool listed = key->ForEachSubkeyName([&](const std::optional<std::wstring>& name) { subkeyName = name; });
  const bool opened = key->OpenSubkey(longName) != nullptr;
  const bool openedByPath = view.OpenKey(longPath) != nullptr;
  failAllocationsFrom = SIZE_MAX;

  EXPECT_EQ(read, RegistryData::Unreadable());
  EXPECT_TRUE(walked);
  EXPECT_EQ(enumerated, std::vector{RegistryData::Unreadable()});
  EXPECT_TRUE(listed);
  EXPECT_EQ(subkeyName, std::nullopt);
  EXPECT_FALSE(opened);
  EXPECT_FALSE(openedByPath);
  // With memory again, the same reads succeed.
  EXPECT_EQ(key->ReadValue(L"Text"), RegistryData::Text(std::wstring(250, L't')));
  EXPECT_NE(key->OpenSubkey(longName), nullptr);
}

TEST_F(WinRegistryViewTest, OpensFullPathsAndRefusesOthers) {
  reg.key(Scratch(L"Sub\\Deeper"));
  struct PathCase {
    std::wstring_view path;
    std::optional<std::wstring_view> name;  // nullopt: must not open
  };
  const PathCase cases[] = {
      {L"\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Uvantic Tests\\Sub", L"Sub"},
      {L"\\hkey_local_machine\\software\\uvantic tests\\SUB\\deeper", L"deeper"},
      {L"\\HKEY_LOCAL_MACHINE", L"HKEY_LOCAL_MACHINE"},
      {L"\\HKEY_CURRENT_USER\\Software", L"Software"},
      {L"\\HKEY_CLASSES_ROOT", L"HKEY_CLASSES_ROOT"},
      {L"\\HKEY_USERS", L"HKEY_USERS"},
      {L"\\HKEY_CURRENT_CONFIG", L"HKEY_CURRENT_CONFIG"},
      {L"\\HKLM\\SOFTWARE", std::nullopt},
      {L"\\HKEY_NOWHERE\\SOFTWARE", std::nullopt},
      {L"\\HKEY_LOCAL_MACHINEX\\SOFTWARE", std::nullopt},
      {L"HKEY_LOCAL_MACHINE\\SOFTWARE", std::nullopt},
      {L"", std::nullopt},
      {L"\\", std::nullopt},
      {L"\\HKEY_LOCAL_MACHINE\\", std::nullopt},
      {L"\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Uvantic Tests\\", std::nullopt},
      {L"\\HKEY_LOCAL_MACHINE\\SOFTWARE\\\\Uvantic Tests", std::nullopt},
      {L"\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Uvantic Tests\\Missing", std::nullopt},
      {L"\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Uvantic Tests\\Sub\0\\Deeper"sv, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Printable(c.path));
    const auto key = view.OpenKey(c.path);
    if (!c.name) {
      EXPECT_EQ(key, nullptr);
      continue;
    }
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->Name(), std::wstring(*c.name));
  }
}

TEST_F(WinRegistryViewTest, OpensSubkeysByRelativePathOnly) {
  reg.key(Scratch(L"Sub\\Deeper"));
  const auto key = OpenScratch();
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->OpenSubkey(L"Sub")->Name(), L"Sub");
  EXPECT_EQ(key->OpenSubkey(L"Sub\\Deeper")->Name(), L"Deeper");
  for (const auto name : {L""sv, L"\\Sub"sv, L"Sub\\"sv, L"Missing"sv, L"Sub\0"sv}) {
    SCOPED_TRACE(Printable(name));
    EXPECT_EQ(key->OpenSubkey(name), nullptr);
  }
}

TEST_F(WinRegistryViewTest, NamesKeepTheCaseTheRegistryStores) {
  reg.key(Scratch(L"MixedCase"));
  reg.key(Scratch(L"lower"));
  const auto key = OpenScratch();
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(SubkeyNames(*key), (std::vector<std::wstring>{L"MixedCase", L"lower"}));
}

TEST_F(WinRegistryViewTest, MissingValuesAndValueNamesWithZerosHaveNoData) {
  reg.key(kScratch).value(L"PortName", L"COM3");
  const auto key = OpenScratch();
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->ReadValue(L"Missing"), std::nullopt);
  EXPECT_EQ(key->ReadValue(L"PortName\0x"sv), std::nullopt);
  EXPECT_EQ(key->ReadValue(L"portname"), RegistryData::Text(L"COM3"));
}

TEST_F(WinRegistryViewTest, EmptyKeyEnumeratesNothing) {
  reg.key(kScratch);
  const auto key = OpenScratch();
  ASSERT_NE(key, nullptr);
  EXPECT_TRUE(SubkeyNames(*key).empty());
  EXPECT_TRUE(EnumeratedData(*key).empty());
}

TEST_F(WinRegistryViewTest, ValueWalkStopsWhenAsked) {
  reg.key(kScratch).value(L"0", 0u).value(L"1", 1u).value(L"2", 2u);
  const auto key = OpenScratch();
  ASSERT_NE(key, nullptr);
  int visits = 0;
  EXPECT_TRUE(key->ForEachValueData([&](const RegistryData&) { return ++visits < 2; }));
  EXPECT_EQ(visits, 2);
}

TEST_F(WinRegistryViewTest, KeyDeletedWhileOpenFailsEveryRead) {
  reg.key(Scratch(L"Doomed")).value(L"ConfigFlags", 1u).key(L"Control");
  const auto key = view.OpenKey(Scratch(L"Doomed"));
  ASSERT_NE(key, nullptr);
  ASSERT_TRUE(reg.remove(Scratch(L"Doomed")));

  EXPECT_EQ(key->ReadValue(L"ConfigFlags"), std::nullopt);
  EXPECT_EQ(key->OpenSubkey(L"Control"), nullptr);
  EXPECT_FALSE(key->ForEachSubkeyName([](const std::optional<std::wstring>&) {}));
  EXPECT_FALSE(key->ForEachValueData([](const RegistryData&) { return true; }));
  EXPECT_EQ(key->Name(), L"Doomed");
  EXPECT_EQ(view.OpenKey(Scratch(L"Doomed")), nullptr);
}

}  // namespace
}  // namespace uvantic
