#include "snmp_session.h"

#include <utility>

namespace kordavin {

const char* VersionName(SnmpVersion version) { return version == SnmpVersion::kV2c ? "v2c" : "v1"; }

SnmpValue SnmpValue::Integer(std::int64_t v) {
  SnmpValue value;
  value.type = Type::kInteger;
  value.integer = v;
  return value;
}

SnmpValue SnmpValue::Unsigned(std::uint32_t v) {
  SnmpValue value;
  value.type = Type::kUnsigned;
  value.number = v;
  return value;
}

SnmpValue SnmpValue::Counter64(std::uint64_t v) {
  SnmpValue value;
  value.type = Type::kCounter64;
  value.number = v;
  return value;
}

SnmpValue SnmpValue::Octets(std::string v) {
  SnmpValue value;
  value.type = Type::kOctets;
  value.octets = std::move(v);
  return value;
}

SnmpValue SnmpValue::ObjectId(Oid v) {
  SnmpValue value;
  value.type = Type::kObjectId;
  value.object_id = std::move(v);
  return value;
}

SnmpValue SnmpValue::Exception(Type type) {
  SnmpValue value;
  value.type = type;
  return value;
}

bool SnmpValue::IsException() const {
  return type == Type::kNoSuchObject || type == Type::kNoSuchInstance ||
         type == Type::kEndOfMibView;
}

std::optional<std::uint64_t> SnmpValue::AsCount() const {
  switch (type) {
    case Type::kUnsigned:
    case Type::kCounter64:
      return number;
    case Type::kInteger:
      if (integer >= 0) return static_cast<std::uint64_t>(integer);
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

}  // namespace kordavin
