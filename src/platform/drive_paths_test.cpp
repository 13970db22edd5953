#include "platform/drive_paths.h"

#include <gtest/gtest.h>
#include <stdlib.h>

namespace trelvane::platform {
namespace {

TEST(DrivePathsTest, MapsWindowsPathsToHostPaths) {
  ::setenv("TRELVANE_DRIVE_C", "/srv/drive-c", 1);
  ::setenv("TRELVANE_DRIVE_D", "", 1);
  ::unsetenv("TRELVANE_DRIVE_E");
  struct Case {
    const char* windows;
    bool exists;
    const char* host;
  } cases[] = {
      {"Z:\\srv\\sensor\\Router1.Prf", true, "/srv/sensor/Router1.Prf"},
      {"z:\\", true, "/"},
      {"Z:", true, "/"},
      {"C:\\Prtg_Path.Txt", true, "/srv/drive-c/Prtg_Path.Txt"},
      {"c:/a//b\\\\c", true, "/srv/drive-c/a/b/c"},
      {"D:\\x", false, ""},
      {"E:\\x", false, ""},
      {"\\etc\\x", true, "/etc/x"},
      {"Router1.Xrf", true, "Router1.Xrf"},
      {"sub\\Router1.Xrf", true, "sub/Router1.Xrf"},
      {"Z:\\sensor\\\\Profiler.Trc", true, "/sensor/Profiler.Trc"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.windows);
    std::string host;
    EXPECT_EQ(MapToHostPath(c.windows, &host), c.exists);
    if (c.exists) {
      EXPECT_EQ(host, c.host);
    }
  }
  ::unsetenv("TRELVANE_DRIVE_C");
  ::unsetenv("TRELVANE_DRIVE_D");
}

TEST(DrivePathsTest, PresentsHostDirectoriesOnDriveZ) {
  EXPECT_EQ(PresentAsWindowsPath("/"), "Z:\\");
  EXPECT_EQ(PresentAsWindowsPath("/srv/sensor"), "Z:\\srv\\sensor");
  EXPECT_EQ(PresentAsWindowsPath("/srv/sensor/"), "Z:\\srv\\sensor");
}

}  // namespace
}  // namespace trelvane::platform
