// The rules that turn the command line into the run's parameter texts. Each
// is a pure function of texts; none fails.
#pragma once

#include <string>
#include <string_view>

#include "run/run_state.h"

namespace trelvane {

/// The exchange file name from argument 1: its stem without the last four
/// characters, ".X" and its last two characters; "Profiler.Xxx" whenever that
/// begins with "Profiler".
std::string DeriveExchangeFileName(std::string_view argument1);

/// Arguments 1 to 5 joined by single blanks, the line trimmed after each
/// non-empty argument.
std::string BuildParameterLine(const Arguments& arguments);

/// Whether the parameter line switches profiler mode on.
bool IsProfilerMode(std::string_view parameter_line);

/// Whether a failed request is reported in the fatal form.
bool HasCheckOption(std::string_view parameter_line);

/// The parameter line with its trailing remarks (" @", " #", " (") cut off,
/// emptied when it begins with "(Par", without a leading "Profiler.Prf".
std::string DeriveRequestParameters(std::string_view parameter_line);

/// The text behind "Slct=" up to the first comma (at most 99 characters);
/// empty for "All" and when there is no "Slct=".
std::string DeriveSelectFilter(std::string_view request_parameters);

/// The first word behind the first "=" of the parameter line, or its first
/// word when it holds no "=".
std::string DeriveSummarySubject(std::string_view parameter_line);

}  // namespace trelvane
