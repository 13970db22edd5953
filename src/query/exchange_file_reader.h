// The exchange file that the query library writes: one line per result,
// read once and turned into trace lines and channel entries as it streams by.
#pragma once

#include <string_view>

#include "platform/platform.h"
#include "report/channel_entries.h"
#include "run/run_state.h"

namespace trelvane {

/// What one exchange-file line carries.
struct ExchangeLine {
  enum class Kind { Trace, Entry, Dropped };
  Kind kind;
  /// For a trace line: its text behind "* ", up to 99 characters.
  std::string_view trace_text;
  /// For an entry: its name (without the two tag characters), value and unit.
  ChannelEntry entry;
};

/// Takes one line of the exchange file apart. The views point into `line`
/// and into static texts.
ExchangeLine ParseExchangeLine(std::string_view line, std::string_view select_filter);

/// Reads the exchange file, if there is one: traces its "* " lines and hands
/// every entry that passes the select filter to `WriteEntry`, in file order.
void ReadExchangeFile(RunState& state, const System& system);

}  // namespace trelvane
