#include "exchange_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kordavin {
namespace {

namespace fs = std::filesystem;

class ExchangeFile : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "kordavin-file-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::vector<std::string> Listing() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
  static std::string Content(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }

  fs::path dir_;
};

TEST_F(ExchangeFile, ReplacesTheOldFileAndLeavesNoTemporaryFile) {
  const std::string path = (dir_ / "Router1.Xrf").string();
  std::ofstream(path) << "old content that is longer than the new one\r\n";
  ReplaceFileAtomically(path, "- Uptime.: 1 s\r\n");
  EXPECT_EQ(Content(path), "- Uptime.: 1 s\r\n");
  EXPECT_EQ(Listing(), (std::vector<std::string>{"Router1.Xrf"}));
}

TEST_F(ExchangeFile, AFailedWriteLeavesNothingBehind) {
  const std::string path = (dir_ / "missing" / "Router1.Xrf").string();
  EXPECT_THROW(ReplaceFileAtomically(path, "x"), std::runtime_error);
  EXPECT_TRUE(Listing().empty());
}

TEST_F(ExchangeFile, RemoveQuietlyTakesOnlyFiles) {
  const std::string path = (dir_ / "Router1.Xrf").string();
  std::ofstream(path) << "stale";
  RemoveFileQuietly(path);
  RemoveFileQuietly(path);  // nothing there any more: no failure
  fs::create_directory(dir_ / "Keep.Xrf");
  RemoveFileQuietly((dir_ / "Keep.Xrf").string());
  EXPECT_EQ(Listing(), (std::vector<std::string>{"Keep.Xrf"}));
}

TEST_F(ExchangeFile, WindowsNamesAreMappedToHostPaths) {
  ::unsetenv("TRELVANE_DRIVE_Q");
  struct Case {
    std::string windows_name;
    std::string want;
  };
  const Case cases[] = {
      {"Router1.Xrf", "Router1.Xrf"},
      {"Z:\\srv\\sensor\\Router1.Xrf", "/srv/sensor/Router1.Xrf"},
      {"\\srv/sensor\\\\Router1.Xrf", "/srv/sensor/Router1.Xrf"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.windows_name);
    EXPECT_EQ(ExchangeHostPath(c.windows_name), c.want);
  }
  EXPECT_THROW(ExchangeHostPath("Q:\\Router1.Xrf"), std::runtime_error);
  EXPECT_THROW(ExchangeHostPath(""), std::runtime_error);
}

}  // namespace
}  // namespace kordavin
