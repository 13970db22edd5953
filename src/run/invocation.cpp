#include "run/invocation.h"

#include "text/text.h"

namespace trelvane {

std::string DeriveExchangeFileName(std::string_view argument1) {
  const auto n = static_cast<std::ptrdiff_t>(argument1.size());
  std::string name(Take(argument1, 1, n - 4));
  name += ".X";
  name += Take(argument1, n - 1, 2);
  if (Take(name, 1, 8) == "Profiler") name = "Profiler.Xxx";
  return name;
}

std::string BuildParameterLine(const Arguments& arguments) {
  std::string line;
  for (int i = 1; i <= 5; ++i) {
    if (arguments[i].empty()) continue;
    line += ' ';
    line += arguments[i];
    line = std::string(Trim(line));
  }
  return line;
}

bool IsProfilerMode(std::string_view parameter_line) {
  return Find("Profiler.Prf", parameter_line) > 0;
}

bool HasCheckOption(std::string_view parameter_line) { return Find("/Check", parameter_line) > 0; }

std::string DeriveRequestParameters(std::string_view parameter_line) {
  std::string_view text = parameter_line;
  for (std::string_view marker : {" @", " #", " ("}) {
    if (const auto at = Find(marker, text); at > 0) text = Take(text, 1, at - 1);
  }
  if (Take(text, 1, 4) == "(Par") text = {};
  if (Take(text, 1, 12) == "Profiler.Prf") text = Trim(Rest(text, 13));
  return std::string(text);
}

std::string DeriveSelectFilter(std::string_view request_parameters) {
  std::string_view filter;
  if (const auto at = Find("Slct=", request_parameters); at > 0) {
    if (Take(request_parameters, at + 5, 3) != "All") filter = Rest(request_parameters, at + 5);
  }
  if (const auto comma = Find(",", filter); comma > 0) filter = Take(filter, 1, comma - 1);
  return std::string(filter);
}

std::string DeriveSummarySubject(std::string_view parameter_line) {
  std::string subject(Rest(parameter_line, Find("=", parameter_line) + 1));
  subject += ' ';
  subject.resize(subject.find(' '));
  return subject;
}

}  // namespace trelvane
