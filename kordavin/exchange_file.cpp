#include "exchange_file.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "platform/drive_paths.h"

namespace kordavin {
namespace {

std::runtime_error FileError(const std::string& what, const std::string& path, int error) {
  return std::runtime_error(what + "(" + path + "): " + std::strerror(error));
}

/// A name beside the target that no other writer picks: the clock, a
/// per-process counter and the address of a local make it unique enough,
/// and the exclusive open below makes sure.
std::string TemporaryName(const std::string& host_path) {
  static std::atomic<unsigned> counter{0};
  auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  int local = 0;
  return host_path + ".tmp" + std::to_string(ticks % 1000000007) + "-" + std::to_string(counter++) +
         "-" + std::to_string(reinterpret_cast<std::uintptr_t>(&local) % 100003);
}

}  // namespace

std::string ExchangeHostPath(std::string_view windows_name) {
  std::string host_path;
  if (windows_name.empty()) throw std::runtime_error("no exchange file name");
  if (!trelvane::platform::MapToHostPath(windows_name, &host_path))
    throw std::runtime_error("the exchange file lies on a drive without a root: " +
                             std::string(windows_name));
  return host_path;
}

void ReplaceFileAtomically(const std::string& host_path, std::string_view content) {
  std::string temporary = TemporaryName(host_path);
  // "x": fail rather than write into a file that someone else has made.
  std::FILE* file = std::fopen(temporary.c_str(), "wbx");
  if (!file) throw FileError("fopen", temporary, errno);
  bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
  int error = errno;
  if (std::fflush(file) != 0) {
    written = false;
    error = errno;
  }
  if (std::fclose(file) != 0 && written) {
    written = false;
    error = errno;
  }
  if (!written) {
    std::remove(temporary.c_str());
    throw FileError("write", temporary, error);
  }
  std::error_code rename_error;
  std::filesystem::rename(temporary, host_path, rename_error);
  if (rename_error) {
    std::remove(temporary.c_str());
    throw std::runtime_error("rename(" + temporary + ", " + host_path +
                             "): " + rename_error.message());
  }
}

void RemoveFileQuietly(const std::string& host_path) noexcept {
  std::error_code ignored;
  if (std::filesystem::is_regular_file(host_path, ignored))
    std::filesystem::remove(host_path, ignored);
}

}  // namespace kordavin
