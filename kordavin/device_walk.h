// The request "Trelvane": which objects the library reads from a device, in
// one column walk, and what it makes of the answers.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "column_walk.h"
#include "snmp_session.h"

namespace kordavin {

struct InterfaceReading {
  std::uint32_t index = 0;  // ifIndex
  std::string name;         // ifName, else ifDescr, as the agent sent it (may be empty)
  std::optional<std::uint64_t> oper_status;
  std::optional<std::uint64_t> in_octets, out_octets;  // ifHC*Octets where the agent has them
  std::optional<std::uint64_t> in_errors, out_errors;
  std::optional<std::uint64_t> in_discards, out_discards;
  std::optional<std::uint64_t> speed_bps;  // ifHighSpeed x 10^6 when non-zero, else ifSpeed
  bool operator==(const InterfaceReading&) const = default;
};

struct StorageReading {
  std::uint32_t index = 0;  // hrStorageIndex
  bool is_ram = false;      // hrStorageRam; otherwise hrStorageFixedDisk
  std::string description;  // hrStorageDescr as the agent sent it
  double percent_used = 0;
};

struct DeviceReading {
  std::optional<std::uint64_t> uptime_ticks;  // sysUpTime, hundredths of a second
  std::optional<std::string> sys_descr, sys_name, sys_location, sys_contact;
  std::vector<InterfaceReading> interfaces;  // by ifIndex
  std::optional<double> cpu_load_percent;    // mean of hrProcessorLoad
  std::size_t processor_count = 0;
  std::vector<StorageReading> storages;  // RAM and fixed disks with a size, by index
  /// laLoad of the UCD MIB for 1, 5 and 15 minutes, as the agent's decimal text.
  std::array<std::optional<std::string>, 3> load_averages;

  SnmpVersion version = SnmpVersion::kV2c;
  int round_trips = 0;
  std::size_t values_read = 0;
};

/// The walk that the request "Trelvane" runs: the system scalars and every
/// table column it reads.
WalkRequest DeviceWalkRequest(int max_repetitions);

/// Turns the values of a walk into the device's reading.
DeviceReading InterpretDevice(const WalkResult& walk, SnmpVersion version);

/// Runs the request: SNMPv2c first, and SNMPv1 when the agent does not answer
/// v2c at all. Throws NoAnswer when neither is answered, SnmpError on any
/// other failure.
DeviceReading ReadDevice(const SessionOpener& open, int max_repetitions);

}  // namespace kordavin
