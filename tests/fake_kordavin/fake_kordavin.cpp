// A stand-in for the query library Kordavin.Dll, for the end-to-end tests.
//
// One source, built into several libraries that differ only in which of the
// entries Dopen, Snmp and Dclos they export (FAKE_KORDAVIN_HAS_DOPEN,
// FAKE_KORDAVIN_HAS_SNMP, FAKE_KORDAVIN_HAS_DCLOS). What each entry does is
// chosen by the test through the environment of the sensor it starts:
//
//   FAKE_KORDAVIN_LOG=<host path>    append one line per call:
//                                    "Entry|argument 1|argument 2|..."
//   FAKE_KORDAVIN_DOPEN=<behaviour>  how Dopen ends (likewise _SNMP, _DCLOS):
//       return:<text>  return that text
//       null           return a null pointer
//       throw          let a C++ exception escape
//       segv           write through a null pointer
//       fpe            divide an integer by zero
//       ill            execute an undefined instruction
//       bus            read a mapped page beyond the end of its file
//   FAKE_KORDAVIN_EXCHANGE=<host path>  Snmp copies that file, byte for byte,
//                                    to the exchange file name it was given
//   FAKE_KORDAVIN_SLEEP_MS=<n>       Snmp sleeps that long before it ends
//
// Without a behaviour each entry returns a fixed text, and nothing is logged
// or written.

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>

#define FAKE_KORDAVIN_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

std::string_view Environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string_view() : std::string_view(value);
}

void Log(std::string_view entry, std::initializer_list<const char*> arguments) {
  const std::string path(Environment("FAKE_KORDAVIN_LOG"));
  if (path.empty()) return;
  std::string line(entry);
  for (const char* argument : arguments) {
    line += '|';
    line += argument == nullptr ? "(null)" : argument;
  }
  line += '\n';
  // One write on a file opened for appending, so that the lines of several
  // processes never interleave.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return;
  const ssize_t written = ::write(fd, line.data(), line.size());
  (void)written;
  ::close(fd);
}

// The faults are raised for real, as a faulty library would raise them; the
// sanitizers must not turn them into reports of their own first.
__attribute__((no_sanitize("address", "undefined"), noinline)) void WriteThroughNull() {
  volatile int* volatile pointer = nullptr;
  *pointer = 1;
}

__attribute__((no_sanitize("address", "undefined"), noinline)) void DivideByZero() {
  volatile int zero = 0;
  volatile int one = 1;
  volatile int quotient = one / zero;
  (void)quotient;
}

__attribute__((noinline)) void UndefinedInstruction() { __builtin_trap(); }

__attribute__((no_sanitize("address", "undefined"), noinline)) void ReadBeyondMappedFile() {
  // A shared mapping of an empty file: the first read of the page has no
  // file data behind it and raises SIGBUS.
  const int fd = ::memfd_create("fake_kordavin_bus", MFD_CLOEXEC);
  if (fd < 0) return;
  void* page = ::mmap(nullptr, 4096, PROT_READ, MAP_SHARED, fd, 0);
  ::close(fd);
  if (page == MAP_FAILED) return;
  volatile const char* byte = static_cast<const char*>(page);
  (void)*byte;
}

// Ends an entry as the environment variable `variable` says; `fixed` is the
// result without a behaviour.
const char* Behave(const char* variable, const char* fixed) {
  const std::string_view behaviour = Environment(variable);
  if (behaviour.empty()) return fixed;
  if (behaviour.substr(0, 7) == "return:") {
    // The result stays the library's; the sensor only copies it.
    static std::string result;
    result = std::string(behaviour.substr(7));
    return result.c_str();
  }
  if (behaviour == "null") return nullptr;
  if (behaviour == "throw") throw std::runtime_error(std::string(variable) + " asked to throw");
  if (behaviour == "segv") WriteThroughNull();
  if (behaviour == "fpe") DivideByZero();
  if (behaviour == "ill") UndefinedInstruction();
  if (behaviour == "bus") ReadBeyondMappedFile();
  return fixed;
}

[[maybe_unused]] void SleepAsAsked() {
  const std::string text(Environment("FAKE_KORDAVIN_SLEEP_MS"));
  if (text.empty()) return;
  std::this_thread::sleep_for(std::chrono::milliseconds(std::strtol(text.c_str(), nullptr, 10)));
}

// Copies the file that FAKE_KORDAVIN_EXCHANGE names to the exchange file
// name, a Windows-form name relative to the current directory.
[[maybe_unused]] void WriteExchangeFile(const char* exchange_file) {
  const std::string source(Environment("FAKE_KORDAVIN_EXCHANGE"));
  if (source.empty() || exchange_file == nullptr) return;
  std::string target(exchange_file);
  for (char& c : target) {
    if (c == '\\') c = '/';
  }
  std::ifstream in(source, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::ofstream out(target, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

#if FAKE_KORDAVIN_HAS_DOPEN
FAKE_KORDAVIN_EXPORT const char* Dopen(const char* action, const char* library_file) {
  Log("Dopen", {action, library_file});
  return Behave("FAKE_KORDAVIN_DOPEN", "Fake Kordavin 0.9");
}
#endif

#if FAKE_KORDAVIN_HAS_SNMP
FAKE_KORDAVIN_EXPORT const char* Snmp(const char* ip_address, const char* community,
                                      const char* request, const char* options,
                                      const char* exchange_file) {
  Log("Snmp", {ip_address, community, request, options, exchange_file});
  SleepAsAsked();
  WriteExchangeFile(exchange_file);
  return Behave("FAKE_KORDAVIN_SNMP", "Request done");
}
#endif

#if FAKE_KORDAVIN_HAS_DCLOS
FAKE_KORDAVIN_EXPORT const char* Dclos(const char* action, const char* library_file) {
  Log("Dclos", {action, library_file});
  return Behave("FAKE_KORDAVIN_DCLOS", "Unloaded");
}
#endif
