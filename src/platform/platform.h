// What the run needs from the operating system, in one neutral header.
//
// Everything above this layer handles paths as Windows path texts and never
// calls the operating system itself. One backend per system implements these
// interfaces (posix.cpp here); tests hand the run fakes of them instead.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "text/line_reader.h"

namespace trelvane {

/// A failure that no step of the run handles, such as a failed write to
/// standard output or a failed read of a file that was opened. It travels to
/// the top of the run, which reports it and ends the process with status 1.
class UnhandledFailure : public std::runtime_error {
 public:
  /// `kind` names the kind of failure ("I/O failure"), `where` the place it
  /// arose ("standard output"); `message` says what went wrong.
  UnhandledFailure(std::string kind, std::string where, const std::string& message)
      : std::runtime_error(message), kind_(std::move(kind)), where_(std::move(where)) {}
  const std::string& kind() const { return kind_; }
  const std::string& where() const { return where_; }

 private:
  std::string kind_;
  std::string where_;
};

/// A text file open for writing whole lines.
class LineSink {
 public:
  virtual ~LineSink() = default;
  /// Writes the pieces, joined, and CR LF as one line. Lines may wait in a
  /// buffer; a write that fails throws UnhandledFailure.
  virtual void WriteLine(std::initializer_list<std::string_view> pieces) = 0;
  void WriteLine(std::string_view text) { WriteLine({text}); }
  /// Hands on every waiting line and closes the file; throws on failure.
  virtual void Close() = 0;
};

/// Standard output, to which the host report goes.
class StandardOutput {
 public:
  virtual ~StandardOutput() = default;
  /// Writes the pieces, joined, and CR LF as one line. Buffered when standard
  /// output is not a terminal; a write that fails throws UnhandledFailure.
  virtual void WriteLine(std::initializer_list<std::string_view> pieces) = 0;
  void WriteLine(std::string_view text) { WriteLine({text}); }
  /// Hands on every waiting line; throws UnhandledFailure when that fails.
  virtual void Flush() = 0;
};

/// File services. Every path is a Windows path text.
class FileSystem {
 public:
  virtual ~FileSystem() = default;
  /// The process's current directory in Windows form: a full path that ends
  /// in "\" only at the root of a drive.
  virtual std::string CurrentDirectory() = 0;
  /// Whether a file (not a directory) of that name exists.
  virtual bool Exists(std::string_view path) = 0;
  /// Opens a file for reading; null when it cannot be opened.
  virtual std::unique_ptr<ByteSource> OpenForReading(std::string_view path) = 0;
  /// Creates a file for writing, replacing any file of that name, that other
  /// processes may read but not write while it is open; null when it cannot
  /// be created (or another process holds it).
  virtual std::unique_ptr<LineSink> CreateUnshared(std::string_view path) = 0;
  /// Opens an existing file for writing so that it is emptied, and closes it.
  /// False when that fails.
  virtual bool Empty(std::string_view path) = 0;
  /// Deletes a file. False when that fails.
  virtual bool Delete(std::string_view path) = 0;
};

/// A loaded library, and an entry found in it.
using LibraryHandle = void*;
using LibraryEntry = void*;

/// Dynamic library services and guarded calls of the query library's entries.
class Libraries {
 public:
  virtual ~Libraries() = default;
  /// Loads a library by its bare file name: first from the directory of the
  /// running executable, then from the current directory, then through the
  /// system's search. Null when it cannot be loaded, also when loading it
  /// raises a failure.
  virtual LibraryHandle Load(std::string_view file_name) = 0;
  /// The entry of that exact name, or null when the library has none.
  virtual LibraryEntry Lookup(LibraryHandle library, const char* entry_name) = 0;
  virtual void Unload(LibraryHandle library) = 0;
  /// Calls an entry that takes two texts and returns one. Returns false when
  /// the call failed (a C++ exception escaped it or a processor fault arose in
  /// it); otherwise `*result` holds a copy of the returned text, empty for a
  /// null result.
  virtual bool Call(LibraryEntry entry, const char* first, const char* second,
                    std::string* result) = 0;
  /// The same for an entry that takes five texts.
  virtual bool Call(LibraryEntry entry, const char* first, const char* second, const char* third,
                    const char* fourth, const char* fifth, std::string* result) = 0;
};

/// Time services.
class Clock {
 public:
  virtual ~Clock() = default;
  /// The millisecond tick counter: monotonic, 32 bits, wrapping.
  virtual std::uint32_t Ticks() = 0;
  virtual void Sleep(std::uint32_t milliseconds) = 0;
  /// The local time of day as "hh:mm:ss" on a 24-hour clock.
  virtual std::string TimeOfDay() = 0;
};

/// Everything the run uses of the system.
struct System {
  FileSystem& files;
  Libraries& libraries;
  Clock& clock;
  StandardOutput& out;
};

/// The backend of this build. Prepares the process (standard output, signal
/// dispositions) on its first use.
System& HostSystem();

}  // namespace trelvane
