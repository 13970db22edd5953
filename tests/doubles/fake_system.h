// Doubles of the platform layer that keep everything in memory and record
// what the run did with it: files read, created, emptied and deleted, calls
// of the query library's entries, pauses and lines written.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace trelvane::testing {

class StringSource final : public ByteSource {
 public:
  /// Hands out at most `chunk` bytes per read, to exercise reads that split lines.
  explicit StringSource(std::string bytes, std::size_t chunk = 1 << 20)
      : bytes_(std::move(bytes)), chunk_(chunk) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    const std::size_t n = std::min({size, chunk_, bytes_.size() - at_});
    bytes_.copy(buffer, n, at_);
    at_ += n;
    return n;
  }

 private:
  std::string bytes_;
  std::size_t chunk_;
  std::size_t at_ = 0;
};

/// Joins lines written through the LineSink and StandardOutput interfaces.
inline void AppendJoined(std::string* to, std::initializer_list<std::string_view> pieces) {
  for (std::string_view piece : pieces) to->append(piece);
  to->append("\r\n");
}

class FakeOutput final : public StandardOutput {
 public:
  void WriteLine(std::initializer_list<std::string_view> pieces) override {
    if (fail_writes) throw UnhandledFailure("I/O failure", "standard output", "disk full");
    AppendJoined(&text, pieces);
  }
  void Flush() override {
    if (fail_writes) throw UnhandledFailure("I/O failure", "standard output", "disk full");
  }
  std::string text;
  bool fail_writes = false;
};

class FakeFiles final : public FileSystem {
 public:
  std::string CurrentDirectory() override { return current_directory; }
  bool Exists(std::string_view path) override { return files.count(std::string(path)) > 0; }
  std::unique_ptr<ByteSource> OpenForReading(std::string_view path) override {
    const std::string key(path);
    read.push_back(key);
    if (!files.count(key) || unreadable.count(key)) return nullptr;
    return std::make_unique<StringSource>(files[key]);
  }
  std::unique_ptr<LineSink> CreateUnshared(std::string_view path) override {
    const std::string key(path);
    if (uncreatable.count(key)) return nullptr;
    created.push_back(key);
    files[key].clear();
    return std::make_unique<Sink>(&files[key]);
  }
  bool Empty(std::string_view path) override {
    const std::string key(path);
    if (!files.count(key) || unwritable.count(key)) return false;
    emptied.push_back(key);
    files[key].clear();
    return true;
  }
  bool Delete(std::string_view path) override {
    const std::string key(path);
    if (!files.count(key) || undeletable.count(key)) return false;
    deleted.push_back(key);
    files.erase(key);
    return true;
  }

  std::string current_directory = "Z:\\sensor";
  std::map<std::string, std::string> files;
  std::set<std::string> unreadable, uncreatable, unwritable, undeletable;
  std::vector<std::string> read, created, emptied, deleted;

 private:
  class Sink final : public LineSink {
   public:
    explicit Sink(std::string* file) : file_(file) {}
    void WriteLine(std::initializer_list<std::string_view> pieces) override {
      AppendJoined(file_, pieces);
    }
    void Close() override {}

   private:
    std::string* file_;
  };
};

/// A query library made of behaviours: each entry returns a text, returns
/// null, or fails; the Snmp entry may write an exchange file first.
class FakeLibraries final : public Libraries {
 public:
  struct Behaviour {
    enum { kReturns, kReturnsNull, kFails } outcome = kReturns;
    std::string text;
    /// Runs before the entry returns or fails (the Snmp entry writes here).
    std::function<void(const std::vector<std::string>&)> effect;
  };

  LibraryHandle Load(std::string_view file_name) override {
    calls.push_back("Load " + std::string(file_name));
    return loadable ? this : nullptr;
  }
  LibraryEntry Lookup(LibraryHandle, const char* entry_name) override {
    auto found = entries.find(entry_name);
    return found == entries.end() ? nullptr : &found->second;
  }
  void Unload(LibraryHandle) override { calls.push_back("Unload"); }
  bool Call(LibraryEntry entry, const char* first, const char* second,
            std::string* result) override {
    return Invoke(entry, {first, second}, result);
  }
  bool Call(LibraryEntry entry, const char* first, const char* second, const char* third,
            const char* fourth, const char* fifth, std::string* result) override {
    return Invoke(entry, {first, second, third, fourth, fifth}, result);
  }

  bool loadable = true;
  std::map<std::string, Behaviour> entries;
  std::vector<std::string> calls;

 private:
  bool Invoke(LibraryEntry entry, std::vector<std::string> arguments, std::string* result) {
    auto* behaviour = static_cast<Behaviour*>(entry);
    std::string name;
    for (const auto& [entry_name, candidate] : entries) {
      if (&candidate == behaviour) name = entry_name;
    }
    std::string call = name;
    for (const auto& argument : arguments) call += "|" + argument;
    calls.push_back(call);
    if (behaviour->effect) behaviour->effect(arguments);
    switch (behaviour->outcome) {
      case Behaviour::kFails:
        return false;
      case Behaviour::kReturnsNull:
        result->clear();
        return true;
      case Behaviour::kReturns:
        *result = behaviour->text;
        return true;
    }
    return false;
  }
};

class FakeClock final : public Clock {
 public:
  std::uint32_t Ticks() override {
    const std::uint32_t now = ticks;
    ticks += tick_step;
    return now;
  }
  void Sleep(std::uint32_t milliseconds) override { sleeps.push_back(milliseconds); }
  std::string TimeOfDay() override { return "13:04:05"; }

  std::uint32_t ticks = 0;
  std::uint32_t tick_step = 0;
  std::vector<std::uint32_t> sleeps;
};

struct FakeSystem {
  FakeFiles files;
  FakeLibraries libraries;
  FakeClock clock;
  FakeOutput out;
  System system{files, libraries, clock, out};
};

}  // namespace trelvane::testing
