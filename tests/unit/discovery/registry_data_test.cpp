// Registry data read as text and as a number.
#include <gtest/gtest.h>

#include "discovery/registry_view.h"

namespace uvantic {
namespace {

TEST(RegistryDataTest, TextOfEachKind) {
  EXPECT_EQ(RegistryData::Empty().AsText(), L"");
  EXPECT_EQ(RegistryData::Text(L"COM7").AsText(), L"COM7");
  EXPECT_EQ(RegistryData::Number(0).AsText(), L"0");
  EXPECT_EQ(RegistryData::Number(4294967295u).AsText(), L"4294967295");
  EXPECT_EQ(RegistryData::Unreadable().AsText(), std::nullopt);
}

TEST(RegistryDataTest, NumberOfEachKind) {
  struct Case {
    RegistryData data;
    std::optional<std::uint32_t> number;
  };
  const Case cases[] = {
      {RegistryData::Empty(), 0u},
      {RegistryData::Number(7), 7u},
      {RegistryData::Text(L"0"), 0u},
      {RegistryData::Text(L"0012"), 12u},
      {RegistryData::Text(L"4294967295"), 4294967295u},
      {RegistryData::Text(L"4294967296"), std::nullopt},
      {RegistryData::Text(L"99999999999999999999"), std::nullopt},
      {RegistryData::Text(L""), std::nullopt},
      {RegistryData::Text(L"-1"), std::nullopt},
      {RegistryData::Text(L" 1"), std::nullopt},
      {RegistryData::Text(L"1a"), std::nullopt},
      {RegistryData::Text(L"\x0661"), std::nullopt},  // a digit, but not an ASCII one
      {RegistryData::Unreadable(), std::nullopt},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(cases[i].data.AsNumber(), cases[i].number) << "case " << i;
  }
}

TEST(RegistryDataTest, TextEqualsComparesAsTextExactly) {
  EXPECT_TRUE(RegistryData::Text(L"slabser").TextEquals(L"slabser"));
  EXPECT_FALSE(RegistryData::Text(L"SLABSER").TextEquals(L"slabser"));
  EXPECT_FALSE(RegistryData::Text(L"slabser ").TextEquals(L"slabser"));
  EXPECT_TRUE(RegistryData::Number(1234).TextEquals(L"1234"));
  EXPECT_FALSE(RegistryData::Number(1234).TextEquals(L"01234"));
  EXPECT_TRUE(RegistryData::Empty().TextEquals(L""));
  EXPECT_FALSE(RegistryData::Empty().TextEquals(L"0"));
  EXPECT_FALSE(RegistryData::Unreadable().TextEquals(L""));
}

}  // namespace
}  // namespace uvantic
