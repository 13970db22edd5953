#include "fake_agent.h"

#include <algorithm>

namespace kordavin::testing {
namespace {

class FakeSession final : public SnmpSession {
 public:
  FakeSession(FakeAgent* agent, SnmpVersion version) : agent_(agent), version_(version) {}
  SnmpResponse GetNext(const std::vector<Oid>& oids) override {
    return agent_->Answer(version_, false, 0, 0, oids);
  }
  SnmpResponse GetBulk(int non_repeaters, int max_repetitions,
                       const std::vector<Oid>& oids) override {
    return agent_->Answer(version_, true, non_repeaters, max_repetitions, oids);
  }

 private:
  FakeAgent* agent_;
  SnmpVersion version_;
};

}  // namespace

SessionOpener FakeAgent::Opener() {
  return [this](SnmpVersion version) { return Open(version); };
}

std::unique_ptr<SnmpSession> FakeAgent::Open(SnmpVersion version) {
  opened.push_back(version);
  return std::make_unique<FakeSession>(this, version);
}

SnmpResponse FakeAgent::Answer(SnmpVersion version, bool bulk, int non_repeaters,
                               int max_repetitions, const std::vector<Oid>& oids) {
  requests.push_back({version, bulk, non_repeaters, max_repetitions, oids});
  if ((version == SnmpVersion::kV2c && !answers_v2c) ||
      (version == SnmpVersion::kV1 && !answers_v1) || requests.size() > answers_at_most)
    throw NoAnswer("no answer from the fake agent");
  if (bulk && version == SnmpVersion::kV1) throw SnmpError("GETBULK sent in SNMPv1");

  SnmpResponse response;
  if (error_status != 0) {
    response.error_status = error_status;
    response.error_index = 1;
    return response;
  }
  auto next = [this](const Oid& from) -> VarBind {
    if (stuck) return {from, SnmpValue::Integer(1)};
    auto it = mib.upper_bound(from);
    if (it == mib.end()) return {from, SnmpValue::Exception(SnmpValue::Type::kEndOfMibView)};
    return {it->first, it->second};
  };

  if (!bulk) {
    for (std::size_t i = 0; i < oids.size(); ++i) {
      VarBind bind = next(oids[i]);
      if (version == SnmpVersion::kV1 && bind.value.IsException()) {
        // SNMPv1 has no exceptions: the whole request fails on that variable.
        SnmpResponse failed;
        failed.error_status = kErrorNoSuchName;
        failed.error_index = static_cast<int>(i) + 1;
        for (const Oid& oid : oids) failed.varbinds.push_back({oid, SnmpValue{}});
        return failed;
      }
      response.varbinds.push_back(std::move(bind));
    }
    return response;
  }

  const std::size_t n = std::min(oids.size(), static_cast<std::size_t>(std::max(0, non_repeaters)));
  for (std::size_t i = 0; i < n; ++i) response.varbinds.push_back(next(oids[i]));
  std::vector<Oid> cursor(oids.begin() + static_cast<std::ptrdiff_t>(n), oids.end());
  for (int r = 0; r < max_repetitions && !cursor.empty(); ++r) {
    bool all_ended = true;
    for (Oid& from : cursor) {
      VarBind bind = next(from);
      all_ended = all_ended && bind.value.IsException();
      from = bind.oid;
      response.varbinds.push_back(std::move(bind));
    }
    if (all_ended) break;
  }
  if (response.varbinds.size() > too_big_above) {
    SnmpResponse refused;
    refused.error_status = kErrorTooBig;
    return refused;
  }
  if (response.varbinds.size() > max_varbinds) response.varbinds.resize(max_varbinds);
  return response;
}

}  // namespace kordavin::testing
