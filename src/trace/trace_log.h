// The optional trace file Profiler.Trc in the sensor directory: one line per
// step of the run, each behind the local time of day.
#pragma once

#include <initializer_list>
#include <string_view>

#include "platform/platform.h"
#include "run/run_state.h"

namespace trelvane {

/// The line written on standard output when the trace file cannot be created.
inline constexpr std::string_view kTraceFileFailed = "* Trace-File failed...";

/// Creates the trace file anew in the sensor directory and turns the trace
/// on. When it cannot be created, writes the failure line, waits 1000 ms and
/// returns false: the run ends.
bool OpenTraceFile(RunState& state, const System& system);

/// Writes "hh:mm:ss " and the joined pieces as one line while the trace is on,
/// and nothing otherwise.
void Trace(RunState& state, Clock& clock, std::initializer_list<std::string_view> pieces);

/// Closes the trace file when it is open.
void CloseTraceFile(RunState& state);

}  // namespace trelvane
