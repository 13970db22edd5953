// Trelvane: a command-line SNMP sensor for network-monitoring hosts.
#include "platform/platform.h"
#include "run/driver.h"

int main(int argc, char** argv) {
  trelvane::Arguments arguments;
  for (int i = 1; i < argc && i <= 5; ++i) arguments.Items[i - 1] = argv[i];
  return trelvane::RunProcess(arguments, trelvane::HostSystem());
}
