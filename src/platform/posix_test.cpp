// The POSIX backend against the real system: files in a temporary directory,
// guarded calls that throw or fault, the trace file's lock.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "platform/platform.h"

namespace trelvane {
namespace {

namespace fs = std::filesystem;

extern "C" const char* ReturnsFirst(const char* first, const char*) { return first; }
extern "C" const char* ReturnsNull(const char*, const char*) { return nullptr; }
extern "C" const char* Throws(const char*, const char*) { throw std::runtime_error("boom"); }
// Real faults, kept out of the sanitizers' sight so that the processor
// raises them.
#define TRELVANE_REAL_FAULT __attribute__((no_sanitize("address", "undefined")))
extern "C" TRELVANE_REAL_FAULT const char* Segfaults(const char*, const char*) {
  volatile int* nowhere = nullptr;
  *nowhere = 1;
  return "unreachable";
}
extern "C" TRELVANE_REAL_FAULT const char* DividesByZero(const char*, const char*) {
  volatile int numerator = 7;
  volatile int zero = 0;
  volatile int result = numerator / zero;
  return result ? "unreachable" : "unreachable";
}
extern "C" const char* IllegalInstruction(const char*, const char*) {
  ::raise(SIGILL);
  return "unreachable";
}
extern "C" const char* JoinsFive(const char* a, const char* b, const char* c, const char* d,
                                 const char* e) {
  static std::string joined;
  joined = std::string(a) + b + c + d + e;
  return joined.c_str();
}

class PosixTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/trelvane-posix-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
    windows_dir_ = "Z:" + dir_;
    for (char& c : windows_dir_) c = c == '/' ? '\\' : c;
  }
  void TearDown() override { fs::remove_all(dir_); }
  void WriteFile(const std::string& name, const std::string& content) {
    std::ofstream(dir_ + "/" + name, std::ios::binary) << content;
  }
  std::string ReadFile(const std::string& name) {
    std::ifstream in(dir_ + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::string W(const std::string& name) { return windows_dir_ + "\\" + name; }

  System& system_ = HostSystem();
  std::string dir_;
  std::string windows_dir_;
};

TEST_F(PosixTest, GuardedCallsReturnOrFailCleanly) {
  Libraries& libraries = system_.libraries;
  std::string result = "unchanged";
  EXPECT_TRUE(libraries.Call(reinterpret_cast<LibraryEntry>(&ReturnsFirst), "first", "x", &result));
  EXPECT_EQ(result, "first");
  EXPECT_TRUE(libraries.Call(reinterpret_cast<LibraryEntry>(&ReturnsNull), "a", "b", &result));
  EXPECT_EQ(result, "");
  EXPECT_TRUE(
      libraries.Call(reinterpret_cast<LibraryEntry>(&JoinsFive), "1", "2", "3", "4", "5", &result));
  EXPECT_EQ(result, "12345");

  struct sigaction before {};
  ::sigaction(SIGSEGV, nullptr, &before);
  for (auto* entry : {&Throws, &Segfaults, &DividesByZero, &IllegalInstruction}) {
    result = "unchanged";
    EXPECT_FALSE(libraries.Call(reinterpret_cast<LibraryEntry>(entry), "a", "b", &result));
    EXPECT_EQ(result, "unchanged");
  }
  // The dispositions are as before, and a fault after the calls is no
  // longer caught by them.
  struct sigaction after {};
  ::sigaction(SIGSEGV, nullptr, &after);
  EXPECT_EQ(before.sa_handler, after.sa_handler);
  EXPECT_TRUE(libraries.Call(reinterpret_cast<LibraryEntry>(&ReturnsFirst), "again", "", &result));
  EXPECT_EQ(result, "again");
}

TEST_F(PosixTest, ExistenceMeansAFileNotADirectory) {
  WriteFile("file.txt", "x");
  fs::create_directory(dir_ + "/folder");
  EXPECT_TRUE(system_.files.Exists(W("file.txt")));
  EXPECT_FALSE(system_.files.Exists(W("folder")));
  EXPECT_FALSE(system_.files.Exists(W("missing")));
  EXPECT_EQ(system_.files.OpenForReading(W("folder")), nullptr);
}

TEST_F(PosixTest, DrivesWithoutARootHoldNoFiles) {
  ::setenv("TRELVANE_DRIVE_C", dir_.c_str(), 1);
  WriteFile("Prtg_Path.Txt", "C:\\");
  EXPECT_TRUE(system_.files.Exists("C:\\Prtg_Path.Txt"));
  EXPECT_TRUE(system_.files.Exists("c:/Prtg_Path.Txt"));
  ::unsetenv("TRELVANE_DRIVE_C");
  EXPECT_FALSE(system_.files.Exists("C:\\Prtg_Path.Txt"));
  EXPECT_EQ(system_.files.OpenForReading("C:\\Prtg_Path.Txt"), nullptr);
  EXPECT_EQ(system_.files.CreateUnshared("C:\\Profiler.Trc"), nullptr);
}

TEST_F(PosixTest, ReadsFilesUnderTheLineRule) {
  WriteFile("a.txt", "one\r\ntwo\nstill two\r\x1ahidden");
  auto source = system_.files.OpenForReading(W("a.txt"));
  ASSERT_NE(source, nullptr);
  LineReader lines(*source);
  std::string line;
  ASSERT_TRUE(lines.Next(&line));
  EXPECT_EQ(line, "one");
  ASSERT_TRUE(lines.Next(&line));
  EXPECT_EQ(line, "two\nstill two");
  EXPECT_FALSE(lines.Next(&line));
}

TEST_F(PosixTest, UnsharedFileIsLockedBeforeItsContentIsCut) {
  WriteFile("Profiler.Trc", "another run's trace\r\n");
  const int other = ::open((dir_ + "/Profiler.Trc").c_str(), O_RDONLY);
  ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
  EXPECT_EQ(system_.files.CreateUnshared(W("Profiler.Trc")), nullptr);
  EXPECT_EQ(ReadFile("Profiler.Trc"), "another run's trace\r\n");
  ::close(other);

  auto sink = system_.files.CreateUnshared(W("Profiler.Trc"));
  ASSERT_NE(sink, nullptr);
  sink->WriteLine({"12:00:00 ", "Snmp x"});
  // A second creation while it is held fails and leaves it alone.
  EXPECT_EQ(system_.files.CreateUnshared(W("Profiler.Trc")), nullptr);
  sink->Close();
  EXPECT_EQ(ReadFile("Profiler.Trc"), "12:00:00 Snmp x\r\n");
}

TEST_F(PosixTest, EmptiesAndDeletesFiles) {
  WriteFile("Router1.Xrf", "data");
  EXPECT_TRUE(system_.files.Empty(W("Router1.Xrf")));
  EXPECT_EQ(ReadFile("Router1.Xrf"), "");
  EXPECT_TRUE(system_.files.Delete(W("Router1.Xrf")));
  EXPECT_FALSE(fs::exists(dir_ + "/Router1.Xrf"));
  EXPECT_FALSE(system_.files.Empty(W("Router1.Xrf")));
  EXPECT_FALSE(system_.files.Delete(W("Router1.Xrf")));
}

TEST_F(PosixTest, CurrentDirectoryIsPresentedOnDriveZ) {
  const fs::path before = fs::current_path();
  fs::current_path(dir_);
  EXPECT_EQ(system_.files.CurrentDirectory(), windows_dir_);
  fs::current_path("/");
  EXPECT_EQ(system_.files.CurrentDirectory(), "Z:\\");
  fs::current_path(before);
}

TEST_F(PosixTest, LibraryThatIsNotLoadableGivesNoHandle) {
  const fs::path before = fs::current_path();
  fs::current_path(dir_);
  WriteFile("Broken.Dll", "not a library");
  EXPECT_EQ(system_.libraries.Load("Broken.Dll"), nullptr);
  EXPECT_EQ(system_.libraries.Load("Nowhere.Dll"), nullptr);
  fs::current_path(before);
}

TEST_F(PosixTest, ClockTicksForwardAndStampsTheTimeOfDay) {
  const std::uint32_t start = system_.clock.Ticks();
  system_.clock.Sleep(20);
  EXPECT_GE(static_cast<std::uint32_t>(system_.clock.Ticks() - start), 20u);
  const std::string stamp = system_.clock.TimeOfDay();
  ASSERT_EQ(stamp.size(), 8u);
  EXPECT_EQ(stamp[2], ':');
  EXPECT_EQ(stamp[5], ':');
}

}  // namespace
}  // namespace trelvane
