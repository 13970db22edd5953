// Text operations of the sensor. Positions count from 1, as the rules of the
// run are written with them; every operation works on views and never fails.
#pragma once

#include <cstddef>
#include <string_view>

namespace trelvane {

/// The longest rest of a text that the rules take from a position.
inline constexpr std::ptrdiff_t kRestLength = 99;

/// The `count` characters from `position` on: stops at the end of the text,
/// empty when `position` lies beyond the end or `count` is not positive; a
/// position below 1 counts as 1.
std::string_view Take(std::string_view text, std::ptrdiff_t position, std::ptrdiff_t count);

/// The rest of `text` from `position`, up to 99 characters.
inline std::string_view Rest(std::string_view text, std::ptrdiff_t position) {
  return Take(text, position, kRestLength);
}

/// Position of the first occurrence of `needle` in `text` with exact letter
/// case, or 0 when there is none or `needle` is empty.
std::ptrdiff_t Find(std::string_view needle, std::string_view text);

/// Removes every leading and trailing character whose code is 32 or below.
std::string_view Trim(std::string_view text);

/// Whether `text` begins with `prefix` (its first characters equal it exactly).
inline bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

}  // namespace trelvane
