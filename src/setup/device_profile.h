// The device profile: IP address, community and three descriptive fields.
#pragma once

#include "platform/platform.h"
#include "run/run_state.h"

namespace trelvane {

/// Reads `ProfilePath` into `DeviceProfile`. When the profile is missing,
/// writes error 1006 and returns false: the run ends.
bool ReadDeviceProfile(RunState& state, FileSystem& files, StandardOutput& out);

}  // namespace trelvane
