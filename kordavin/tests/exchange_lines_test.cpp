#include "exchange_lines.h"

#include <gtest/gtest.h>

#include <set>

#include "device_fixture.h"
#include "exchange_reader.h"

namespace kordavin {
namespace {

using testing::ReadExchangeLine;
using testing::SplitExchangeFile;

// The reader re-implementation must itself be right, or the round trips
// below prove nothing: these are the sensor's documented examples.
TEST(ExchangeReader, FollowsTheSensorsWorkedExamples) {
  struct Case {
    std::string line;
    testing::ReadEntry want;
  };
  const Case cases[] = {
      {"- Uptime.....: 1234 s", {"Uptime", "1234", "s"}},
      {"- Status.....: up", {"Status", "up", "#"}},
      {"- Location...: Server room", {"Location", "Server", "room"}},
      {"- Load.......: 0.75 %", {"Load", "0.75", "%"}},
      {"- Temperature: 21.5 C", {"Temperature: 21", "21.5", "C"}},
      {"- Load.......:  42 %", {"Load", "", "42 %"}},
      {"- Port 1:2: 100 Mbit/s", {"Port 1", "100", "Mbit/s"}},
      {"Counter: 7", {"unter", "7", "#"}},
      {"12345", {"", "2345", "#"}},
      {"", {"", "", "#"}},
      {"   ", {"", "", "#"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    testing::ReadLine read = ReadExchangeLine(c.line);
    ASSERT_TRUE(read.entry.has_value());
    EXPECT_EQ(*read.entry, c.want);
  }
  EXPECT_EQ(ReadExchangeLine("* Walk finished").trace, "Walk finished");
  EXPECT_FALSE(ReadExchangeLine("- Uptime.....: 1234 s", "Load").entry.has_value());
  EXPECT_TRUE(ReadExchangeLine("- Load.......: 0.75 %", "Load").entry.has_value());
}

InterfaceReading Interface(std::uint32_t index, std::string name) {
  InterfaceReading interface;
  interface.index = index;
  interface.name = std::move(name);
  interface.oper_status = 1;
  interface.in_octets = 18446744073709551615u;
  interface.out_octets = 0;
  interface.in_errors = 1;
  interface.out_errors = 2;
  interface.in_discards = 3;
  interface.out_discards = 4;
  interface.speed_bps = 10000000000u;
  return interface;
}

/// Devices whose texts try every way of breaking a line.
std::vector<DeviceReading> AwkwardDevices() {
  std::vector<DeviceReading> devices;
  {
    testing::FakeAgent agent = testing::SmallDevice();
    devices.push_back(ReadDevice(agent.Opener(), 19));
  }
  DeviceReading device;
  device.uptime_ticks = 4294967295u;
  device.sys_name = "r1.example.org: core <edge> & \"more\"";
  device.sys_descr = std::string(300, 'x') + "\t\x01\xC3\xA9";
  device.cpu_load_percent = 99.95;
  device.processor_count = 1;
  device.load_averages = {"0.00", "12.75", "100"};
  device.storages = {{1, true, "Physical memory", 0.0},
                     {2, false, "C:\\ Label:Data  Serial Number 5a3b", 100.0},
                     {3, false, "/", 33.3333},
                     {4, false, "_", 1.0},
                     {5, false, "", 2.0},
                     {6, false, std::string(200, 'd'), 3.0}};
  device.interfaces = {Interface(1, "eth0"),
                       Interface(2, "eth0.100"),
                       Interface(3, "eth0:1"),
                       Interface(4, "eth0_1"),
                       Interface(5, "Gi0/1 <uplink> & \"core\""),
                       Interface(6, ""),
                       Interface(7, "   "),
                       Interface(8, std::string(150, 'n') + ".x"),
                       Interface(9, "\xC3\xA9th\r\n9"),
                       Interface(10, "a.b"),
                       Interface(11, "a:b"),
                       Interface(12, "a b"),
                       Interface(13, "eth0")};
  device.interfaces[5].speed_bps.reset();
  device.round_trips = 3;
  device.values_read = 1234;
  devices.push_back(device);
  return devices;
}

TEST(ExchangeLines, EveryLineComesBackThroughTheSensorsReaderAsWritten) {
  for (const DeviceReading& device : AwkwardDevices()) {
    const std::string file = FormatExchangeFile(device, 987);
    const std::vector<Channel> channels = DeviceChannels(device);

    // Bytes: printable ASCII, blank, and CR LF as line ends, nothing else.
    for (std::size_t i = 0; i < file.size(); ++i) {
      unsigned char c = static_cast<unsigned char>(file[i]);
      if (c == '\r') {
        ASSERT_LT(i + 1, file.size());
        EXPECT_EQ(file[i + 1], '\n');
        ++i;
        continue;
      }
      EXPECT_TRUE(c >= 0x20 && c <= 0x7E) << "byte " << int(c) << " at " << i;
      EXPECT_TRUE(c != '<' && c != '>' && c != '&') << "at " << i << ": " << file;
    }
    ASSERT_TRUE(file.size() >= 2 && file.substr(file.size() - 2) == "\r\n");

    std::vector<testing::ReadEntry> entries;
    std::vector<std::string> traces;
    for (const std::string& line : SplitExchangeFile(file)) {
      testing::ReadLine read = ReadExchangeLine(line);
      if (read.trace) traces.push_back(*read.trace);
      if (read.entry) entries.push_back(*read.entry);
    }
    ASSERT_EQ(entries.size(), channels.size());
    std::set<std::string> keys;
    for (std::size_t i = 0; i < channels.size(); ++i) {
      SCOPED_TRACE(channels[i].name);
      EXPECT_EQ(entries[i],
                (testing::ReadEntry{channels[i].name, channels[i].value, channels[i].unit}));
      EXPECT_LE(channels[i].name.size(), 99u);
      EXPECT_EQ(channels[i].name.find_first_of(".:"), std::string::npos);
      EXPECT_TRUE(keys.insert(ChannelKey(channels[i].name)).second) << "key used twice";
    }
    ASSERT_FALSE(traces.empty());
    EXPECT_EQ(traces.back(), "Walk: " + std::to_string(device.values_read) + " values, " +
                                 std::to_string(device.round_trips) +
                                 " round trips, 987 ms, SNMP v2c");
    for (const std::string& trace : traces) EXPECT_LE(trace.size(), 99u);
  }
}

TEST(ExchangeLines, ChannelsOfTheSmallDevice) {
  testing::FakeAgent agent = testing::SmallDevice();
  std::vector<std::string> lines;
  for (const Channel& channel : DeviceChannels(ReadDevice(agent.Opener(), 19)))
    lines.push_back(channel.name + "|" + channel.value + "|" + channel.unit);
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "Uptime|1234|s",
                       "CPU Load (avg)|17.5|%",
                       "Load Average 1 min|0.25|#",
                       "Load Average 5 min|0.50|#",
                       "Load Average 15 min|1.00|#",
                       "Memory Used|25.0|%",
                       "Disk / Used|25.0|%",
                       "Disk /srv Used|50.0|%",
                       "lo Status|1|#",
                       "lo Octets In|5000000000|Byte",
                       "lo Octets Out|6000000000|Byte",
                       "lo Errors In|3|packets",
                       "lo Errors Out|4|packets",
                       "lo Discards In|5|packets",
                       "lo Discards Out|6|packets",
                       "lo Speed|10000000|bit/s",
                       "eth0 Status|1|#",
                       "eth0 Octets In|5000000000|Byte",
                       "eth0 Octets Out|6000000000|Byte",
                       "eth0 Errors In|3|packets",
                       "eth0 Errors Out|4|packets",
                       "eth0 Discards In|5|packets",
                       "eth0 Discards Out|6|packets",
                       "eth0 Speed|1000000000|bit/s",
                       "Serial0/1 Status|2|#",
                       "Serial0/1 Octets In|1000|Byte",
                       "Serial0/1 Octets Out|2000|Byte",
                       "Serial0/1 Errors In|3|packets",
                       "Serial0/1 Errors Out|4|packets",
                       "Serial0/1 Discards In|5|packets",
                       "Serial0/1 Discards Out|6|packets",
                       "Serial0/1 Speed|64000|bit/s",
                   }));
}

TEST(ExchangeLines, TraceLinesCarryTheTextFactsMadeSafe) {
  testing::FakeAgent agent = testing::SmallDevice();
  const std::string file = FormatExchangeFile(ReadDevice(agent.Opener(), 19), 5);
  std::vector<std::string> traces;
  for (const std::string& line : SplitExchangeFile(file))
    if (auto trace = ReadExchangeLine(line).trace) traces.push_back(*trace);
  EXPECT_EQ(traces, (std::vector<std::string>{
                        "System Name: router1",
                        "System Description: Test router  rev (2) + more",
                        "System Location: Rack 7",
                        "System Contact: Ops (ops@example.org)",
                        "Walk: 65 values, 1 round trips, 5 ms, SNMP v2c",
                    }));
}

TEST(ExchangeLines, InterfaceLabels) {
  struct Case {
    const char* label;
    std::vector<std::string> names;
    std::vector<std::string> want;
  };
  const Case cases[] = {
      {"plain names stay", {"eth0", "eth1", "lo"}, {"eth0", "eth1", "lo"}},
      {"dot and colon become underscores", {"eth0.100", "eth0:1"}, {"eth0_100", "eth0_1"}},
      {"names that meet get their ifIndex",
       {"eth0.1", "eth0:1", "eth0"},
       {"eth0_1#1", "eth0_1#2", "eth0"}},
      {"the same name twice", {"port", "port"}, {"port#1", "port#2"}},
      {"names whose keys meet", {"a b", "a/b", "a_b"}, {"a b#1", "a/b#2", "a_b#3"}},
      {"no name at all", {"", "  "}, {"if1", "if2"}},
      {"unsafe characters",
       {"Gi0/1 <up> & \"x\"", "\xC3\xA9t\th"},
       {"Gi0/1 _up_ _ \"x\"", "__t_h"}},
      {"long names are cut", {std::string(80, 'n')}, {std::string(60, 'n')}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    std::vector<InterfaceReading> interfaces;
    for (std::size_t i = 0; i < c.names.size(); ++i) {
      interfaces.emplace_back();
      interfaces.back().index = static_cast<std::uint32_t>(i + 1);
      interfaces.back().name = c.names[i];
    }
    EXPECT_EQ(InterfaceLabels(interfaces), c.want);
  }
}

TEST(ExchangeLines, TheSubstringFilterPicksOneInterface) {
  DeviceReading device;
  device.uptime_ticks = 100;
  device.cpu_load_percent = 5;
  device.load_averages = {"0.1", "0.2", "0.3"};
  device.storages = {{1, true, "Physical memory", 10}, {31, false, "/", 20}};
  device.interfaces = {Interface(1, "lo"), Interface(2, "eth0"), Interface(3, "eth1"),
                       Interface(4, "eth0.100")};
  const std::vector<std::string> lines = SplitExchangeFile(FormatExchangeFile(device, 1));

  auto kept_names = [&](const std::string& filter) {
    std::set<std::string> names;
    for (const std::string& line : lines)
      if (auto entry = ReadExchangeLine(line, filter).entry) names.insert(entry->name);
    return names;
  };
  auto channels_of = [](const std::vector<std::string>& labels) {
    std::set<std::string> names;
    for (const std::string& label : labels)
      for (const char* what : {"Status", "Octets In", "Octets Out", "Errors In", "Errors Out",
                               "Discards In", "Discards Out", "Speed"})
        names.insert(label + " " + what);
    return names;
  };
  EXPECT_EQ(kept_names("eth1"), channels_of({"eth1"}));
  EXPECT_EQ(kept_names("lo"), channels_of({"lo"}));
  EXPECT_EQ(kept_names("eth0_100"), channels_of({"eth0_100"}));
  // A substring: eth0 also matches the name eth0_100.
  EXPECT_EQ(kept_names("eth0"), channels_of({"eth0", "eth0_100"}));
  EXPECT_EQ(kept_names("eth1 Octets"),
            (std::set<std::string>{"eth1 Octets In", "eth1 Octets Out"}));
}

TEST(ExchangeLines, LinesThatTheReaderWouldMisreadAreRefused) {
  EXPECT_THROW(ResultLine({"a.b", "1", "#"}), std::invalid_argument);
  EXPECT_THROW(ResultLine({"a:b", "1", "#"}), std::invalid_argument);
  EXPECT_THROW(ResultLine({"", "1", "#"}), std::invalid_argument);
  EXPECT_THROW(ResultLine({"a", "1 2", "#"}), std::invalid_argument);
  EXPECT_THROW(ResultLine({"a", "", "#"}), std::invalid_argument);
  EXPECT_THROW(ResultLine({std::string(100, 'a'), "1", "#"}), std::invalid_argument);
  EXPECT_THROW(ResultLine({"a", "1", std::string(98, 'u')}), std::invalid_argument);
  EXPECT_EQ(ResultLine({std::string(40, 'a'), "1", "s"}),
            "- " + std::string(40, 'a') + ".: 1 s\r\n");
}

}  // namespace
}  // namespace kordavin
