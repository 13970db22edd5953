#include "setup/device_profile.h"

#include <gtest/gtest.h>

#include "doubles/fake_system.h"

namespace trelvane {
namespace {

class DeviceProfileTest : public ::testing::Test {
 protected:
  bool Read(const std::string& content) {
    state_.ProfilePath = "Z:\\sensor\\Router1.Prf";
    fake_.files.files[state_.ProfilePath] = content;
    return ReadDeviceProfile(state_, fake_.files, fake_.out);
  }
  testing::FakeSystem fake_;
  RunState state_;
};

TEST_F(DeviceProfileTest, ReadsTheFiveKeysInAnyOrder) {
  ASSERT_TRUE(
      Read("Sysnr......: 7\r\n; a comment\r\nCommunity..: pub lic  \r\nDescription: Core switch\r\n"
           "Alias......: R1\r\nIP-Addr....: 127.0.0.1\r\n"));
  const DeviceProfile& p = state_.DeviceProfile;
  EXPECT_EQ(p.IpAddress, "127.0.0.1");
  EXPECT_EQ(p.Alias, "R1");
  EXPECT_EQ(p.Description, "Core switch");
  EXPECT_EQ(p.Community, "pub lic  ");
  EXPECT_EQ(p.SystemNumber, "7");
  EXPECT_EQ(fake_.out.text, "");
}

TEST_F(DeviceProfileTest, OnlyExactKeysSetFields) {
  ASSERT_TRUE(
      Read("IP-Addr....:127.0.0.1\r\nip-addr....: 127.0.0.2\r\n IP-Addr....: 127.0.0.3\r\n"
           "IP-Addr...: 127.0.0.4\r\nIP-Addr....\r\n"));
  EXPECT_EQ(state_.DeviceProfile.IpAddress, "");
}

TEST_F(DeviceProfileTest, LastLineOfAKeyCountsEvenWhenEmpty) {
  ASSERT_TRUE(Read("Alias......: first\r\nAlias......: \r\n"));
  EXPECT_EQ(state_.DeviceProfile.Alias, "");
}

TEST_F(DeviceProfileTest, ValuesAreCutAfterNinetyNineCharacters) {
  ASSERT_TRUE(Read("Description: " + std::string(120, 'd') + "\r\n"));
  EXPECT_EQ(state_.DeviceProfile.Description, std::string(99, 'd'));
}

TEST_F(DeviceProfileTest, LineFeedsAloneDoNotEndLines) {
  ASSERT_TRUE(Read("IP-Addr....: 1.2.3.4\nCommunity..: x\n"));
  EXPECT_EQ(state_.DeviceProfile.IpAddress, "1.2.3.4\nCommunity..: x\n");
  EXPECT_EQ(state_.DeviceProfile.Community, "");
}

TEST_F(DeviceProfileTest, MissingProfileIsError1006InTheRunsFlavour) {
  state_.ProfilePath = "Z:\\sensor\\";
  state_.OutputFlavour = OutputFlavour::StatisticLines;
  EXPECT_FALSE(ReadDeviceProfile(state_, fake_.files, fake_.out));
  EXPECT_EQ(fake_.out.text, "Error 1006: Profile Z:\\sensor\\ missing...\r\n");
}

TEST_F(DeviceProfileTest, UnreadableProfileLeavesTheFieldsEmpty) {
  fake_.files.unreadable.insert("Z:\\sensor\\Router1.Prf");
  EXPECT_TRUE(Read("IP-Addr....: 127.0.0.1\r\n"));
  EXPECT_EQ(state_.DeviceProfile.IpAddress, "");
}

}  // namespace
}  // namespace trelvane
