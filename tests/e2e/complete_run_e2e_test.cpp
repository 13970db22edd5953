// Complete runs: from the host's call through the library to the report, in
// every output flavour, with the select filter, the summary subject and the
// clearing of the exchange file.

#include <string>
#include <vector>

#include "sensor_harness.h"

namespace trelvane::e2e {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr std::string_view kTwoEntries =
    "* Walk started\r\n"
    "- Uptime.....: 1234 s\r\n"
    "- Load.......: 0.75 %\r\n"
    "* Walk finished\r\n";

// Names with characters that the line flavours turn into "_" in the key.
constexpr std::string_view kKeyedEntries =
    "- CPU Load (avg).: 5 %\r\n"
    "- Uptime.....: 1234 s\r\n"
    "- Status.....: up\r\n"
    "- If [eth0/1]*: 3 x\r\n";

class CompleteRunTest : public SensorTest {};

TEST_F(CompleteRunTest, XmlReportOfTwoEntriesIsTheSeventeenLineDocument) {
  InstallSensor(Flavour::Xml);
  SetExchange(kTwoEntries);

  const RunResult run = Run({"Router1.Prf"});

  EXPECT_EQ(run.out,
            Crlf({"", "<Prtg>", "", "<Result><Channel>Uptime</Channel>", "<Unit>Custom</Unit>",
                  "<CustomUnit>s</CustomUnit>", "<Value>1234</Value></Result>", "",
                  "<Result><Channel>Load</Channel>", "<Unit>Custom</Unit>",
                  "<CustomUnit>%</CustomUnit>", "<Value>0.75</Value></Result>", "",
                  "<Text>(Snmp) Core switch: Trelvane / Infos about Router1.Prf</Text>", "",
                  "</Prtg>", ""}));
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_THAT(LibraryCalls(), ElementsAre("Dopen|Loading|Kordavin.DLL",
                                          "Snmp|127.0.0.9|public|Trelvane|19|Router1.Xrf",
                                          "Dclos|Unloading|Kordavin.DLL"));
  // Outside profiler mode the run pauses before it clears the exchange file,
  // leaves none behind and writes no trace.
  EXPECT_GE(run.elapsed.count(), 1000);
  EXPECT_FALSE(fs::exists(sensor_ / "Router1.Xrf"));
  EXPECT_FALSE(fs::exists(sensor_ / "Profiler.Trc"));
}

TEST_F(CompleteRunTest, StatisticLinesWriteMessageAndStatisticPerEntryWithKeys) {
  InstallSensor(Flavour::StatisticLines);
  SetExchange(kKeyedEntries);

  const RunResult run = Run({"Router1.Prf"});

  EXPECT_EQ(run.out,
            Crlf({"Message.CPU_Load__avg_: CPU Load (avg) (%)", "Statistic.CPU_Load__avg_: 5", "",
                  "Message.Uptime: Uptime (s)", "Statistic.Uptime: 1234", "",
                  "Message.Status: Status (#)", "Statistic.Status: up", "",
                  "Message.If__eth0_1__: If [eth0/1]* (x)", "Statistic.If__eth0_1__: 3", "",
                  "# (Snmp) Core switch: Trelvane / Infos about Router1.Prf", ""}));
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_FALSE(fs::exists(sensor_ / "Router1.Xrf"));
}

TEST_F(CompleteRunTest, ContextLinesWriteOneLinePerEntryWithKeys) {
  InstallSensor(Flavour::ContextLines);
  SetExchange(kKeyedEntries);

  const RunResult run = Run({"Router1.Prf"});

  EXPECT_EQ(run.out, Crlf({"ConText.CPU_Load__avg_ 5, <CPU Load (avg) (%)>",
                           "ConText.Uptime 1234, <Uptime (s)>", "ConText.Status up, <Status (#)>",
                           "ConText.If__eth0_1__ 3, <If [eth0/1]* (x)>",
                           "# (Snmp) Core switch: Trelvane / Infos about Router1.Prf", ""}));
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_FALSE(fs::exists(sensor_ / "Router1.Xrf"));
}

TEST_F(CompleteRunTest, StatisticLinesFlavourFileWinsOverContextLinesFlavourFile) {
  InstallSensor(Flavour::StatisticLines);
  WriteFile(sensor_ / "ContextLines.Flavour", "");
  SetExchange("- Status.....: up\r\n");

  const RunResult run = Run({"Router1.Prf"});

  EXPECT_EQ(run.out, Crlf({"Message.Status: Status (#)", "Statistic.Status: up", "",
                           "# " + RouterSummary("Router1.Prf"), ""}));
}

TEST_F(CompleteRunTest, RunWithoutEntriesWritesOnlyTheFrameAndSummary) {
  struct Case {
    Flavour flavour;
    std::string want;
  };
  const Case cases[] = {
      {Flavour::Xml, XmlDocument({}, RouterSummary("Router1.Prf"))},
      {Flavour::StatisticLines, Crlf({"# " + RouterSummary("Router1.Prf"), ""})},
      {Flavour::ContextLines, Crlf({"# " + RouterSummary("Router1.Prf"), ""})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.flavour));
    fs::remove_all(sensor_);
    InstallSensor(c.flavour);
    // No exchange file at all: the library writes none.
    const RunResult run = Run({"Router1.Prf"});
    EXPECT_EQ(run.out, c.want);
    EXPECT_EQ(run.exit_status, 0) << run.err;
  }
}

TEST_F(CompleteRunTest, StatisticLinesReportTenEntriesWhileTheTraceCountsAll) {
  InstallSensor(Flavour::StatisticLines);
  std::string exchange;
  std::vector<std::string> want;
  for (int i = 1; i <= 15; ++i) {
    const std::string number = (i < 10 ? "0" : "") + std::to_string(i);
    exchange += "- Port" + number + ".....: " + std::to_string(i) + " pkt\r\n";
    if (i <= 10) {
      want.push_back("Message.Port" + number + ": Port" + number + " (pkt)");
      want.push_back("Statistic.Port" + number + ": " + std::to_string(i));
      want.push_back("");
    }
  }
  want.push_back("# " + RouterSummary("Router1.Prf"));
  want.push_back("");
  SetExchange(exchange);

  const RunResult run = Run({"Router1.Prf", "Profiler.Prf"});

  EXPECT_EQ(run.out, Crlf(want));
  const std::vector<std::string> trace = TraceTexts(sensor_ / "Profiler.Trc");
  ASSERT_GE(trace.size(), 2u);
  EXPECT_EQ(trace[trace.size() - 2], "Snmp 15 Entries found...");
}

TEST_F(CompleteRunTest, ContextLinesAndXmlHaveNoLimitOnEntries) {
  std::string exchange;
  std::string context_want;
  std::vector<std::vector<std::string>> xml_entries;
  for (int i = 1; i <= 12; ++i) {
    const std::string name = "Q" + std::to_string(i);
    exchange += "- " + name + ".: " + std::to_string(i) + " u\r\n";
    context_want += "ConText." + name + " " + std::to_string(i) + ", <" + name + " (u)>\r\n";
    xml_entries.push_back(XmlEntry(name, std::to_string(i), "u"));
  }
  SetExchange(exchange);

  InstallSensor(Flavour::ContextLines);
  EXPECT_EQ(Run({"Router1.Prf"}).out,
            context_want + Crlf({"# " + RouterSummary("Router1.Prf"), ""}));

  fs::remove_all(sensor_);
  InstallSensor(Flavour::Xml);
  EXPECT_EQ(Run({"Router1.Prf"}).out, XmlDocument(xml_entries, RouterSummary("Router1.Prf")));
}

TEST_F(CompleteRunTest, ExchangeLinesOfEveryShapeBecomeEntriesInFileOrder) {
  InstallSensor(Flavour::Xml);
  SetExchange(
      "- Uptime.....: 1234 s\r\n"
      "- Status.....: up\r\n"
      "- Location...: Server room\r\n"
      "- Load.......: 0.75 %\r\n"
      "- Temperature: 21.5 C\r\n"
      "- Load.......:  42 %\r\n"
      "- Port 1:2: 100 Mbit/s\r\n"
      "Counter: 7\r\n"
      "12345\r\n"
      "\r\n"
      "  * not a trace line\r\n"
      "* Walk finished\r\n"
      "- Name <&> \"q\".: a&b <c>\r\n");

  const RunResult run = Run({"Router1.Prf"});

  EXPECT_EQ(
      run.out,
      XmlDocument({XmlEntry("Uptime", "1234", "s"), XmlEntry("Status", "up", "#"),
                   XmlEntry("Location", "Server", "room"), XmlEntry("Load", "0.75", "%"),
                   XmlEntry("Temperature: 21", "21.5", "C"), XmlEntry("Load", "", "42 %"),
                   XmlEntry("Port 1", "100", "Mbit/s"), XmlEntry("unter", "7", "#"),
                   XmlEntry("", "2345", "#"), XmlEntry("", "", "#"),
                   XmlEntry("", "*", "not a trace line"), XmlEntry("Name <&> \"q\"", "a&b", "<c>")},
                  RouterSummary("Router1.Prf")));
}

TEST_F(CompleteRunTest, ExchangeFileFollowsTheLineRule) {
  InstallSensor(Flavour::ContextLines);
  // A line feed alone is part of the line, a carriage return alone ends it,
  // and code 26 ends the file.
  SetExchange(
      "- A..: 1 x\n- B..: 2 y\r\n"
      "- C..: 3\r"
      "- D..: 4\x1a\r\n"
      "- E..: 5\r\n");

  const RunResult run = Run({"Router1.Prf"});

  EXPECT_EQ(run.out, Crlf({"ConText.A 1, <A (x\n- B..: 2 y)>", "ConText.C 3, <C (#)>",
                           "ConText.D 4, <D (#)>", "# " + RouterSummary("Router1.Prf"), ""}));
}

TEST_F(CompleteRunTest, SelectFilterAndSummarySubjectComeFromTheArguments) {
  InstallSensor(Flavour::ContextLines);
  SetExchange(
      "- Uptime.....: 1234 s\r\n"
      "- Load.......: 0.75 %\r\n"
      "- Status.....: up\r\n"
      "- Load peak..: 0.9 %\r\n"
      "\r\n");
  const std::string uptime = "ConText.Uptime 1234, <Uptime (s)>";
  const std::string load = "ConText.Load 0.75, <Load (%)>";
  const std::string status = "ConText.Status up, <Status (#)>";
  const std::string peak = "ConText.Load_peak 0.9, <Load peak (%)>";
  // An empty line is an entry with empty texts, unless a filter drops it.
  const std::string blank = "ConText. , < (#)>";

  struct Case {
    std::vector<std::string> arguments;
    std::vector<std::string> entries;
    std::string subject;
  };
  const Case cases[] = {
      {{"Router1.Prf"}, {uptime, load, status, peak, blank}, "Router1.Prf"},
      {{"Router1.Prf", "Slct=Load"}, {load, peak}, "Load"},
      {{"Router1.Prf", "Slct=Load,Uptime"}, {load, peak}, "Load,Uptime"},
      {{"Router1.Prf", "Slct=All"}, {uptime, load, status, peak, blank}, "All"},
      {{"Router1.Prf", "Slct=Allports"}, {uptime, load, status, peak, blank}, "Allports"},
      {{"Router1.Prf", "Slct=peak"}, {peak}, "peak"},
      // The filter sees the two tag characters of the line.
      {{"Router1.Prf", "Slct=- S"}, {status}, "-"},
      // The filter runs to the end of the request parameters.
      {{"Router1.Prf", "Slct=Load", "/Check"}, {}, "Load"},
      {{"Router1.Prf", "/Check", "Slct=Load"}, {load, peak}, "Load"},
      // Markers are case-sensitive.
      {{"Router1.Prf", "slct=Load"}, {uptime, load, status, peak, blank}, "Load"},
      // Remarks are cut off the request parameters, but not off the line
      // that gives the summary subject.
      {{"Router1.Prf", "Slct=Load", "@Monitor=x"}, {load, peak}, "Load"},
      {{"Router1.Prf", "#3", "Slct=Load"}, {uptime, load, status, peak, blank}, "Load"},
      {{"Router1.Prf", "(Par=x)"}, {uptime, load, status, peak, blank}, "x)"},
      // Empty arguments leave no trace; a sixth argument is ignored.
      {{"Router1.Prf", "", "Slct=Status"}, {status}, "Status"},
      {{"Router1.Prf", "a", "b", "c", "d", "Slct=Load"},
       {uptime, load, status, peak, blank},
       "Router1.Prf"},
  };
  for (const Case& c : cases) {
    std::string label;
    for (const std::string& argument : c.arguments) label += "[" + argument + "]";
    SCOPED_TRACE(label);
    std::vector<std::string> want = c.entries;
    want.push_back("# " + RouterSummary(c.subject));
    want.push_back("");

    const RunResult run = Run(c.arguments);

    EXPECT_EQ(run.out, Crlf(want));
    EXPECT_EQ(run.exit_status, 0) << run.err;
  }
}

TEST_F(CompleteRunTest, ExchangeFileNameComesFromTheFirstArgumentAndIsClearedAfterUse) {
  InstallSensor(Flavour::ContextLines);
  SetExchange("- Status.....: up\r\n");
  struct Case {
    std::string profile;
    std::string exchange;
  };
  const Case cases[] = {
      {"Router01.Prf", "Router01.Xrf"},     {"Core.Dat", "Core.Xat"},         {"Switch", "Sw.Xch"},
      {"ProfilerTest.Prf", "Profiler.Xxx"}, {"profiler.prf", "profiler.Xrf"}, {"abc", ".Xbc"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.profile);
    fs::remove(log_);
    WriteFile(sensor_ / c.profile, kRouterProfile);

    const RunResult run = Run({c.profile});

    // The entries show that the sensor read back the file that the library
    // wrote under the name it was handed.
    EXPECT_EQ(run.out,
              Crlf({"ConText.Status up, <Status (#)>", "# " + RouterSummary(c.profile), ""}));
    EXPECT_THAT(LibraryCalls(), ElementsAre("Dopen|Loading|Kordavin.DLL",
                                            "Snmp|127.0.0.9|public|Trelvane|19|" + c.exchange,
                                            "Dclos|Unloading|Kordavin.DLL"));
    EXPECT_FALSE(fs::exists(sensor_ / c.exchange));
    EXPECT_GE(run.elapsed.count(), 1000);
  }
  EXPECT_FALSE(fs::exists(sensor_ / "Profiler.Trc"));
}

TEST_F(CompleteRunTest, ProfileFieldsReachLibraryTraceAndSummaryAsWritten) {
  Install(sensor_, "full", Flavour::Xml);
  const std::string description(120, 'd');
  WriteFile(sensor_ / "Edge.Prf",
            "; edge router\r\n"
            "IP-Addr....:10.9.9.9\r\n"
            "IP-Addr....: 127.0.0.7\r\n"
            "ip-addr....: 127.0.0.8\r\n"
            "Community..: first\r\n"
            "Community..: secret  \r\n"
            " Alias......: wrong\r\n"
            "Alias......: edge-7\r\n"
            "Sysnr......: 9\r\n"
            "Sysnr......: \r\n"
            "Description: " +
                description + "\r\n");

  const RunResult run = Run({"Edge.Prf", "Profiler.Prf"});

  EXPECT_EQ(run.out, XmlDocument({}, "(Snmp) " + description.substr(0, 99) +
                                         ": Trelvane / Infos about Edge.Prf"));
  EXPECT_THAT(LibraryCalls(), ElementsAre("Dopen|Loading|Kordavin.DLL",
                                          "Snmp|127.0.0.7|secret  |Trelvane|19|Edge.Xrf",
                                          "Dclos|Unloading|Kordavin.DLL"));
  const std::vector<std::string> trace = TraceTexts(sensor_ / "Profiler.Trc");
  ASSERT_GE(trace.size(), 3u);
  EXPECT_EQ(trace[1], "Snmp IP=127.0.0.7, Alias=edge-7.N");
  EXPECT_EQ(trace[2], "Snmp Params: Edge.Prf Profiler.Prf");
}

TEST_F(CompleteRunTest, ProfileWithoutKeysHandsEmptyTextsToTheLibrary) {
  Install(sensor_, "full", Flavour::ContextLines);
  // Lines ended by a line feed alone are one line: only a key at the very
  // start of the file could match.
  WriteFile(sensor_ / "Bare.Prf", "Alias......: x\nIP-Addr....: 127.0.0.9\n");

  const RunResult run = Run({"Bare.Prf"});

  EXPECT_EQ(run.out, Crlf({"# (Snmp) : Trelvane / Infos about Bare.Prf", ""}));
  EXPECT_THAT(LibraryCalls(),
              ElementsAre("Dopen|Loading|Kordavin.DLL", "Snmp|||Trelvane|19|Bare.Xrf",
                          "Dclos|Unloading|Kordavin.DLL"));
}

}  // namespace
}  // namespace trelvane::e2e
