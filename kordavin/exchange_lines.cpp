#include "exchange_lines.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <stdexcept>

namespace kordavin {
namespace {

// Names are padded with filler dots to this width; at least one dot always
// follows, so the sensor's first "." is the end of the name.
constexpr std::size_t kNameColumn = 32;

std::string TrimBlanks(std::string text) {
  std::size_t begin = text.find_first_not_of(' ');
  if (begin == std::string::npos) return "";
  std::size_t end = text.find_last_not_of(' ');
  return text.substr(begin, end - begin + 1);
}

std::string FormatDecimal(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.1f", value);
  return buffer;
}

/// Makes every name's key unique: a later name whose key was already taken
/// gets "#2", "#3", ... appended.
void MakeKeysUnique(std::vector<Channel>* channels) {
  std::set<std::string> taken;
  for (Channel& channel : *channels) {
    std::string name = channel.name;
    for (int n = 2; taken.count(ChannelKey(name)) > 0; ++n)
      name = channel.name + "#" + std::to_string(n);
    channel.name = name;
    taken.insert(ChannelKey(name));
  }
}

}  // namespace

std::string SanitizeLabel(std::string_view text) {
  std::string label;
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    bool keep = byte == ' ' || (byte >= 0x21 && byte <= 0x7E && c != '.' && c != ':' && c != '<' &&
                                c != '>' && c != '&');
    label += keep ? c : '_';
  }
  label = TrimBlanks(label);
  if (label.size() > kMaxLabelLength) label = TrimBlanks(label.substr(0, kMaxLabelLength));
  return label;
}

std::string SanitizeTraceText(std::string_view text) {
  std::string out;
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (c == '<') {
      out += '(';
    } else if (c == '>') {
      out += ')';
    } else if (c == '&') {
      out += '+';
    } else if (byte < 0x20 || byte == 0x7F) {
      out += ' ';
    } else if (byte > 0x7F) {
      out += '?';
    } else {
      out += c;
    }
  }
  return out;
}

std::string ChannelKey(std::string_view name) {
  std::string key(name);
  for (char& c : key) {
    if (std::string_view(" /\\[]*():").find(c) != std::string_view::npos) c = '_';
  }
  return key;
}

std::vector<std::string> InterfaceLabels(const std::vector<InterfaceReading>& interfaces) {
  std::vector<std::string> labels;
  std::map<std::string, int> key_count;
  for (const InterfaceReading& interface : interfaces) {
    std::string label = SanitizeLabel(interface.name);
    if (label.empty()) label = "if" + std::to_string(interface.index);
    ++key_count[ChannelKey(label)];
    labels.push_back(std::move(label));
  }
  // Interfaces that still share a name (eth0.1 and eth0:1 both become
  // eth0_1) are told apart by their ifIndex, all of them alike, so that no
  // one of them keeps the plain name by the accident of its index.
  for (std::size_t i = 0; i < labels.size(); ++i) {
    if (key_count[ChannelKey(labels[i])] > 1)
      labels[i] += "#" + std::to_string(interfaces[i].index);
  }
  return labels;
}

std::vector<Channel> DeviceChannels(const DeviceReading& device) {
  std::vector<Channel> channels;
  if (device.uptime_ticks)
    channels.push_back({"Uptime", std::to_string(*device.uptime_ticks / 100), "s"});
  if (device.cpu_load_percent)
    channels.push_back({"CPU Load (avg)", FormatDecimal(*device.cpu_load_percent), "%"});
  static const char* const kLoadNames[] = {"Load Average 1 min", "Load Average 5 min",
                                           "Load Average 15 min"};
  for (std::size_t i = 0; i < device.load_averages.size(); ++i) {
    if (device.load_averages[i]) channels.push_back({kLoadNames[i], *device.load_averages[i], "#"});
  }
  for (const StorageReading& storage : device.storages) {
    std::string name;
    if (storage.is_ram) {
      name = "Memory Used";
    } else {
      std::string label = SanitizeLabel(storage.description);
      name = "Disk " + (label.empty() ? std::to_string(storage.index) : label) + " Used";
    }
    channels.push_back({name, FormatDecimal(storage.percent_used), "%"});
  }

  const std::vector<std::string> labels = InterfaceLabels(device.interfaces);
  for (std::size_t i = 0; i < device.interfaces.size(); ++i) {
    const InterfaceReading& interface = device.interfaces[i];
    const std::string& label = labels[i];
    auto add = [&](const char* what, const std::optional<std::uint64_t>& value, const char* unit) {
      if (value) channels.push_back({label + " " + what, std::to_string(*value), unit});
    };
    add("Status", interface.oper_status, "#");
    add("Octets In", interface.in_octets, "Byte");
    add("Octets Out", interface.out_octets, "Byte");
    add("Errors In", interface.in_errors, "packets");
    add("Errors Out", interface.out_errors, "packets");
    add("Discards In", interface.in_discards, "packets");
    add("Discards Out", interface.out_discards, "packets");
    add("Speed", interface.speed_bps, "bit/s");
  }
  MakeKeysUnique(&channels);
  return channels;
}

std::string ResultLine(const Channel& channel) {
  if (channel.name.empty() || channel.name.size() > kMaxNameLength ||
      channel.name.find_first_of(".:") != std::string::npos)
    throw std::invalid_argument("channel name unfit for the exchange file: " + channel.name);
  if (channel.value.empty() || channel.value.find(' ') != std::string::npos ||
      channel.value.size() + 1 + channel.unit.size() > kMaxValueAndUnitLength)
    throw std::invalid_argument("channel value unfit for the exchange file: " + channel.value);
  std::string line = "- " + channel.name;
  line.append(channel.name.size() < kNameColumn ? kNameColumn - channel.name.size() : 1, '.');
  line += ": " + channel.value;
  if (!channel.unit.empty()) line += " " + channel.unit;
  line += "\r\n";
  return line;
}

std::string TraceLine(std::string_view text) {
  std::string clean = SanitizeTraceText(text);
  if (clean.size() > 99) clean.resize(99);
  return "* " + clean + "\r\n";
}

std::string FormatExchangeFile(const DeviceReading& device, std::uint64_t elapsed_ms) {
  std::string file;
  if (device.sys_name) file += TraceLine("System Name: " + *device.sys_name);
  if (device.sys_descr) file += TraceLine("System Description: " + *device.sys_descr);
  if (device.sys_location) file += TraceLine("System Location: " + *device.sys_location);
  if (device.sys_contact) file += TraceLine("System Contact: " + *device.sys_contact);
  for (const Channel& channel : DeviceChannels(device)) file += ResultLine(channel);
  file += TraceLine("Walk: " + std::to_string(device.values_read) + " values, " +
                    std::to_string(device.round_trips) + " round trips, " +
                    std::to_string(elapsed_ms) + " ms, SNMP " + VersionName(device.version));
  return file;
}

}  // namespace kordavin
