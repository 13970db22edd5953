// The trace file Profiler.Trc of profiler mode: its lines and their order in
// complete runs and at every early end, its replacement on each run, and the
// failure line when another process holds it.

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "sensor_harness.h"

namespace trelvane::e2e {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using ::testing::MatchesRegex;

constexpr std::string_view kHeader = "Snmp Trelvane Ver 1.3 / 26.01.22";
constexpr std::string_view kRouterAddress = "Snmp IP=127.0.0.9, Alias=core1.N42";
constexpr std::string_view kStarting = "Snmp Starting Connection...";
constexpr std::string_view kProcessing = "Snmp Processing: Trelvane...";
constexpr std::string_view kEnding = "Snmp Ending Connection";

class TraceFileTest : public SensorTest {
 protected:
  fs::path TraceFile() const { return sensor_ / "Profiler.Trc"; }
  std::string PathLine() const { return "Snmp Path: " + sensor_windows_; }
};

TEST_F(TraceFileTest, CompleteProfilerRunTracesEveryStepInOrder) {
  Install(sensor_, "full", Flavour::Xml);
  WriteFile(sensor_ / "Profiler.Prf", kRouterProfile);
  const std::string exchange =
      "* Walk started\r\n"
      "- Uptime.....: 1234 s\r\n"
      "* \r\n"
      "- Load.......: 0.75 %\r\n"
      "* " +
      std::string(150, 'x') +
      "\r\n"
      "* Walk finished\r\n";
  SetExchange(exchange);
  SetEnv("FAKE_KORDAVIN_SLEEP_MS", "1234");

  const RunResult run = Run({"Profiler.Prf"});

  EXPECT_EQ(run.out, XmlDocument({XmlEntry("Uptime", "1234", "s"), XmlEntry("Load", "0.75", "%")},
                                 RouterSummary("Profiler.Prf")));
  EXPECT_EQ(run.exit_status, 0) << run.err;
  const std::vector<std::string> trace = TraceTexts(TraceFile());
  ASSERT_EQ(trace.size(), 15u) << ReadFile(TraceFile());
  EXPECT_THAT(std::vector<std::string>(trace.begin(), trace.begin() + 8),
              ElementsAre(kHeader, kRouterAddress,
                          // "Profiler.Prf" at the start is dropped from the parameters.
                          "Snmp Params: ", PathLine(), kStarting,
                          "Snmp Dll-Version: Fake Kordavin 0.9", kProcessing, "Snmp Request done"));
  EXPECT_THAT(trace[8], MatchesRegex("Snmp RunTime: [0-9]+ mSec"));
  const long run_time = std::stol(trace[8].substr(14));
  EXPECT_GE(run_time, 1234);
  EXPECT_LT(run_time, 30000);
  EXPECT_THAT(std::vector<std::string>(trace.begin() + 9, trace.end()),
              ElementsAre("Snmp Walk started", "Snmp ", "Snmp " + std::string(99, 'x'),
                          "Snmp Walk finished", "Snmp 2 Entries found...", kEnding));
  // Profiler mode keeps the exchange file as the library wrote it.
  EXPECT_EQ(ReadFile(sensor_ / "Profiler.Xxx"), exchange);
  EXPECT_THAT(LibraryCalls(), ElementsAre("Dopen|Loading|Kordavin.DLL",
                                          "Snmp|127.0.0.9|public|Trelvane|19|Profiler.Xxx",
                                          "Dclos|Unloading|Kordavin.DLL"));
}

TEST_F(TraceFileTest, ProfilerPrfInALaterArgumentSwitchesProfilerModeOn) {
  InstallSensor(Flavour::StatisticLines);
  SetExchange("- Status.....: up\r\n");

  const RunResult run = Run({"Router1.Prf", "Profiler.Prf", "Slct=Stat", "@Monitor"});

  EXPECT_EQ(run.out, Crlf({"Message.Status: Status (#)", "Statistic.Status: up", "",
                           "# " + RouterSummary("Stat"), ""}));
  const std::vector<std::string> trace = TraceTexts(TraceFile());
  ASSERT_GE(trace.size(), 3u);
  EXPECT_EQ(trace[2], "Snmp Params: Router1.Prf Profiler.Prf Slct=Stat");
  EXPECT_EQ(trace.back(), kEnding);
  EXPECT_TRUE(fs::exists(sensor_ / "Router1.Xrf"));
}

TEST_F(TraceFileTest, EachProfilerRunReplacesTheTraceFile) {
  InstallSensor(Flavour::Xml);
  std::string old_trace;
  for (int i = 0; i < 200; ++i) old_trace += "12:00:00 Snmp line of an earlier run\r\n";
  WriteFile(TraceFile(), old_trace);

  for (int run_number = 1; run_number <= 2; ++run_number) {
    SCOPED_TRACE(run_number);
    const RunResult run = Run({"Router1.Prf", "Profiler.Prf"});
    EXPECT_EQ(run.exit_status, 0) << run.err;
    const std::vector<std::string> trace = TraceTexts(TraceFile());
    ASSERT_FALSE(trace.empty());
    EXPECT_EQ(trace.front(), kHeader);
    EXPECT_EQ(trace.back(), kEnding);
    EXPECT_EQ(std::count(trace.begin(), trace.end(), std::string(kHeader)), 1);
    EXPECT_EQ(trace.size(), 11u);
  }
}

TEST_F(TraceFileTest, RunsOutsideProfilerModeLeaveTheTraceFileAlone) {
  InstallSensor(Flavour::Xml);
  const std::vector<std::vector<std::string>> argument_lists = {
      {"Router1.Prf"},
      {"Router1.Prf", "profiler.prf"},
  };
  for (const auto& arguments : argument_lists) {
    SCOPED_TRACE(arguments.back());
    fs::remove(TraceFile());
    EXPECT_EQ(Run(arguments).exit_status, 0);
    EXPECT_FALSE(fs::exists(TraceFile()));

    WriteFile(TraceFile(), "12:00:00 Snmp kept\r\n");
    EXPECT_EQ(Run(arguments).exit_status, 0);
    EXPECT_EQ(ReadFile(TraceFile()), "12:00:00 Snmp kept\r\n");
  }
}

TEST_F(TraceFileTest, ErrorsBeforeTheTraceFileLeaveItAlone) {
  InstallSensor(Flavour::Xml);
  // Missing profile: error 1006 comes before the trace file is created.
  const RunResult missing = Run({"Profiler.Prf"});
  EXPECT_EQ(missing.out,
            XmlFatal("Error 1006: Profile " + sensor_windows_ + "\\Profiler.Prf missing..."));
  EXPECT_FALSE(fs::exists(TraceFile()));

  WriteFile(TraceFile(), "12:00:00 Snmp kept\r\n");
  Run({"Profiler.Prf"});
  EXPECT_EQ(ReadFile(TraceFile()), "12:00:00 Snmp kept\r\n");
}

TEST_F(TraceFileTest, TraceStopsWhereAnEarlyEndOrAFailedCallStopsTheRun) {
  const std::vector<std::string> opening = {std::string(kHeader), std::string(kRouterAddress),
                                            "Snmp Params: Router1.Prf Profiler.Prf", PathLine(),
                                            std::string(kStarting)};
  auto with = [&](std::initializer_list<std::string> more) {
    std::vector<std::string> lines = opening;
    lines.insert(lines.end(), more);
    return lines;
  };
  const std::string summary = RouterSummary("Router1.Prf");

  struct Case {
    const char* label;
    std::string variant;  // empty: a Kordavin.Dll that is no library
    std::map<std::string, std::string> environment;
    std::string want_out;
    std::vector<std::string> want_trace;
  };
  const Case cases[] = {
      {"library not loadable", "", {}, XmlFatal("Error 2000: Snmp-Library not found"), opening},
      {"Dopen throws",
       "full",
       {{"FAKE_KORDAVIN_DOPEN", "throw"}},
       XmlFatal("Error 2001: Invalid Handle - Snmp"),
       opening},
      {"Dopen faults",
       "full",
       {{"FAKE_KORDAVIN_DOPEN", "segv"}},
       XmlFatal("Error 2001: Invalid Handle - Snmp"),
       opening},
      {"no Snmp entry",
       "no_snmp",
       {},
       XmlFatal("Error 2002: Invalid Snmp-Handle"),
       with({"Snmp Dll-Version: Fake Kordavin 0.9"})},
      {"no Dopen entry",
       "no_dopen",
       {{"FAKE_KORDAVIN_SNMP", "null"}},
       XmlDocument({}, summary),
       with({"Snmp Dll-Version: Dopen", std::string(kProcessing), "Snmp ", "RunTime",
             "Snmp 0 Entries found...", std::string(kEnding)})},
      {"Dopen returns null",
       "full",
       {{"FAKE_KORDAVIN_DOPEN", "null"}, {"FAKE_KORDAVIN_SNMP", "return:Walked 3 columns"}},
       XmlDocument({}, summary),
       with({"Snmp Dll-Version: ", std::string(kProcessing), "Snmp Walked 3 columns", "RunTime",
             "Snmp 0 Entries found...", std::string(kEnding)})},
      {"request fails",
       "full",
       {{"FAKE_KORDAVIN_SNMP", "fpe"}, {"FAKE_KORDAVIN_DOPEN", "return:v2 <&>"}},
       Crlf({"", "<Prtg>", "<Error>1</Error>", "<Text>Error 2002: Invalid Snmp-Request</Text>", "",
             "", "<Text>" + summary + "</Text>", "", "</Prtg>", ""}),
       with({"Snmp Dll-Version: v2 <&>", std::string(kProcessing), "Snmp 0 Entries found...",
             std::string(kEnding)})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    fs::remove_all(sensor_);
    if (c.variant.empty()) {
      InstallSensor(Flavour::Xml);
      WriteFile(sensor_ / "Kordavin.Dll", "no library");
    } else {
      InstallSensor(Flavour::Xml, c.variant);
    }
    RunOptions options;
    options.environment = c.environment;

    const RunResult run = Run({"Router1.Prf", "Profiler.Prf"}, options);

    EXPECT_EQ(run.out, c.want_out);
    EXPECT_EQ(run.exit_status, 0) << run.err;
    std::vector<std::string> trace = TraceTexts(TraceFile());
    // The duration of the call is checked for its form only.
    for (std::string& line : trace) {
      if (line.rfind("Snmp RunTime: ", 0) == 0) {
        EXPECT_THAT(line, MatchesRegex("Snmp RunTime: [0-9]+ mSec"));
        line = "RunTime";
      }
    }
    EXPECT_THAT(trace, ElementsAreArray(c.want_trace));
  }
}

TEST_F(TraceFileTest, TraceFileHeldByAnotherProcessEndsTheRunWithTheFailureLine) {
  for (Flavour flavour : {Flavour::Xml, Flavour::StatisticLines, Flavour::ContextLines}) {
    SCOPED_TRACE(static_cast<int>(flavour));
    fs::remove_all(sensor_);
    fs::remove(log_);
    InstallSensor(flavour);
    SetExchange("- Status.....: up\r\n");
    const std::string other_trace = "12:00:00 Snmp another run's line\r\n";
    WriteFile(TraceFile(), other_trace);
    // Another run holds the trace file as a running sensor does.
    const int fd = ::open(TraceFile().c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);

    const RunResult run = Run({"Router1.Prf", "Profiler.Prf"});
    ::close(fd);

    EXPECT_EQ(run.out, "* Trace-File failed...\r\n");
    EXPECT_EQ(run.exit_status, 0) << run.err;
    EXPECT_GE(run.elapsed.count(), 1000);
    // The other run's file is untouched, and the library was never loaded.
    EXPECT_EQ(ReadFile(TraceFile()), other_trace);
    EXPECT_THAT(LibraryCalls(), IsEmpty());
    EXPECT_FALSE(fs::exists(sensor_ / "Router1.Xrf"));
  }
}

}  // namespace
}  // namespace trelvane::e2e
