// The device's address as the profile gives it: an IPv4 address or a host
// name, optionally followed by ":port"; an IPv6 address, bare or as
// "[address]:port".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kordavin {

inline constexpr std::uint16_t kDefaultSnmpPort = 161;

struct Target {
  enum class Kind { kIpv4, kIpv6, kHostName };
  Kind kind = Kind::kIpv4;
  std::string host;  // without brackets
  std::uint16_t port = kDefaultSnmpPort;
  bool operator==(const Target&) const = default;
};

/// Takes the address apart. Blanks around it are ignored. Throws
/// std::invalid_argument (naming the address) when it is empty or malformed.
Target ParseTarget(std::string_view address);

/// "host:port", with the host in brackets for IPv6: how messages name the target.
std::string DescribeTarget(const Target& target);

}  // namespace kordavin
