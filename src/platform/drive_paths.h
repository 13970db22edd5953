// Windows-form paths on a POSIX host, presented the way Wine presents them.
//
// Drive Z is the host's root; any other drive X has the root named by the
// environment variable TRELVANE_DRIVE_X, and no root (and so no files) when
// that is unset or empty. Both "\" and "/" separate, and a run of separators
// counts as one.
#pragma once

#include <string>
#include <string_view>

namespace trelvane::platform {

/// Maps a Windows-form path to the host path it names. Returns false when the
/// path lies on a drive that has no root: nothing exists there and nothing can
/// be opened. A path without a drive and without a leading separator stays
/// relative, so it resolves against the process's current directory.
bool MapToHostPath(std::string_view windows_path, std::string* host_path);

/// Presents an absolute host path in Windows form on drive Z: "/srv/sensor"
/// is "Z:\srv\sensor", "/" is "Z:\". The result ends in "\" only at the root.
std::string PresentAsWindowsPath(std::string_view host_path);

}  // namespace trelvane::platform
