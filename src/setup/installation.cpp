#include "setup/installation.h"

#include <string>

#include "report/report_document.h"
#include "text/line_reader.h"
#include "text/text.h"

namespace trelvane {
namespace {

// Where an installation may lie under the base path, in the order tried.
constexpr std::string_view kCandidates[] = {
    "PRTG Network Monitor\\Custom Sensors\\ExeXml",
    "Custom Sensors\\ExeXml",
    "Programme\\PRTG Network Monitor\\Custom Sensors\\ExeXml",
    "Program Files\\PRTG Network Monitor\\Custom Sensors\\ExeXml",
    "Program Files (x86)\\PRTG Network Monitor\\Custom Sensors\\ExeXml",
    "Programme (x86)\\PRTG Network Monitor\\Custom Sensors\\ExeXml",
};

std::string InDirectory(std::string_view directory, std::string_view name) {
  std::string path(directory);
  path += '\\';
  path += name;
  return path;
}

}  // namespace

std::optional<OutputFlavour> RecogniseInstallation(FileSystem& files, std::string_view directory) {
  if (!files.Exists(InDirectory(directory, "Kordavin.Dll"))) return std::nullopt;
  if (files.Exists(InDirectory(directory, "StatisticLines.Flavour"))) {
    return OutputFlavour::StatisticLines;
  }
  if (files.Exists(InDirectory(directory, "ContextLines.Flavour"))) {
    return OutputFlavour::ContextLines;
  }
  return OutputFlavour::Xml;
}

bool ResolveSensorDirectory(RunState& state, FileSystem& files, StandardOutput& out,
                            std::string_view argument1) {
  state.SensorDirectory = state.StartingDirectory;
  if (const auto flavour = RecogniseInstallation(files, state.StartingDirectory)) {
    state.OutputFlavour = *flavour;
  } else {
    state.SensorDirectory.clear();
    state.OutputFlavour = OutputFlavour::Xml;
    if (!files.Exists(kPrtgPathFile)) {
      WriteFatalError(state, out, "Error 1002: File \"C:\\Prtg_Path.Txt\" not found");
      return false;
    }
    std::string base_path = state.StartingDirectory;
    if (auto source = files.OpenForReading(kPrtgPathFile)) {
      LineReader lines(*source);
      std::string line;
      while (lines.Next(&line)) base_path.swap(line);
    }
    if (Find(":", base_path) == 0) {
      WriteFatalError(state, out, "Error 1003: Invalid Path within Prtg_Path.Txt found");
      return false;
    }
    if (base_path.back() != '\\') base_path += '\\';
    for (std::string_view candidate : kCandidates) {
      std::string directory = base_path + std::string(candidate);
      if (RecogniseInstallation(files, directory)) {
        state.SensorDirectory = std::move(directory);
        break;
      }
    }
    if (state.SensorDirectory.empty()) {
      WriteFatalError(state, out, "Error 1004: Invalid Starting-Path - ");
      return false;
    }
  }
  state.ProfilePath = InDirectory(state.SensorDirectory, argument1);
  return true;
}

}  // namespace trelvane
