// The seam between the walk plan and the SNMP library: one session to one
// agent, able to send a GETNEXT or a GETBULK and hand back the answer. The
// real session lives in netsnmp_session.cpp; tests use a fake agent made of
// maps.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "oid.h"

namespace kordavin {

enum class SnmpVersion { kV2c, kV1 };

/// "v2c" or "v1".
const char* VersionName(SnmpVersion version);

/// One value as the agent sent it, reduced to what the walk plan needs.
struct SnmpValue {
  enum class Type {
    kInteger,       // INTEGER / Integer32: `integer`
    kUnsigned,      // Counter32, Gauge32, TimeTicks, Unsigned32: `number`
    kCounter64,     // Counter64: `number`
    kOctets,        // OCTET STRING, Opaque, IpAddress: `octets`
    kObjectId,      // OBJECT IDENTIFIER: `object_id`
    kNull,          // NULL
    kNoSuchObject,  // the exceptions of SNMPv2 (RFC 3416)
    kNoSuchInstance,
    kEndOfMibView,
    kOther,  // anything else the plan does not read
  };
  Type type = Type::kNull;
  std::int64_t integer = 0;
  std::uint64_t number = 0;
  std::string octets;
  Oid object_id;

  static SnmpValue Integer(std::int64_t v);
  static SnmpValue Unsigned(std::uint32_t v);
  static SnmpValue Counter64(std::uint64_t v);
  static SnmpValue Octets(std::string v);
  static SnmpValue ObjectId(Oid v);
  static SnmpValue Exception(Type type);

  /// True for noSuchObject, noSuchInstance and endOfMibView.
  bool IsException() const;
  /// The value as an unsigned count: Unsigned and Counter64 as they are,
  /// a non-negative Integer as well; nothing for every other value.
  std::optional<std::uint64_t> AsCount() const;
  bool operator==(const SnmpValue&) const = default;
};

struct VarBind {
  Oid oid;
  SnmpValue value;
  bool operator==(const VarBind&) const = default;
};

/// An answer of the agent. `error_status` and `error_index` as in the PDU
/// (0 = noError; the index counts the request's variables from 1).
struct SnmpResponse {
  int error_status = 0;
  int error_index = 0;
  std::vector<VarBind> varbinds;
};

/// The PDU error codes the walk plan reacts to.
inline constexpr int kErrorTooBig = 1;
inline constexpr int kErrorNoSuchName = 2;

/// Any failure of the SNMP exchange. The message names the target and the
/// cause, never the community.
class SnmpError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// The agent sent no answer within the session's timeout and retries.
class NoAnswer : public SnmpError {
 public:
  using SnmpError::SnmpError;
};

class SnmpSession {
 public:
  virtual ~SnmpSession() = default;
  /// One GETNEXT request and its answer. Throws NoAnswer or SnmpError.
  virtual SnmpResponse GetNext(const std::vector<Oid>& oids) = 0;
  /// One GETBULK request (SNMPv2c only) and its answer. Throws NoAnswer or SnmpError.
  virtual SnmpResponse GetBulk(int non_repeaters, int max_repetitions,
                               const std::vector<Oid>& oids) = 0;
};

/// Opens a session to the one target of a request, speaking the given
/// version. Throws SnmpError when the target cannot be reached at all
/// (e.g. a host name that does not resolve).
using SessionOpener = std::function<std::unique_ptr<SnmpSession>(SnmpVersion)>;

}  // namespace kordavin
