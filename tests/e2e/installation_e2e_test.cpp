// Finding the sensor directory (from the starting directory or through
// C:\Prtg_Path.Txt and its six candidates), the output flavour, and the
// device profile: the errors 1002, 1003, 1004 and 1006.

#include <string>
#include <vector>

#include "sensor_harness.h"

namespace trelvane::e2e {
namespace {

using ::testing::IsEmpty;

const char* const kCandidates[] = {
    "PRTG Network Monitor/Custom Sensors/ExeXml",
    "Custom Sensors/ExeXml",
    "Programme/PRTG Network Monitor/Custom Sensors/ExeXml",
    "Program Files/PRTG Network Monitor/Custom Sensors/ExeXml",
    "Program Files (x86)/PRTG Network Monitor/Custom Sensors/ExeXml",
    "Programme (x86)/PRTG Network Monitor/Custom Sensors/ExeXml",
};

std::string Backslashed(std::string text) {
  for (char& c : text) {
    if (c == '/') c = '\\';
  }
  return text;
}

std::string Error1006(const std::string& profile_path) {
  return "Error 1006: Profile " + profile_path + " missing...";
}

// The run starts in a directory that is no installation; the program lies in
// a directory of its own, and drive C is a directory of the test.
class InstallationTest : public SensorTest {
 protected:
  void SetUp() override {
    SensorTest::SetUp();
    work_ = root_ / "work";
    bin_ = root_ / "bin";
    drive_c_ = root_ / "drive_c";
    fs::create_directories(work_);
    fs::create_directories(drive_c_);
    PlaceProgram(bin_);
    // A flavour file without Kordavin.Dll makes no installation.
    WriteFile(work_ / "StatisticLines.Flavour", "");
    SetEnv("TRELVANE_DRIVE_C", drive_c_.string());
  }

  RunResult RunFromWork(const std::vector<std::string>& arguments) {
    RunOptions options;
    options.cwd = work_;
    options.program = bin_ / "Trelvane";
    return Run(arguments, options);
  }

  void WritePathFile(std::string_view bytes) { WriteFile(drive_c_ / "Prtg_Path.Txt", bytes); }

  /// Runs once with each content of "C:\Prtg_Path.Txt"; every run must write
  /// `want` and end with status 0.
  template <std::size_t N>
  void ExpectForEachPathFile(const char* const (&files)[N], const std::string& want) {
    for (const char* file : files) {
      SCOPED_TRACE(file);
      WritePathFile(file);
      const RunResult run = RunFromWork({"Router1.Prf"});
      EXPECT_EQ(run.out, want);
      EXPECT_EQ(run.exit_status, 0) << run.err;
    }
  }

  // Recognising an installation looks only for the file Kordavin.Dll.
  void MarkInstallation(const fs::path& directory) {
    fs::create_directories(directory);
    WriteFile(directory / "Kordavin.Dll", "");
  }

  fs::path work_;
  fs::path bin_;
  fs::path drive_c_;
};

TEST_F(InstallationTest, MissingPathFileIsError1002) {
  const std::string want = XmlFatal("Error 1002: File \"C:\\Prtg_Path.Txt\" not found");

  {
    SCOPED_TRACE("drive C has no root");
    RunOptions options;
    options.cwd = work_;
    options.program = bin_ / "Trelvane";
    options.environment["TRELVANE_DRIVE_C"] = "";
    const RunResult run = Run({"Router1.Prf"}, options);
    EXPECT_EQ(run.out, want);
    EXPECT_EQ(run.exit_status, 0) << run.err;
  }
  {
    SCOPED_TRACE("no file on drive C");
    const RunResult run = RunFromWork({"Router1.Prf"});
    EXPECT_EQ(run.out, want);
    EXPECT_EQ(run.exit_status, 0) << run.err;
  }
  {
    SCOPED_TRACE("a directory of that name");
    fs::create_directories(drive_c_ / "Prtg_Path.Txt");
    const RunResult run = RunFromWork({"Router1.Prf"});
    EXPECT_EQ(run.out, want);
    EXPECT_EQ(run.exit_status, 0) << run.err;
  }
  EXPECT_THAT(LibraryCalls(), IsEmpty());
}

TEST_F(InstallationTest, LastLineWithoutColonIsError1003) {
  MarkInstallation(drive_c_ / "Base" / kCandidates[0]);
  const std::string want = XmlFatal("Error 1003: Invalid Path within Prtg_Path.Txt found");
  const char* const files[] = {
      "\\\\server\\share\r\n",
      // Only the last line counts, even an empty one.
      "C:\\Base\r\n\r\n",
      "C:\\Base\r\n\\\\server\\share",
  };
  ExpectForEachPathFile(files, want);
}

TEST_F(InstallationTest, NoInstallationUnderTheBasePathIsError1004) {
  MarkInstallation(drive_c_ / "Base" / kCandidates[0]);
  // The message is handed with a trailing blank, which the Xml form trims.
  const std::string want = XmlFatal("Error 1004: Invalid Starting-Path -");
  const char* const files[] = {
      "C:\\Nowhere\r\n",
      // The line is not trimmed: the blank stays inside every candidate.
      "C:\\Base \r\n",
      // A line feed alone does not end the line.
      "C:\\Nowhere\nC:\\Base\r\n",
      // A program folder that is not one of the six.
      "C:\\Base\\Program Files\r\n",
  };
  ExpectForEachPathFile(files, want);
}

TEST_F(InstallationTest, FirstCandidateInTheFixedOrderIsTheSensorDirectory) {
  WritePathFile("C:\\Nowhere\r\nC:\\Base\r\n");
  for (const char* candidate : kCandidates) MarkInstallation(drive_c_ / "Base" / candidate);
  // Remove the winner each time: the next one in the order takes its place.
  for (const char* candidate : kCandidates) {
    SCOPED_TRACE(candidate);
    const RunResult run = RunFromWork({"Router1.Prf"});
    // Without a profile there, error 1006 names the directory that was
    // taken; its message stays in Xml whatever flavour files lie there.
    EXPECT_EQ(run.out,
              XmlFatal(Error1006("C:\\Base\\" + Backslashed(candidate) + "\\Router1.Prf")));
    EXPECT_EQ(run.exit_status, 0) << run.err;
    fs::remove(drive_c_ / "Base" / candidate / "Kordavin.Dll");
  }
  const RunResult run = RunFromWork({"Router1.Prf"});
  EXPECT_EQ(run.out, XmlFatal("Error 1004: Invalid Starting-Path -"));
}

TEST_F(InstallationTest, BasePathGetsOneBackslashAtMost) {
  MarkInstallation(drive_c_ / kCandidates[0]);
  MarkInstallation(drive_c_ / "Base" / kCandidates[1]);
  struct Case {
    const char* file;
    std::string directory;
  };
  const Case cases[] = {
      {"C:", "C:\\PRTG Network Monitor\\Custom Sensors\\ExeXml"},
      {"C:\\", "C:\\PRTG Network Monitor\\Custom Sensors\\ExeXml"},
      {"C:\\Base\\\r\n", "C:\\Base\\Custom Sensors\\ExeXml"},
      {"c:\\Base", "c:\\Base\\Custom Sensors\\ExeXml"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    WritePathFile(c.file);
    const RunResult run = RunFromWork({"Router1.Prf"});
    EXPECT_EQ(run.out, XmlFatal(Error1006(c.directory + "\\Router1.Prf")));
  }
}

TEST_F(InstallationTest, PathFileWithoutLinesUsesTheStartingDirectoryAsBasePath) {
  MarkInstallation(work_ / kCandidates[1]);
  const std::string want =
      XmlFatal(Error1006(WindowsForm(work_) + "\\Custom Sensors\\ExeXml\\Router1.Prf"));
  for (const char* file : {"",
                           "\x1a"
                           "C:\\Base\r\n"}) {
    SCOPED_TRACE(file);
    WritePathFile(file);
    const RunResult run = RunFromWork({"Router1.Prf"});
    EXPECT_EQ(run.out, want);
    EXPECT_EQ(run.exit_status, 0) << run.err;
  }
}

TEST_F(InstallationTest, RunThroughPathFileUsesXmlAndTheStartingDirectoryForExchange) {
  WritePathFile("C:\\Base\r\n");
  const fs::path sensor = drive_c_ / "Base" / kCandidates[1];
  // The program runs from the installation, as a host starts it; the
  // flavour file there selects nothing, because the run did not start there.
  Install(sensor, "full", Flavour::StatisticLines);
  WriteFile(sensor / "Router1.Prf", kRouterProfile);
  SetExchange("- Uptime.....: 1234 s\r\n");
  RunOptions options;
  options.cwd = work_;
  options.program = sensor / "Trelvane";

  const RunResult run = Run({"Router1.Prf", "Profiler.Prf"}, options);

  EXPECT_EQ(run.out, XmlDocument({XmlEntry("Uptime", "1234", "s")}, RouterSummary("Router1.Prf")));
  EXPECT_EQ(run.exit_status, 0) << run.err;
  // The exchange file lies in the starting directory, the trace in the
  // sensor directory.
  EXPECT_TRUE(fs::exists(work_ / "Router1.Xrf"));
  EXPECT_FALSE(fs::exists(sensor / "Router1.Xrf"));
  const std::vector<std::string> trace = TraceTexts(sensor / "Profiler.Trc");
  ASSERT_GE(trace.size(), 4u);
  EXPECT_EQ(trace[3], "Snmp Path: C:\\Base\\Custom Sensors\\ExeXml");
  EXPECT_FALSE(fs::exists(work_ / "Profiler.Trc"));
}

class DeviceProfileTest : public SensorTest {};

TEST_F(DeviceProfileTest, MissingProfileIsError1006InTheFlavourOfTheInstallation) {
  struct Case {
    Flavour flavour;
    std::vector<std::string> arguments;
    std::string want;
  };
  const std::string missing = Error1006(sensor_windows_ + "\\Missing.Prf");
  const Case cases[] = {
      {Flavour::Xml, {"Missing.Prf"}, XmlFatal(missing)},
      {Flavour::StatisticLines, {"Missing.Prf"}, Crlf({missing})},
      {Flavour::ContextLines, {"Missing.Prf", "/Check"}, Crlf({missing})},
      // Without arguments the path ends in "\".
      {Flavour::Xml, {}, XmlFatal(Error1006(sensor_windows_ + "\\"))},
      {Flavour::ContextLines, {}, Crlf({Error1006(sensor_windows_ + "\\")})},
      // Argument 1 is taken unchanged as a name in the sensor directory.
      {Flavour::Xml, {" Router1.Prf"}, XmlFatal(Error1006(sensor_windows_ + "\\ Router1.Prf"))},
      {Flavour::Xml,
       {sensor_windows_ + "\\Router1.Prf"},
       XmlFatal(Error1006(sensor_windows_ + "\\" + sensor_windows_ + "\\Router1.Prf"))},
      // A directory is no profile.
      {Flavour::Xml, {"Folder.Prf"}, XmlFatal(Error1006(sensor_windows_ + "\\Folder.Prf"))},
  };
  for (const Case& c : cases) {
    std::string label;
    for (const std::string& argument : c.arguments) label += "[" + argument + "]";
    SCOPED_TRACE(label);
    fs::remove_all(sensor_);
    InstallSensor(c.flavour);
    fs::create_directories(sensor_ / "Folder.Prf");

    const RunResult run = Run(c.arguments);

    EXPECT_EQ(run.out, c.want);
    EXPECT_EQ(run.exit_status, 0) << run.err;
  }
  EXPECT_THAT(LibraryCalls(), IsEmpty());
}

}  // namespace
}  // namespace trelvane::e2e
