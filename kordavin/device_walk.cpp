#include "device_walk.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>

namespace kordavin {
namespace {

// SNMPv2-MIB system group.
const Oid kSystem = {1, 3, 6, 1, 2, 1, 1};
const Oid kSysDescr = Append(kSystem, {1});
const Oid kSysUpTime = Append(kSystem, {3});
const Oid kSysContact = Append(kSystem, {4});
const Oid kSysName = Append(kSystem, {5});
const Oid kSysLocation = Append(kSystem, {6});

// IF-MIB ifTable and ifXTable columns.
const Oid kIfEntry = {1, 3, 6, 1, 2, 1, 2, 2, 1};
const Oid kIfDescr = Append(kIfEntry, {2});
const Oid kIfSpeed = Append(kIfEntry, {5});
const Oid kIfOperStatus = Append(kIfEntry, {8});
const Oid kIfInOctets = Append(kIfEntry, {10});
const Oid kIfInDiscards = Append(kIfEntry, {13});
const Oid kIfInErrors = Append(kIfEntry, {14});
const Oid kIfOutOctets = Append(kIfEntry, {16});
const Oid kIfOutDiscards = Append(kIfEntry, {19});
const Oid kIfOutErrors = Append(kIfEntry, {20});
const Oid kIfXEntry = {1, 3, 6, 1, 2, 1, 31, 1, 1, 1};
const Oid kIfName = Append(kIfXEntry, {1});
const Oid kIfHcInOctets = Append(kIfXEntry, {6});
const Oid kIfHcOutOctets = Append(kIfXEntry, {10});
const Oid kIfHighSpeed = Append(kIfXEntry, {15});

// HOST-RESOURCES-MIB storage and processor tables.
const Oid kHrStorageEntry = {1, 3, 6, 1, 2, 1, 25, 2, 3, 1};
const Oid kHrStorageType = Append(kHrStorageEntry, {2});
const Oid kHrStorageDescr = Append(kHrStorageEntry, {3});
const Oid kHrStorageSize = Append(kHrStorageEntry, {5});
const Oid kHrStorageUsed = Append(kHrStorageEntry, {6});
const Oid kHrStorageRam = {1, 3, 6, 1, 2, 1, 25, 2, 1, 2};
const Oid kHrStorageFixedDisk = {1, 3, 6, 1, 2, 1, 25, 2, 1, 4};
const Oid kHrProcessorLoad = {1, 3, 6, 1, 2, 1, 25, 3, 3, 1, 2};

// UCD-SNMP-MIB laLoad (index 1, 2, 3 = 1, 5, 15 minutes).
const Oid kLaLoad = {1, 3, 6, 1, 4, 1, 2021, 10, 1, 3};

/// The rows of one column with a single-number index, by that index.
std::map<std::uint32_t, const SnmpValue*> Rows(const std::map<Oid, SnmpValue>& values,
                                               const Oid& column) {
  std::map<std::uint32_t, const SnmpValue*> rows;
  for (auto it = values.lower_bound(column); it != values.end() && IsBelow(column, it->first);
       ++it) {
    if (it->first.size() == column.size() + 1) rows.emplace(it->first.back(), &it->second);
  }
  return rows;
}

const SnmpValue* Find(const std::map<std::uint32_t, const SnmpValue*>& rows, std::uint32_t index) {
  auto it = rows.find(index);
  return it == rows.end() ? nullptr : it->second;
}

std::optional<std::uint64_t> CountAt(const std::map<std::uint32_t, const SnmpValue*>& rows,
                                     std::uint32_t index) {
  const SnmpValue* value = Find(rows, index);
  return value ? value->AsCount() : std::nullopt;
}

std::optional<std::string> TextAt(const std::map<std::uint32_t, const SnmpValue*>& rows,
                                  std::uint32_t index) {
  const SnmpValue* value = Find(rows, index);
  if (value && value->type == SnmpValue::Type::kOctets) return value->octets;
  return std::nullopt;
}

std::optional<std::string> Scalar(const std::map<Oid, SnmpValue>& values, const Oid& object) {
  auto it = values.find(Append(object, {0}));
  if (it != values.end() && it->second.type == SnmpValue::Type::kOctets) return it->second.octets;
  return std::nullopt;
}

/// hrStorageSize and hrStorageUsed are Integer32; agents with large disks let
/// them wrap into the negative range, so they are read back as unsigned 32-bit.
std::optional<double> StorageAmount(const SnmpValue* value) {
  if (!value) return std::nullopt;
  if (value->type == SnmpValue::Type::kInteger) {
    std::int64_t amount = value->integer;
    if (amount < 0) amount += std::int64_t{1} << 32;
    return amount < 0 ? std::nullopt : std::optional<double>(static_cast<double>(amount));
  }
  if (auto count = value->AsCount()) return static_cast<double>(*count);
  return std::nullopt;
}

/// laLoad is a DisplayString such as "0.25"; only a plain decimal number is used.
bool IsDecimalNumber(const std::string& text) {
  if (text.empty() || text.size() > 20 || text.front() == '.' || text.back() == '.') return false;
  int dots = 0;
  for (char c : text) {
    if (c == '.') {
      ++dots;
    } else if (c < '0' || c > '9') {
      return false;
    }
  }
  return dots <= 1;
}

}  // namespace

WalkRequest DeviceWalkRequest(int max_repetitions) {
  WalkRequest request;
  request.scalars = {kSysDescr, kSysUpTime, kSysContact, kSysName, kSysLocation};
  request.columns = {kIfDescr,       kIfSpeed,         kIfOperStatus,   kIfInOctets,
                     kIfInDiscards,  kIfInErrors,      kIfOutOctets,    kIfOutDiscards,
                     kIfOutErrors,   kIfName,          kIfHcInOctets,   kIfHcOutOctets,
                     kIfHighSpeed,   kHrStorageType,   kHrStorageDescr, kHrStorageSize,
                     kHrStorageUsed, kHrProcessorLoad, kLaLoad};
  request.max_repetitions = max_repetitions;
  return request;
}

DeviceReading InterpretDevice(const WalkResult& walk, SnmpVersion version) {
  const std::map<Oid, SnmpValue>& values = walk.values;
  DeviceReading device;
  device.version = version;
  device.round_trips = walk.round_trips;
  device.values_read = values.size();

  if (auto it = values.find(Append(kSysUpTime, {0})); it != values.end())
    device.uptime_ticks = it->second.AsCount();
  device.sys_descr = Scalar(values, kSysDescr);
  device.sys_name = Scalar(values, kSysName);
  device.sys_location = Scalar(values, kSysLocation);
  device.sys_contact = Scalar(values, kSysContact);

  // Interfaces: every ifIndex that either table names.
  const auto descr = Rows(values, kIfDescr), speed = Rows(values, kIfSpeed),
             oper = Rows(values, kIfOperStatus), in_octets = Rows(values, kIfInOctets),
             in_discards = Rows(values, kIfInDiscards), in_errors = Rows(values, kIfInErrors),
             out_octets = Rows(values, kIfOutOctets), out_discards = Rows(values, kIfOutDiscards),
             out_errors = Rows(values, kIfOutErrors), name = Rows(values, kIfName),
             hc_in = Rows(values, kIfHcInOctets), hc_out = Rows(values, kIfHcOutOctets),
             high_speed = Rows(values, kIfHighSpeed);
  std::set<std::uint32_t> indexes;
  for (const auto* rows : {&descr, &oper, &in_octets, &out_octets, &name})
    for (const auto& row : *rows) indexes.insert(row.first);
  for (std::uint32_t index : indexes) {
    InterfaceReading interface;
    interface.index = index;
    std::optional<std::string> if_name = TextAt(name, index);
    if (!if_name || if_name->empty()) if_name = TextAt(descr, index);
    interface.name = if_name.value_or("");
    interface.oper_status = CountAt(oper, index);
    interface.in_octets = CountAt(hc_in, index);
    if (!interface.in_octets) interface.in_octets = CountAt(in_octets, index);
    interface.out_octets = CountAt(hc_out, index);
    if (!interface.out_octets) interface.out_octets = CountAt(out_octets, index);
    interface.in_errors = CountAt(in_errors, index);
    interface.out_errors = CountAt(out_errors, index);
    interface.in_discards = CountAt(in_discards, index);
    interface.out_discards = CountAt(out_discards, index);
    std::optional<std::uint64_t> mbps = CountAt(high_speed, index);
    interface.speed_bps =
        (mbps && *mbps > 0) ? std::optional(*mbps * 1000000) : CountAt(speed, index);
    device.interfaces.push_back(std::move(interface));
  }

  // Processors: the mean load over every row of hrProcessorLoad.
  double load_sum = 0;
  for (auto it = values.lower_bound(kHrProcessorLoad);
       it != values.end() && IsBelow(kHrProcessorLoad, it->first); ++it) {
    if (auto load = it->second.AsCount()) {
      load_sum += static_cast<double>(*load);
      ++device.processor_count;
    }
  }
  if (device.processor_count > 0)
    device.cpu_load_percent = load_sum / static_cast<double>(device.processor_count);

  // Storage: RAM and fixed disks with a size.
  const auto type = Rows(values, kHrStorageType), storage_descr = Rows(values, kHrStorageDescr),
             size = Rows(values, kHrStorageSize), used = Rows(values, kHrStorageUsed);
  for (const auto& [index, type_value] : type) {
    if (type_value->type != SnmpValue::Type::kObjectId) continue;
    const bool is_ram = type_value->object_id == kHrStorageRam;
    if (!is_ram && type_value->object_id != kHrStorageFixedDisk) continue;
    std::optional<double> total = StorageAmount(Find(size, index));
    std::optional<double> in_use = StorageAmount(Find(used, index));
    if (!total || !in_use || *total <= 0) continue;
    StorageReading storage;
    storage.index = index;
    storage.is_ram = is_ram;
    storage.description = TextAt(storage_descr, index).value_or("");
    storage.percent_used = *in_use * 100.0 / *total;
    device.storages.push_back(std::move(storage));
  }

  const auto la_load = Rows(values, kLaLoad);
  for (std::uint32_t i = 0; i < device.load_averages.size(); ++i) {
    std::optional<std::string> text = TextAt(la_load, i + 1);
    if (text && IsDecimalNumber(*text)) device.load_averages[i] = *text;
  }
  return device;
}

DeviceReading ReadDevice(const SessionOpener& open, int max_repetitions) {
  const WalkRequest request = DeviceWalkRequest(max_repetitions);
  std::string v2c_silence;
  try {
    std::unique_ptr<SnmpSession> session = open(SnmpVersion::kV2c);
    return InterpretDevice(WalkColumns(*session, SnmpVersion::kV2c, request), SnmpVersion::kV2c);
  } catch (const NoAnswer& e) {
    v2c_silence = e.what();
  }
  // An agent that ignores v2c may still speak v1.
  try {
    std::unique_ptr<SnmpSession> session = open(SnmpVersion::kV1);
    return InterpretDevice(WalkColumns(*session, SnmpVersion::kV1, request), SnmpVersion::kV1);
  } catch (const NoAnswer&) {
    throw NoAnswer(v2c_silence + ", neither to SNMP v2c nor to v1");
  }
}

}  // namespace kordavin
