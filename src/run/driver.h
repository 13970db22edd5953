// The run: every step in its fixed order, the early end, and the top of the
// run where failures that nothing handles are reported.
#pragma once

#include "platform/platform.h"
#include "run/run_state.h"

namespace trelvane {

/// Performs one run with command-line arguments 1 to 5 and returns the exit
/// status: 0 after a complete run and after every early end. Failures that
/// nothing handles leave it as exceptions.
int RunSensor(const Arguments& arguments, const System& system);

/// RunSensor at the top of the process: a failure that nothing handles is
/// reported on standard output (its kind and place, then its message) and
/// gives exit status 1. Standard output is flushed at the end of the run.
int RunProcess(const Arguments& arguments, const System& system);

}  // namespace trelvane
