// Loads Kordavin.Dll, calls every entry (successful and failing requests)
// and unloads it, again and again in one process, so that a leak checker
// run over it (valgrind, or LeakSanitizer in sanitized builds) sees anything
// the library keeps after Dclos and the unloading.
//
//   kordavin_load_cycle [ROUNDS]
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>

#include "library_loader.h"
#include "loopback_agent.h"

namespace {

using kordavin::testing::LoadedLibrary;
using kordavin::testing::LoopbackAgent;

bool Fails(LoadedLibrary& library, const std::string& ip, const std::string& community,
           const std::string& file, const std::string& request = "Trelvane") {
  try {
    library.Snmp(ip, community, file, request);
  } catch (const std::exception&) {
    return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 5;
  std::string why;
  std::optional<LoopbackAgent> agent = LoopbackAgent::Start("public", &why);
  if (!agent) std::printf("no agent (%s): only failing requests are made\n", why.c_str());

  std::string dir = (std::filesystem::temp_directory_path() / "kordavin-cycle-XXXXXX").string();
  if (!::mkdtemp(dir.data())) return 2;
  const std::string file = "Z:" + dir + "/Cycle.Xrf";
  int problems = 0;
  for (int round = 0; round < rounds; ++round) {
    LoadedLibrary library;
    library.Dopen();
    if (agent) {
      library.Snmp("127.0.0.1:" + std::to_string(agent->port()), "public", file);
      if (!std::filesystem::exists(dir + "/Cycle.Xrf")) ++problems;
    }
    if (!Fails(library, "127.0.0.1", "public", file, "Other")) ++problems;
    if (!Fails(library, "[::1", "public", file)) ++problems;
    if (round == 0) {
      // Once: the timeout path, against a port where nothing answers.
      int port = kordavin::testing::FreeLoopbackPort();
      if (!Fails(library, "127.0.0.1:" + std::to_string(port), "public", file)) ++problems;
    }
    library.Dclos();
  }
  // Snmp without Dopen, and Dclos twice: the library copes on its own.
  {
    LoadedLibrary library;
    if (agent) library.Snmp("[::1]:" + std::to_string(agent->port()), "public", file);
    library.Dclos();
    library.Dclos();
  }
  std::filesystem::remove_all(dir);
  std::printf("%d rounds, %d problems\n", rounds, problems);
  return problems == 0 ? 0 : 1;
}
