#include "loopback_agent.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <thread>

namespace kordavin::testing {
namespace {

std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

bool CanBind(int family, int port) {
  int fd = ::socket(family, SOCK_DGRAM, 0);
  if (fd < 0) return false;
  bool ok;
  if (family == AF_INET) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ok = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  } else {
    sockaddr_in6 address{};
    address.sin6_family = AF_INET6;
    address.sin6_port = htons(static_cast<std::uint16_t>(port));
    address.sin6_addr = in6addr_loopback;
    ok = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  }
  ::close(fd);
  return ok;
}

}  // namespace

int FreeLoopbackPort() {
  for (int attempt = 0; attempt < 50; ++attempt) {
    int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0)
      port = ntohs(address.sin_port);
    ::close(fd);
    if (port > 0 && CanBind(AF_INET, port) && CanBind(AF_INET6, port)) return port;
  }
  return 0;
}

std::optional<LoopbackAgent> LoopbackAgent::Start(const std::string& community, std::string* why) {
  if (::access("/usr/sbin/snmpd", X_OK) != 0 && !::getenv("SNMPD")) {
    *why = "/usr/sbin/snmpd is missing (Debian package snmpd)";
    return std::nullopt;
  }
  std::string dir = (std::filesystem::temp_directory_path() / "kordavin-agent-XXXXXX").string();
  if (!::mkdtemp(dir.data())) {
    *why = "cannot make a temporary directory";
    return std::nullopt;
  }
  for (int attempt = 0; attempt < 3; ++attempt) {
    const int port = FreeLoopbackPort();
    const std::string command = ShellQuote(KORDAVIN_START_SNMPD) + " " + ShellQuote(dir) + " " +
                                std::to_string(port) + " " + ShellQuote(community);
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) continue;
    char line[64] = {};
    bool got = std::fgets(line, sizeof line, pipe) != nullptr;
    int status = ::pclose(pipe);
    if (got && status == 0) {
      pid_t pid = static_cast<pid_t>(std::atol(line));
      if (pid > 0) return LoopbackAgent(pid, port, community, dir);
    }
  }
  *why = "snmpd did not start; see " + dir + "/snmpd.log";
  return std::nullopt;
}

LoopbackAgent::LoopbackAgent(LoopbackAgent&& other) noexcept
    : pid_(other.pid_),
      port_(other.port_),
      community_(std::move(other.community_)),
      dir_(std::move(other.dir_)) {
  other.pid_ = 0;
  other.dir_.clear();
}

LoopbackAgent::~LoopbackAgent() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    // The agent is not our child (the script started it); wait until it is gone.
    for (int i = 0; i < 100 && ::kill(pid_, 0) == 0; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (::kill(pid_, 0) == 0) ::kill(pid_, SIGKILL);
  }
  if (!dir_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
}

std::optional<std::map<std::string, std::string>> RunSnmpTool(const LoopbackAgent& agent,
                                                              const std::string& oid, bool get) {
  const char* tool = get ? "/usr/bin/snmpget" : "/usr/bin/snmpbulkwalk";
  if (::access(tool, X_OK) != 0) return std::nullopt;
  const std::string command = std::string(tool) + " -v2c -c " + ShellQuote(agent.community()) +
                              " -m '' -Oqnt -r 2 -t 2 127.0.0.1:" + std::to_string(agent.port()) +
                              " " + oid + " 2>/dev/null";
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return std::nullopt;
  std::map<std::string, std::string> values;
  std::array<char, 4096> buffer;
  while (std::fgets(buffer.data(), static_cast<int>(buffer.size()), pipe)) {
    std::string line(buffer.data());
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    std::size_t blank = line.find(' ');
    if (line.empty() || line[0] != '.' || blank == std::string::npos) continue;
    std::string value = line.substr(blank + 1);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
      value = value.substr(1, value.size() - 2);
    // Only values of the object asked for: a walk of an empty subtree
    // prints a "No Such Object" line in its place.
    const std::string name = line.substr(1, blank - 1);
    const bool asked = get ? name == oid : name.rfind(oid + ".", 0) == 0;
    if (asked && value.rfind("No Such", 0) != 0 && value.rfind("No more", 0) != 0)
      values[name] = value;
  }
  if (::pclose(pipe) != 0) return std::nullopt;
  return values;
}

}  // namespace kordavin::testing
