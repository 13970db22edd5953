// Object identifiers as plain vectors of sub-identifiers, so that the walk
// plan and its tests need nothing from the SNMP library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kordavin {

using Oid = std::vector<std::uint32_t>;

/// Dotted numeric text without a leading dot.
std::string FormatOid(const Oid& oid);

/// True when `oid` lies strictly below `prefix`.
bool IsBelow(const Oid& prefix, const Oid& oid);

/// `base` followed by `more`.
Oid Append(Oid base, std::initializer_list<std::uint32_t> more);

}  // namespace kordavin
