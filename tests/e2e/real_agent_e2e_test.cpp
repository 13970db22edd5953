// The whole sensor with the real query library against a real snmpd on a
// loopback port: what the host receives agrees with what Debian's SNMP tools
// read from the same agent.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "loopback_agent.h"
#include "sensor_harness.h"

namespace trelvane::e2e {
namespace {

using kordavin::testing::LoopbackAgent;
using kordavin::testing::RunSnmpTool;

constexpr const char* kCommunity = "e2e community";

class RealAgentTest : public SensorTest {
 protected:
  static void SetUpTestSuite() {
    std::string why;
    agent_ = new std::optional<LoopbackAgent>(LoopbackAgent::Start(kCommunity, &why));
    why_ = new std::string(why);
  }
  static void TearDownTestSuite() {
    delete agent_;
    delete why_;
    agent_ = nullptr;
    why_ = nullptr;
  }

  void SetUp() override {
    SensorTest::SetUp();
    if (!agent_->has_value()) GTEST_SKIP() << "no local snmpd: " << *why_;
    PlaceProgram(sensor_);
    fs::copy_file(TRELVANE_E2E_REAL_LIBRARY, sensor_ / "Kordavin.Dll");
  }

  static int Port() { return (*agent_)->port(); }

  void WriteProfile(const std::string& address, const std::string& community = kCommunity) {
    WriteFile(sensor_ / "Agent.Prf", "IP-Addr....: " + address + "\r\nAlias......: agent\r\n" +
                                         "Description: Local agent\r\nCommunity..: " + community +
                                         "\r\n");
  }

  /// The interfaces' channel names as the query library forms them: ifName,
  /// else ifDescr, with "." and ":" made "_".
  static std::vector<std::string> InterfaceNames() {
    auto descriptions = RunSnmpTool(**agent_, "1.3.6.1.2.1.2.2.1.2");
    auto names = RunSnmpTool(**agent_, "1.3.6.1.2.1.31.1.1.1.1");
    std::vector<std::string> result;
    if (!descriptions || !names) return result;
    for (const auto& [oid, description] : *descriptions) {
      const std::string index = oid.substr(oid.rfind('.') + 1);
      auto name = names->find("1.3.6.1.2.1.31.1.1.1.1." + index);
      std::string label =
          name != names->end() && !name->second.empty() ? name->second : description;
      std::replace(label.begin(), label.end(), '.', '_');
      std::replace(label.begin(), label.end(), ':', '_');
      result.push_back(label);
    }
    return result;
  }

  /// The channel names of an Xml report.
  static std::vector<std::string> Channels(const std::string& report) {
    std::vector<std::string> channels;
    const std::string open = "<Result><Channel>", close = "</Channel>";
    for (std::size_t at = report.find(open); at != std::string::npos;
         at = report.find(open, at + 1)) {
      const std::size_t begin = at + open.size();
      channels.push_back(report.substr(begin, report.find(close, begin) - begin));
    }
    return channels;
  }

  static std::optional<LoopbackAgent>* agent_;
  static std::string* why_;
};
std::optional<LoopbackAgent>* RealAgentTest::agent_ = nullptr;
std::string* RealAgentTest::why_ = nullptr;

TEST_F(RealAgentTest, ReportHoldsEveryInterfaceAndAnUptimeBetweenTheToolsReadings) {
  WriteProfile("127.0.0.1:" + std::to_string(Port()));
  const auto before = RunSnmpTool(**agent_, "1.3.6.1.2.1.1.3.0", true);
  const RunResult run = Run({"Agent.Prf"});
  const auto after = RunSnmpTool(**agent_, "1.3.6.1.2.1.1.3.0", true);
  ASSERT_TRUE(before && after) << "snmpget missing (Debian package snmp)";

  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_TRUE(run.out.starts_with("\r\n<Prtg>\r\n\r\n<Result>")) << run.out;
  EXPECT_TRUE(run.out.ends_with(
      "\r\n<Text>(Snmp) Local agent: Trelvane / Infos about Agent.Prf</Text>\r\n\r\n</Prtg>\r\n"
      "\r\n"));
  EXPECT_EQ(run.out.find("<Error>"), std::string::npos);

  // Names, values and units reach the host raw: nothing in them may break
  // the document or leave the printable ASCII range.
  for (char c : run.out) {
    EXPECT_TRUE((c >= 0x20 && c <= 0x7e) || c == '\r' || c == '\n') << static_cast<int>(c);
  }
  const std::vector<std::string> channels = Channels(run.out);
  std::set<std::string> distinct(channels.begin(), channels.end());
  EXPECT_EQ(distinct.size(), channels.size()) << "every channel is named once";
  for (const std::string& channel : channels) {
    EXPECT_EQ(channel.find_first_of("<>&"), std::string::npos) << channel;
  }

  const std::vector<std::string> interfaces = InterfaceNames();
  ASSERT_FALSE(interfaces.empty());
  for (const std::string& name : interfaces) {
    for (const char* measure : {" Status", " Octets In", " Octets Out", " Errors In", " Speed"}) {
      EXPECT_TRUE(distinct.count(name + measure)) << name + measure;
    }
  }

  const std::string uptime_line =
      "<Result><Channel>Uptime</Channel>\r\n<Unit>Custom</Unit>\r\n"
      "<CustomUnit>s</CustomUnit>\r\n<Value>";
  const std::size_t at = run.out.find(uptime_line);
  ASSERT_NE(at, std::string::npos);
  const std::uint64_t uptime = std::stoull(run.out.substr(at + uptime_line.size()));
  EXPECT_GE(uptime, std::stoull(before->begin()->second) / 100);
  EXPECT_LE(uptime, std::stoull(after->begin()->second) / 100);

  // The exchange file was cleared after the report.
  EXPECT_FALSE(fs::exists(sensor_ / "Agent.Xrf"));
}

TEST_F(RealAgentTest, SelectFilterKeepsOneInterfacesChannels) {
  const std::vector<std::string> interfaces = InterfaceNames();
  ASSERT_FALSE(interfaces.empty());
  // An interface whose name no other interface's name contains.
  std::string chosen;
  for (const std::string& name : interfaces) {
    if (std::count_if(interfaces.begin(), interfaces.end(), [&](const std::string& other) {
          return other.find(name) != std::string::npos;
        }) == 1) {
      chosen = name;
      break;
    }
  }
  if (chosen.empty()) GTEST_SKIP() << "every interface name is part of another";
  WriteProfile("127.0.0.1:" + std::to_string(Port()));
  const RunResult run = Run({"Agent.Prf", "Slct=" + chosen});
  EXPECT_EQ(run.exit_status, 0) << run.err;
  const std::vector<std::string> channels = Channels(run.out);
  EXPECT_TRUE(std::count(channels.begin(), channels.end(), chosen + " Status")) << run.out;
  for (const std::string& channel : channels) {
    EXPECT_TRUE(channel.starts_with(chosen + " ")) << channel;
  }
  EXPECT_NE(run.out.find("Infos about " + chosen + "</Text>"), std::string::npos);
}

TEST_F(RealAgentTest, ContextLinesAndTheTraceOverIpv6) {
  WriteFile(sensor_ / "ContextLines.Flavour", "");
  WriteFile(sensor_ / "Profiler.Prf", "IP-Addr....: [::1]:" + std::to_string(Port()) +
                                          "\r\nCommunity..: " + kCommunity +
                                          "\r\nDescription: Local agent\r\n");
  const RunResult run = Run({"Profiler.Prf"});
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_TRUE(run.out.starts_with("ConText.Uptime ")) << run.out;
  EXPECT_TRUE(
      run.out.ends_with("# (Snmp) Local agent: Trelvane / Infos about Profiler.Prf\r\n\r\n"));

  const std::vector<std::string> trace = TraceTexts(sensor_ / "Profiler.Trc");
  auto has = [&](const std::string& prefix) {
    return std::any_of(trace.begin(), trace.end(),
                       [&](const std::string& line) { return line.starts_with(prefix); });
  };
  EXPECT_TRUE(has("Snmp Dll-Version: Kordavin ")) << ReadFile(sensor_ / "Profiler.Trc");
  EXPECT_TRUE(has("Snmp RunTime: "));
  EXPECT_TRUE(has("Snmp System Name: kordavin-test"));
  EXPECT_TRUE(has("Snmp Walk: "));
  EXPECT_EQ(ReadFile(sensor_ / "Profiler.Trc").find(kCommunity), std::string::npos);
  // Profiler mode keeps the exchange file.
  EXPECT_TRUE(fs::exists(sensor_ / "Profiler.Xxx"));
}

TEST_F(RealAgentTest, SilentDeviceAndWrongCommunityGiveTheRequestError) {
  struct Case {
    std::string address;
    std::string community;
    std::vector<std::string> arguments;
    std::string want;
  } cases[] = {
      {"127.0.0.1:" + std::to_string(kordavin::testing::FreeLoopbackPort()),
       kCommunity,
       {"Agent.Prf"},
       Crlf({"", "<Prtg>", "<Error>1</Error>", "<Text>Error 2002: Invalid Snmp-Request</Text>", "",
             "", "<Text>(Snmp) Local agent: Trelvane / Infos about Agent.Prf</Text>", "", "</Prtg>",
             ""})},
      {"127.0.0.1:" + std::to_string(Port()),
       "wrong",
       {"Agent.Prf", "/Check"},
       Crlf({"", "<Prtg>", "<Prtg>", "", "<Error>1</Error>",
             "<Text>Error 2002: Invalid Snmp-Request</Text>", "", "</Prtg>", "",
             "<Text>(Snmp) Local agent: Trelvane / Infos about Agent.Prf</Text>", "", "</Prtg>",
             ""})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address + " " + c.community);
    WriteProfile(c.address, c.community);
    const RunResult run = Run(c.arguments);
    EXPECT_EQ(run.exit_status, 0) << run.err;
    EXPECT_EQ(run.out, c.want);
    EXPECT_FALSE(fs::exists(sensor_ / "Agent.Xrf"));
  }
}

}  // namespace
}  // namespace trelvane::e2e
