#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "import/Tools.h"
#include "platform/Codepage.h"
#include "platform/FileIO.h"

using namespace rpv;
namespace fs = std::filesystem;

namespace {

std::string Sj(std::string_view utf8) { return Utf8ToCp932(utf8); }

// Sets an environment variable for the life of the object.
class EnvVar {
 public:
  EnvVar(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value)
      ::setenv(name, value->c_str(), 1);
    else
      ::unsetenv(name);
  }
  ~EnvVar() {
    if (old_)
      ::setenv(name_, old_->c_str(), 1);
    else
      ::unsetenv(name_);
  }
  EnvVar(const EnvVar&) = delete;
  EnvVar& operator=(const EnvVar&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

class ShellTools : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("rpv_shell_" + std::to_string(::getpid()));
    fs::create_directories(root_ / "home");
  }
  void TearDown() override { fs::remove_all(root_); }
  std::string Home() const { return (root_ / "home").string(); }
  fs::path root_;
};

}  // namespace

TEST_F(ShellTools, SpecialFoldersFollowXdg) {
  EnvVar home("HOME", Home());
  EnvVar config("XDG_CONFIG_HOME", std::nullopt);
  EnvVar data("XDG_DATA_HOME", std::nullopt);
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
  const fs::path cfg = root_ / "cfg";
  fs::create_directories(cfg);
  std::ofstream(cfg / "user-dirs.dirs") << "# comment\n"
                                        << "XDG_DESKTOP_DIR=\"$HOME/デスクトップ\"\n"
                                        << "XDG_DOCUMENTS_DIR=\"/srv/docs\"\n";
  EnvVar config2("XDG_CONFIG_HOME", cfg.string());
  EnvVar data2("XDG_DATA_HOME", (root_ / "data").string());
  EXPECT_EQ(SpecialFolderPath(0), Sj(h + "/デスクトップ/"));
  EXPECT_EQ(SpecialFolderPath(2), "/srv/docs/");
  EXPECT_EQ(SpecialFolderPath(8), cfg.string() + "/");
  EXPECT_EQ(SpecialFolderPath(4), (root_ / "data").string() + "/applications/");
  // A relative XDG value is ignored.
  EnvVar data3("XDG_DATA_HOME", "relative/data");
  EXPECT_EQ(SpecialFolderPath(7), h + "/.local/share/fonts/");
}

TEST_F(ShellTools, ShortcutIsADesktopEntry) {
  EnvVar home("HOME", Home());
  EnvVar data("XDG_DATA_HOME", (root_ / "data").string());
  const std::string name = Sj("【瑠頁～るぺい～】");
  const std::string link = SpecialFolderPath(4) + name + std::string(kShortcutExtension);
  const std::string target = Sj("/opt/my $apps/100% \"rpv\"\\表/rpv");
  const std::string description = Sj("【瑠頁～るぺい～】へのショートカット");

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
  ASSERT_TRUE(CreateShortcut(Sj("/usr/bin/rpv"), description, link));
  EXPECT_NE(ReadWholeFile(link).value().find("Exec=\"/usr/bin/rpv\" %f\n"), std::string::npos);
  int files = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(root_ / "data" / "applications"))
    ++files;
  EXPECT_EQ(files, 1);

  // A folder that cannot be created means no shortcut, not a crash.
  EXPECT_FALSE(CreateShortcut(target, description, Sj("/proc/no/such/x.desktop")));
}

TEST(RunFilter, PassesCp932TextThroughAProgram) {
  // Text whose trail bytes include 0x5C and 0x7C passes unchanged.
  const std::string text = Sj("表示ソ｜能力《のうりょく》\r\n") + std::string(100000, 'a');
  EXPECT_EQ(RunFilter("cat", text).value(), text);
  EXPECT_EQ(RunFilter("tr a b", "aaa").value(), "bbb");
  EXPECT_EQ(RunFilter("sh -c 'cat; printf \"[%s]\" \"$0\"' 'x y'", "in").value(), "in[x y]");
  // A filter that fails still gives its (empty) output: only a program that
  // cannot be started gives nothing.
  EXPECT_EQ(RunFilter("false", "x").value(), "");
  EXPECT_FALSE(RunFilter("rpv-no-such-filter --opt", "x").has_value());
  EXPECT_FALSE(RunFilter("", "x").has_value());
  EXPECT_FALSE(RunFilter("   ", "x").has_value());

  int ticks = 0;
  ASSERT_TRUE(RunFilter("sleep 0.3", "", [&] { ++ticks; }).has_value());
  EXPECT_GE(ticks, 2);
}
