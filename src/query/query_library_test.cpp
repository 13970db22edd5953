#include "query/query_library.h"

#include <gtest/gtest.h>

#include "doubles/fake_system.h"

namespace trelvane {
namespace {

using Behaviour = testing::FakeLibraries::Behaviour;

class QueryLibraryTest : public ::testing::Test {
 protected:
  QueryLibraryTest() {
    state_.LibraryBaseName = "Kordavin";
    state_.SensorDirectory = "Z:\\sensor";
    state_.ExchangeFileName = "Router1.Xrf";
    state_.DeviceProfile.IpAddress = "127.0.0.1";
    state_.DeviceProfile.Community = "public ";
    fake_.files.files["Z:\\sensor\\Profiler.Trc"];
    state_.TraceFile = fake_.files.CreateUnshared("Z:\\sensor\\Profiler.Trc");
    state_.TraceEnabled = true;
    fake_.libraries.entries["Dopen"] = {Behaviour::kReturns, "Lib 1.0", {}};
    fake_.libraries.entries["Snmp"] = {Behaviour::kReturns, "done", {}};
    fake_.libraries.entries["Dclos"] = {Behaviour::kReturns, "bye", {}};
  }
  std::string TraceText() { return fake_.files.files["Z:\\sensor\\Profiler.Trc"]; }
  std::string FatalXml(const std::string& message) {
    return "<Prtg>\r\n\r\n<Error>1</Error>\r\n<Text>" + message + "</Text>\r\n\r\n</Prtg>\r\n";
  }

  testing::FakeSystem fake_;
  RunState state_;
};

TEST_F(QueryLibraryTest, LoadsTheDllFileAndAnnouncesItselfAsDLL) {
  ASSERT_TRUE(LoadQueryLibrary(state_, fake_.system));
  EXPECT_EQ(fake_.libraries.calls,
            (std::vector<std::string>{"Load Kordavin.Dll", "Dopen|Loading|Kordavin.DLL"}));
  EXPECT_EQ(TraceText(),
            "13:04:05 Snmp Path: Z:\\sensor\r\n13:04:05 Snmp Starting Connection...\r\n"
            "13:04:05 Snmp Dll-Version: Lib 1.0\r\n");
  EXPECT_NE(state_.SnmpEntry, nullptr);
}

TEST_F(QueryLibraryTest, LoadingErrorsEndTheRun) {
  struct Case {
    const char* name;
    std::function<void(testing::FakeLibraries&)> arrange;
    std::string message;
    std::string last_trace;
  } cases[] = {
      {"not loadable", [](auto& l) { l.loadable = false; }, "Error 2000: Snmp-Library not found",
       "Snmp Starting Connection..."},
      {"Dopen fails", [](auto& l) { l.entries["Dopen"].outcome = Behaviour::kFails; },
       "Error 2001: Invalid Handle - Snmp", "Snmp Starting Connection..."},
      {"no Snmp", [](auto& l) { l.entries.erase("Snmp"); }, "Error 2002: Invalid Snmp-Handle",
       "Snmp Dll-Version: Lib 1.0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::FakeSystem fake;
    fake.libraries.entries = fake_.libraries.entries;
    c.arrange(fake.libraries);
    RunState state;
    state.LibraryBaseName = "Kordavin";
    fake.files.files["T"];
    state.TraceFile = fake.files.CreateUnshared("T");
    state.TraceEnabled = true;
    EXPECT_FALSE(LoadQueryLibrary(state, fake.system));
    EXPECT_EQ(fake.out.text, FatalXml(c.message));
    EXPECT_TRUE(fake.files.files["T"].ends_with(c.last_trace + "\r\n"));
  }
}

TEST_F(QueryLibraryTest, VersionTextFallsBackToTheEntryNameOrEmpty) {
  fake_.libraries.entries.erase("Dopen");
  ASSERT_TRUE(LoadQueryLibrary(state_, fake_.system));
  EXPECT_EQ(state_.LibraryVersion, "Dopen");

  testing::FakeSystem fake;
  fake.libraries.entries["Dopen"] = {Behaviour::kReturnsNull, "", {}};
  fake.libraries.entries["Snmp"] = {};
  RunState state;
  ASSERT_TRUE(LoadQueryLibrary(state, fake.system));
  EXPECT_EQ(state.LibraryVersion, "");
}

TEST_F(QueryLibraryTest, RequestPassesTheProfileAndTracesItsRunTime) {
  ASSERT_TRUE(LoadQueryLibrary(state_, fake_.system));
  fake_.clock.ticks = 0xFFFFFF00u;  // wraps during the call
  fake_.clock.tick_step = 1234;
  RunQuery(state_, fake_.system);
  EXPECT_EQ(fake_.libraries.calls.back(), "Snmp|127.0.0.1|public |Trelvane|19|Router1.Xrf");
  EXPECT_TRUE(
      TraceText().ends_with("13:04:05 Snmp Processing: Trelvane...\r\n13:04:05 Snmp done\r\n"
                            "13:04:05 Snmp RunTime: 1234 mSec\r\n"));
  EXPECT_EQ(fake_.out.text, "");
}

TEST_F(QueryLibraryTest, FailedRequestIsReportedInTheFormThatCheckAsksFor) {
  struct Case {
    const char* parameter_line;
    OutputFlavour flavour;
    std::string want;
  } cases[] = {
      {"Router1.Prf", OutputFlavour::Xml,
       "<Error>1</Error>\r\n<Text>Error 2002: Invalid Snmp-Request</Text>\r\n\r\n"},
      {"Router1.Prf /Check", OutputFlavour::Xml, FatalXml("Error 2002: Invalid Snmp-Request")},
      {"Router1.Prf", OutputFlavour::ContextLines, "# Error: Error 2002: Invalid Snmp-Request\r\n"},
      {"Router1.Prf /Check", OutputFlavour::StatisticLines, "Error 2002: Invalid Snmp-Request\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.parameter_line);
    testing::FakeSystem fake;
    fake.libraries.entries["Snmp"] = {Behaviour::kFails, "", {}};
    RunState state;
    state.ParameterLine = c.parameter_line;
    state.OutputFlavour = c.flavour;
    fake.files.files["T"];
    state.TraceFile = fake.files.CreateUnshared("T");
    state.TraceEnabled = true;
    ASSERT_TRUE(LoadQueryLibrary(state, fake.system));
    RunQuery(state, fake.system);
    EXPECT_EQ(fake.out.text, c.want);
    EXPECT_TRUE(fake.files.files["T"].ends_with("Snmp Processing: Trelvane...\r\n"));
  }
}

TEST_F(QueryLibraryTest, UnloadingCallsDclosWhereTheLibraryHasIt) {
  ASSERT_TRUE(LoadQueryLibrary(state_, fake_.system));
  fake_.libraries.entries["Dclos"].outcome = Behaviour::kFails;
  UnloadQueryLibrary(state_, fake_.libraries);
  EXPECT_EQ(fake_.libraries.calls,
            (std::vector<std::string>{"Load Kordavin.Dll", "Dopen|Loading|Kordavin.DLL",
                                      "Dclos|Unloading|Kordavin.DLL", "Unload"}));

  fake_.libraries.calls.clear();
  fake_.libraries.entries.erase("Dclos");
  UnloadQueryLibrary(state_, fake_.libraries);
  EXPECT_EQ(fake_.libraries.calls, std::vector<std::string>{"Unload"});
}

TEST_F(QueryLibraryTest, ClearingEmptiesThenDeletesAndStopsAtTheFirstFailure) {
  fake_.files.files["A.Xrf"] = "x";
  ClearExchangeFile(fake_.files, "A.Xrf");
  EXPECT_EQ(fake_.files.emptied, std::vector<std::string>{"A.Xrf"});
  EXPECT_EQ(fake_.files.deleted, std::vector<std::string>{"A.Xrf"});

  fake_.files.files["B.Xrf"] = "x";
  fake_.files.undeletable.insert("B.Xrf");
  ClearExchangeFile(fake_.files, "B.Xrf");
  EXPECT_EQ(fake_.files.files["B.Xrf"], "");

  fake_.files.files["C.Xrf"] = "x";
  fake_.files.unwritable.insert("C.Xrf");
  ClearExchangeFile(fake_.files, "C.Xrf");
  EXPECT_EQ(fake_.files.files["C.Xrf"], "x");
  EXPECT_EQ(fake_.files.deleted.size(), 1u);

  ClearExchangeFile(fake_.files, "Missing.Xrf");
}

}  // namespace
}  // namespace trelvane
