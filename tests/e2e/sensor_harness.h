// A small harness that runs the built program Trelvane as a monitoring host
// runs it: from a sensor directory of its own, with the fake query library
// beside it, and captures what the host would see.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace trelvane::e2e {

namespace fs = std::filesystem;

/// The output flavour an installation selects through its flavour file.
enum class Flavour { Xml, StatisticLines, ContextLines };

/// Where the program's standard output goes.
enum class OutputTarget {
  kCaptured,    ///< a pipe read to its end by the test
  kFullDevice,  ///< /dev/full: every write fails
  kClosedPipe,  ///< a pipe whose reading end is already closed
};

/// How one run of the program is started.
struct RunOptions {
  /// The current directory of the run; empty means the sensor directory.
  fs::path cwd;
  /// The program file to start; empty means the sensor directory's Trelvane.
  fs::path program;
  /// Environment variables set for this run on top of the fixture's.
  std::map<std::string, std::string> environment;
  OutputTarget output = OutputTarget::kCaptured;
};

/// What a run left for the host.
struct RunResult {
  std::string out;       ///< standard output, byte for byte
  std::string err;       ///< standard error, for diagnostics only
  int exit_status = -1;  ///< -1 when the process did not exit normally
  int signal = 0;        ///< the signal that ended it, if one did
  std::chrono::milliseconds elapsed{0};
};

/// Joins lines, each ended by CR LF.
std::string Crlf(std::initializer_list<std::string_view> lines);
std::string Crlf(const std::vector<std::string>& lines);

/// The six lines of a fatal error as a complete Xml document.
std::string XmlFatal(std::string_view message);

/// The five lines of one channel entry with a unit in Xml.
std::vector<std::string> XmlEntry(std::string_view name, std::string_view value,
                                  std::string_view unit);

/// A whole Xml document of a run without error: the opening lines, the given
/// entry lines, the summary and the closing lines.
std::string XmlDocument(const std::vector<std::vector<std::string>>& entries,
                        std::string_view summary);

/// The summary text of a run with kRouterProfile and that summary subject.
std::string RouterSummary(std::string_view subject);

/// A host path presented in Windows form on drive Z: "/a/b" is "Z:\a\b".
std::string WindowsForm(const fs::path& host_path);

void WriteFile(const fs::path& path, std::string_view bytes);
std::string ReadFile(const fs::path& path);

/// The device profile that most tests use, CR LF lines.
inline constexpr std::string_view kRouterProfile =
    "IP-Addr....: 127.0.0.9\r\n"
    "Alias......: core1\r\n"
    "Description: Core switch\r\n"
    "Community..: public\r\n"
    "Sysnr......: 42\r\n";

/// A fresh temporary directory per test, a sensor directory in it, and a way
/// to run the program there.
class SensorTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  /// Lays out an installation in `directory`: the program (hard-linked, or
  /// copied when linking fails), the fake library `variant` as Kordavin.Dll,
  /// and the flavour file. Creates the directory.
  void Install(const fs::path& directory, std::string_view variant = "full",
               Flavour flavour = Flavour::Xml);
  /// The usual installation: `Install(sensor_, ...)` and the device profile
  /// Router1.Prf (kRouterProfile) in it.
  void InstallSensor(Flavour flavour = Flavour::Xml, std::string_view variant = "full");
  /// Places the program alone in `directory` (no Kordavin.Dll).
  void PlaceProgram(const fs::path& directory);
  /// Copies the fake library `variant` into `directory` as Kordavin.Dll.
  void PlaceLibrary(const fs::path& directory, std::string_view variant);

  /// Writes the exchange file that the fake library's Snmp entry copies to
  /// the exchange file name it is given.
  void SetExchange(std::string_view bytes);
  /// Sets how an entry of the fake library ends for every later run.
  void SetEnv(const std::string& name, const std::string& value) { environment_[name] = value; }

  RunResult Run(const std::vector<std::string>& arguments, const RunOptions& options = {});

  /// The calls that the fake library logged, one "Entry|arg|..." per call.
  std::vector<std::string> LibraryCalls() const;

  /// The texts of the trace file's lines, each checked for CR LF and for its
  /// time stamp "hh:mm:ss " (which is cut off).
  std::vector<std::string> TraceTexts(const fs::path& trace_file) const;

  fs::path root_;               ///< the test's own temporary directory
  fs::path sensor_;             ///< root_/sensor, an installation unless a test says otherwise
  std::string sensor_windows_;  ///< sensor_ in Windows form
  fs::path log_;                ///< the fake library's call log

 private:
  std::map<std::string, std::string> environment_;
  int runs_ = 0;
};

}  // namespace trelvane::e2e
