#include "platform/drive_paths.h"

#include <cctype>
#include <cstdlib>

namespace trelvane::platform {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Appends `rest` to `out`, turning every run of separators into one "/".
void AppendNormalised(std::string_view rest, std::string* out) {
  for (char c : rest) {
    if (IsSeparator(c)) {
      if (out->empty() || out->back() != '/') out->push_back('/');
    } else {
      out->push_back(c);
    }
  }
}

}  // namespace

bool MapToHostPath(std::string_view windows_path, std::string* host_path) {
  host_path->clear();
  if (windows_path.size() >= 2 && std::isalpha(static_cast<unsigned char>(windows_path[0])) &&
      windows_path[1] == ':') {
    const char drive = static_cast<char>(std::toupper(static_cast<unsigned char>(windows_path[0])));
    if (drive == 'Z') {
      host_path->push_back('/');
    } else {
      const std::string variable = std::string("TRELVANE_DRIVE_") + drive;
      const char* root = std::getenv(variable.c_str());
      if (root == nullptr || *root == '\0') return false;
      host_path->assign(root);
      host_path->push_back('/');
    }
    AppendNormalised(windows_path.substr(2), host_path);
    return true;
  }
  if (!windows_path.empty() && IsSeparator(windows_path[0])) host_path->push_back('/');
  AppendNormalised(windows_path, host_path);
  return true;
}

std::string PresentAsWindowsPath(std::string_view host_path) {
  std::string presented = "Z:";
  for (char c : host_path) {
    const char mapped = c == '/' ? '\\' : c;
    if (mapped == '\\' && !presented.empty() && presented.back() == '\\') continue;
    presented.push_back(mapped);
  }
  if (presented.size() == 2) presented.push_back('\\');
  if (presented.size() > 3 && presented.back() == '\\') presented.pop_back();
  return presented;
}

}  // namespace trelvane::platform
