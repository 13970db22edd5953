// The query library as the real program meets it: where it is loaded from,
// which entries are called with what, and how the run goes on when an entry
// is missing, throws or faults (errors 2000, 2001 and the two 2002s).

#include <string>
#include <vector>

#include "sensor_harness.h"

namespace trelvane::e2e {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const char* const kFailures[] = {"throw", "segv", "fpe", "ill", "bus"};

constexpr std::string_view kDopenCall = "Dopen|Loading|Kordavin.DLL";
constexpr std::string_view kSnmpCall = "Snmp|127.0.0.9|public|Trelvane|19|Router1.Xrf";
constexpr std::string_view kDclosCall = "Dclos|Unloading|Kordavin.DLL";

const std::string kRequestError = "Error 2002: Invalid Snmp-Request";

// The Xml document of a run whose request failed without "/Check" and that
// found no exchange file.
std::string XmlRunErrorDocument() {
  return Crlf({"", "<Prtg>", "<Error>1</Error>", "<Text>" + kRequestError + "</Text>", "", "",
               "<Text>" + RouterSummary("Router1.Prf") + "</Text>", "", "</Prtg>", ""});
}

class QueryLibraryTest : public SensorTest {};

TEST_F(QueryLibraryTest, LibraryThatCannotBeLoadedIsError2000) {
  struct Case {
    const char* label;
    std::string library;
    Flavour flavour;
    std::string want;
  };
  const std::string message = "Error 2000: Snmp-Library not found";
  const Case cases[] = {
      {"text file, Xml", "this is no library\r\n", Flavour::Xml, XmlFatal(message)},
      {"empty file, Xml", "", Flavour::Xml, XmlFatal(message)},
      {"text file, StatisticLines", "MZ", Flavour::StatisticLines, Crlf({message})},
      {"text file, ContextLines",
       "\x7f"
       "ELF",
       Flavour::ContextLines, Crlf({message})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    fs::remove_all(sensor_);
    InstallSensor(c.flavour);
    WriteFile(sensor_ / "Kordavin.Dll", c.library);
    WriteFile(sensor_ / "Router1.Xrf", "- Left.......: 1\r\n");

    const RunResult run = Run({"Router1.Prf"});

    EXPECT_EQ(run.out, c.want);
    EXPECT_EQ(run.exit_status, 0) << run.err;
    // The early end neither waits nor clears the exchange file.
    EXPECT_TRUE(fs::exists(sensor_ / "Router1.Xrf"));
  }
}

TEST_F(QueryLibraryTest, DopenThatFailsIsError2001AndNothingElseIsCalled) {
  InstallSensor(Flavour::Xml);
  WriteFile(sensor_ / "Router1.Xrf", "- Left.......: 1\r\n");
  for (const char* failure : kFailures) {
    SCOPED_TRACE(failure);
    fs::remove(log_);
    SetEnv("FAKE_KORDAVIN_DOPEN", failure);

    const RunResult run = Run({"Router1.Prf"});

    EXPECT_EQ(run.out, XmlFatal("Error 2001: Invalid Handle - Snmp"));
    EXPECT_EQ(run.exit_status, 0) << run.err;
    EXPECT_EQ(run.signal, 0);
    EXPECT_THAT(LibraryCalls(), ElementsAre(kDopenCall));
    EXPECT_TRUE(fs::exists(sensor_ / "Router1.Xrf"));
  }
}

TEST_F(QueryLibraryTest, Error2001InLineFlavoursIsTheMessageAlone) {
  InstallSensor(Flavour::ContextLines);
  SetEnv("FAKE_KORDAVIN_DOPEN", "segv");
  const RunResult run = Run({"Router1.Prf"});
  EXPECT_EQ(run.out, Crlf({"Error 2001: Invalid Handle - Snmp"}));
  EXPECT_EQ(run.exit_status, 0) << run.err;
}

TEST_F(QueryLibraryTest, LibraryWithoutSnmpIsError2002AndDclosIsNotCalled) {
  struct Case {
    Flavour flavour;
    std::string want;
  };
  const std::string message = "Error 2002: Invalid Snmp-Handle";
  const Case cases[] = {
      {Flavour::Xml, XmlFatal(message)},
      {Flavour::StatisticLines, Crlf({message})},
      {Flavour::ContextLines, Crlf({message})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.flavour));
    fs::remove_all(sensor_);
    fs::remove(log_);
    InstallSensor(c.flavour, "no_snmp");

    const RunResult run = Run({"Router1.Prf"});

    EXPECT_EQ(run.out, c.want);
    EXPECT_EQ(run.exit_status, 0) << run.err;
    EXPECT_THAT(LibraryCalls(), ElementsAre(kDopenCall));
  }
}

TEST_F(QueryLibraryTest, FailedRequestIsReportedInsideTheDocumentAndTheRunGoesOn) {
  InstallSensor(Flavour::Xml);
  for (const char* failure : kFailures) {
    SCOPED_TRACE(failure);
    fs::remove(log_);
    SetEnv("FAKE_KORDAVIN_SNMP", failure);

    const RunResult run = Run({"Router1.Prf"});

    EXPECT_EQ(run.out, XmlRunErrorDocument());
    EXPECT_EQ(run.exit_status, 0) << run.err;
    EXPECT_EQ(run.signal, 0);
    EXPECT_THAT(LibraryCalls(), ElementsAre(kDopenCall, kSnmpCall, kDclosCall));
    EXPECT_GE(run.elapsed.count(), 1000);
  }
}

TEST_F(QueryLibraryTest, FailedRequestFormDependsOnCheckInEveryFlavour) {
  const std::string summary = RouterSummary("Router1.Prf");
  struct Case {
    Flavour flavour;
    std::vector<std::string> arguments;
    std::string want;
  };
  const Case cases[] = {
      {Flavour::Xml,
       {"Router1.Prf", "/Check"},
       // The complete error document stands inside the open document.
       Crlf({"", "<Prtg>", "<Prtg>", "", "<Error>1</Error>", "<Text>" + kRequestError + "</Text>",
             "", "</Prtg>", "", "<Text>" + summary + "</Text>", "", "</Prtg>", ""})},
      {Flavour::Xml,
       {"Router1.Prf", "/CheckAll"},
       Crlf({"", "<Prtg>", "<Prtg>", "", "<Error>1</Error>", "<Text>" + kRequestError + "</Text>",
             "", "</Prtg>", "", "<Text>" + summary + "</Text>", "", "</Prtg>", ""})},
      {Flavour::Xml, {"Router1.Prf", "/check"}, XmlRunErrorDocument()},
      {Flavour::StatisticLines,
       {"Router1.Prf"},
       Crlf({"# Error: " + kRequestError, "# " + summary, ""})},
      {Flavour::StatisticLines,
       {"Router1.Prf", "/Check"},
       Crlf({kRequestError, "# " + summary, ""})},
      {Flavour::ContextLines,
       {"Router1.Prf"},
       Crlf({"# Error: " + kRequestError, "# " + summary, ""})},
      {Flavour::ContextLines, {"Router1.Prf", "/Check"}, Crlf({kRequestError, "# " + summary, ""})},
  };
  SetEnv("FAKE_KORDAVIN_SNMP", "throw");
  for (const Case& c : cases) {
    std::string label = std::to_string(static_cast<int>(c.flavour));
    for (const std::string& argument : c.arguments) label += " [" + argument + "]";
    SCOPED_TRACE(label);
    fs::remove_all(sensor_);
    fs::remove(log_);
    InstallSensor(c.flavour);

    const RunResult run = Run(c.arguments);

    EXPECT_EQ(run.out, c.want);
    EXPECT_EQ(run.exit_status, 0) << run.err;
    EXPECT_THAT(LibraryCalls(), ElementsAre(kDopenCall, kSnmpCall, kDclosCall));
  }
}

TEST_F(QueryLibraryTest, FailedRequestStillReadsAndClearsTheExchangeFile) {
  InstallSensor(Flavour::ContextLines);
  const std::string summary = "# " + RouterSummary("Router1.Prf");

  {
    SCOPED_TRACE("written by the library before it faulted");
    SetExchange("- Uptime.....: 1234 s\r\n");
    SetEnv("FAKE_KORDAVIN_SNMP", "segv");
    const RunResult run = Run({"Router1.Prf"});
    EXPECT_EQ(run.out, Crlf({"# Error: " + kRequestError, "ConText.Uptime 1234, <Uptime (s)>",
                             summary, ""}));
    EXPECT_FALSE(fs::exists(sensor_ / "Router1.Xrf"));
  }
  {
    SCOPED_TRACE("left from an earlier run");
    SetEnv("FAKE_KORDAVIN_EXCHANGE", "");
    SetEnv("FAKE_KORDAVIN_SNMP", "throw");
    WriteFile(sensor_ / "Router1.Xrf", "- Status.....: stale\r\n");
    const RunResult run = Run({"Router1.Prf", "/Check"});
    EXPECT_EQ(run.out, Crlf({kRequestError, "ConText.Status stale, <Status (#)>", summary, ""}));
    EXPECT_FALSE(fs::exists(sensor_ / "Router1.Xrf"));
  }
}

TEST_F(QueryLibraryTest, DclosThatFailsOrIsMissingChangesNothing) {
  const std::string want =
      Crlf({"ConText.Uptime 1234, <Uptime (s)>", "# " + RouterSummary("Router1.Prf"), ""});
  SetExchange("- Uptime.....: 1234 s\r\n");
  InstallSensor(Flavour::ContextLines);
  for (const char* failure : kFailures) {
    SCOPED_TRACE(failure);
    fs::remove(log_);
    SetEnv("FAKE_KORDAVIN_DCLOS", failure);

    const RunResult run = Run({"Router1.Prf"});

    EXPECT_EQ(run.out, want);
    EXPECT_EQ(run.exit_status, 0) << run.err;
    EXPECT_EQ(run.signal, 0);
    EXPECT_THAT(LibraryCalls(), ElementsAre(kDopenCall, kSnmpCall, kDclosCall));
    EXPECT_FALSE(fs::exists(sensor_ / "Router1.Xrf"));
  }
  {
    SCOPED_TRACE("no Dclos entry");
    fs::remove_all(sensor_);
    fs::remove(log_);
    InstallSensor(Flavour::ContextLines, "no_dclos");
    const RunResult run = Run({"Router1.Prf"});
    EXPECT_EQ(run.out, want);
    EXPECT_EQ(run.exit_status, 0) << run.err;
    EXPECT_THAT(LibraryCalls(), ElementsAre(kDopenCall, kSnmpCall));
    EXPECT_FALSE(fs::exists(sensor_ / "Router1.Xrf"));
  }
}

TEST_F(QueryLibraryTest, LibraryWithoutDopenRunsTheRequest) {
  InstallSensor(Flavour::ContextLines, "no_dopen");
  SetExchange("- Uptime.....: 1234 s\r\n");

  const RunResult run = Run({"Router1.Prf"});

  EXPECT_EQ(run.out,
            Crlf({"ConText.Uptime 1234, <Uptime (s)>", "# " + RouterSummary("Router1.Prf"), ""}));
  EXPECT_THAT(LibraryCalls(), ElementsAre(kSnmpCall, kDclosCall));
}

// The library is looked for beside the executable first, then in the current
// directory; the sensor directory found through C:\Prtg_Path.Txt is not
// searched unless it is one of them.
class LibrarySearchTest : public SensorTest {
 protected:
  void SetUp() override {
    SensorTest::SetUp();
    bin_ = root_ / "bin";
    PlaceProgram(bin_);
    options_.program = bin_ / "Trelvane";
  }
  fs::path bin_;
  RunOptions options_;
};

TEST_F(LibrarySearchTest, LibraryBesideTheExecutableComesFirst) {
  InstallSensor(Flavour::Xml, "full");
  PlaceLibrary(bin_, "no_snmp");

  const RunResult run = Run({"Router1.Prf"}, options_);

  EXPECT_EQ(run.out, XmlFatal("Error 2002: Invalid Snmp-Handle"));
  EXPECT_EQ(run.exit_status, 0) << run.err;
}

TEST_F(LibrarySearchTest, LibraryThatCannotBeLoadedBesideTheExecutableHidesTheOthers) {
  InstallSensor(Flavour::Xml, "full");
  WriteFile(bin_ / "Kordavin.Dll", "no library");

  const RunResult run = Run({"Router1.Prf"}, options_);

  EXPECT_EQ(run.out, XmlFatal("Error 2000: Snmp-Library not found"));
  EXPECT_THAT(LibraryCalls(), IsEmpty());
}

TEST_F(LibrarySearchTest, LibraryInTheCurrentDirectoryComesNext) {
  InstallSensor(Flavour::ContextLines, "full");
  SetExchange("- Status.....: up\r\n");

  const RunResult run = Run({"Router1.Prf"}, options_);

  EXPECT_EQ(run.out,
            Crlf({"ConText.Status up, <Status (#)>", "# " + RouterSummary("Router1.Prf"), ""}));
  EXPECT_THAT(LibraryCalls(), ElementsAre(kDopenCall, kSnmpCall, kDclosCall));
}

TEST_F(LibrarySearchTest, SensorDirectoryOutsideTheSearchIsNotSearched) {
  const fs::path work = root_ / "work";
  const fs::path drive_c = root_ / "drive_c";
  fs::create_directories(work);
  const fs::path sensor = drive_c / "Base" / "Custom Sensors" / "ExeXml";
  Install(sensor, "full");
  WriteFile(sensor / "Router1.Prf", kRouterProfile);
  WriteFile(drive_c / "Prtg_Path.Txt", "C:\\Base\r\n");
  options_.cwd = work;
  options_.environment["TRELVANE_DRIVE_C"] = drive_c.string();

  const RunResult run = Run({"Router1.Prf"}, options_);

  EXPECT_EQ(run.out, XmlFatal("Error 2000: Snmp-Library not found"));
  EXPECT_THAT(LibraryCalls(), IsEmpty());
}

}  // namespace
}  // namespace trelvane::e2e
