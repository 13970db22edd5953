#include "query/exchange_file_reader.h"

#include <gtest/gtest.h>

#include "doubles/fake_system.h"

namespace trelvane {
namespace {

TEST(ExchangeFileReaderTest, TakesResultLinesApart) {
  struct Case {
    std::string line;
    std::string name, value, unit;
  } cases[] = {
      {"- Uptime.....: 1234 s", "Uptime", "1234", "s"},
      {"- Status.....: up", "Status", "up", "#"},
      {"- Location...: Server room", "Location", "Server", "room"},
      {"- Load.......: 0.75 %", "Load", "0.75", "%"},
      {"- Temperature: 21.5 C", "Temperature: 21", "21.5", "C"},
      {"- Load.......:  42 %", "Load", "", "42 %"},
      {"- Port 1:2: 100 Mbit/s", "Port 1", "100", "Mbit/s"},
      {"Counter: 7", "unter", "7", "#"},
      {"12345", "", "2345", "#"},
      {"", "", "", "#"},
      {"   ", "", "", "#"},
      {"  * x.: y", "x", "y", "#"},
      {"- Name...: a b c", "Name", "a", "b c"},
      {"- Name...:    text  ", "Name", "text", "#"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const ExchangeLine parsed = ParseExchangeLine(c.line, "");
    ASSERT_EQ(parsed.kind, ExchangeLine::Kind::Entry);
    EXPECT_EQ(parsed.entry.Name, c.name);
    EXPECT_EQ(parsed.entry.Value, c.value);
    EXPECT_EQ(parsed.entry.Unit, c.unit);
  }
}

TEST(ExchangeFileReaderTest, CutsLongTextsToNinetyNineCharacters) {
  const std::string long_name(150, 'n');
  const std::string long_value(150, 'v');
  const std::string line = "- " + long_name + ".: " + long_value;
  const ExchangeLine parsed = ParseExchangeLine(line, "");
  EXPECT_EQ(parsed.entry.Name, long_name.substr(0, 99));
  // The first take of a text value starts at the blank behind the colon.
  EXPECT_EQ(parsed.entry.Value, long_value.substr(0, 98));
  const std::string number = "- n.: " + std::string(150, '7');
  EXPECT_EQ(ParseExchangeLine(number, "").entry.Value, std::string(99, '7'));
}

TEST(ExchangeFileReaderTest, SelectFilterSeesTheTagAndExactCase) {
  EXPECT_EQ(ParseExchangeLine("- Load.......: 0.75 %", "Load").kind, ExchangeLine::Kind::Entry);
  EXPECT_EQ(ParseExchangeLine("- Uptime.....: 1234 s", "Load").kind, ExchangeLine::Kind::Dropped);
  EXPECT_EQ(ParseExchangeLine("- Load.......: 0.75 %", "load").kind, ExchangeLine::Kind::Dropped);
  EXPECT_EQ(ParseExchangeLine("x- Load.: 1", "x-").kind, ExchangeLine::Kind::Entry);
  EXPECT_EQ(ParseExchangeLine("", "Load").kind, ExchangeLine::Kind::Dropped);
}

TEST(ExchangeFileReaderTest, AsteriskBlankLinesAreTraceLines) {
  const ExchangeLine walk = ParseExchangeLine("* Walk finished", "Load");
  EXPECT_EQ(walk.kind, ExchangeLine::Kind::Trace);
  EXPECT_EQ(walk.trace_text, "Walk finished");
  EXPECT_EQ(ParseExchangeLine("* ", "").trace_text, "");
  EXPECT_EQ(ParseExchangeLine("*x: 1", "").kind, ExchangeLine::Kind::Entry);
}

TEST(ExchangeFileReaderTest, StreamsEntriesAndTraceLinesInFileOrder) {
  testing::FakeSystem fake;
  RunState state;
  state.OutputFlavour = OutputFlavour::ContextLines;
  state.ExchangeFileName = "Router1.Xrf";
  fake.files.files["Router1.Xrf"] =
      "* Walk started\r\n- Uptime.....: 1234 s\r\n* Walk finished\r\n- Status.....: up\r\n\r\n";
  fake.files.files["Z:\\sensor\\Profiler.Trc"] = "";
  state.TraceFile = fake.files.CreateUnshared("Z:\\sensor\\Profiler.Trc");
  state.TraceEnabled = true;

  ReadExchangeFile(state, fake.system);

  EXPECT_EQ(fake.out.text,
            "ConText.Uptime 1234, <Uptime (s)>\r\nConText.Status up, <Status (#)>\r\n"
            "ConText. , < (#)>\r\n");
  EXPECT_EQ(state.EntryCount, 3);
  EXPECT_EQ(fake.files.files["Z:\\sensor\\Profiler.Trc"],
            "13:04:05 Snmp Walk started\r\n13:04:05 Snmp Walk finished\r\n");
}

TEST(ExchangeFileReaderTest, MissingOrUnreadableFileGivesNothing) {
  testing::FakeSystem fake;
  RunState state;
  state.ExchangeFileName = "Router1.Xrf";
  ReadExchangeFile(state, fake.system);
  fake.files.files["Router1.Xrf"] = "- Uptime.....: 1234 s\r\n";
  fake.files.unreadable.insert("Router1.Xrf");
  ReadExchangeFile(state, fake.system);
  EXPECT_EQ(fake.out.text, "");
  EXPECT_EQ(state.EntryCount, 0);
}

}  // namespace
}  // namespace trelvane
