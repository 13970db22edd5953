// Reads a set of scalars and walks a set of table columns side by side, so
// that one request carries every column: with GETBULK (SNMPv2c) each answer
// holds many rows of all columns, with GETNEXT (SNMPv1) one row of each.
#pragma once

#include <map>
#include <vector>

#include "oid.h"
#include "snmp_session.h"

namespace kordavin {

struct WalkRequest {
  /// Each read with one GETNEXT step from the given OID (e.g. sysUpTime
  /// without ".0"); kept when the agent's answer lies below it.
  std::vector<Oid> scalars;
  /// Each walked from the given OID until the agent's answers leave it.
  std::vector<Oid> columns;
  /// GETBULK max-repetitions; halved when the agent answers tooBig.
  int max_repetitions = 19;
};

struct WalkResult {
  /// Every value read, by its full OID; exceptions (noSuchObject, ...) are left out.
  std::map<Oid, SnmpValue> values;
  /// Requests answered by the agent.
  int round_trips = 0;
};

/// Upper bound of requests in one walk, so that an agent that never ends a
/// column cannot keep the request running.
inline constexpr int kMaxRoundTrips = 20000;

/// Runs the walk. Throws NoAnswer when the first request gets no answer,
/// SnmpError for every other failure (no answer later on, an error status,
/// an agent that does not move on).
WalkResult WalkColumns(SnmpSession& session, SnmpVersion version, const WalkRequest& request);

}  // namespace kordavin
