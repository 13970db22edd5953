// A small device for the fake agent: what its MIB holds, built the way the
// agent's tables are laid out.
#pragma once

#include <string>

#include "fake_agent.h"

namespace kordavin::testing {

inline const Oid kIfEntry = {1, 3, 6, 1, 2, 1, 2, 2, 1};
inline const Oid kIfXEntry = {1, 3, 6, 1, 2, 1, 31, 1, 1, 1};
inline const Oid kHrStorageEntry = {1, 3, 6, 1, 2, 1, 25, 2, 3, 1};
inline const Oid kHrStorageRam = {1, 3, 6, 1, 2, 1, 25, 2, 1, 2};
inline const Oid kHrStorageFixedDisk = {1, 3, 6, 1, 2, 1, 25, 2, 1, 4};
inline const Oid kHrStorageVirtualMemory = {1, 3, 6, 1, 2, 1, 25, 2, 1, 3};

struct FakeInterface {
  std::uint32_t index;
  std::string descr;
  std::string name;  // ifName; empty: the agent has no ifXTable row
  std::uint32_t oper_status = 1;
  std::uint32_t speed = 100000000;
  std::uint32_t high_speed = 100;
  std::uint32_t in_octets = 1000, out_octets = 2000;
  std::uint64_t hc_in = 5000000000, hc_out = 6000000000;
  std::uint32_t in_errors = 3, out_errors = 4, in_discards = 5, out_discards = 6;
};

inline void AddInterface(FakeAgent& agent, const FakeInterface& i) {
  auto at = [&](const Oid& entry, std::uint32_t column) {
    return Append(entry, {column, i.index});
  };
  agent.Set(at(kIfEntry, 1), SnmpValue::Integer(i.index));
  agent.Set(at(kIfEntry, 2), SnmpValue::Octets(i.descr));
  agent.Set(at(kIfEntry, 5), SnmpValue::Unsigned(i.speed));
  agent.Set(at(kIfEntry, 8), SnmpValue::Integer(i.oper_status));
  agent.Set(at(kIfEntry, 10), SnmpValue::Unsigned(i.in_octets));
  agent.Set(at(kIfEntry, 13), SnmpValue::Unsigned(i.in_discards));
  agent.Set(at(kIfEntry, 14), SnmpValue::Unsigned(i.in_errors));
  agent.Set(at(kIfEntry, 16), SnmpValue::Unsigned(i.out_octets));
  agent.Set(at(kIfEntry, 19), SnmpValue::Unsigned(i.out_discards));
  agent.Set(at(kIfEntry, 20), SnmpValue::Unsigned(i.out_errors));
  if (i.name.empty()) return;
  agent.Set(at(kIfXEntry, 1), SnmpValue::Octets(i.name));
  agent.Set(at(kIfXEntry, 6), SnmpValue::Counter64(i.hc_in));
  agent.Set(at(kIfXEntry, 10), SnmpValue::Counter64(i.hc_out));
  agent.Set(at(kIfXEntry, 15), SnmpValue::Unsigned(i.high_speed));
}

inline void AddStorage(FakeAgent& agent, std::uint32_t index, const Oid& type,
                       const std::string& descr, std::int64_t size, std::int64_t used) {
  agent.Set(Append(kHrStorageEntry, {1, index}), SnmpValue::Integer(index));
  agent.Set(Append(kHrStorageEntry, {2, index}), SnmpValue::ObjectId(type));
  agent.Set(Append(kHrStorageEntry, {3, index}), SnmpValue::Octets(descr));
  agent.Set(Append(kHrStorageEntry, {4, index}), SnmpValue::Integer(4096));
  agent.Set(Append(kHrStorageEntry, {5, index}), SnmpValue::Integer(size));
  agent.Set(Append(kHrStorageEntry, {6, index}), SnmpValue::Integer(used));
}

/// A router-like device: three interfaces (one without ifXTable row), RAM,
/// two disks (one so large that its Integer32 counts wrapped), swap space,
/// two processors and the UCD load averages.
inline FakeAgent SmallDevice() {
  FakeAgent agent;
  agent.Set({1, 3, 6, 1, 2, 1, 1, 1, 0}, SnmpValue::Octets("Test router\r\nrev <2> & more"));
  agent.Set({1, 3, 6, 1, 2, 1, 1, 2, 0}, SnmpValue::ObjectId({1, 3, 6, 1, 4, 1, 8072}));
  agent.Set({1, 3, 6, 1, 2, 1, 1, 3, 0}, SnmpValue::Unsigned(123456));
  agent.Set({1, 3, 6, 1, 2, 1, 1, 4, 0}, SnmpValue::Octets("Ops <ops@example.org>"));
  agent.Set({1, 3, 6, 1, 2, 1, 1, 5, 0}, SnmpValue::Octets("router1"));
  agent.Set({1, 3, 6, 1, 2, 1, 1, 6, 0}, SnmpValue::Octets("Rack 7"));
  AddInterface(
      agent, {.index = 1, .descr = "Loopback", .name = "lo", .speed = 10000000, .high_speed = 10});
  AddInterface(agent, {.index = 2,
                       .descr = "Intel Ethernet",
                       .name = "eth0",
                       .oper_status = 1,
                       .speed = 1000000000,
                       .high_speed = 1000});
  // An old line card: no ifXTable row, a speed below one Mbit/s.
  AddInterface(agent,
               {.index = 7, .descr = "Serial0/1", .name = "", .oper_status = 2, .speed = 64000});
  AddStorage(agent, 1, kHrStorageRam, "Physical memory", 1000, 250);
  AddStorage(agent, 3, kHrStorageVirtualMemory, "Virtual memory", 2000, 1000);
  AddStorage(agent, 31, kHrStorageFixedDisk, "/", 400, 100);
  // 3 000 000 000 and 1 500 000 000 units, wrapped into Integer32.
  AddStorage(agent, 32, kHrStorageFixedDisk, "/srv", 3000000000LL - 4294967296LL, 1500000000LL);
  AddStorage(agent, 33, kHrStorageFixedDisk, "/empty", 0, 0);
  agent.Set({1, 3, 6, 1, 2, 1, 25, 3, 3, 1, 2, 196608}, SnmpValue::Integer(10));
  agent.Set({1, 3, 6, 1, 2, 1, 25, 3, 3, 1, 2, 196609}, SnmpValue::Integer(25));
  for (std::uint32_t i = 1; i <= 3; ++i) {
    agent.Set({1, 3, 6, 1, 4, 1, 2021, 10, 1, 2, i}, SnmpValue::Octets("Load-x"));
    agent.Set({1, 3, 6, 1, 4, 1, 2021, 10, 1, 3, i}, SnmpValue::Octets(i == 1   ? "0.25"
                                                                       : i == 2 ? "0.50"
                                                                                : "1.00"));
  }
  agent.Set({1, 3, 6, 1, 6, 3, 1, 1, 0}, SnmpValue::Integer(0));  // beyond everything read
  return agent;
}

}  // namespace kordavin::testing
