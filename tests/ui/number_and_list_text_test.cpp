// The number formatter and the fixed-width list counter.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "files/colour_scheme.h"
#include "ui/draw/number_text.h"
#include "ui/widgets/text_list.h"

namespace zorbel::test {
namespace {

std::string text_of(int value, int base) {
  char buffer[kIntTextCapacity];
  std::memset(buffer, '#', sizeof buffer);
  char* result = int_to_text(value, buffer, base);
  EXPECT_EQ(result, buffer);
  return buffer;
}

TEST(IntToText, WritesDigitsMostSignificantFirst) {
  struct Case {
    int value;
    int base;
    const char* text;
  };
  const Case cases[] = {
      {-45, 10, "-45"},       {255, 16, "ff"},          {0, 10, "0"},
      {0, 16, "0"},           {7, 10, "7"},             {1000, 10, "1000"},
      {5, 2, "101"},          {35, 36, "z"},            {INT_MAX, 10, "2147483647"},
      {INT_MIN, 10, "-2147483648"},
      {-1, 16, "ffffffff"},   // only base 10 has a sign
      {INT_MIN, 2, "10000000000000000000000000000000"},
      {-1, 2, "11111111111111111111111111111111"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(text_of(c.value, c.base), c.text) << c.value << " base " << c.base;
  }
}

TEST(IntToText, UnusableBaseWritesAnEmptyText) {
  for (int base : {-10, 0, 1, 37, 100}) EXPECT_EQ(text_of(123, base), "") << base;
}

TEST(CountListEntries, CountsFixedWidthEntriesBeforeTheTilde) {
  // Entries 6 bytes wide: the first text is five characters long.
  const char list[] = "ALPHA\0BETA \0GAMMA\0~\0\0\0\0\0";
  EXPECT_EQ(count_list_entries(list), 3);
  EXPECT_EQ(count_list_entries("~"), 0);
  // The width comes from the first entry alone: a zero inside a later entry does not matter.
  const char ragged[] = "AB\0C\0\0D\0\0~\0";
  EXPECT_EQ(count_list_entries(ragged), 3);
}

TEST(CountListEntries, ColourSlotNamesFormAListOfTwenty) {
  EXPECT_EQ(count_list_entries(kColourSlotNames[0]), kColourSlotCount);
}

}  // namespace
}  // namespace zorbel::test
