// The built Kordavin.Dll against Debian's snmpd on the loopback addresses,
// compared with what Debian's snmpget and snmpbulkwalk read from the same agent.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>

#include "device_walk.h"
#include "exchange_lines.h"
#include "exchange_reader.h"
#include "library_loader.h"
#include "loopback_agent.h"

namespace kordavin {
namespace {

namespace fs = std::filesystem;
using testing::LoadedLibrary;
using testing::LoopbackAgent;
using testing::ReadEntry;

const std::string kCommunity = "pub lic 42";

struct ExchangeContent {
  std::string raw;
  std::vector<ReadEntry> entries;
  std::vector<std::string> traces;

  const ReadEntry* Find(const std::string& name) const {
    for (const ReadEntry& entry : entries)
      if (entry.name == name) return &entry;
    return nullptr;
  }
  bool HasTrace(const std::string& text) const {
    return std::find(traces.begin(), traces.end(), text) != traces.end();
  }
};

/// A private directory for exchange files, named to the library in Windows form.
class ScratchDirectory {
 public:
  ScratchDirectory() {
    std::string pattern = (fs::temp_directory_path() / "kordavin-xrf-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp");
    path_ = pattern;
  }
  ~ScratchDirectory() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  std::string HostPath(const std::string& name) const { return (path_ / name).string(); }
  std::string WindowsName(const std::string& name) const {
    std::string host = HostPath(name);
    std::replace(host.begin(), host.end(), '/', '\\');
    return "Z:" + host;
  }
  std::vector<std::string> Listing() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path_))
      names.push_back(entry.path().filename());
    return names;
  }
  ExchangeContent Read(const std::string& name) const {
    std::ifstream in(HostPath(name), std::ios::binary);
    std::ostringstream raw;
    raw << in.rdbuf();
    ExchangeContent content{raw.str(), {}, {}};
    for (const std::string& line : testing::SplitExchangeFile(content.raw)) {
      testing::ReadLine read = testing::ReadExchangeLine(line);
      if (read.trace) content.traces.push_back(*read.trace);
      if (read.entry) content.entries.push_back(*read.entry);
    }
    return content;
  }

 private:
  fs::path path_;
};

std::uint64_t Number(const std::string& text) { return std::stoull(text); }

class RealAgent : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string why;
    auto agent = LoopbackAgent::Start(kCommunity, &why);
    if (agent) {
      agent_ = new LoopbackAgent(std::move(*agent));
    } else {
      skip_reason_ = new std::string(why);
    }
  }
  static void TearDownTestSuite() {
    delete agent_;
    agent_ = nullptr;
    delete skip_reason_;
    skip_reason_ = nullptr;
  }
  void SetUp() override {
    if (!agent_) GTEST_SKIP() << "no real agent: " << *skip_reason_;
  }
  static std::string Address() { return "127.0.0.1:" + std::to_string(agent_->port()); }

  static LoopbackAgent* agent_;
  static std::string* skip_reason_;
};
LoopbackAgent* RealAgent::agent_ = nullptr;
std::string* RealAgent::skip_reason_ = nullptr;

TEST_F(RealAgent, TheWalkAgreesWithTheCommandLineTools) {
  auto uptime_before = testing::RunSnmpTool(*agent_, "1.3.6.1.2.1.1.3.0", true);
  auto if_before = testing::RunSnmpTool(*agent_, "1.3.6.1.2.1.2.2.1");
  auto ifx_before = testing::RunSnmpTool(*agent_, "1.3.6.1.2.1.31.1.1.1");
  auto storage = testing::RunSnmpTool(*agent_, "1.3.6.1.2.1.25.2.3.1");
  auto processors = testing::RunSnmpTool(*agent_, "1.3.6.1.2.1.25.3.3.1.2");
  auto la_load = testing::RunSnmpTool(*agent_, "1.3.6.1.4.1.2021.10.1.3");
  if (!uptime_before || !if_before || !ifx_before || !storage || !processors || !la_load)
    GTEST_SKIP() << "snmpget/snmpbulkwalk missing (Debian package snmp)";

  ScratchDirectory scratch;
  LoadedLibrary library;
  library.Dopen();
  const std::string result = library.Snmp(Address(), kCommunity, scratch.WindowsName("Agent.Xrf"));
  library.Dclos();

  auto uptime_after = testing::RunSnmpTool(*agent_, "1.3.6.1.2.1.1.3.0", true);
  auto if_after = testing::RunSnmpTool(*agent_, "1.3.6.1.2.1.2.2.1");
  auto ifx_after = testing::RunSnmpTool(*agent_, "1.3.6.1.2.1.31.1.1.1");
  ASSERT_TRUE(uptime_after && if_after && ifx_after);

  const ExchangeContent content = scratch.Read("Agent.Xrf");
  EXPECT_EQ(scratch.Listing(), (std::vector<std::string>{"Agent.Xrf"})) << "no temporary file";
  EXPECT_EQ(content.raw.find(kCommunity), std::string::npos) << "the community is in the file";
  EXPECT_EQ(result.find(kCommunity), std::string::npos);
  for (char c : content.raw) {
    EXPECT_TRUE((c >= 0x20 && c <= 0x7E && c != '<' && c != '>' && c != '&') || c == '\r' ||
                c == '\n');
  }

  // Uptime: between the two readings of the tool.
  const ReadEntry* uptime = content.Find("Uptime");
  ASSERT_NE(uptime, nullptr);
  EXPECT_EQ(uptime->unit, "s");
  EXPECT_GE(Number(uptime->value), Number(uptime_before->begin()->second) / 100);
  EXPECT_LE(Number(uptime->value), Number(uptime_after->begin()->second) / 100);

  // Every interface, under the name the library gives it, with counters
  // between the tool's readings before and after.
  std::vector<InterfaceReading> interfaces;
  for (const auto& [oid, value] : *if_before) {
    if (oid.rfind("1.3.6.1.2.1.2.2.1.1.", 0) != 0) continue;
    InterfaceReading interface;
    interface.index = static_cast<std::uint32_t>(Number(value));
    auto name = ifx_before->find("1.3.6.1.2.1.31.1.1.1.1." + value);
    interface.name = name != ifx_before->end() && !name->second.empty()
                         ? name->second
                         : if_before->at("1.3.6.1.2.1.2.2.1.2." + value);
    interfaces.push_back(interface);
  }
  ASSERT_FALSE(interfaces.empty());
  const std::vector<std::string> labels = InterfaceLabels(interfaces);
  for (std::size_t i = 0; i < interfaces.size(); ++i) {
    const std::string index = std::to_string(interfaces[i].index);
    SCOPED_TRACE(labels[i]);
    const ReadEntry* status = content.Find(labels[i] + " Status");
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->value, if_before->at("1.3.6.1.2.1.2.2.1.8." + index));

    const bool hc = ifx_before->count("1.3.6.1.2.1.31.1.1.1.6." + index) > 0;
    const std::string in_oid = hc ? "1.3.6.1.2.1.31.1.1.1.6." : "1.3.6.1.2.1.2.2.1.10.";
    const auto& in_before = hc ? *ifx_before : *if_before;
    const auto& in_after = hc ? *ifx_after : *if_after;
    const ReadEntry* octets_in = content.Find(labels[i] + " Octets In");
    ASSERT_NE(octets_in, nullptr);
    EXPECT_EQ(octets_in->unit, "Byte");
    EXPECT_GE(Number(octets_in->value), Number(in_before.at(in_oid + index)));
    EXPECT_LE(Number(octets_in->value), Number(in_after.at(in_oid + index)));

    const ReadEntry* errors_in = content.Find(labels[i] + " Errors In");
    ASSERT_NE(errors_in, nullptr);
    EXPECT_GE(Number(errors_in->value), Number(if_before->at("1.3.6.1.2.1.2.2.1.14." + index)));
    EXPECT_LE(Number(errors_in->value), Number(if_after->at("1.3.6.1.2.1.2.2.1.14." + index)));

    std::uint64_t speed = Number(if_before->at("1.3.6.1.2.1.2.2.1.5." + index));
    auto high = ifx_before->find("1.3.6.1.2.1.31.1.1.1.15." + index);
    if (high != ifx_before->end() && Number(high->second) > 0)
      speed = Number(high->second) * 1000000;
    const ReadEntry* speed_entry = content.Find(labels[i] + " Speed");
    ASSERT_NE(speed_entry, nullptr);
    EXPECT_EQ(Number(speed_entry->value), speed);
    for (const char* what : {"Octets Out", "Errors Out", "Discards In", "Discards Out"})
      EXPECT_NE(content.Find(labels[i] + " " + what), nullptr) << what;
  }

  // Health: whatever the agent has, the library reports.
  bool has_ram = false;
  for (const auto& [oid, value] : *storage)
    if (value == ".1.3.6.1.2.1.25.2.1.2") has_ram = true;
  EXPECT_EQ(content.Find("Memory Used") != nullptr, has_ram);
  if (!processors->empty()) {
    EXPECT_NE(content.Find("CPU Load (avg)"), nullptr);
  }
  if (la_load->size() == 3) {
    EXPECT_NE(content.Find("Load Average 15 min"), nullptr);
  }

  // Text facts go to the trace, made safe for the report.
  EXPECT_TRUE(content.HasTrace("System Name: kordavin-test"));
  EXPECT_TRUE(content.HasTrace("System Location: Rack 7: row.2"));
  EXPECT_TRUE(content.HasTrace("System Contact: Ops (ops@example.org) + co"));
  ASSERT_FALSE(content.traces.empty());
  unsigned long values = 0, round_trips = 0, milliseconds = 0;
  char version[8] = {};
  ASSERT_EQ(std::sscanf(content.traces.back().c_str(),
                        "Walk: %lu values, %lu round trips, %lu ms, SNMP %7s", &values,
                        &round_trips, &milliseconds, version),
            4)
      << content.traces.back();
  EXPECT_STREQ(version, "v2c");
  EXPECT_GT(values, 0u);
  EXPECT_GT(round_trips, 0u);
  RecordProperty("values", std::to_string(values));
  RecordProperty("round_trips", std::to_string(round_trips));
  RecordProperty("milliseconds", std::to_string(milliseconds));
  std::cout << "[ walk     ] " << content.traces.back() << " (" << interfaces.size()
            << " interfaces)\n";
}

TEST_F(RealAgent, TheSubstringFilterPicksEachInterfacesChannels) {
  ScratchDirectory scratch;
  LoadedLibrary library;
  library.Snmp(Address(), kCommunity, scratch.WindowsName("Filter.Xrf"));
  const ExchangeContent content = scratch.Read("Filter.Xrf");

  std::set<std::string> labels;
  for (const ReadEntry& entry : content.entries) {
    const std::string suffix = " Status";
    if (entry.name.size() > suffix.size() &&
        entry.name.compare(entry.name.size() - suffix.size(), suffix.size(), suffix) == 0)
      labels.insert(entry.name.substr(0, entry.name.size() - suffix.size()));
  }
  ASSERT_FALSE(labels.empty());
  const std::vector<std::string> lines = testing::SplitExchangeFile(content.raw);
  for (const std::string& label : labels) {
    bool unique = true;
    for (const std::string& other : labels)
      if (other != label && other.find(label) != std::string::npos) unique = false;
    if (!unique) continue;
    SCOPED_TRACE(label);
    int kept = 0;
    for (const std::string& line : lines) {
      auto entry = testing::ReadExchangeLine(line, label).entry;
      if (!entry) continue;
      ++kept;
      EXPECT_EQ(entry->name.rfind(label + " ", 0), 0u) << entry->name;
    }
    EXPECT_EQ(kept, 8);
  }
}

TEST_F(RealAgent, Ipv6Loopback) {
  ScratchDirectory scratch;
  LoadedLibrary library;
  library.Snmp("[::1]:" + std::to_string(agent_->port()), kCommunity,
               scratch.WindowsName("V6.Xrf"));
  const ExchangeContent content = scratch.Read("V6.Xrf");
  EXPECT_NE(content.Find("Uptime"), nullptr);
  EXPECT_TRUE(content.HasTrace("System Name: kordavin-test"));
}

TEST_F(RealAgent, AHostNameIsResolved) {
  // "localhost" comes from the hosts file: no name server is asked.
  ScratchDirectory scratch;
  LoadedLibrary library;
  library.Snmp("localhost:" + std::to_string(agent_->port()), kCommunity,
               scratch.WindowsName("Name.Xrf"));
  EXPECT_NE(scratch.Read("Name.Xrf").Find("Uptime"), nullptr);
}

TEST_F(RealAgent, NothingReachesTheHostsStandardOutputOrError) {
  // The sensor's standard output is the host's report.
  ScratchDirectory scratch;
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  {
    LoadedLibrary library;
    library.Dopen();
    library.Snmp(Address(), kCommunity, scratch.WindowsName("Quiet.Xrf"));
    try {
      library.Snmp(Address(), kCommunity, scratch.WindowsName("Quiet.Xrf"), "Other");
    } catch (const std::exception&) {
    }
    library.Dclos();
  }
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
}

TEST_F(RealAgent, AnAgentThatOnlyAnswersVersion1IsReadWithVersion1) {
  // The agent answers the community "v1only" with SNMPv1 alone.
  ScratchDirectory scratch;
  LoadedLibrary library;
  const std::string result = library.Snmp(Address(), "v1only", scratch.WindowsName("V1.Xrf"));
  const ExchangeContent content = scratch.Read("V1.Xrf");
  EXPECT_NE(content.Find("Uptime"), nullptr);
  EXPECT_NE(content.Find("lo Octets In"), nullptr);
  ASSERT_FALSE(content.traces.empty());
  EXPECT_NE(content.traces.back().find("SNMP v1"), std::string::npos) << content.traces.back();
  EXPECT_NE(result.find("SNMP v1"), std::string::npos) << result;
}

TEST_F(RealAgent, AWrongCommunityFailsAndLeavesNoFile) {
  ScratchDirectory scratch;
  std::ofstream(scratch.HostPath("Wrong.Xrf")) << "- Stale.: 1 #\r\n";
  LoadedLibrary library;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_THROW(library.Snmp(Address(), "not the community", scratch.WindowsName("Wrong.Xrf")),
               std::exception);
  RecordProperty("milliseconds",
                 std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(
                                    std::chrono::steady_clock::now() - start)
                                    .count()));
  EXPECT_TRUE(scratch.Listing().empty()) << "a stale or temporary file is left";
}

TEST_F(RealAgent, OnlyTheRequestTrelvaneIsKnown) {
  ScratchDirectory scratch;
  LoadedLibrary library;
  try {
    library.Snmp(Address(), kCommunity, scratch.WindowsName("Other.Xrf"), "Other");
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "unknown request \"Other\"");
  }
  EXPECT_TRUE(scratch.Listing().empty());
}

TEST_F(RealAgent, LoadingRequestingAndUnloadingAgainAndAgain) {
  ScratchDirectory scratch;
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    LoadedLibrary library;
    const std::string version = library.Dopen();
    const std::string prefix = "Kordavin 1.0 / net-snmp ";
    ASSERT_EQ(version.rfind(prefix, 0), 0u) << version;
    EXPECT_EQ(version.find_first_not_of("0123456789.", prefix.size()), std::string::npos)
        << version;
    EXPECT_GT(version.size(), prefix.size());
    library.Snmp(Address(), kCommunity, scratch.WindowsName("Again.Xrf"));
    EXPECT_NE(scratch.Read("Again.Xrf").Find("Uptime"), nullptr);
    // A failure in between must not spoil the next request.
    EXPECT_THROW(library.Snmp("[::1", kCommunity, scratch.WindowsName("Again.Xrf")),
                 std::exception);
    library.Dclos();
  }
}

TEST(NoAgent, APortWhereNothingAnswersFails) {
  const int port = testing::FreeLoopbackPort();
  ASSERT_GT(port, 0);
  ScratchDirectory scratch;
  LoadedLibrary library;
  library.Dopen();
  const auto start = std::chrono::steady_clock::now();
  try {
    library.Snmp("127.0.0.1:" + std::to_string(port), kCommunity, scratch.WindowsName("Dead.Xrf"));
    FAIL() << "no exception";
  } catch (const std::exception& e) {
    const std::string message = e.what();
    EXPECT_NE(message.find("no answer from 127.0.0.1:" + std::to_string(port)), std::string::npos)
        << message;
    EXPECT_EQ(message.find(kCommunity), std::string::npos) << message;
  }
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                           std::chrono::steady_clock::now() - start)
                           .count();
  RecordProperty("milliseconds", std::to_string(elapsed));
  std::cout << "[ silence  ] failed after " << elapsed << " ms\n";
  library.Dclos();
  EXPECT_TRUE(scratch.Listing().empty());
}

}  // namespace
}  // namespace kordavin
