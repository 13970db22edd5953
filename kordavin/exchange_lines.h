// The lines of the exchange file that the sensor reads back: result lines
// "- <name>....: <value> <unit>" and trace lines "* <text>", each ended by
// CR LF, in printable ASCII without "<", ">" and "&" (the sensor copies the
// texts unescaped into an XML report).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "device_walk.h"

namespace kordavin {

struct Channel {
  std::string name;
  std::string value;
  std::string unit;
  bool operator==(const Channel&) const = default;
};

/// Longest name, and longest "value unit", that the sensor reads in full.
inline constexpr std::size_t kMaxNameLength = 99;
inline constexpr std::size_t kMaxValueAndUnitLength = 99;
/// Longest part of a name taken from the device (an interface's or a disk's name).
inline constexpr std::size_t kMaxLabelLength = 60;

/// A text from the device made fit for a channel name: "." and ":" (which
/// would end the name for the sensor), "<", ">", "&", controls and anything
/// outside ASCII become "_"; leading and trailing blanks go; at most
/// kMaxLabelLength characters.
std::string SanitizeLabel(std::string_view text);

/// A text from the device made fit for a trace line: "<" ">" "&" become
/// "(" ")" "+", line ends and other controls become blanks, anything
/// outside ASCII becomes "?".
std::string SanitizeTraceText(std::string_view text);

/// The key under which the sensor's line flavours tell channels apart: the
/// name with each of blank / \ [ ] * ( ) : turned into "_". This is the
/// sensor's key for every name of at most 100 characters, and the library
/// writes none longer.
std::string ChannelKey(std::string_view name);

/// The names under which interfaces appear, in the order given: the
/// sanitised ifName (or "if<ifIndex>" when it is empty); interfaces whose
/// names end up with the same channel key all get "#<ifIndex>" appended.
std::vector<std::string> InterfaceLabels(const std::vector<InterfaceReading>& interfaces);

/// Every channel of a reading, in the order they are written.
std::vector<Channel> DeviceChannels(const DeviceReading& device);

/// One result line, CR LF included. The name must hold no "." or ":", the
/// value no blank (std::invalid_argument otherwise).
std::string ResultLine(const Channel& channel);

/// One trace line "* <text>", CR LF included; the text is sanitised and cut to 99 characters.
std::string TraceLine(std::string_view text);

/// The whole exchange file: trace lines with the device's text facts, the
/// channels, and a trace line summing up the walk.
std::string FormatExchangeFile(const DeviceReading& device, std::uint64_t elapsed_ms);

}  // namespace kordavin
