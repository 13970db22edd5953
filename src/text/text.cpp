#include "text/text.h"

#include <algorithm>

namespace trelvane {

std::string_view Take(std::string_view text, std::ptrdiff_t position, std::ptrdiff_t count) {
  const auto length = static_cast<std::ptrdiff_t>(text.size());
  if (position < 1) position = 1;
  if (count <= 0 || position > length) return {};
  return text.substr(static_cast<std::size_t>(position - 1),
                     static_cast<std::size_t>(std::min(count, length - position + 1)));
}

std::ptrdiff_t Find(std::string_view needle, std::string_view text) {
  if (needle.empty()) return 0;
  const std::size_t at = text.find(needle);
  return at == std::string_view::npos ? 0 : static_cast<std::ptrdiff_t>(at) + 1;
}

std::string_view Trim(std::string_view text) {
  auto is_blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace trelvane
