// The sensor's own reading of an exchange file, so that tests can check
// that every line the library writes comes back as exactly the name, value
// and unit it meant.
#pragma once

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "query/exchange_file_reader.h"
#include "text/line_reader.h"

namespace kordavin::testing {

struct ReadEntry {
  std::string name, value, unit;
  bool operator==(const ReadEntry&) const = default;
};

struct ReadLine {
  std::optional<std::string> trace;  // set for a trace line
  std::optional<ReadEntry> entry;    // set for a result line that passed the filter
};

/// One line (without its line end) as the sensor's reader takes it apart.
inline ReadLine ReadExchangeLine(std::string_view line, std::string_view filter = "") {
  const trelvane::ExchangeLine parsed = trelvane::ParseExchangeLine(line, filter);
  ReadLine out;
  switch (parsed.kind) {
    case trelvane::ExchangeLine::Kind::Trace:
      out.trace = std::string(parsed.trace_text);
      break;
    case trelvane::ExchangeLine::Kind::Entry:
      out.entry = ReadEntry{std::string(parsed.entry.Name), std::string(parsed.entry.Value),
                            std::string(parsed.entry.Unit)};
      break;
    case trelvane::ExchangeLine::Kind::Dropped:
      break;
  }
  return out;
}

/// Splits a file into lines by the sensor's own line rule.
inline std::vector<std::string> SplitExchangeFile(std::string_view file) {
  class Bytes final : public trelvane::ByteSource {
   public:
    explicit Bytes(std::string_view bytes) : bytes_(bytes) {}
    std::size_t Read(char* buffer, std::size_t size) override {
      const std::size_t n = std::min(size, bytes_.size());
      bytes_.copy(buffer, n);
      bytes_.remove_prefix(n);
      return n;
    }

   private:
    std::string_view bytes_;
  } source(file);
  trelvane::LineReader reader(source);
  std::vector<std::string> lines;
  std::string line;
  while (reader.Next(&line)) lines.push_back(line);
  return lines;
}

}  // namespace kordavin::testing
