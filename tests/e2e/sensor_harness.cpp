#include "sensor_harness.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

extern char** environ;

namespace trelvane::e2e {
namespace {

// Variables of the test's own environment that would change what a run does;
// each run gets only those that the test sets.
bool IsControlledVariable(std::string_view entry) {
  for (std::string_view prefix : {"FAKE_KORDAVIN_", "TRELVANE_DRIVE_", "LD_LIBRARY_PATH="}) {
    if (entry.substr(0, prefix.size()) == prefix) return true;
  }
  return false;
}

bool IsTimeStamp(std::string_view s) {
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  return s.size() >= 9 && digit(s[0]) && digit(s[1]) && s[2] == ':' && digit(s[3]) && digit(s[4]) &&
         s[5] == ':' && digit(s[6]) && digit(s[7]) && s[8] == ' ' &&
         (s[0] - '0') * 10 + (s[1] - '0') <= 23 && s[3] <= '5' && s[6] <= '5';
}

}  // namespace

std::string Crlf(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (std::string_view line : lines) {
    text.append(line);
    text.append("\r\n");
  }
  return text;
}

std::string Crlf(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    text.append(line);
    text.append("\r\n");
  }
  return text;
}

std::string XmlFatal(std::string_view message) {
  const std::string text = "<Text>" + std::string(message) + "</Text>";
  return Crlf({"<Prtg>", "", "<Error>1</Error>", text, "", "</Prtg>"});
}

std::vector<std::string> XmlEntry(std::string_view name, std::string_view value,
                                  std::string_view unit) {
  return {"", "<Result><Channel>" + std::string(name) + "</Channel>", "<Unit>Custom</Unit>",
          "<CustomUnit>" + std::string(unit) + "</CustomUnit>",
          "<Value>" + std::string(value) + "</Value></Result>"};
}

std::string XmlDocument(const std::vector<std::vector<std::string>>& entries,
                        std::string_view summary) {
  std::vector<std::string> lines{"", "<Prtg>"};
  for (const auto& entry : entries) lines.insert(lines.end(), entry.begin(), entry.end());
  for (std::string line : {std::string(), "<Text>" + std::string(summary) + "</Text>",
                           std::string(), std::string("</Prtg>"), std::string()}) {
    lines.push_back(line);
  }
  return Crlf(lines);
}

std::string RouterSummary(std::string_view subject) {
  return "(Snmp) Core switch: Trelvane / Infos about " + std::string(subject);
}

std::string WindowsForm(const fs::path& host_path) {
  std::string text = host_path.string();
  for (char& c : text) {
    if (c == '/') c = '\\';
  }
  return "Z:" + text;
}

void WriteFile(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << "cannot write " << path;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void SensorTest::SetUp() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  const fs::path base = TRELVANE_E2E_TMP_DIR;
  fs::create_directories(base);
  // What an earlier failed run of this test left for diagnosis goes now.
  for (const fs::directory_entry& entry : fs::directory_iterator(base)) {
    if (entry.path().filename().string().rfind(name + ".", 0) == 0) fs::remove_all(entry.path());
  }
  const fs::path directory = base / (name + "." + std::to_string(::getpid()));
  fs::create_directories(directory);
  // The program sees its current directory without symbolic links.
  root_ = fs::canonical(directory);
  sensor_ = root_ / "sensor";
  sensor_windows_ = WindowsForm(sensor_);
  log_ = root_ / "kordavin.log";
  environment_["FAKE_KORDAVIN_LOG"] = log_.string();
}

void SensorTest::TearDown() {
  if (!HasFailure()) {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
}

void SensorTest::PlaceProgram(const fs::path& directory) {
  fs::create_directories(directory);
  // TRELVANE_E2E_PROGRAM in the environment runs the suite against another
  // build of the program.
  const char* chosen = std::getenv("TRELVANE_E2E_PROGRAM");
  const fs::path program = chosen != nullptr && *chosen != '\0' ? chosen : TRELVANE_E2E_PROGRAM;
  std::error_code error;
  // The library is looked for first beside the executable: the program
  // must really lie in this directory, not be reached through a link.
  fs::create_hard_link(program, directory / "Trelvane", error);
  if (error) fs::copy_file(program, directory / "Trelvane", fs::copy_options::overwrite_existing);
}

void SensorTest::PlaceLibrary(const fs::path& directory, std::string_view variant) {
  fs::create_directories(directory);
  const fs::path library = fs::path(TRELVANE_E2E_FAKES_DIR) / variant / "Kordavin.Dll";
  ASSERT_TRUE(fs::exists(library)) << library;
  fs::copy_file(library, directory / "Kordavin.Dll", fs::copy_options::overwrite_existing);
}

void SensorTest::Install(const fs::path& directory, std::string_view variant, Flavour flavour) {
  PlaceProgram(directory);
  PlaceLibrary(directory, variant);
  if (flavour == Flavour::StatisticLines) WriteFile(directory / "StatisticLines.Flavour", "");
  if (flavour == Flavour::ContextLines) WriteFile(directory / "ContextLines.Flavour", "");
}

void SensorTest::InstallSensor(Flavour flavour, std::string_view variant) {
  Install(sensor_, variant, flavour);
  WriteFile(sensor_ / "Router1.Prf", kRouterProfile);
}

void SensorTest::SetExchange(std::string_view bytes) {
  const fs::path source = root_ / "exchange.source";
  WriteFile(source, bytes);
  environment_["FAKE_KORDAVIN_EXCHANGE"] = source.string();
}

std::vector<std::string> SensorTest::LibraryCalls() const {
  std::vector<std::string> calls;
  std::istringstream in(ReadFile(log_));
  for (std::string line; std::getline(in, line);) calls.push_back(line);
  return calls;
}

std::vector<std::string> SensorTest::TraceTexts(const fs::path& trace_file) const {
  const std::string bytes = ReadFile(trace_file);
  std::vector<std::string> texts;
  std::string_view rest = bytes;
  while (!rest.empty()) {
    const std::size_t end = rest.find("\r\n");
    if (end == std::string_view::npos) {
      ADD_FAILURE() << "trace line without CR LF at its end: \"" << rest << "\"";
      break;
    }
    const std::string_view line = rest.substr(0, end);
    if (!IsTimeStamp(line)) {
      ADD_FAILURE() << "trace line without time stamp: \"" << line << "\"";
      texts.emplace_back(line);
    } else {
      texts.emplace_back(line.substr(9));
    }
    rest.remove_prefix(end + 2);
  }
  return texts;
}

RunResult SensorTest::Run(const std::vector<std::string>& arguments, const RunOptions& options) {
  ++runs_;
  const fs::path program = options.program.empty() ? sensor_ / "Trelvane" : options.program;
  const fs::path cwd = options.cwd.empty() ? sensor_ : options.cwd;
  const fs::path err_file = root_ / ("stderr." + std::to_string(runs_));

  // Everything the child needs is prepared before the fork.
  std::vector<std::string> argument_texts{program.string()};
  argument_texts.insert(argument_texts.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& text : argument_texts) argv.push_back(text.data());
  argv.push_back(nullptr);

  std::map<std::string, std::string> variables = environment_;
  for (const auto& [name, value] : options.environment) variables[name] = value;
  std::vector<std::string> environment_texts;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    if (!IsControlledVariable(*entry)) environment_texts.emplace_back(*entry);
  }
  for (const auto& [name, value] : variables) environment_texts.push_back(name + "=" + value);
  std::vector<char*> envp;
  for (std::string& text : environment_texts) envp.push_back(text.data());
  envp.push_back(nullptr);

  int out_pipe[2] = {-1, -1};
  int child_out = -1;
  if (options.output == OutputTarget::kFullDevice) {
    child_out = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
  } else {
    if (::pipe2(out_pipe, O_CLOEXEC) != 0) ADD_FAILURE() << "pipe: " << std::strerror(errno);
    child_out = out_pipe[1];
    if (options.output == OutputTarget::kClosedPipe) {
      // Closed before the program starts, so its first write finds no reader.
      ::close(out_pipe[0]);
      out_pipe[0] = -1;
    }
  }
  const int child_err = ::open(err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const int child_in = ::open("/dev/null", O_RDONLY | O_CLOEXEC);

  RunResult result;
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = ::fork();
  if (pid == 0) {
    // The child starts with the dispositions a host would give it.
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::signal(SIGPIPE, SIG_DFL);
    if (::chdir(cwd.c_str()) != 0) ::_exit(126);
    ::dup2(child_in, STDIN_FILENO);
    ::dup2(child_out, STDOUT_FILENO);
    ::dup2(child_err, STDERR_FILENO);
    ::execve(argv[0], argv.data(), envp.data());
    ::_exit(127);
  }
  ::close(child_out);
  ::close(child_err);
  ::close(child_in);
  if (pid < 0) {
    ADD_FAILURE() << "fork: " << std::strerror(errno);
    if (out_pipe[0] >= 0) ::close(out_pipe[0]);
    return result;
  }
  if (out_pipe[0] >= 0) {
    char buffer[65536];
    for (;;) {
      const ssize_t got = ::read(out_pipe[0], buffer, sizeof buffer);
      if (got > 0) {
        result.out.append(buffer, static_cast<std::size_t>(got));
      } else if (got == 0 || errno != EINTR) {
        break;
      }
    }
    ::close(out_pipe[0]);
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  result.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);
  if (WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  result.err = ReadFile(err_file);
  EXPECT_NE(result.exit_status, 126) << "cannot enter " << cwd;
  EXPECT_NE(result.exit_status, 127) << "cannot start " << program;
  return result;
}

}  // namespace trelvane::e2e
