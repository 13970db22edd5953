#include "setup/device_profile.h"

#include <string>

#include "report/report_document.h"
#include "text/line_reader.h"
#include "text/text.h"

namespace trelvane {

bool ReadDeviceProfile(RunState& state, FileSystem& files, StandardOutput& out) {
  DeviceProfile& profile = state.DeviceProfile;
  profile = {};
  if (!files.Exists(state.ProfilePath)) {
    WriteFatalError(state, out, "Error 1006: Profile " + state.ProfilePath + " missing...");
    return false;
  }
  auto source = files.OpenForReading(state.ProfilePath);
  if (source == nullptr) return true;

  // Each key is 13 characters; the value is the rest of the line behind it.
  const std::pair<std::string_view, std::string*> fields[] = {
      {"IP-Addr....: ", &profile.IpAddress},    {"Alias......: ", &profile.Alias},
      {"Description: ", &profile.Description},  {"Community..: ", &profile.Community},
      {"Sysnr......: ", &profile.SystemNumber},
  };
  LineReader lines(*source);
  std::string line;
  while (lines.Next(&line)) {
    const std::string_view key = Take(line, 1, 13);
    for (const auto& [field_key, field] : fields) {
      if (key == field_key) {
        field->assign(Rest(line, 14));
        break;
      }
    }
  }
  return true;
}

}  // namespace trelvane
