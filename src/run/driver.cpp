#include "run/driver.h"

#include <exception>
#include <string>

#include "query/exchange_file_reader.h"
#include "query/query_library.h"
#include "report/report_document.h"
#include "run/invocation.h"
#include "setup/device_profile.h"
#include "setup/installation.h"
#include "trace/trace_log.h"

namespace trelvane {
namespace {

// The steps up to the opening of the host document; false on an early end.
bool Connect(RunState& state, const Arguments& arguments, const System& system) {
  if (!ResolveSensorDirectory(state, system.files, system.out, arguments[1])) return false;
  if (!ReadDeviceProfile(state, system.files, system.out)) return false;
  if (state.ProfilerMode && !OpenTraceFile(state, system)) return false;
  Trace(state, system.clock,
        {"Snmp ", state.ProgramName, " Ver ", state.ProgramVersion, " / ", state.ProgramDate});
  state.RequestParameters = DeriveRequestParameters(state.ParameterLine);
  const DeviceProfile& profile = state.DeviceProfile;
  Trace(state, system.clock,
        {"Snmp IP=", profile.IpAddress, ", Alias=", profile.Alias, ".N", profile.SystemNumber});
  Trace(state, system.clock, {"Snmp Params: ", state.RequestParameters});
  state.SelectFilter = DeriveSelectFilter(state.RequestParameters);
  return LoadQueryLibrary(state, system);
}

void Report(RunState& state, const System& system) {
  OpenReport(state, system.out);
  RunQuery(state, system);
  ReadExchangeFile(state, system);
  state.SummarySubject = DeriveSummarySubject(state.ParameterLine);
  WriteSummary(state, system.out,
               "(Snmp) " + state.DeviceProfile.Description + ": Trelvane / Infos about " +
                   state.SummarySubject);
  Trace(state, system.clock, {"Snmp ", std::to_string(state.EntryCount), " Entries found..."});
  CloseReport(state, system.out);
  UnloadQueryLibrary(state, system.libraries);
  if (!state.ProfilerMode) {
    system.clock.Sleep(1000);
    ClearExchangeFile(system.files, state.ExchangeFileName);
  }
  Trace(state, system.clock, {"Snmp Ending Connection"});
}

}  // namespace

int RunSensor(const Arguments& arguments, const System& system) {
  RunState state;
  // The time of day is always formatted as hh:mm:ss by the platform, so no
  // regional setting can change the trace's time stamps.
  state.StartingDirectory = system.files.CurrentDirectory();
  state.LibraryBaseName = "Kordavin";
  state.ExchangeFileName = DeriveExchangeFileName(arguments[1]);
  state.ProgramVersion = "1.3";
  state.ProgramName = "Trelvane";
  state.ProgramDate = "26.01.22";
  state.ParameterLine = BuildParameterLine(arguments);
  state.ProfilerMode = IsProfilerMode(state.ParameterLine);

  if (Connect(state, arguments, system)) Report(state, system);
  CloseTraceFile(state);
  return 0;
}

int RunProcess(const Arguments& arguments, const System& system) {
  std::string kind = "Unhandled failure";
  std::string where = "run";
  std::string message;
  try {
    const int status = RunSensor(arguments, system);
    system.out.Flush();
    return status;
  } catch (const UnhandledFailure& failure) {
    kind = failure.kind();
    where = failure.where();
    message = failure.what();
  } catch (const std::exception& failure) {
    kind = "Unhandled exception";
    message = failure.what();
  } catch (...) {
    kind = "Unhandled exception";
    message = "unknown failure";
  }
  // Everything the run wrote comes first; then the report of the failure.
  // Standard output may be the very thing that failed, so the report is
  // written as well as it can be.
  try {
    system.out.Flush();
  } catch (...) {
  }
  try {
    system.out.WriteLine({kind, " at ", where});
    system.out.WriteLine(message);
    system.out.Flush();
  } catch (...) {
  }
  return 1;
}

}  // namespace trelvane
