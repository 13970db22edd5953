#include "trace/trace_log.h"

#include <gtest/gtest.h>

#include "doubles/fake_system.h"

namespace trelvane {
namespace {

TEST(TraceLogTest, WritesStampedLinesOnlyWhileOpen) {
  testing::FakeSystem fake;
  RunState state;
  state.SensorDirectory = "Z:\\sensor";
  Trace(state, fake.clock, {"Snmp before"});
  ASSERT_TRUE(OpenTraceFile(state, fake.system));
  Trace(state, fake.clock, {"Snmp ", "joined", " text"});
  Trace(state, fake.clock, {""});
  CloseTraceFile(state);
  Trace(state, fake.clock, {"Snmp after"});
  EXPECT_EQ(fake.files.files["Z:\\sensor\\Profiler.Trc"],
            "13:04:05 Snmp joined text\r\n13:04:05 \r\n");
  EXPECT_EQ(fake.out.text, "");
}

TEST(TraceLogTest, ReplacesAnEarlierTrace) {
  testing::FakeSystem fake;
  RunState state;
  state.SensorDirectory = "Z:\\root\\";  // the root of a drive: two separators in a row
  fake.files.files["Z:\\root\\\\Profiler.Trc"] = "old\r\n";
  ASSERT_TRUE(OpenTraceFile(state, fake.system));
  CloseTraceFile(state);
  EXPECT_EQ(fake.files.files["Z:\\root\\\\Profiler.Trc"], "");
}

TEST(TraceLogTest, FailureToCreateWritesTheLineAndWaits) {
  testing::FakeSystem fake;
  fake.files.uncreatable.insert("Z:\\sensor\\Profiler.Trc");
  RunState state;
  state.SensorDirectory = "Z:\\sensor";
  state.OutputFlavour = OutputFlavour::StatisticLines;
  EXPECT_FALSE(OpenTraceFile(state, fake.system));
  EXPECT_FALSE(state.TraceEnabled);
  EXPECT_EQ(fake.out.text, "* Trace-File failed...\r\n");
  EXPECT_EQ(fake.clock.sleeps, std::vector<std::uint32_t>{1000});
}

}  // namespace
}  // namespace trelvane
