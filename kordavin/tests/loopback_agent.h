// A real snmpd on the loopback addresses, started with start_snmpd.sh on a
// free port and stopped when the object goes.
#pragma once

#include <sys/types.h>

#include <map>
#include <optional>
#include <string>

namespace kordavin::testing {

class LoopbackAgent {
 public:
  /// Starts the agent answering `community`. Returns nothing (and puts the
  /// reason into *why) when snmpd is missing or does not start.
  static std::optional<LoopbackAgent> Start(const std::string& community, std::string* why);

  LoopbackAgent(LoopbackAgent&& other) noexcept;
  LoopbackAgent& operator=(LoopbackAgent&&) = delete;
  LoopbackAgent(const LoopbackAgent&) = delete;
  ~LoopbackAgent();

  int port() const { return port_; }
  const std::string& community() const { return community_; }
  const std::string& directory() const { return dir_; }

 private:
  LoopbackAgent(pid_t pid, int port, std::string community, std::string dir)
      : pid_(pid), port_(port), community_(std::move(community)), dir_(std::move(dir)) {}
  pid_t pid_ = 0;
  int port_ = 0;
  std::string community_;
  std::string dir_;
};

/// A UDP port free on both 127.0.0.1 and ::1 at the moment of asking.
int FreeLoopbackPort();

/// Walks `oid` on the agent with Debian's snmpbulkwalk (or reads it with
/// snmpget when `get` is set) and returns OID -> value text (strings without
/// their quotes). Nothing when the tool is missing or fails.
std::optional<std::map<std::string, std::string>> RunSnmpTool(const LoopbackAgent& agent,
                                                              const std::string& oid,
                                                              bool get = false);

}  // namespace kordavin::testing
