// Channel entries: each measured value of the run, counted and written into
// the host report in the run's output flavour.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"
#include "run/run_state.h"

namespace trelvane {

/// One measured value. The texts are views that live as long as the call.
struct ChannelEntry {
  std::string_view Name;
  std::string_view Value;
  std::string_view Unit;
};

/// The statistic-lines flavour writes only this many entries.
inline constexpr std::int32_t kStatisticLinesLimit = 10;

/// Writes into `*key` the identifier of a channel in the line flavours: the
/// name with each of " /\[]*():" turned into "_". Each replacement keeps at
/// most 99 characters behind it, so a longer name loses its tail.
void ChannelKey(std::string_view name, std::string* key);

/// Counts the entry in `EntryCount` and writes it in the run's flavour.
void WriteEntry(RunState& state, StandardOutput& out, const ChannelEntry& entry);

}  // namespace trelvane
