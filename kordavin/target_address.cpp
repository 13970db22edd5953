#include "target_address.h"

#include <algorithm>
#include <stdexcept>

namespace kordavin {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAlnum(char c) { return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

[[noreturn]] void Malformed(std::string_view address, const char* why) {
  // The address may hold anything; keep the message printable.
  std::string shown;
  for (char c : address) shown += (c >= 0x20 && c < 0x7F) ? c : '?';
  throw std::invalid_argument("invalid device address \"" + shown + "\": " + why);
}

std::uint16_t ParsePort(std::string_view address, std::string_view text) {
  if (text.empty() || text.size() > 5 || !std::all_of(text.begin(), text.end(), IsDigit))
    Malformed(address, "the port is not a number from 1 to 65535");
  unsigned long port = std::stoul(std::string(text));
  if (port < 1 || port > 65535) Malformed(address, "the port is not a number from 1 to 65535");
  return static_cast<std::uint16_t>(port);
}

bool IsIpv6Text(std::string_view host) {
  // Hex digits, colons and dots (an embedded IPv4 tail), then an optional
  // zone after "%".
  std::string_view address = host.substr(0, host.find('%'));
  if (address.find(':') == std::string_view::npos) return false;
  bool hex_ok = std::all_of(address.begin(), address.end(), [](char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == ':' || c == '.';
  });
  std::string_view zone = host.size() > address.size() ? host.substr(address.size() + 1) : "";
  bool zone_ok = std::all_of(zone.begin(), zone.end(),
                             [](char c) { return IsAlnum(c) || c == '_' || c == '-' || c == '.'; });
  return hex_ok && zone_ok && (host.size() == address.size() || !zone.empty());
}

Target::Kind ClassifyHost(std::string_view address, std::string_view host) {
  if (host.empty()) Malformed(address, "no host");
  if (!std::all_of(host.begin(), host.end(),
                   [](char c) { return IsAlnum(c) || c == '.' || c == '-' || c == '_'; }))
    Malformed(address, "the host holds characters that no address or host name has");
  bool dotted_digits =
      std::all_of(host.begin(), host.end(), [](char c) { return IsDigit(c) || c == '.'; });
  return dotted_digits ? Target::Kind::kIpv4 : Target::Kind::kHostName;
}

}  // namespace

Target ParseTarget(std::string_view address) {
  std::string_view text = address;
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  if (text.empty()) Malformed(address, "the address is empty");

  Target target;
  if (text.front() == '[') {
    std::size_t close = text.find(']');
    if (close == std::string_view::npos) Malformed(address, "no closing \"]\"");
    target.kind = Target::Kind::kIpv6;
    target.host = std::string(text.substr(1, close - 1));
    std::string_view rest = text.substr(close + 1);
    if (!rest.empty()) {
      if (rest.front() != ':') Malformed(address, "only \":port\" may follow \"]\"");
      target.port = ParsePort(address, rest.substr(1));
    }
    if (!IsIpv6Text(target.host)) Malformed(address, "not an IPv6 address inside \"[]\"");
    return target;
  }

  std::size_t colons = static_cast<std::size_t>(std::count(text.begin(), text.end(), ':'));
  if (colons > 1) {
    // A bare IPv6 address; a port needs the bracket form.
    if (!IsIpv6Text(text)) Malformed(address, "not an IPv6 address");
    target.kind = Target::Kind::kIpv6;
    target.host = std::string(text);
    return target;
  }
  std::string_view host = text;
  if (colons == 1) {
    std::size_t colon = text.find(':');
    host = text.substr(0, colon);
    target.port = ParsePort(address, text.substr(colon + 1));
  }
  target.kind = ClassifyHost(address, host);
  target.host = std::string(host);
  return target;
}

std::string DescribeTarget(const Target& target) {
  std::string host = target.kind == Target::Kind::kIpv6 ? "[" + target.host + "]" : target.host;
  return host + ":" + std::to_string(target.port);
}

}  // namespace kordavin
