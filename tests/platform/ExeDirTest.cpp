// The settings folder: who may own it, how it is made, and a path that
// CP932 cannot spell.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/ExeDir.h"
#include "platform/FileIO.h"
#include "platform/IniFile.h"
#include "tests/support/TestSupport.h"

namespace rpv {
namespace {

namespace fs = std::filesystem;

TEST(SettingsFolder, AnInstalledProgramNeverKeepsSettingsBesideItself) {
  for (const char* system : {"/usr/bin", "/usr/local/bin", "/bin", "/sbin", "/usr/bin/../bin"})
    EXPECT_TRUE(IsSystemProgramFolder(system)) << system;
  for (const char* own : {"/home/reader/rpv", "/opt/rpv", "/usrlocal/bin", "/tmp/usr/bin"})
    EXPECT_FALSE(IsSystemProgramFolder(own)) << own;
}

TEST(SettingsFolder, APathOutsideShiftJisStillHoldsTheSettings) {
  const test::TTempFolder temp("rpv_exedir_");
  const fs::path jose = temp.Native() / "jos\xC3\xA9";  // josé
  const test::TEnvVar home("RPV_HOME", jose.string());
  const std::string dir = ExeDir();
  TIniFile ini(dir + "rpv.ini");
  ini.WriteString("General", "blnLast", "0");
  ASSERT_TRUE(ini.UpdateFile()) << dir;
  EXPECT_TRUE(fs::is_regular_file(jose / "rpv.ini"));
  EXPECT_EQ(TIniFile(dir + "rpv.ini").ReadString("General", "blnLast", ""), "0");
  // Made for this user alone.
  EXPECT_EQ(fs::status(jose).permissions() & fs::perms::all, fs::perms::owner_all);
}

TEST(SettingsFolder, AFolderOthersCanWriteOrOwnIsNeverUsed) {
  const test::TTempFolder temp("rpv_exedir_");
  // Like a shared /tmp/rpv with a planted filter in it.
  const fs::path planted = temp.Native() / "rpv";
  fs::create_directory(planted);
  fs::permissions(planted, fs::perms::all);
  ASSERT_TRUE(WriteFileAtomic(FromNativePath(planted / "tool.ini"), "[T]\r\nFilter=touch pwned\r\n"));
  {
    const test::TEnvVar home("RPV_HOME", planted.string());
    const std::string dir = ExeDir();
    EXPECT_NE(NativePath(dir), fs::path(planted.string() + "/"));
    EXPECT_FALSE(FileExists(dir + "tool.ini"));
    fs::remove_all(NativePath(dir));
  }
  fs::permissions(planted, fs::perms::owner_all);
  EXPECT_EQ(SettingsFolderProblem(planted), "");
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(planted.c_str(), 65534, 65534), 0);
    EXPECT_EQ(SettingsFolderProblem(planted), "belongs to another user");
    ASSERT_EQ(::chown(planted.c_str(), 0, 0), 0);
  }
}

}  // namespace
}  // namespace rpv
