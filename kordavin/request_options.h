// The fixed settings of a request and the meaning of the sensor's fourth
// argument.
#pragma once

#include <string_view>

namespace kordavin {

/// How long one request waits for the agent's answer, and how often it is
/// sent again after silence. A device that answers nothing fails after
/// (1 + kRetries) x kTimeoutMs for SNMPv2c and as long again for the SNMPv1
/// attempt that follows: 4 seconds.
inline constexpr long kTimeoutMs = 1000;
inline constexpr int kRetries = 1;

inline constexpr int kDefaultMaxRepetitions = 19;
inline constexpr int kMostMaxRepetitions = 100;

/// The fourth argument of Snmp is the GETBULK max-repetitions: a decimal
/// number, taken from 1 to 100 (larger numbers count as 100). Empty text or
/// anything that is not a plain number gives the default, 19.
int MaxRepetitions(std::string_view options);

}  // namespace kordavin
