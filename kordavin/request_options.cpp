#include "request_options.h"

namespace kordavin {

int MaxRepetitions(std::string_view options) {
  while (!options.empty() && options.front() == ' ') options.remove_prefix(1);
  while (!options.empty() && options.back() == ' ') options.remove_suffix(1);
  if (options.empty()) return kDefaultMaxRepetitions;
  long value = 0;
  for (char c : options) {
    if (c < '0' || c > '9') return kDefaultMaxRepetitions;
    value = value * 10 + (c - '0');
    if (value > kMostMaxRepetitions) return kMostMaxRepetitions;
  }
  return value < 1 ? kDefaultMaxRepetitions : static_cast<int>(value);
}

}  // namespace kordavin
