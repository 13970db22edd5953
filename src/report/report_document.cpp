#include "report/report_document.h"

#include "text/text.h"

namespace trelvane {

void OpenReport(const RunState& state, StandardOutput& out) {
  if (state.OutputFlavour != OutputFlavour::Xml) return;
  out.WriteLine("");
  out.WriteLine("<Prtg>");
}

void WriteRunError(const RunState& state, StandardOutput& out, std::string_view message) {
  if (state.OutputFlavour != OutputFlavour::Xml) {
    out.WriteLine({"# Error: ", Trim(message)});
    return;
  }
  out.WriteLine("<Error>1</Error>");
  out.WriteLine({"<Text>", Trim(message), "</Text>"});
  out.WriteLine("");
}

void WriteFatalError(const RunState& state, StandardOutput& out, std::string_view message) {
  if (state.OutputFlavour != OutputFlavour::Xml) {
    out.WriteLine(message);
    return;
  }
  out.WriteLine("<Prtg>");
  out.WriteLine("");
  out.WriteLine("<Error>1</Error>");
  out.WriteLine({"<Text>", Trim(message), "</Text>"});
  out.WriteLine("");
  out.WriteLine("</Prtg>");
}

void WriteSummary(const RunState& state, StandardOutput& out, std::string_view summary) {
  if (state.OutputFlavour != OutputFlavour::Xml) {
    out.WriteLine({"# ", Trim(summary)});
    return;
  }
  out.WriteLine("");
  out.WriteLine({"<Text>", Trim(summary), "</Text>"});
}

void CloseReport(const RunState& state, StandardOutput& out) {
  if (state.OutputFlavour == OutputFlavour::Xml) {
    out.WriteLine("");
    out.WriteLine("</Prtg>");
  }
  out.WriteLine("");
}

}  // namespace trelvane
