// The frame of the host report in the run's output flavour: the document,
// the summary and the two error forms. Texts are written raw, unescaped.
#pragma once

#include <string_view>

#include "platform/platform.h"
#include "run/run_state.h"

namespace trelvane {

/// Opens the host document (Xml only: an empty line and "<Prtg>").
void OpenReport(const RunState& state, StandardOutput& out);

/// Writes an error inside the open document; the run goes on.
void WriteRunError(const RunState& state, StandardOutput& out, std::string_view message);

/// Writes an error as a complete report of its own: six lines in Xml, the
/// message alone and untrimmed in the line flavours.
void WriteFatalError(const RunState& state, StandardOutput& out, std::string_view message);

/// Writes the summary text.
void WriteSummary(const RunState& state, StandardOutput& out, std::string_view summary);

/// Closes the host document.
void CloseReport(const RunState& state, StandardOutput& out);

}  // namespace trelvane
