#include "report/report_document.h"

#include <gtest/gtest.h>

#include "doubles/fake_system.h"
#include "report/channel_entries.h"

namespace trelvane {
namespace {

std::string Written(OutputFlavour flavour, void (*write)(const RunState&, StandardOutput&)) {
  RunState state;
  state.OutputFlavour = flavour;
  testing::FakeOutput out;
  write(state, out);
  return out.text;
}

TEST(ReportDocumentTest, FatalErrorInXmlIsACompleteDocument) {
  const std::string written = Written(OutputFlavour::Xml, [](const RunState& s, StandardOutput& o) {
    WriteFatalError(s, o, " Error 1004: Invalid Starting-Path - ");
  });
  EXPECT_EQ(written,
            "<Prtg>\r\n\r\n<Error>1</Error>\r\n<Text>Error 1004: Invalid Starting-Path -</Text>\r\n"
            "\r\n</Prtg>\r\n");
}

TEST(ReportDocumentTest, FatalErrorInLineFlavoursIsTheUntrimmedMessage) {
  for (OutputFlavour flavour : {OutputFlavour::StatisticLines, OutputFlavour::ContextLines}) {
    EXPECT_EQ(Written(flavour,
                      [](const RunState& s, StandardOutput& o) {
                        WriteFatalError(s, o, " Error 1004: Invalid Starting-Path - ");
                      }),
              " Error 1004: Invalid Starting-Path - \r\n");
  }
}

TEST(ReportDocumentTest, RunErrorGoesInsideTheDocument) {
  auto write = [](const RunState& s, StandardOutput& o) {
    WriteRunError(s, o, "\tError 2002: Invalid Snmp-Request ");
  };
  EXPECT_EQ(Written(OutputFlavour::Xml, write),
            "<Error>1</Error>\r\n<Text>Error 2002: Invalid Snmp-Request</Text>\r\n\r\n");
  EXPECT_EQ(Written(OutputFlavour::ContextLines, write),
            "# Error: Error 2002: Invalid Snmp-Request\r\n");
  EXPECT_EQ(Written(OutputFlavour::StatisticLines,
                    [](const RunState& s, StandardOutput& o) { WriteRunError(s, o, ""); }),
            "# Error: \r\n");
}

TEST(ReportDocumentTest, RunWithoutEntriesFramesTheSummary) {
  auto whole_run = [](const RunState& s, StandardOutput& o) {
    OpenReport(s, o);
    WriteSummary(s, o, " (Snmp) A <&> \xe4: Trelvane / Infos about x\t");
    CloseReport(s, o);
  };
  EXPECT_EQ(Written(OutputFlavour::Xml, whole_run),
            "\r\n<Prtg>\r\n\r\n<Text>(Snmp) A <&> \xe4: Trelvane / Infos about x</Text>\r\n\r\n"
            "</Prtg>\r\n\r\n");
  EXPECT_EQ(Written(OutputFlavour::StatisticLines, whole_run),
            "# (Snmp) A <&> \xe4: Trelvane / Infos about x\r\n\r\n");
}

TEST(ReportDocumentTest, TypicalXmlRunWithTwoEntries) {
  RunState state;
  testing::FakeOutput out;
  OpenReport(state, out);
  WriteEntry(state, out, {"Uptime", "1234", "s"});
  WriteEntry(state, out, {"Status", "up", "#"});
  WriteSummary(state, out, "(Snmp) Core switch: Trelvane / Infos about Eth1");
  CloseReport(state, out);
  EXPECT_EQ(out.text,
            "\r\n<Prtg>\r\n"
            "\r\n<Result><Channel>Uptime</Channel>\r\n<Unit>Custom</Unit>\r\n"
            "<CustomUnit>s</CustomUnit>\r\n<Value>1234</Value></Result>\r\n"
            "\r\n<Result><Channel>Status</Channel>\r\n<Unit>Custom</Unit>\r\n"
            "<CustomUnit>#</CustomUnit>\r\n<Value>up</Value></Result>\r\n"
            "\r\n<Text>(Snmp) Core switch: Trelvane / Infos about Eth1</Text>\r\n"
            "\r\n</Prtg>\r\n\r\n");
  EXPECT_EQ(state.EntryCount, 2);
}

}  // namespace
}  // namespace trelvane
