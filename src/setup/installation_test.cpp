#include "setup/installation.h"

#include <gtest/gtest.h>

#include "doubles/fake_system.h"

namespace trelvane {
namespace {

constexpr const char* kExeXml = "PRTG Network Monitor\\Custom Sensors\\ExeXml";

class InstallationTest : public ::testing::Test {
 protected:
  void Install(const std::string& directory) { fake_.files.files[directory + "\\Kordavin.Dll"]; }
  bool Resolve(std::string_view argument1 = "Router1.Prf") {
    state_.StartingDirectory = "D:\\Work";
    return ResolveSensorDirectory(state_, fake_.files, fake_.out, argument1);
  }
  std::string FatalXml(const std::string& message) {
    return "<Prtg>\r\n\r\n<Error>1</Error>\r\n<Text>" + message + "</Text>\r\n\r\n</Prtg>\r\n";
  }

  testing::FakeSystem fake_;
  RunState state_;
};

TEST_F(InstallationTest, StartingDirectoryThatHoldsTheLibraryIsTheSensorDirectory) {
  Install("D:\\Work");
  fake_.files.files["D:\\Work\\ContextLines.Flavour"];
  ASSERT_TRUE(Resolve());
  EXPECT_EQ(state_.SensorDirectory, "D:\\Work");
  EXPECT_EQ(state_.OutputFlavour, OutputFlavour::ContextLines);
  EXPECT_EQ(state_.ProfilePath, "D:\\Work\\Router1.Prf");
  EXPECT_TRUE(fake_.files.read.empty());  // the base path file is not needed
}

TEST_F(InstallationTest, FlavourFilesSelectTheFlavour) {
  Install("D:\\Work");
  fake_.files.files["D:\\Work\\StatisticLines.Flavour"];
  fake_.files.files["D:\\Work\\ContextLines.Flavour"];
  EXPECT_EQ(RecogniseInstallation(fake_.files, "D:\\Work"), OutputFlavour::StatisticLines);
  EXPECT_EQ(RecogniseInstallation(fake_.files, "D:\\Other"), std::nullopt);
  fake_.files.files["D:\\Bare\\Kordavin.Dll"];
  EXPECT_EQ(RecogniseInstallation(fake_.files, "D:\\Bare"), OutputFlavour::Xml);
}

TEST_F(InstallationTest, MissingBasePathFileIsError1002) {
  EXPECT_FALSE(Resolve());
  EXPECT_EQ(fake_.out.text, FatalXml("Error 1002: File \"C:\\Prtg_Path.Txt\" not found"));
}

TEST_F(InstallationTest, BasePathWithoutColonIsError1003) {
  for (const char* content : {"\\\\server\\share\r\n", "C:\\Good\r\n\r\n"}) {
    SCOPED_TRACE(content);
    fake_.out.text.clear();
    fake_.files.files["C:\\Prtg_Path.Txt"] = content;
    EXPECT_FALSE(Resolve());
    EXPECT_EQ(fake_.out.text, FatalXml("Error 1003: Invalid Path within Prtg_Path.Txt found"));
  }
}

TEST_F(InstallationTest, NoCandidateIsError1004WithTheDashTrimmed) {
  fake_.files.files["C:\\Prtg_Path.Txt"] = "C:\\Hosts";
  EXPECT_FALSE(Resolve());
  EXPECT_EQ(fake_.out.text, FatalXml("Error 1004: Invalid Starting-Path -"));
  EXPECT_EQ(state_.OutputFlavour, OutputFlavour::Xml);
}

TEST_F(InstallationTest, LastLineIsTheBasePathAndTheFirstCandidateWins) {
  fake_.files.files["C:\\Prtg_Path.Txt"] = "E:\\Ignored\r\nC:\\Hosts\\\r\n";
  Install("C:\\Hosts\\Program Files (x86)\\PRTG Network Monitor\\Custom Sensors\\ExeXml");
  Install("C:\\Hosts\\Programme (x86)\\PRTG Network Monitor\\Custom Sensors\\ExeXml");
  Install("C:\\Hosts\\Program Files\\PRTG Network Monitor\\Custom Sensors\\ExeXml");
  fake_.files.files
      ["C:\\Hosts\\Program Files\\PRTG Network Monitor\\Custom "
       "Sensors\\ExeXml\\StatisticLines.Flavour"];
  ASSERT_TRUE(Resolve());
  EXPECT_EQ(state_.SensorDirectory,
            "C:\\Hosts\\Program Files\\PRTG Network Monitor\\Custom Sensors\\ExeXml");
  EXPECT_EQ(state_.OutputFlavour, OutputFlavour::Xml);  // only the starting directory selects
}

TEST_F(InstallationTest, CandidatesAreTriedInTheirFixedOrder) {
  const std::vector<std::string> order = {
      "PRTG Network Monitor\\Custom Sensors\\ExeXml",
      "Custom Sensors\\ExeXml",
      "Programme\\PRTG Network Monitor\\Custom Sensors\\ExeXml",
      "Program Files\\PRTG Network Monitor\\Custom Sensors\\ExeXml",
      "Program Files (x86)\\PRTG Network Monitor\\Custom Sensors\\ExeXml",
      "Programme (x86)\\PRTG Network Monitor\\Custom Sensors\\ExeXml",
  };
  for (std::size_t winner = 0; winner < order.size(); ++winner) {
    SCOPED_TRACE(order[winner]);
    testing::FakeSystem fake;
    fake.files.files["C:\\Prtg_Path.Txt"] = "C:";
    for (std::size_t i = winner; i < order.size(); ++i) {
      fake.files.files["C:\\" + order[i] + "\\Kordavin.Dll"];
    }
    RunState state;
    state.StartingDirectory = "D:\\Work";
    ASSERT_TRUE(ResolveSensorDirectory(state, fake.files, fake.out, ""));
    EXPECT_EQ(state.SensorDirectory, "C:\\" + order[winner]);
    EXPECT_EQ(state.ProfilePath, "C:\\" + order[winner] + "\\");
  }
}

TEST_F(InstallationTest, EmptyOrUnreadableFileUsesTheStartingDirectory) {
  for (bool unreadable : {false, true}) {
    testing::FakeSystem fake;
    fake.files.files["C:\\Prtg_Path.Txt"] = unreadable ? "C:\\Other\r\n"
                                                       : "\x1a"
                                                         "C:\\Other";
    if (unreadable) fake.files.unreadable.insert("C:\\Prtg_Path.Txt");
    fake.files.files[std::string("D:\\Work\\") + kExeXml + "\\Kordavin.Dll"];
    RunState state;
    state.StartingDirectory = "D:\\Work";
    ASSERT_TRUE(ResolveSensorDirectory(state, fake.files, fake.out, "R.Prf"));
    EXPECT_EQ(state.SensorDirectory, std::string("D:\\Work\\") + kExeXml);
  }
}

TEST_F(InstallationTest, BasePathIsNotTrimmed) {
  fake_.files.files["C:\\Prtg_Path.Txt"] = "C:\\ ";
  Install(std::string("C:\\ \\") + kExeXml);
  ASSERT_TRUE(Resolve());
  EXPECT_EQ(state_.SensorDirectory, std::string("C:\\ \\") + kExeXml);
}

}  // namespace
}  // namespace trelvane
