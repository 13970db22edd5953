#include "query/exchange_file_reader.h"

#include <string>

#include "text/line_reader.h"
#include "text/text.h"
#include "trace/trace_log.h"

namespace trelvane {
namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

ExchangeLine ParseExchangeLine(std::string_view line, std::string_view select_filter) {
  if (StartsWith(line, "* ")) {
    return {ExchangeLine::Kind::Trace, Rest(line, 3), {}};
  }
  const std::string_view text = Trim(line);

  // The value follows the first colon; a value that begins with a digit is
  // taken again, untrimmed, from behind the first ": ".
  std::string_view value = Trim(Rest(text, Find(":", text) + 1));
  if (!value.empty() && IsDigit(value.front())) value = Rest(text, Find(": ", text) + 2);

  // The unit is whatever follows the value's first blank.
  std::string_view unit = "#";
  if (const auto blank = Find(" ", value); blank > 0) {
    unit = Rest(value, blank + 1);
    value = Take(value, 1, blank - 1);
  }

  // The name, tag included, runs up to the first dot, or else the first colon.
  auto end = Find(".", text);
  if (end == 0) end = Find(":", text);
  const std::string_view name = Take(text, 1, end - 1);

  if (!select_filter.empty() && Find(select_filter, name) == 0) {
    return {ExchangeLine::Kind::Dropped, {}, {}};
  }
  return {ExchangeLine::Kind::Entry, {}, {Rest(name, 3), value, unit}};
}

void ReadExchangeFile(RunState& state, const System& system) {
  if (!system.files.Exists(state.ExchangeFileName)) return;
  auto source = system.files.OpenForReading(state.ExchangeFileName);
  if (source == nullptr) return;
  LineReader lines(*source);
  std::string line;
  while (lines.Next(&line)) {
    const ExchangeLine parsed = ParseExchangeLine(line, state.SelectFilter);
    switch (parsed.kind) {
      case ExchangeLine::Kind::Trace:
        Trace(state, system.clock, {"Snmp ", parsed.trace_text});
        break;
      case ExchangeLine::Kind::Entry:
        WriteEntry(state, system.out, parsed.entry);
        break;
      case ExchangeLine::Kind::Dropped:
        break;
    }
  }
}

}  // namespace trelvane
