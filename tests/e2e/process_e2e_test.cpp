// The process as the host sees it: the exit status after a failure that no
// step handles, a failed write to standard output above all.

#include <string>
#include <vector>

#include "sensor_harness.h"

namespace trelvane::e2e {
namespace {

class ProcessTest : public SensorTest {};

TEST_F(ProcessTest, FailedWriteToStandardOutputEndsWithStatusOne) {
  struct Case {
    const char* label;
    Flavour flavour;
    std::vector<std::string> arguments;
    OutputTarget output;
  };
  const Case cases[] = {
      {"complete run, full device", Flavour::Xml, {"Router1.Prf"}, OutputTarget::kFullDevice},
      {"error 1006, full device",
       Flavour::StatisticLines,
       {"Missing.Prf"},
       OutputTarget::kFullDevice},
      {"profiler run, full device",
       Flavour::ContextLines,
       {"Router1.Prf", "Profiler.Prf"},
       OutputTarget::kFullDevice},
      // A closed pipe is an ordinary write failure, not a signal that ends
      // the process.
      {"complete run, closed pipe", Flavour::Xml, {"Router1.Prf"}, OutputTarget::kClosedPipe},
      {"error 1006, closed pipe",
       Flavour::ContextLines,
       {"Missing.Prf"},
       OutputTarget::kClosedPipe},
  };
  SetExchange("- Status.....: up\r\n");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    fs::remove_all(sensor_);
    InstallSensor(c.flavour);
    RunOptions options;
    options.output = c.output;

    const RunResult run = Run(c.arguments, options);

    EXPECT_EQ(run.signal, 0);
    EXPECT_EQ(run.exit_status, 1) << run.err;
  }
}

// Reading /proc/self/mem from its start fails with an I/O error after the
// file has been opened: a read failure that no step handles.
TEST_F(ProcessTest, ReadFailureAfterOpeningReportsTwoLinesAfterTheOutputSoFar) {
  const fs::path drive_c = root_ / "drive_c";
  const fs::path work = root_ / "work";
  struct Case {
    const char* label;
    std::vector<std::string> arguments;
    fs::path link;        // made a link to /proc/self/mem
    fs::path cwd;         // empty: the sensor directory
    std::string written;  // what the run wrote before the failure
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {"path file", {"Router1.Prf"}, drive_c / "Prtg_Path.Txt", work, "", {}},
      {"device profile", {"Broken.Prf"}, sensor_ / "Broken.Prf", {}, "", {}},
      {"exchange file",
       {"Router1.Prf"},
       sensor_ / "Router1.Xrf",
       {},
       Crlf({"", "<Prtg>"}),
       {"Dopen|Loading|Kordavin.DLL", "Snmp|127.0.0.9|public|Trelvane|19|Router1.Xrf"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    fs::remove_all(sensor_);
    fs::remove_all(drive_c);
    fs::remove_all(work);
    fs::remove(log_);
    InstallSensor(Flavour::Xml);
    fs::create_directories(drive_c);
    fs::create_directories(work);
    fs::create_symlink("/proc/self/mem", c.link);
    RunOptions options;
    options.cwd = c.cwd;
    options.program = sensor_ / "Trelvane";
    options.environment["TRELVANE_DRIVE_C"] = drive_c.string();

    const RunResult run = Run(c.arguments, options);

    EXPECT_EQ(run.exit_status, 1) << run.err;
    // What was written stays; then the kind and place of the failure on one
    // line and its message on a second, and nothing else: no summary, no
    // closing of the document.
    ASSERT_EQ(run.out.substr(0, c.written.size()), c.written) << run.out;
    const std::string report = run.out.substr(c.written.size());
    const std::size_t first_end = report.find("\r\n");
    ASSERT_NE(first_end, std::string::npos) << report;
    EXPECT_GT(first_end, 0u) << report;
    const std::string second = report.substr(first_end + 2);
    ASSERT_GE(second.size(), 3u) << report;
    EXPECT_EQ(second.find("\r\n"), second.size() - 2) << report;
    EXPECT_EQ(second.find('\n'), second.size() - 1) << report;
    // Neither Dclos nor the clearing of the exchange file follows.
    EXPECT_EQ(LibraryCalls(), c.calls);
    EXPECT_TRUE(fs::is_symlink(c.link));
  }
}

TEST_F(ProcessTest, HandledErrorsEndWithStatusZero) {
  Install(sensor_, "full", Flavour::Xml);
  // No profile at all; the run ends with error 1006.
  const RunResult run = Run({});
  EXPECT_EQ(run.out, XmlFatal("Error 1006: Profile " + sensor_windows_ + "\\ missing..."));
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_FALSE(fs::exists(sensor_ / ".X"));
}

}  // namespace
}  // namespace trelvane::e2e
