#include <gtest/gtest.h>

#include "request_options.h"
#include "target_address.h"

namespace kordavin {
namespace {

TEST(TargetAddress, Forms) {
  using Kind = Target::Kind;
  struct Case {
    const char* address;
    Target want;
  };
  const Case cases[] = {
      {"127.0.0.1", {Kind::kIpv4, "127.0.0.1", 161}},
      {"127.0.0.1:1161", {Kind::kIpv4, "127.0.0.1", 1161}},
      {"  10.1.2.3:65535 ", {Kind::kIpv4, "10.1.2.3", 65535}},
      {"router1.example.org", {Kind::kHostName, "router1.example.org", 161}},
      {"localhost:16100", {Kind::kHostName, "localhost", 16100}},
      {"::1", {Kind::kIpv6, "::1", 161}},
      {"fe80::1%eth0", {Kind::kIpv6, "fe80::1%eth0", 161}},
      {"[::1]", {Kind::kIpv6, "::1", 161}},
      {"[::1]:1161", {Kind::kIpv6, "::1", 1161}},
      {"[::ffff:127.0.0.1]:99", {Kind::kIpv6, "::ffff:127.0.0.1", 99}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    EXPECT_EQ(ParseTarget(c.address), c.want);
  }
}

TEST(TargetAddress, MalformedAddressesAreRefused) {
  for (const char* address : {"", "   ", "127.0.0.1:", "127.0.0.1:0", "127.0.0.1:65536",
                              "127.0.0.1:http", "[::1", "[::1]1161", "[::1]:", "[host]:161", "[]",
                              "tcp:127.0.0.1:161x", "host name", "a;b", ":161", "::1::zz"}) {
    SCOPED_TRACE(address);
    EXPECT_THROW(ParseTarget(address), std::invalid_argument);
  }
}

TEST(TargetAddress, MessagesNameTheTarget) {
  EXPECT_EQ(DescribeTarget(ParseTarget("[::1]:1161")), "[::1]:1161");
  EXPECT_EQ(DescribeTarget(ParseTarget("router1")), "router1:161");
}

TEST(RequestOptions, TheFourthArgumentIsTheMaxRepetitions) {
  struct Case {
    const char* options;
    int want;
  };
  const Case cases[] = {{"19", 19},   {"1", 1},     {" 40 ", 40},
                        {"100", 100}, {"101", 100}, {"99999999999999999999", 100},
                        {"", 19},     {"0", 19},    {"-5", 19},
                        {"abc", 19},  {"1 2", 19}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.options);
    EXPECT_EQ(MaxRepetitions(c.options), c.want);
  }
}

}  // namespace
}  // namespace kordavin
