#include "oid.h"

#include <algorithm>

namespace kordavin {

std::string FormatOid(const Oid& oid) {
  std::string text;
  for (std::size_t i = 0; i < oid.size(); ++i) {
    if (i > 0) text += '.';
    text += std::to_string(oid[i]);
  }
  return text;
}

bool IsBelow(const Oid& prefix, const Oid& oid) {
  return oid.size() > prefix.size() && std::equal(prefix.begin(), prefix.end(), oid.begin());
}

Oid Append(Oid base, std::initializer_list<std::uint32_t> more) {
  base.insert(base.end(), more);
  return base;
}

}  // namespace kordavin
