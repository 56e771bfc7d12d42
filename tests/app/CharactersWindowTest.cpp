// A file whose name has characters Shift_JIS lacks, in the window: it opens,
// enters the history, and the next run opens it again from rpv.ini.
#include <fstream>

#include "AppTestSupport.h"
#include "platform/IniFile.h"
#include "platform/UserChars.h"

namespace rpv::test {
namespace {

TEST(CharactersWindow, CafeOpensEntersTheHistoryAndReopensAfterARestart) {
  TTempHome home;
  home.Write("info.ini", PlainPageStyle());
  const auto native = home.Native() / "café.txt";
  std::ofstream(native, std::ios::binary) << "café au lait\r\n";
  const std::string path = FromNativePath(native);  // as the command line brings it
  const std::string title = native.string() + " - 【瑠頁～るぺい～】";
  auto log = std::make_shared<TScriptedDialogs::TLog>();
  {
    auto form = MakeWindow({path}, log);
    form->FormCreate();
    ASSERT_GE(form->TopLine, 0);
    EXPECT_EQ(form->History[0].FullPath, path);
    EXPECT_EQ(form->windowTitle().toStdString(), title);
  }
  EXPECT_EQ(TIniFile(home.Path("rpv.ini")).ReadString("FH0", "FullPath", ""), path);
  // The next run reads the table from its file: the code in rpv.ini is é.
  const size_t at = path.find('\xF0');
  ASSERT_NE(at, std::string::npos);
  TUserCharTable nextRun(home.Native() / kUserCharFileName);
  EXPECT_EQ(nextRun.CharOf(static_cast<uint16_t>(0xF000 | static_cast<unsigned char>(path[at + 1]))), U'é');
  auto form = MakeWindow({}, log);
  form->FormCreate();
  EXPECT_GE(form->TopLine, 0) << "the last document reopened";
  EXPECT_EQ(form->windowTitle().toStdString(), title);
}

}  // namespace
}  // namespace rpv::test
