#include "run/driver.h"

#include <gtest/gtest.h>

#include "doubles/fake_system.h"

namespace trelvane {
namespace {

using Behaviour = testing::FakeLibraries::Behaviour;

Arguments Args(std::initializer_list<const char*> given) {
  Arguments arguments;
  int i = 0;
  for (const char* argument : given) arguments.Items[i++] = argument;
  return arguments;
}

class DriverTest : public ::testing::Test {
 protected:
  DriverTest() {
    auto& files = fake_.files;
    files.files["Z:\\sensor\\Kordavin.Dll"];
    files.files["Z:\\sensor\\Router1.Prf"] =
        "IP-Addr....: 127.0.0.1\r\nAlias......: R1\r\nDescription: Core switch\r\n"
        "Community..: public\r\nSysnr......: 4\r\n";
    files.files["Z:\\sensor\\Profiler.Prf"] = files.files["Z:\\sensor\\Router1.Prf"];
    fake_.libraries.entries["Dopen"] = {Behaviour::kReturns, "Lib 1.0", {}};
    fake_.libraries.entries["Snmp"] = {Behaviour::kReturns, "3 values", WriteExchange()};
    fake_.libraries.entries["Dclos"] = {};
  }

  // The Snmp entry writes the exchange file under the name it is given.
  std::function<void(const std::vector<std::string>&)> WriteExchange() {
    return [this](const std::vector<std::string>& arguments) {
      fake_.files.files[arguments[4]] =
          "* Walk done\r\n- Uptime.....: 1234 s\r\n- Eth1 In....: 99 Byte\r\n";
    };
  }

  testing::FakeSystem fake_;
};

TEST_F(DriverTest, CompleteRunReportsEveryEntryAndClearsTheExchangeFile) {
  EXPECT_EQ(RunSensor(Args({"Router1.Prf", "Slct=Eth1"}), fake_.system), 0);
  EXPECT_EQ(fake_.out.text,
            "\r\n<Prtg>\r\n"
            "\r\n<Result><Channel>Eth1 In</Channel>\r\n<Unit>Custom</Unit>\r\n"
            "<CustomUnit>Byte</CustomUnit>\r\n<Value>99</Value></Result>\r\n"
            "\r\n<Text>(Snmp) Core switch: Trelvane / Infos about Eth1</Text>\r\n"
            "\r\n</Prtg>\r\n\r\n");
  EXPECT_EQ(fake_.libraries.calls,
            (std::vector<std::string>{"Load Kordavin.Dll", "Dopen|Loading|Kordavin.DLL",
                                      "Snmp|127.0.0.1|public|Trelvane|19|Router1.Xrf",
                                      "Dclos|Unloading|Kordavin.DLL", "Unload"}));
  EXPECT_EQ(fake_.clock.sleeps, std::vector<std::uint32_t>{1000});
  EXPECT_EQ(fake_.files.deleted, std::vector<std::string>{"Router1.Xrf"});
  EXPECT_TRUE(fake_.files.created.empty());  // no trace outside profiler mode
}

TEST_F(DriverTest, ProfilerRunTracesEveryStepAndKeepsTheExchangeFile) {
  fake_.clock.tick_step = 25;
  EXPECT_EQ(RunSensor(Args({"Profiler.Prf", "Slct=Eth1"}), fake_.system), 0);
  EXPECT_EQ(fake_.files.files["Z:\\sensor\\Profiler.Trc"],
            "13:04:05 Snmp Trelvane Ver 1.3 / 26.01.22\r\n"
            "13:04:05 Snmp IP=127.0.0.1, Alias=R1.N4\r\n"
            "13:04:05 Snmp Params: Slct=Eth1\r\n"
            "13:04:05 Snmp Path: Z:\\sensor\r\n"
            "13:04:05 Snmp Starting Connection...\r\n"
            "13:04:05 Snmp Dll-Version: Lib 1.0\r\n"
            "13:04:05 Snmp Processing: Trelvane...\r\n"
            "13:04:05 Snmp 3 values\r\n"
            "13:04:05 Snmp RunTime: 25 mSec\r\n"
            "13:04:05 Snmp Walk done\r\n"
            "13:04:05 Snmp 1 Entries found...\r\n"
            "13:04:05 Snmp Ending Connection\r\n");
  EXPECT_TRUE(fake_.clock.sleeps.empty());
  EXPECT_EQ(fake_.files.files.count("Profiler.Xxx"), 1u);
  EXPECT_TRUE(fake_.files.deleted.empty());
}

TEST_F(DriverTest, RunWithoutArgumentsEndsWithError1006) {
  EXPECT_EQ(RunSensor(Args({}), fake_.system), 0);
  EXPECT_EQ(fake_.out.text,
            "<Prtg>\r\n\r\n<Error>1</Error>\r\n<Text>Error 1006: Profile Z:\\sensor\\ "
            "missing...</Text>\r\n\r\n</Prtg>\r\n");
  EXPECT_TRUE(fake_.libraries.calls.empty());
}

TEST_F(DriverTest, EarlyEndAfterLoadingLeavesTheLibraryLoadedAndClosesTheTrace) {
  fake_.libraries.entries.erase("Snmp");
  EXPECT_EQ(RunSensor(Args({"Profiler.Prf"}), fake_.system), 0);
  EXPECT_EQ(fake_.libraries.calls,
            (std::vector<std::string>{"Load Kordavin.Dll", "Dopen|Loading|Kordavin.DLL"}));
  EXPECT_TRUE(
      fake_.files.files["Z:\\sensor\\Profiler.Trc"].ends_with("Snmp Dll-Version: Lib 1.0\r\n"));
  EXPECT_TRUE(fake_.clock.sleeps.empty());
}

TEST_F(DriverTest, FailedRequestStillReadsALeftOverExchangeFileAndFinishes) {
  fake_.files.files["Z:\\sensor\\ContextLines.Flavour"];
  fake_.files.files["Router1.Xrf"] = "- Old........: 1\r\n";
  fake_.libraries.entries["Snmp"] = {Behaviour::kFails, "", {}};
  EXPECT_EQ(RunSensor(Args({"Router1.Prf"}), fake_.system), 0);
  EXPECT_EQ(fake_.out.text,
            "# Error: Error 2002: Invalid Snmp-Request\r\nConText.Old 1, <Old (#)>\r\n"
            "# (Snmp) Core switch: Trelvane / Infos about Router1.Prf\r\n\r\n");
  EXPECT_EQ(fake_.libraries.calls.back(), "Unload");
  EXPECT_EQ(fake_.files.deleted, std::vector<std::string>{"Router1.Xrf"});
}

TEST_F(DriverTest, CheckPutsTheFatalFormInsideTheOpenDocument) {
  fake_.libraries.entries["Snmp"] = {Behaviour::kFails, "", {}};
  EXPECT_EQ(RunSensor(Args({"Router1.Prf", "/Check"}), fake_.system), 0);
  EXPECT_EQ(fake_.out.text,
            "\r\n<Prtg>\r\n<Prtg>\r\n\r\n<Error>1</Error>\r\n"
            "<Text>Error 2002: Invalid Snmp-Request</Text>\r\n\r\n</Prtg>\r\n"
            "\r\n<Text>(Snmp) Core switch: Trelvane / Infos about Router1.Prf</Text>\r\n"
            "\r\n</Prtg>\r\n\r\n");
}

TEST_F(DriverTest, TraceFileFailureEndsTheRunWithItsLineOnly) {
  fake_.files.uncreatable.insert("Z:\\sensor\\Profiler.Trc");
  EXPECT_EQ(RunSensor(Args({"Profiler.Prf"}), fake_.system), 0);
  EXPECT_EQ(fake_.out.text, "* Trace-File failed...\r\n");
  EXPECT_EQ(fake_.clock.sleeps, std::vector<std::uint32_t>{1000});
  EXPECT_TRUE(fake_.libraries.calls.empty());
}

TEST_F(DriverTest, FailedWriteOnStandardOutputEndsTheProcessWithStatusOne) {
  fake_.out.fail_writes = true;
  EXPECT_EQ(RunProcess(Args({"Router1.Prf"}), fake_.system), 1);
  // The run stops where the write failed: nothing is unloaded or cleared.
  EXPECT_EQ(fake_.libraries.calls.back(), "Dopen|Loading|Kordavin.DLL");
  EXPECT_TRUE(fake_.files.deleted.empty());
}

TEST_F(DriverTest, UnhandledFailureIsReportedInTwoLinesAfterTheOutput) {
  class FailingReads final : public ByteSource {
   public:
    std::size_t Read(char*, std::size_t) override {
      throw UnhandledFailure("I/O failure", "reading Router1.Xrf", "Input/output error");
    }
  };
  // Reading the exchange file fails once it is open: the report so far
  // stays, the two lines follow, and nothing else of the run happens.
  testing::FakeSystem failing;
  failing.files.files = fake_.files.files;
  failing.libraries.entries["Snmp"] = {};
  failing.files.files["Router1.Xrf"] = "- Uptime.....: 1 s\r\n";
  struct ExchangeFails final : FileSystem {
    explicit ExchangeFails(testing::FakeFiles& inner) : inner_(inner) {}
    std::string CurrentDirectory() override { return inner_.CurrentDirectory(); }
    bool Exists(std::string_view p) override { return inner_.Exists(p); }
    std::unique_ptr<ByteSource> OpenForReading(std::string_view p) override {
      if (p == "Router1.Xrf") return std::make_unique<FailingReads>();
      return inner_.OpenForReading(p);
    }
    std::unique_ptr<LineSink> CreateUnshared(std::string_view p) override {
      return inner_.CreateUnshared(p);
    }
    bool Empty(std::string_view p) override { return inner_.Empty(p); }
    bool Delete(std::string_view p) override { return inner_.Delete(p); }
    testing::FakeFiles& inner_;
  } files(failing.files);
  System system{files, failing.libraries, failing.clock, failing.out};
  EXPECT_EQ(RunProcess(Args({"Router1.Prf"}), system), 1);
  EXPECT_EQ(failing.out.text,
            "\r\n<Prtg>\r\nI/O failure at reading Router1.Xrf\r\nInput/output error\r\n");
  EXPECT_EQ(failing.files.files.count("Router1.Xrf"), 1u);
}

}  // namespace
}  // namespace trelvane
