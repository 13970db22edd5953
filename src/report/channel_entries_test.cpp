#include "report/channel_entries.h"

#include <gtest/gtest.h>

#include <limits>

#include "doubles/fake_system.h"

namespace trelvane {
namespace {

std::string KeyOf(std::string_view name) {
  std::string key;
  ChannelKey(name, &key);
  return key;
}

TEST(ChannelEntriesTest, KeyReplacesTheNineSpecialCharacters) {
  struct Case {
    std::string name;
    std::string want;
  } cases[] = {
      {"CPU Load (avg)", "CPU_Load__avg_"},           {" a/b\\c[d]e*f(g)h:i", "_a_b_c_d_e_f_g_h_i"},
      {"plain-name_1.2", "plain-name_1.2"},           {"", ""},
      {std::string(150, 'n'), std::string(150, 'n')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(KeyOf(c.name), c.want);
  }
}

TEST(ChannelEntriesTest, KeyOfALongNameKeepsNinetyNineCharactersBehindEachReplacement) {
  std::string name(150, 'n');
  for (std::size_t i = 0; i < name.size(); ++i) name[i] = static_cast<char>('a' + i % 26);
  name[9] = ' ';
  const std::string key = KeyOf(name);
  EXPECT_EQ(key, name.substr(0, 9) + "_" + name.substr(10, 99));
  EXPECT_EQ(key.size(), 109u);

  // A special character in the dropped tail is gone before its turn comes.
  std::string tail_colon = name;
  tail_colon[140] = ':';
  EXPECT_EQ(KeyOf(tail_colon), key);
}

std::string WriteEntries(OutputFlavour flavour, int count, RunState* state) {
  state->OutputFlavour = flavour;
  testing::FakeOutput out;
  for (int i = 1; i <= count; ++i) {
    const std::string name = "If " + std::to_string(i);
    WriteEntry(*state, out, {name, std::to_string(i), "%"});
  }
  return out.text;
}

TEST(ChannelEntriesTest, StatisticLinesWriteTheFirstTenButCountAll) {
  RunState state;
  const std::string written = WriteEntries(OutputFlavour::StatisticLines, 15, &state);
  EXPECT_EQ(state.EntryCount, 15);
  EXPECT_NE(written.find("Message.If_10: If 10 (%)\r\nStatistic.If_10: 10\r\n\r\n"),
            std::string::npos);
  EXPECT_EQ(written.find("If_11"), std::string::npos);
  EXPECT_TRUE(written.starts_with("Message.If_1: If 1 (%)\r\nStatistic.If_1: 1\r\n\r\n"));
}

TEST(ChannelEntriesTest, CountStopsAtItsLargestValueAndTheLimitHolds) {
  RunState state;
  state.OutputFlavour = OutputFlavour::StatisticLines;
  state.EntryCount = std::numeric_limits<std::int32_t>::max() - 1;
  testing::FakeOutput out;
  for (int i = 0; i < 3; ++i) WriteEntry(state, out, {"If", "1", "%"});
  EXPECT_EQ(state.EntryCount, std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(out.text, "");
}

TEST(ChannelEntriesTest, ContextLinesAndXmlHaveNoLimit) {
  RunState context;
  EXPECT_NE(WriteEntries(OutputFlavour::ContextLines, 12, &context)
                .find("ConText.If_12 12, <If 12 (%)>\r\n"),
            std::string::npos);
  RunState xml;
  EXPECT_NE(WriteEntries(OutputFlavour::Xml, 12, &xml).find("<Value>12</Value></Result>"),
            std::string::npos);
}

TEST(ChannelEntriesTest, EmptyUnitIsLeftOutInXmlAndWrittenAsHashInLines) {
  struct Case {
    OutputFlavour flavour;
    std::string want;
  } cases[] = {
      {OutputFlavour::Xml, "\r\n<Result><Channel></Channel>\r\n<Value></Value></Result>\r\n"},
      {OutputFlavour::StatisticLines, "Message.:  (#)\r\nStatistic.: \r\n\r\n"},
      {OutputFlavour::ContextLines, "ConText. , < (#)>\r\n"},
  };
  for (const Case& c : cases) {
    RunState state;
    state.OutputFlavour = c.flavour;
    testing::FakeOutput out;
    WriteEntry(state, out, {"", "", ""});
    EXPECT_EQ(out.text, c.want);
  }
}

TEST(ChannelEntriesTest, RawNamesGoIntoEveryFlavour) {
  RunState state;
  state.OutputFlavour = OutputFlavour::ContextLines;
  testing::FakeOutput out;
  WriteEntry(state, out, {"CPU Load (avg)", "7", "%"});
  EXPECT_EQ(out.text, "ConText.CPU_Load__avg_ 7, <CPU Load (avg) (%)>\r\n");
  state.OutputFlavour = OutputFlavour::Xml;
  out.text.clear();
  WriteEntry(state, out, {"a<b&c", "1", "#"});
  EXPECT_NE(out.text.find("<Result><Channel>a<b&c</Channel>"), std::string::npos);
}

}  // namespace
}  // namespace trelvane
