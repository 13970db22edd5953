// An SNMP agent made of a map (OID -> value), for testing the walk plan
// without a network. It answers GETNEXT and GETBULK by the protocol's rules,
// can cut answers short or refuse them as tooBig the way real agents do,
// can stay silent for a version, and records every request it gets.
#pragma once

#include <cstddef>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "snmp_session.h"

namespace kordavin::testing {

struct RecordedRequest {
  SnmpVersion version;
  bool bulk;
  int non_repeaters;
  int max_repetitions;
  std::vector<Oid> oids;
};

class FakeAgent {
 public:
  std::map<Oid, SnmpValue> mib;
  bool answers_v2c = true;
  bool answers_v1 = true;
  /// Answers stop after this many requests (silence in mid-walk).
  std::size_t answers_at_most = std::numeric_limits<std::size_t>::max();
  /// GETBULK answers are cut to this many variables.
  std::size_t max_varbinds = std::numeric_limits<std::size_t>::max();
  /// A GETBULK answer that would carry more variables than this is refused as tooBig.
  std::size_t too_big_above = std::numeric_limits<std::size_t>::max();
  /// Every answer is this error status (0: none).
  int error_status = 0;
  /// A broken agent that answers every GETNEXT with the OID it was asked for.
  bool stuck = false;

  std::vector<RecordedRequest> requests;
  std::vector<SnmpVersion> opened;

  void Set(const Oid& oid, SnmpValue value) { mib[oid] = std::move(value); }
  SessionOpener Opener();
  std::unique_ptr<SnmpSession> Open(SnmpVersion version);

  SnmpResponse Answer(SnmpVersion version, bool bulk, int non_repeaters, int max_repetitions,
                      const std::vector<Oid>& oids);
};

}  // namespace kordavin::testing
