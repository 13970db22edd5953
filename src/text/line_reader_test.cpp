#include "text/line_reader.h"

#include <gtest/gtest.h>

#include <vector>

#include "doubles/fake_system.h"

namespace trelvane {
namespace {

std::vector<std::string> ReadAll(const std::string& bytes, std::size_t chunk) {
  testing::StringSource source(bytes, chunk);
  LineReader reader(source);
  std::vector<std::string> lines;
  std::string line;
  while (reader.Next(&line)) lines.push_back(line);
  return lines;
}

TEST(LineReaderTest, FollowsTheLineRule) {
  using Lines = std::vector<std::string>;
  struct Case {
    std::string bytes;
    Lines want;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"a\r\nb", {"a", "b"}},
      {"a\r\n\r\n", {"a", ""}},
      {"a\rb\r", {"a", "b"}},
      {"\r", {""}},
      {"\r\r", {"", ""}},
      {"a\nb\nc", {"a\nb\nc"}},    // a line feed alone is an ordinary character
      {"a\r\n\nb", {"a", "\nb"}},  // only the first line feed belongs to the line end
      {"a\r\nb\x1a\r\nc\r\n", {"a", "b"}},
      {"\x1a"
       "a\r\n",
       {}},
      {"a\r\n\x1a", {"a"}},
      {std::string("a\0b\r\n", 5), {std::string("a\0b", 3)}},
  };
  for (const Case& c : cases) {
    for (std::size_t chunk : {std::size_t{1}, std::size_t{2}, std::size_t{1 << 20}}) {
      SCOPED_TRACE(::testing::Message() << ::testing::PrintToString(c.bytes) << " chunk " << chunk);
      EXPECT_EQ(ReadAll(c.bytes, chunk), c.want);
    }
  }
}

TEST(LineReaderTest, ReadsLinesLongerThanItsBuffer) {
  const std::string long_line(200000, 'x');
  EXPECT_EQ(ReadAll(long_line + "\r\n" + long_line, 70000),
            (std::vector<std::string>{long_line, long_line}));
}

}  // namespace
}  // namespace trelvane
