// The C entries of Kordavin.Dll. Failures leave as C++ exceptions (the
// sensor catches them around each call); nothing here swallows them.

#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "device_walk.h"
#include "exchange_file.h"
#include "exchange_lines.h"
#include "kordavin.h"
#include "netsnmp_session.h"
#include "request_options.h"
#include "target_address.h"

namespace {

constexpr const char* kLibraryVersion = "1.0";
constexpr std::string_view kRequestName = "Trelvane";

std::string_view Text(const char* text) { return text ? std::string_view(text) : ""; }

std::string RunRequest(std::string_view ip_address, std::string_view community,
                       std::string_view request, std::string_view options,
                       const std::string& host_path) {
  using namespace kordavin;
  if (request != kRequestName) {
    std::string shown;
    for (char c : request.substr(0, 40)) shown += (c >= 0x20 && c < 0x7F) ? c : '?';
    throw std::runtime_error("unknown request \"" + shown + "\"");
  }
  SessionSettings settings;
  settings.target = ParseTarget(ip_address);
  settings.community = std::string(community);
  settings.timeout_ms = kTimeoutMs;
  settings.retries = kRetries;
  const int max_repetitions = MaxRepetitions(options);

  const auto start = std::chrono::steady_clock::now();
  DeviceReading device =
      ReadDevice([&settings](SnmpVersion version) { return OpenNetSnmpSession(settings, version); },
                 max_repetitions);
  const auto elapsed_ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                              std::chrono::steady_clock::now() - start)
                              .count();
  std::string content = FormatExchangeFile(device, static_cast<std::uint64_t>(elapsed_ms));
  ReplaceFileAtomically(host_path, content);
  return "Trelvane: " + std::to_string(DeviceChannels(device).size()) + " channels, " +
         std::to_string(device.values_read) + " values, " + std::to_string(device.round_trips) +
         " round trips, SNMP " + VersionName(device.version);
}

}  // namespace

extern "C" {

KORDAVIN_EXPORT const char* KORDAVIN_CALL Dopen(const char*, const char*) {
  static std::string version;
  kordavin::StartNetSnmp();
  version =
      std::string("Kordavin ") + kLibraryVersion + " / net-snmp " + kordavin::NetSnmpVersion();
  return version.c_str();
}

KORDAVIN_EXPORT const char* KORDAVIN_CALL Snmp(const char* ipAddress, const char* community,
                                               const char* request, const char* options,
                                               const char* exchangeFile) {
  static std::string result;
  const std::string host_path = kordavin::ExchangeHostPath(Text(exchangeFile));
  try {
    result = RunRequest(Text(ipAddress), Text(community), Text(request), Text(options), host_path);
  } catch (...) {
    // No results from an earlier run may pass for this one's.
    kordavin::RemoveFileQuietly(host_path);
    throw;
  }
  return result.c_str();
}

KORDAVIN_EXPORT const char* KORDAVIN_CALL Dclos(const char*, const char*) {
  kordavin::StopNetSnmp();
  return "Kordavin closed";
}

}  // extern "C"
