// Finding the sensor directory and the output flavour.
#pragma once

#include <optional>
#include <string_view>

#include "platform/platform.h"
#include "run/run_state.h"

namespace trelvane {

/// The file that names the host's base path.
inline constexpr std::string_view kPrtgPathFile = "C:\\Prtg_Path.Txt";

/// Whether `directory` is the sensor's installation directory (it holds the
/// query library), and if so the output flavour it selects. Only looks.
std::optional<OutputFlavour> RecogniseInstallation(FileSystem& files, std::string_view directory);

/// Settles `SensorDirectory`, `OutputFlavour` and `ProfilePath`: the starting
/// directory when it is an installation, otherwise the first of six places
/// under the base path named by "C:\Prtg_Path.Txt". On failure writes error
/// 1002, 1003 or 1004 and returns false: the run ends.
bool ResolveSensorDirectory(RunState& state, FileSystem& files, StandardOutput& out,
                            std::string_view argument1);

}  // namespace trelvane
