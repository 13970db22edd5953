#include "trace/trace_log.h"

#include <string>

namespace trelvane {

bool OpenTraceFile(RunState& state, const System& system) {
  state.TraceFile = system.files.CreateUnshared(state.SensorDirectory + "\\Profiler" + ".Trc");
  if (state.TraceFile == nullptr) {
    system.out.WriteLine(kTraceFileFailed);
    system.clock.Sleep(1000);
    return false;
  }
  state.TraceEnabled = true;
  return true;
}

void Trace(RunState& state, Clock& clock, std::initializer_list<std::string_view> pieces) {
  if (!state.TraceEnabled) return;
  std::string line = clock.TimeOfDay();
  line += ' ';
  for (std::string_view piece : pieces) line += piece;
  state.TraceFile->WriteLine(line);
}

void CloseTraceFile(RunState& state) {
  if (!state.TraceEnabled) return;
  state.TraceEnabled = false;
  state.TraceFile->Close();
  state.TraceFile.reset();
}

}  // namespace trelvane
