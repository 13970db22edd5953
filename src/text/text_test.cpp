#include "text/text.h"

#include <gtest/gtest.h>

namespace trelvane {
namespace {

TEST(TextTest, TakeCountsFromOneAndStopsAtTheEnds) {
  struct Case {
    std::string_view text;
    std::ptrdiff_t position, count;
    std::string_view want;
  } cases[] = {
      {"abcdef", 1, 3, "abc"}, {"abcdef", 4, 99, "def"}, {"abcdef", 6, 1, "f"},
      {"abcdef", 7, 1, ""},    {"abcdef", 0, 2, "ab"},   {"abcdef", -5, 2, "ab"},
      {"abcdef", 2, 0, ""},    {"abcdef", 2, -1, ""},    {"", 1, 5, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.text << " " << c.position << " " << c.count);
    EXPECT_EQ(Take(c.text, c.position, c.count), c.want);
  }
}

TEST(TextTest, RestTakesAtMostNinetyNineCharacters) {
  const std::string long_text(150, 'x');
  EXPECT_EQ(Rest(long_text, 1).size(), 99u);
  EXPECT_EQ(Rest(long_text, 100).size(), 51u);
}

TEST(TextTest, FindGivesTheFirstPositionOrZero) {
  EXPECT_EQ(Find(":", "a:b:c"), 2);
  EXPECT_EQ(Find(": ", "a:b: c"), 4);
  EXPECT_EQ(Find("X", "abc"), 0);
  EXPECT_EQ(Find("", "abc"), 0);
  EXPECT_EQ(Find("slct=", "Slct=x"), 0);
}

TEST(TextTest, TrimRemovesControlCharactersAndBlanksButNotHighCharacters) {
  EXPECT_EQ(Trim(" \t\r\n x y \x01\x1f"), "x y");
  EXPECT_EQ(Trim("\xa0x\xa0"), "\xa0x\xa0");
  EXPECT_EQ(Trim("   "), "");
}

}  // namespace
}  // namespace trelvane
