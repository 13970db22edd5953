// The POSIX backend of the platform layer.
//
// Paths arrive in Windows form and are mapped to host paths first (drive Z
// is "/", other drives come from TRELVANE_DRIVE_X). Faults inside a call of
// the query library are caught with signal handlers that are installed for
// the call alone and jump back out of it.

#include <dlfcn.h>
#include <fcntl.h>
#include <setjmp.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "platform/drive_paths.h"
#include "platform/platform.h"

namespace trelvane {
namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

std::string ErrorText(int error) { return std::strerror(error); }

// Writes all of `data` to `fd`; returns 0 or the errno of the failed write.
int WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return 0;
}

void AppendLine(std::string* buffer, std::initializer_list<std::string_view> pieces) {
  for (std::string_view piece : pieces) buffer->append(piece);
  buffer->append("\r\n");
}

class FileSource final : public ByteSource {
 public:
  FileSource(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~FileSource() override { ::close(fd_); }

  std::size_t Read(char* buffer, std::size_t size) override {
    for (;;) {
      const ssize_t got = ::read(fd_, buffer, size);
      if (got >= 0) return static_cast<std::size_t>(got);
      if (errno != EINTR)
        throw UnhandledFailure("I/O failure", "reading " + path_, ErrorText(errno));
    }
  }

 private:
  int fd_;
  std::string path_;
};

// A file written in whole lines through one buffer. The lock taken when it
// was created lasts until it is closed.
class FileSink final : public LineSink {
 public:
  FileSink(int fd, std::string path) : fd_(fd), path_(std::move(path)) {
    buffer_.reserve(kBufferSize);
  }
  ~FileSink() override {
    if (fd_ < 0) return;
    WriteAll(fd_, buffer_.data(), buffer_.size());
    ::close(fd_);
  }

  void WriteLine(std::initializer_list<std::string_view> pieces) override {
    AppendLine(&buffer_, pieces);
    if (buffer_.size() >= kBufferSize) Flush();
  }

  void Close() override {
    Flush();
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
      throw UnhandledFailure("I/O failure", "closing " + path_, ErrorText(errno));
  }

 private:
  void Flush() {
    const int error = WriteAll(fd_, buffer_.data(), buffer_.size());
    buffer_.clear();
    if (error != 0) throw UnhandledFailure("I/O failure", "writing " + path_, ErrorText(error));
  }

  int fd_;
  std::string path_;
  std::string buffer_;
};

class PosixOutput final : public StandardOutput {
 public:
  PosixOutput() : line_by_line_(::isatty(STDOUT_FILENO) == 1) { buffer_.reserve(kBufferSize); }

  void WriteLine(std::initializer_list<std::string_view> pieces) override {
    AppendLine(&buffer_, pieces);
    if (line_by_line_ || buffer_.size() >= kBufferSize) Flush();
  }

  void Flush() override {
    const int error = WriteAll(STDOUT_FILENO, buffer_.data(), buffer_.size());
    // What could not be handed on is dropped, so that a later report of the
    // failure does not try it again.
    buffer_.clear();
    if (error != 0) throw UnhandledFailure("I/O failure", "standard output", ErrorText(error));
  }

 private:
  bool line_by_line_;
  std::string buffer_;
};

class PosixFiles final : public FileSystem {
 public:
  std::string CurrentDirectory() override {
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
      if (errno != ERANGE) {
        throw UnhandledFailure("I/O failure", "current directory", ErrorText(errno));
      }
      buffer.resize(buffer.size() * 2);
    }
    return platform::PresentAsWindowsPath(buffer.data());
  }

  bool Exists(std::string_view path) override {
    std::string host;
    struct stat info;
    return platform::MapToHostPath(path, &host) && ::stat(host.c_str(), &info) == 0 &&
           !S_ISDIR(info.st_mode);
  }

  std::unique_ptr<ByteSource> OpenForReading(std::string_view path) override {
    std::string host;
    if (!platform::MapToHostPath(path, &host)) return nullptr;
    // Non-blocking, so that a named pipe without a writer cannot hold the run.
    const int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return nullptr;
    struct stat info;
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
      ::close(fd);
      return nullptr;
    }
    if (S_ISREG(info.st_mode)) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return std::make_unique<FileSource>(fd, std::string(path));
  }

  std::unique_ptr<LineSink> CreateUnshared(std::string_view path) override {
    std::string host;
    if (!platform::MapToHostPath(path, &host)) return nullptr;
    // Lock before cutting the old content away, so that a run that does not
    // get the lock leaves the other run's file as it is.
    const int fd = ::open(host.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
    if (fd < 0) return nullptr;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || ::flock(fd, LOCK_EX | LOCK_NB) != 0 ||
        ::ftruncate(fd, 0) != 0) {
      ::close(fd);
      return nullptr;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return std::make_unique<FileSink>(fd, std::string(path));
  }

  bool Empty(std::string_view path) override {
    std::string host;
    if (!platform::MapToHostPath(path, &host)) return false;
    const int fd = ::open(host.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    return ::close(fd) == 0;
  }

  bool Delete(std::string_view path) override {
    std::string host;
    return platform::MapToHostPath(path, &host) && ::unlink(host.c_str()) == 0;
  }
};

// --- Guarded calls --------------------------------------------------------

constexpr int kFaultSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL};

sigjmp_buf* volatile fault_jump = nullptr;

extern "C" void JumpOutOfFault(int) { siglongjmp(*fault_jump, 1); }

// Runs body(context) with faults turned into a jump back here. Returns false
// when the body threw or faulted. Signal dispositions and the signal stack
// are as before when it returns.
bool CallGuarded(void (*body)(void*), void* context) {
  // Its own stack lets the handler run even when the fault is a stack
  // overflow inside the library.
  static std::vector<char> fault_stack(256 * 1024);
  stack_t stack{};
  stack.ss_sp = fault_stack.data();
  stack.ss_size = fault_stack.size();
  stack_t saved_stack{};
  const bool stack_set = ::sigaltstack(&stack, &saved_stack) == 0;

  struct sigaction action {};
  action.sa_handler = JumpOutOfFault;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_ONSTACK;
  struct sigaction saved[std::size(kFaultSignals)];
  for (std::size_t i = 0; i < std::size(kFaultSignals); ++i) {
    ::sigaction(kFaultSignals[i], &action, &saved[i]);
  }

  sigjmp_buf jump;
  sigjmp_buf* const outer = fault_jump;
  fault_jump = &jump;
  bool returned = false;
  if (sigsetjmp(jump, 1) == 0) {
    try {
      body(context);
      returned = true;
    } catch (...) {
    }
  }
  fault_jump = outer;

  for (std::size_t i = 0; i < std::size(kFaultSignals); ++i) {
    ::sigaction(kFaultSignals[i], &saved[i], nullptr);
  }
  if (stack_set) ::sigaltstack(&saved_stack, nullptr);
  return returned;
}

using TwoTextEntry = const char* (*)(const char*, const char*);
using FiveTextEntry = const char* (*)(const char*, const char*, const char*, const char*,
                                      const char*);

struct TwoTextCall {
  LibraryEntry entry;
  const char* arguments[2];
  const char* result;
};

struct FiveTextCall {
  LibraryEntry entry;
  const char* arguments[5];
  const char* result;
};

struct LoadCall {
  const char* path;
  void* library;
};

std::string ExecutableDirectory() {
  std::vector<char> buffer(4096);
  for (;;) {
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return {};
    if (static_cast<std::size_t>(length) < buffer.size()) {
      std::string path(buffer.data(), static_cast<std::size_t>(length));
      return path.substr(0, path.rfind('/'));
    }
    buffer.resize(buffer.size() * 2);
  }
}

bool IsFile(const std::string& host_path) {
  struct stat info;
  return ::stat(host_path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

class PosixLibraries final : public Libraries {
 public:
  LibraryHandle Load(std::string_view file_name) override {
    const std::string name(file_name);
    // The executable's directory, then the current directory; the first file
    // of that name is the one loaded, whether or not it loads.
    for (const std::string& directory : {ExecutableDirectory(), std::string(".")}) {
      if (directory.empty()) continue;
      const std::string path = directory + "/" + name;
      if (IsFile(path)) return Open(path.c_str());
    }
    return Open(name.c_str());
  }

  LibraryEntry Lookup(LibraryHandle library, const char* entry_name) override {
    return ::dlsym(library, entry_name);
  }

  void Unload(LibraryHandle library) override { ::dlclose(library); }

  bool Call(LibraryEntry entry, const char* first, const char* second,
            std::string* result) override {
    TwoTextCall call{entry, {first, second}, nullptr};
    if (!CallGuarded(
            [](void* context) {
              auto* c = static_cast<TwoTextCall*>(context);
              c->result =
                  reinterpret_cast<TwoTextEntry>(c->entry)(c->arguments[0], c->arguments[1]);
            },
            &call)) {
      return false;
    }
    result->assign(call.result == nullptr ? "" : call.result);
    return true;
  }

  bool Call(LibraryEntry entry, const char* first, const char* second, const char* third,
            const char* fourth, const char* fifth, std::string* result) override {
    FiveTextCall call{entry, {first, second, third, fourth, fifth}, nullptr};
    if (!CallGuarded(
            [](void* context) {
              auto* c = static_cast<FiveTextCall*>(context);
              c->result = reinterpret_cast<FiveTextEntry>(c->entry)(
                  c->arguments[0], c->arguments[1], c->arguments[2], c->arguments[3],
                  c->arguments[4]);
            },
            &call)) {
      return false;
    }
    result->assign(call.result == nullptr ? "" : call.result);
    return true;
  }

 private:
  // Loading runs the library's initialisers, which may fail like any call.
  static LibraryHandle Open(const char* path) {
    LoadCall call{path, nullptr};
    if (!CallGuarded(
            [](void* context) {
              auto* c = static_cast<LoadCall*>(context);
              c->library = ::dlopen(c->path, RTLD_NOW | RTLD_LOCAL);
            },
            &call)) {
      return nullptr;
    }
    return call.library;
  }
};

class PosixClock final : public Clock {
 public:
  std::uint32_t Ticks() override {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    const auto milliseconds = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                              static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(milliseconds);
  }

  void Sleep(std::uint32_t milliseconds) override {
    timespec remaining{static_cast<time_t>(milliseconds / 1000),
                       static_cast<long>(milliseconds % 1000) * 1000000L};
    while (::nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
  }

  std::string TimeOfDay() override {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char stamp[16];
    std::snprintf(stamp, sizeof stamp, "%02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
    return stamp;
  }
};

}  // namespace

System& HostSystem() {
  // A closed pipe on standard output is an ordinary write failure.
  static const bool prepared = [] {
    ::signal(SIGPIPE, SIG_IGN);
    return true;
  }();
  (void)prepared;
  static PosixOutput out;
  static PosixFiles files;
  static PosixLibraries libraries;
  static PosixClock clock;
  static System system{files, libraries, clock, out};
  return system;
}

}  // namespace trelvane
