#include "report/channel_entries.h"

#include <algorithm>
#include <limits>

namespace trelvane {

void ChannelKey(std::string_view name, std::string* key) {
  key->assign(name);
  for (char special : std::string_view(" /\\[]*():")) {
    std::size_t at = key->find(special);
    while (at != std::string::npos) {
      // The key becomes its text before the character, "_", and at most 99
      // characters of what follows.
      (*key)[at] = '_';
      key->resize(std::min(key->size(), at + 100));
      at = key->find(special, at + 1);
    }
  }
}

void WriteEntry(RunState& state, StandardOutput& out, const ChannelEntry& entry) {
  // The count stops at its largest value rather than wrapping to a negative
  // one, which would let the statistic-lines flavour write entries again.
  if (state.EntryCount < std::numeric_limits<std::int32_t>::max()) ++state.EntryCount;
  if (state.OutputFlavour == OutputFlavour::Xml) {
    out.WriteLine("");
    out.WriteLine({"<Result><Channel>", entry.Name, "</Channel>"});
    if (!entry.Unit.empty()) {
      out.WriteLine("<Unit>Custom</Unit>");
      out.WriteLine({"<CustomUnit>", entry.Unit, "</CustomUnit>"});
    }
    out.WriteLine({"<Value>", entry.Value, "</Value></Result>"});
    return;
  }
  if (state.OutputFlavour == OutputFlavour::StatisticLines &&
      state.EntryCount > kStatisticLinesLimit) {
    return;
  }
  // One key buffer for the whole run keeps the per-entry path free of
  // allocations once it has grown to the longest name.
  static std::string key;
  ChannelKey(entry.Name, &key);
  const std::string_view unit = entry.Unit.empty() ? std::string_view("#") : entry.Unit;
  if (state.OutputFlavour == OutputFlavour::StatisticLines) {
    out.WriteLine({"Message.", key, ": ", entry.Name, " (", unit, ")"});
    out.WriteLine({"Statistic.", key, ": ", entry.Value});
    out.WriteLine("");
  } else {
    out.WriteLine({"ConText.", key, " ", entry.Value, ", <", entry.Name, " (", unit, ")>"});
  }
}

}  // namespace trelvane
