#include "query/query_library.h"

#include <string>

#include "report/report_document.h"
#include "run/invocation.h"
#include "trace/trace_log.h"

namespace trelvane {
namespace {
// The file loaded ends in ".Dll"; the name announced to the library in ".DLL".
std::string AnnouncedFileName(const RunState& state) { return state.LibraryBaseName + ".DLL"; }
}  // namespace

bool LoadQueryLibrary(RunState& state, const System& system) {
  Trace(state, system.clock, {"Snmp Path: ", state.SensorDirectory});
  Trace(state, system.clock, {"Snmp Starting Connection..."});
  state.LibraryHandle = system.libraries.Load(state.LibraryBaseName + ".Dll");
  if (state.LibraryHandle == nullptr) {
    WriteFatalError(state, system.out, "Error 2000: Snmp-Library not found");
    return false;
  }
  state.LibraryVersion = "Dopen";
  if (LibraryEntry dopen = system.libraries.Lookup(state.LibraryHandle, "Dopen")) {
    if (!system.libraries.Call(dopen, "Loading", AnnouncedFileName(state).c_str(),
                               &state.LibraryVersion)) {
      WriteFatalError(state, system.out, "Error 2001: Invalid Handle - Snmp");
      return false;
    }
  }
  Trace(state, system.clock, {"Snmp Dll-Version: ", state.LibraryVersion});
  state.SnmpEntry = system.libraries.Lookup(state.LibraryHandle, "Snmp");
  if (state.SnmpEntry == nullptr) {
    WriteFatalError(state, system.out, "Error 2002: Invalid Snmp-Handle");
    return false;
  }
  return true;
}

void RunQuery(RunState& state, const System& system) {
  Trace(state, system.clock, {"Snmp Processing: ", kRequestName, "..."});
  const std::string request_name(kRequestName);
  const std::string options(kRequestOptions);
  std::string result;
  const std::uint32_t start_ticks = system.clock.Ticks();
  const bool returned = system.libraries.Call(
      state.SnmpEntry, state.DeviceProfile.IpAddress.c_str(), state.DeviceProfile.Community.c_str(),
      request_name.c_str(), options.c_str(), state.ExchangeFileName.c_str(), &result);
  const std::uint32_t end_ticks = system.clock.Ticks();
  if (!returned) {
    constexpr std::string_view kMessage = "Error 2002: Invalid Snmp-Request";
    if (HasCheckOption(state.ParameterLine)) {
      WriteFatalError(state, system.out, kMessage);
    } else {
      WriteRunError(state, system.out, kMessage);
    }
    return;
  }
  Trace(state, system.clock, {"Snmp ", result});
  // Unsigned arithmetic: a counter that wraps during the call still gives the
  // true duration.
  const std::uint32_t run_time_ms = end_ticks - start_ticks;
  Trace(state, system.clock, {"Snmp RunTime: ", std::to_string(run_time_ms), " mSec"});
}

void UnloadQueryLibrary(RunState& state, Libraries& libraries) {
  if (LibraryEntry dclos = libraries.Lookup(state.LibraryHandle, "Dclos")) {
    std::string ignored;
    libraries.Call(dclos, "Unloading", AnnouncedFileName(state).c_str(), &ignored);
  }
  libraries.Unload(state.LibraryHandle);
  state.LibraryHandle = nullptr;
  state.SnmpEntry = nullptr;
}

void ClearExchangeFile(FileSystem& files, std::string_view file_name) {
  if (!files.Exists(file_name)) return;
  if (!files.Empty(file_name)) return;
  files.Delete(file_name);
}

}  // namespace trelvane
