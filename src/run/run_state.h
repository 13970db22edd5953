// The one record of a run: everything the run knows, from its first step to
// the end of the process.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/platform.h"

namespace trelvane {

/// The host report format of the run.
enum class OutputFlavour { Xml, StatisticLines, ContextLines };

/// The five texts of a device profile.
struct DeviceProfile {
  std::string IpAddress;
  std::string Alias;
  std::string Description;
  std::string Community;
  std::string SystemNumber;
};

/// Command-line arguments 1 to 5; an argument not given is empty.
struct Arguments {
  std::string Items[5];
  const std::string& operator[](int number) const { return Items[number - 1]; }
};

/// Field names follow the system's names; each is set by one step of the run.
struct RunState {
  std::string StartingDirectory;
  std::string ProgramName;
  std::string ProgramVersion;
  std::string ProgramDate;
  std::string LibraryBaseName;
  std::string ExchangeFileName;
  std::string ParameterLine;
  bool ProfilerMode = false;
  trelvane::OutputFlavour OutputFlavour = trelvane::OutputFlavour::Xml;
  std::string SensorDirectory;
  std::string ProfilePath;
  trelvane::DeviceProfile DeviceProfile;
  bool TraceEnabled = false;
  std::unique_ptr<LineSink> TraceFile;
  std::string RequestParameters;
  std::string SelectFilter;
  trelvane::LibraryHandle LibraryHandle = nullptr;
  LibraryEntry SnmpEntry = nullptr;
  std::string LibraryVersion;
  std::int32_t EntryCount = 0;
  std::string SummarySubject;
};

}  // namespace trelvane
