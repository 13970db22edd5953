// The real SNMP session, on net-snmp. This header names nothing of net-snmp;
// netsnmp_session.cpp is the one file of the library that includes its headers.
#pragma once

#include <memory>
#include <string>

#include "snmp_session.h"
#include "target_address.h"

namespace kordavin {

struct SessionSettings {
  Target target;
  std::string community;  // sent exactly as given, blanks included
  long timeout_ms = 1000;
  int retries = 1;
};

/// Sets net-snmp up for this library: no configuration files, no MIB files,
/// no persistent state, and no log output of its own. Safe to call again.
void StartNetSnmp();

/// Releases everything that StartNetSnmp and the sessions took. Safe to
/// call when nothing was started.
void StopNetSnmp();

/// net-snmp's version text, e.g. "5.9.3".
std::string NetSnmpVersion();

/// Opens a UDP session to the target. Throws SnmpError when that fails
/// (e.g. a host name that does not resolve). Starts net-snmp if needed.
std::unique_ptr<SnmpSession> OpenNetSnmpSession(const SessionSettings& settings,
                                                SnmpVersion version);

}  // namespace kordavin
