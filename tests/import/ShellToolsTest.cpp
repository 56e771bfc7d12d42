#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "import/Tools.h"
#include "platform/Codepage.h"
#include "platform/FileIO.h"
#include "tests/support/TestSupport.h"

using namespace rpv;
namespace fs = std::filesystem;

namespace {

using test::S;
using test::TEnvVar;

class ShellTools : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(temp_.Native() / "home"); }
  std::string Home() const { return (temp_.Native() / "home").string(); }
  const test::TTempFolder temp_{"rpv_shell_"};
};

}  // namespace

TEST_F(ShellTools, SpecialFoldersFollowXdg) {
  TEnvVar home("HOME", Home());
  TEnvVar config("XDG_CONFIG_HOME", std::nullopt);
  TEnvVar data("XDG_DATA_HOME", std::nullopt);
  const std::string h = Home();
  EXPECT_EQ(SpecialFolderPath(0), h + "/Desktop/");
  EXPECT_EQ(SpecialFolderPath(1), h + "/.local/share/applications/");
  EXPECT_EQ(SpecialFolderPath(2), h + "/Documents/");
  EXPECT_EQ(SpecialFolderPath(3), h + "/.config/autostart/");
  EXPECT_EQ(SpecialFolderPath(4), h + "/.local/share/applications/");
  EXPECT_EQ(SpecialFolderPath(5), h + "/.local/share/Trash/");
  EXPECT_EQ(SpecialFolderPath(6), h + "/.local/share/applications/");
  EXPECT_EQ(SpecialFolderPath(7), h + "/.local/share/fonts/");
  EXPECT_EQ(SpecialFolderPath(8), h + "/.config/");
  EXPECT_EQ(SpecialFolderPath(9), "");
  EXPECT_EQ(SpecialFolderPath(10), "");
  EXPECT_EQ(SpecialFolderPath(128 + 4), SpecialFolderPath(4));

  // The user's own folder names, from user-dirs.dirs in the config folder.
  const fs::path cfg = temp_.Native() / "cfg";
  fs::create_directories(cfg);
  std::ofstream(cfg / "user-dirs.dirs") << "# comment\n"
                                        << "XDG_DESKTOP_DIR=\"$HOME/デスクトップ\"\n"
                                        << "XDG_DOCUMENTS_DIR=\"/srv/docs\"\n";
  TEnvVar config2("XDG_CONFIG_HOME", cfg.string());
  TEnvVar data2("XDG_DATA_HOME", (temp_.Native() / "data").string());
  EXPECT_EQ(SpecialFolderPath(0), S(h + "/デスクトップ/"));
  EXPECT_EQ(SpecialFolderPath(2), "/srv/docs/");
  EXPECT_EQ(SpecialFolderPath(8), cfg.string() + "/");
  EXPECT_EQ(SpecialFolderPath(4), (temp_.Native() / "data").string() + "/applications/");
  // A relative XDG value is ignored.
  TEnvVar data3("XDG_DATA_HOME", "relative/data");
  EXPECT_EQ(SpecialFolderPath(7), h + "/.local/share/fonts/");
}

TEST_F(ShellTools, ShortcutIsADesktopEntry) {
  TEnvVar home("HOME", Home());
  TEnvVar data("XDG_DATA_HOME", (temp_.Native() / "data").string());
  const std::string name = S("【瑠頁～るぺい～】");
  const std::string link = SpecialFolderPath(4) + name + std::string(kShortcutExtension);
  const std::string target = S("/opt/my $apps/100% \"rpv\"\\表/rpv");
  const std::string description = S("【瑠頁～るぺい～】へのショートカット");

  // The folder does not exist yet; it is created.
  ASSERT_TRUE(CreateShortcut(target, description, link));
  ASSERT_TRUE(FileExists(link));
  const std::string text = ReadWholeFile(link).value();
  EXPECT_NE(text.find("[Desktop Entry]\n"), std::string::npos);
  EXPECT_NE(text.find("Type=Application\n"), std::string::npos);
  EXPECT_NE(text.find("Name=【瑠頁～るぺい～】\n"), std::string::npos);
  EXPECT_NE(text.find("Comment=【瑠頁～るぺい～】へのショートカット\n"), std::string::npos);
  // Inside the quotes $ " and \ are escaped, % doubled, then every
  // backslash doubled by the file's own string escaping.
  EXPECT_NE(text.find("Exec=\"/opt/my \\\\$apps/100%% \\\\\"rpv\\\\\"\\\\\\\\表/rpv\" %f\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("Path=/opt/my $apps/100% \"rpv\"\\\\表\n"), std::string::npos) << text;
  EXPECT_NE(text.find("MimeType=text/plain;text/html;"), std::string::npos);

  // Writing again replaces the file and leaves no temporary file behind.
  ASSERT_TRUE(CreateShortcut(S("/usr/bin/rpv"), description, link));
  EXPECT_NE(ReadWholeFile(link).value().find("Exec=\"/usr/bin/rpv\" %f\n"), std::string::npos);
  int files = 0;
  for ([[maybe_unused]] const auto& e :
       fs::directory_iterator(temp_.Native() / "data" / "applications"))
    ++files;
  EXPECT_EQ(files, 1);

  // A folder that cannot be created means no shortcut, not a crash.
  EXPECT_FALSE(CreateShortcut(target, description, S("/proc/no/such/x.desktop")));
}

TEST(RunFilter, PassesCp932TextThroughAProgram) {
  // Text whose trail bytes include 0x5C and 0x7C passes unchanged.
  const std::string text = S("表示ソ｜能力《のうりょく》\r\n") + std::string(100000, 'a');
  EXPECT_EQ(RunFilter("cat", text).value(), text);
  EXPECT_EQ(RunFilter("tr a b", "aaa").value(), "bbb");
  EXPECT_EQ(RunFilter("sh -c 'cat; printf \"[%s]\" \"$0\"' 'x y'", "in").value(), "in[x y]");
  // A filter that fails gives nothing, like one that cannot be started, so
  // its (empty or partial) output never replaces the book.
  EXPECT_FALSE(RunFilter("false", "x").has_value());
  EXPECT_FALSE(RunFilter("sh -c 'echo partial; exit 3'", "x").has_value());
  EXPECT_FALSE(RunFilter("rpv-no-such-filter --opt", "x").has_value());
  EXPECT_FALSE(RunFilter("", "x").has_value());
  EXPECT_FALSE(RunFilter("   ", "x").has_value());

  int ticks = 0;
  ASSERT_TRUE(RunFilter("sleep 0.3", "", [&] { ++ticks; }).has_value());
  EXPECT_GE(ticks, 2);
}
