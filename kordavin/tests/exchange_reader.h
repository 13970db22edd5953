// The sensor's reading of an exchange file, rule for rule, so that tests
// can check that every line the library writes comes back as exactly the
// name, value and unit it meant.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kordavin::testing {

struct ReadEntry {
  std::string name, value, unit;
  bool operator==(const ReadEntry&) const = default;
};

struct ReadLine {
  std::optional<std::string> trace;  // set for a trace line
  std::optional<ReadEntry> entry;    // set for a result line that passed the filter
};

namespace reader_detail {

// Text operations with 1-based positions, as the sensor defines them.
inline std::string Take(std::string_view text, long p, long n) {
  if (p < 1) p = 1;
  if (n <= 0 || p > static_cast<long>(text.size())) return "";
  return std::string(text.substr(static_cast<std::size_t>(p - 1), static_cast<std::size_t>(n)));
}
inline std::string Rest99(std::string_view text, long p) { return Take(text, p, 99); }
inline long Find(std::string_view needle, std::string_view haystack) {
  if (needle.empty()) return 0;
  std::size_t at = haystack.find(needle);
  return at == std::string_view::npos ? 0 : static_cast<long>(at) + 1;
}
inline std::string Trim(std::string_view text) {
  std::size_t b = 0, e = text.size();
  while (b < e && static_cast<unsigned char>(text[b]) <= 32) ++b;
  while (e > b && static_cast<unsigned char>(text[e - 1]) <= 32) --e;
  return std::string(text.substr(b, e - b));
}

}  // namespace reader_detail

/// Steps 4 to 11 of the sensor's reader for one line (without its line end).
inline ReadLine ReadExchangeLine(std::string_view line, std::string_view filter = "") {
  using namespace reader_detail;
  ReadLine out;
  if (line.substr(0, 2) == "* ") {
    out.trace = Rest99(line, 3);
    return out;
  }
  const std::string trimmed = Trim(line);
  std::string value = Trim(Rest99(trimmed, Find(":", trimmed) + 1));
  if (!value.empty() && value[0] >= '0' && value[0] <= '9')
    value = Rest99(trimmed, Find(": ", trimmed) + 2);
  std::string unit = "#";
  if (long b = Find(" ", value); b > 0) {
    unit = Rest99(value, b + 1);
    value = Take(value, 1, b - 1);
  }
  long cut = Find(".", trimmed);
  if (cut == 0) cut = Find(":", trimmed);
  const std::string name = cut > 0 ? Take(trimmed, 1, cut - 1) : "";
  if (!filter.empty() && Find(filter, name) == 0) return out;
  out.entry = ReadEntry{Rest99(name, 3), value, unit};
  return out;
}

/// Splits a file by the sensor's line rule: CR ends a line, an LF right
/// after it belongs to that end, code 26 ends the file.
inline std::vector<std::string> SplitExchangeFile(std::string_view file) {
  std::vector<std::string> lines;
  std::string current;
  bool open = false;
  for (std::size_t i = 0; i < file.size(); ++i) {
    char c = file[i];
    if (c == 26) break;
    if (c == '\r') {
      lines.push_back(current);
      current.clear();
      open = false;
      if (i + 1 < file.size() && file[i + 1] == '\n') ++i;
    } else {
      current += c;
      open = true;
    }
  }
  if (open) lines.push_back(current);
  return lines;
}

}  // namespace kordavin::testing
