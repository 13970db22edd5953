// Putting the exchange file in place so that a reader never sees half of it.
#pragma once

#include <string>
#include <string_view>

namespace kordavin {

/// Maps the exchange file name, which arrives in Windows form ("Router1.Xrf",
/// "Z:\srv\sensor\Router1.Xrf", ...), to a host path. Throws
/// std::runtime_error when it names a drive without a root.
std::string ExchangeHostPath(std::string_view windows_name);

/// Writes `content` to a new file beside `host_path` and renames it to
/// `host_path`, replacing what was there. On failure nothing new is left
/// behind (no temporary file) and std::runtime_error is thrown.
void ReplaceFileAtomically(const std::string& host_path, std::string_view content);

/// Removes the file if there is one; failures are ignored. Used after a
/// failed request so that no stale results stay behind for the reader.
void RemoveFileQuietly(const std::string& host_path) noexcept;

}  // namespace kordavin
