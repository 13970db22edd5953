#include "column_walk.h"

#include <gtest/gtest.h>

#include "fake_agent.h"

namespace kordavin {
namespace {

using testing::FakeAgent;

const Oid kScalarA = {1, 1, 1};
const Oid kScalarB = {1, 1, 2};
const Oid kColumnX = {1, 2, 1, 1};
const Oid kColumnY = {1, 2, 1, 2};
const Oid kEmptyColumn = {1, 2, 1, 3};

/// An agent with two scalars, a table of two columns with five rows, an empty
/// third column and objects before and after that the walk must not take.
FakeAgent SmallAgent() {
  FakeAgent agent;
  agent.Set({1, 0, 9, 0}, SnmpValue::Integer(-1));
  agent.Set({1, 1, 1, 0}, SnmpValue::Octets("scalar a"));
  agent.Set({1, 1, 2, 0}, SnmpValue::Unsigned(42));
  for (std::uint32_t row = 1; row <= 5; ++row) {
    agent.Set({1, 2, 1, 1, row * 10}, SnmpValue::Integer(row));
    agent.Set({1, 2, 1, 2, row * 10}, SnmpValue::Counter64(1000 + row));
  }
  agent.Set({1, 2, 9, 1}, SnmpValue::Octets("after the table"));
  return agent;
}

WalkRequest SmallRequest(int max_repetitions) {
  return {{kScalarA, kScalarB}, {kColumnX, kColumnY, kEmptyColumn}, max_repetitions};
}

/// What a complete walk of SmallAgent must read, whatever the agent's quirks.
std::map<Oid, SnmpValue> SmallAgentTruth() {
  FakeAgent agent = SmallAgent();
  std::map<Oid, SnmpValue> truth;
  for (const auto& [oid, value] : agent.mib) {
    if (IsBelow(kScalarA, oid) || IsBelow(kScalarB, oid) || IsBelow(kColumnX, oid) ||
        IsBelow(kColumnY, oid))
      truth.emplace(oid, value);
  }
  return truth;
}

TEST(ColumnWalk, ReadsEverythingWhateverTheAgentsLimits) {
  struct Case {
    const char* label;
    SnmpVersion version;
    int max_repetitions;
    std::size_t max_varbinds;
    std::size_t too_big_above;
  };
  const std::size_t kNone = std::numeric_limits<std::size_t>::max();
  const Case cases[] = {
      {"v2c, room for everything", SnmpVersion::kV2c, 19, kNone, kNone},
      {"v2c, one row per request", SnmpVersion::kV2c, 1, kNone, kNone},
      {"v2c, two rows per request", SnmpVersion::kV2c, 2, kNone, kNone},
      {"v2c, answers cut to 4 variables", SnmpVersion::kV2c, 19, 4, kNone},
      {"v2c, answers cut inside the scalars", SnmpVersion::kV2c, 19, 1, kNone},
      {"v2c, tooBig above 8 variables", SnmpVersion::kV2c, 19, kNone, 8},
      {"v1, GETNEXT row by row", SnmpVersion::kV1, 19, kNone, kNone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    FakeAgent agent = SmallAgent();
    agent.max_varbinds = c.max_varbinds;
    agent.too_big_above = c.too_big_above;
    auto session = agent.Open(c.version);
    WalkResult result = WalkColumns(*session, c.version, SmallRequest(c.max_repetitions));
    EXPECT_EQ(result.values, SmallAgentTruth());
    EXPECT_EQ(result.round_trips, static_cast<int>(agent.requests.size()));
    for (const auto& request : agent.requests)
      EXPECT_EQ(request.bulk, c.version == SnmpVersion::kV2c);
  }
}

TEST(ColumnWalk, OneBulkRequestCarriesScalarsAndAllColumns) {
  FakeAgent agent = SmallAgent();
  auto session = agent.Open(SnmpVersion::kV2c);
  WalkResult result = WalkColumns(*session, SnmpVersion::kV2c, SmallRequest(19));

  EXPECT_EQ(result.round_trips, 1);
  ASSERT_EQ(agent.requests.size(), 1u);
  EXPECT_EQ(agent.requests[0].non_repeaters, 2);
  EXPECT_EQ(agent.requests[0].max_repetitions, 19);
  EXPECT_EQ(agent.requests[0].oids,
            (std::vector<Oid>{kScalarA, kScalarB, kColumnX, kColumnY, kEmptyColumn}));
}

TEST(ColumnWalk, LaterRequestsResumeEachColumnAtItsLastRow) {
  FakeAgent agent = SmallAgent();
  auto session = agent.Open(SnmpVersion::kV2c);
  WalkColumns(*session, SnmpVersion::kV2c, SmallRequest(2));

  // Rows 10 and 20 came first; the empty column ended in the first answer.
  ASSERT_GE(agent.requests.size(), 2u);
  EXPECT_EQ(agent.requests[1].non_repeaters, 0);
  EXPECT_EQ(agent.requests[1].oids, (std::vector<Oid>{{1, 2, 1, 1, 20}, {1, 2, 1, 2, 20}}));
  EXPECT_EQ(agent.requests.size(), 3u);
}

TEST(ColumnWalk, TooBigHalvesTheRepetitionsUntilTheAnswerFits) {
  FakeAgent agent = SmallAgent();
  agent.too_big_above = 8;
  auto session = agent.Open(SnmpVersion::kV2c);
  WalkColumns(*session, SnmpVersion::kV2c, SmallRequest(16));

  std::vector<int> repetitions;
  for (const auto& request : agent.requests) repetitions.push_back(request.max_repetitions);
  ASSERT_GE(repetitions.size(), 4u);
  EXPECT_EQ(std::vector<int>(repetitions.begin(), repetitions.begin() + 4),
            (std::vector<int>{16, 8, 4, 2}));
}

TEST(ColumnWalk, Version1DropsTheVariableThatRanOffTheMib) {
  // The last column is the end of the agent's MIB: SNMPv1 answers noSuchName for it.
  FakeAgent agent;
  agent.Set({1, 5, 1, 1}, SnmpValue::Integer(7));
  agent.Set({1, 5, 2, 1}, SnmpValue::Integer(8));
  auto session = agent.Open(SnmpVersion::kV1);
  WalkResult result = WalkColumns(*session, SnmpVersion::kV1, {{}, {{1, 5, 1}, {1, 5, 2}}, 19});

  EXPECT_EQ(result.values.size(), 2u);
  ASSERT_EQ(agent.requests.size(), 3u);
  EXPECT_EQ(agent.requests[1].oids, (std::vector<Oid>{{1, 5, 1, 1}, {1, 5, 2, 1}}));
  EXPECT_EQ(agent.requests[2].oids, (std::vector<Oid>{{1, 5, 1, 1}}));
}

TEST(ColumnWalk, AnAgentThatDoesNotMoveOnEndsTheWalk) {
  FakeAgent agent = SmallAgent();
  agent.stuck = true;
  auto session = agent.Open(SnmpVersion::kV2c);
  WalkResult result = WalkColumns(*session, SnmpVersion::kV2c, SmallRequest(19));
  EXPECT_EQ(result.round_trips, 1);
  EXPECT_TRUE(result.values.empty());
}

TEST(ColumnWalk, FailuresOfTheAgent) {
  {
    SCOPED_TRACE("error status");
    FakeAgent agent = SmallAgent();
    agent.error_status = 5;
    auto session = agent.Open(SnmpVersion::kV2c);
    try {
      WalkColumns(*session, SnmpVersion::kV2c, SmallRequest(19));
      FAIL() << "no exception";
    } catch (const NoAnswer&) {
      FAIL() << "an error status is an answer";
    } catch (const SnmpError& e) {
      EXPECT_STREQ(e.what(), "the agent answers genErr");
    }
  }
  {
    SCOPED_TRACE("silent from the start");
    FakeAgent agent = SmallAgent();
    agent.answers_v2c = false;
    auto session = agent.Open(SnmpVersion::kV2c);
    EXPECT_THROW(WalkColumns(*session, SnmpVersion::kV2c, SmallRequest(19)), NoAnswer);
  }
  {
    SCOPED_TRACE("silent in mid-walk: not a sign of the wrong version");
    FakeAgent agent = SmallAgent();
    agent.answers_at_most = 1;
    auto session = agent.Open(SnmpVersion::kV2c);
    try {
      WalkColumns(*session, SnmpVersion::kV2c, SmallRequest(1));
      FAIL() << "no exception";
    } catch (const NoAnswer&) {
      FAIL() << "silence after an answer must not pass for an unknown version";
    } catch (const SnmpError& e) {
      EXPECT_NE(std::string(e.what()).find("mid-walk"), std::string::npos) << e.what();
    }
  }
}

}  // namespace
}  // namespace kordavin
