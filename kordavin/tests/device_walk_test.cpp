#include "device_walk.h"

#include <gtest/gtest.h>

#include "device_fixture.h"

namespace kordavin {
namespace {

using testing::FakeAgent;
using testing::SmallDevice;

TEST(DeviceWalk, ASmallDeviceIsReadInOneRoundTrip) {
  FakeAgent agent = SmallDevice();
  DeviceReading device = ReadDevice(agent.Opener(), 19);

  EXPECT_EQ(device.round_trips, 1);
  EXPECT_EQ(device.version, SnmpVersion::kV2c);
  ASSERT_EQ(agent.requests.size(), 1u);
  std::vector<std::string> asked;
  for (const Oid& oid : agent.requests[0].oids) asked.push_back(FormatOid(oid));
  EXPECT_EQ(asked,
            (std::vector<std::string>{
                // sysDescr, sysUpTime, sysContact, sysName, sysLocation
                "1.3.6.1.2.1.1.1", "1.3.6.1.2.1.1.3", "1.3.6.1.2.1.1.4", "1.3.6.1.2.1.1.5",
                "1.3.6.1.2.1.1.6",
                // ifDescr ifSpeed ifOperStatus ifInOctets ifInDiscards ifInErrors
                // ifOutOctets ifOutDiscards ifOutErrors
                "1.3.6.1.2.1.2.2.1.2", "1.3.6.1.2.1.2.2.1.5", "1.3.6.1.2.1.2.2.1.8",
                "1.3.6.1.2.1.2.2.1.10", "1.3.6.1.2.1.2.2.1.13", "1.3.6.1.2.1.2.2.1.14",
                "1.3.6.1.2.1.2.2.1.16", "1.3.6.1.2.1.2.2.1.19", "1.3.6.1.2.1.2.2.1.20",
                // ifName ifHCInOctets ifHCOutOctets ifHighSpeed
                "1.3.6.1.2.1.31.1.1.1.1", "1.3.6.1.2.1.31.1.1.1.6", "1.3.6.1.2.1.31.1.1.1.10",
                "1.3.6.1.2.1.31.1.1.1.15",
                // hrStorageType Descr Size Used, hrProcessorLoad, laLoad
                "1.3.6.1.2.1.25.2.3.1.2", "1.3.6.1.2.1.25.2.3.1.3", "1.3.6.1.2.1.25.2.3.1.5",
                "1.3.6.1.2.1.25.2.3.1.6", "1.3.6.1.2.1.25.3.3.1.2", "1.3.6.1.4.1.2021.10.1.3"}));
  EXPECT_EQ(agent.requests[0].non_repeaters, 5);
}

TEST(DeviceWalk, InterpretsTheDevice) {
  FakeAgent agent = SmallDevice();
  DeviceReading device = ReadDevice(agent.Opener(), 19);

  EXPECT_EQ(device.uptime_ticks, 123456u);
  EXPECT_EQ(device.sys_name, "router1");
  EXPECT_EQ(device.sys_location, "Rack 7");
  EXPECT_EQ(device.sys_contact, "Ops <ops@example.org>");

  ASSERT_EQ(device.interfaces.size(), 3u);
  const InterfaceReading& lo = device.interfaces[0];
  const InterfaceReading& eth0 = device.interfaces[1];
  const InterfaceReading& serial = device.interfaces[2];
  EXPECT_EQ(lo.name, "lo") << "ifName wins over ifDescr";
  EXPECT_EQ(eth0.name, "eth0");
  EXPECT_EQ(eth0.in_octets, 5000000000u) << "64-bit counters where the agent has them";
  EXPECT_EQ(eth0.out_octets, 6000000000u);
  EXPECT_EQ(eth0.speed_bps, 1000000000u);
  EXPECT_EQ(eth0.oper_status, 1u);
  EXPECT_EQ(eth0.in_errors, 3u);
  EXPECT_EQ(eth0.out_errors, 4u);
  EXPECT_EQ(eth0.in_discards, 5u);
  EXPECT_EQ(eth0.out_discards, 6u);
  EXPECT_EQ(serial.index, 7u);
  EXPECT_EQ(serial.name, "Serial0/1") << "ifDescr without an ifXTable row";
  EXPECT_EQ(serial.in_octets, 1000u) << "32-bit counters without ifHC*";
  EXPECT_EQ(serial.out_octets, 2000u);
  EXPECT_EQ(serial.speed_bps, 64000u) << "ifSpeed where ifHighSpeed is missing";
  EXPECT_EQ(serial.oper_status, 2u);

  ASSERT_TRUE(device.cpu_load_percent.has_value());
  EXPECT_DOUBLE_EQ(*device.cpu_load_percent, 17.5);
  EXPECT_EQ(device.processor_count, 2u);

  ASSERT_EQ(device.storages.size(), 3u) << "RAM and fixed disks with a size only";
  EXPECT_TRUE(device.storages[0].is_ram);
  EXPECT_DOUBLE_EQ(device.storages[0].percent_used, 25.0);
  EXPECT_EQ(device.storages[1].description, "/");
  EXPECT_DOUBLE_EQ(device.storages[1].percent_used, 25.0);
  EXPECT_EQ(device.storages[2].description, "/srv");
  EXPECT_DOUBLE_EQ(device.storages[2].percent_used, 50.0) << "wrapped Integer32 counts";

  EXPECT_EQ(device.load_averages[0], "0.25");
  EXPECT_EQ(device.load_averages[1], "0.50");
  EXPECT_EQ(device.load_averages[2], "1.00");
}

TEST(DeviceWalk, WhatTheAgentLacksIsLeftOut) {
  FakeAgent agent;
  agent.Set({1, 3, 6, 1, 2, 1, 1, 3, 0}, SnmpValue::Unsigned(500));
  // laLoad text that is no plain number.
  agent.Set({1, 3, 6, 1, 4, 1, 2021, 10, 1, 3, 1}, SnmpValue::Octets("0.1 high"));
  DeviceReading device = ReadDevice(agent.Opener(), 19);

  EXPECT_EQ(device.uptime_ticks, 500u);
  EXPECT_FALSE(device.sys_name.has_value());
  EXPECT_TRUE(device.interfaces.empty());
  EXPECT_FALSE(device.cpu_load_percent.has_value());
  EXPECT_TRUE(device.storages.empty());
  EXPECT_FALSE(device.load_averages[0].has_value());
}

TEST(DeviceWalk, FallsBackToVersion1WhenVersion2cIsNotAnswered) {
  FakeAgent agent = SmallDevice();
  agent.answers_v2c = false;
  DeviceReading device = ReadDevice(agent.Opener(), 19);

  EXPECT_EQ(agent.opened, (std::vector<SnmpVersion>{SnmpVersion::kV2c, SnmpVersion::kV1}));
  EXPECT_EQ(device.version, SnmpVersion::kV1);
  EXPECT_EQ(device.interfaces.size(), 3u);
  EXPECT_EQ(device.storages.size(), 3u);
  for (const auto& request : agent.requests) {
    if (request.version == SnmpVersion::kV1) {
      EXPECT_FALSE(request.bulk);
    }
  }
}

TEST(DeviceWalk, NoAnswerToEitherVersionFails) {
  FakeAgent agent = SmallDevice();
  agent.answers_v2c = false;
  agent.answers_v1 = false;
  try {
    ReadDevice(agent.Opener(), 19);
    FAIL() << "no exception";
  } catch (const NoAnswer& e) {
    EXPECT_STREQ(e.what(), "no answer from the fake agent, neither to SNMP v2c nor to v1");
  }
  EXPECT_EQ(agent.requests.size(), 2u);
}

TEST(DeviceWalk, AnErrorIsNotTakenForAnUnknownVersion) {
  FakeAgent agent = SmallDevice();
  agent.error_status = 5;
  EXPECT_THROW(ReadDevice(agent.Opener(), 19), SnmpError);
  EXPECT_EQ(agent.opened, (std::vector<SnmpVersion>{SnmpVersion::kV2c}));
}

}  // namespace
}  // namespace kordavin
