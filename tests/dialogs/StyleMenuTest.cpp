// The style menu of the window: adding, the list, the editor's tab and
// switching styles, with the dialogs answered by a script.
#include <QAction>
#include <QMenu>

#include "tests/app/AppTestSupport.h"
#include "app/PageView.h"
#include "render/BookClass.h"

namespace rpv::test {
namespace {

// The scripted dialogs plus the two style dialogs.
class TStyleScript : public TScriptedDialogs {
 public:
  struct TStyleLog {
    std::vector<std::string> Edited;  // sections the editor was opened on (UTF-8)
    std::vector<int> StartPages;
    int EndPage = 0;                  // the tab the editor is closed on
    bool EditorOk = false;
    std::vector<std::string> ListGiven;  // names the list got (UTF-8)
    std::optional<std::vector<std::string>> ListResult;  // UTF-8; default: as given
  };
  TStyleScript(std::shared_ptr<TLog> log, std::shared_ptr<TStyleLog> styles)
      : TScriptedDialogs(std::move(log)), styles_(std::move(styles)) {}

  bool EditStyle(const TStyleDialogContext&, const std::string& section, int& page) override {
    styles_->Edited.push_back(Cp932ToUtf8(section));
    styles_->StartPages.push_back(page);
    page = styles_->EndPage;
    return styles_->EditorOk;
  }
  std::vector<std::string> EditStyleList(const TStyleDialogContext&,
                                         std::vector<std::string> names) override {
    for (const auto& n : names) styles_->ListGiven.push_back(Cp932ToUtf8(n));
    if (!styles_->ListResult) return names;
    std::vector<std::string> out;
    for (const auto& n : *styles_->ListResult) out.push_back(Utf8ToCp932(n));
    return out;
  }

 private:
  std::shared_ptr<TStyleLog> styles_;
};

struct TStyleWindow {
  std::shared_ptr<TScriptedDialogs::TLog> log = std::make_shared<TScriptedDialogs::TLog>();
  std::shared_ptr<TStyleScript::TStyleLog> styles = std::make_shared<TStyleScript::TStyleLog>();
  std::unique_ptr<TfrmRPV> form;

  explicit TStyleWindow(std::vector<std::string> args = {}) {
    App();
    form = std::make_unique<TfrmRPV>(std::move(args), std::make_unique<TStyleScript>(log, styles));
    form->FormCreate();
  }
  std::vector<std::string> CheckedItems() const {
    std::vector<std::string> out;
    for (QAction* item : form->StyleItems)
      if (item->isChecked()) out.push_back(item->text().toStdString());
    return out;
  }
};

std::string Sections(int count) {
  std::string ini;
  for (int i = 0; i < count; ++i) ini += "[S" + std::to_string(i) + "]\r\nFontSize=12\r\n";
  return ini;
}

}  // namespace

TEST(StyleMenu, AddRefusesAnEleventhAndDuplicatesInAnyCase) {
  {
    TTempHome home;
    home.Write("info.ini", Sections(10));
    TStyleWindow w;
    w.log->InputAnswers = {std::string("X")};
    w.form->mnuSAdd->trigger();
    // Refused at once, without asking for a name.
    EXPECT_EQ(w.log->Messages, std::vector<std::string>{"登録できる数は10までです。"});
    EXPECT_TRUE(w.log->Prompts.empty());
    EXPECT_EQ(w.form->StyleNames.size(), 10u);
  }
  TTempHome home;
  home.Write("info.ini", "[Default]\r\nFontSize=12\r\n[Other]\r\nFontSize=14\r\n");
  TStyleWindow w;
  w.log->InputAnswers = {std::string("default"), std::string(""), std::string("New")};
  w.form->mnuSAdd->trigger();
  EXPECT_EQ(w.log->Messages,
            (std::vector<std::string>{"登録名が不正です。", "登録名が不正です。"}));
  // Asked again with the rejected text.
  EXPECT_EQ(w.log->Prompts, (std::vector<std::string>{"", "default", ""}));
  ASSERT_EQ(w.form->StyleNames.size(), 3u);
  EXPECT_EQ(w.form->StyleNames[2], "New");
  EXPECT_EQ(w.form->StyleIndex, 2);
  EXPECT_EQ(w.CheckedItems(), std::vector<std::string>{"&2 New"});
  // The editor opened on the new section; cancelled, nothing was written.
  EXPECT_EQ(w.styles->Edited, std::vector<std::string>{"New"});
  EXPECT_EQ(home.Read("info.ini"), "[Default]\r\nFontSize=12\r\n[Other]\r\nFontSize=14\r\n");
  EXPECT_EQ(w.form->Book->Style.FontSize, 12);
}

TEST(StyleMenu, ListRebuildsTheMenuAndFallsBackToTheFirstStyle) {
  TTempHome home;
  home.Write("info.ini", "[Mine]\r\nFontSize=12\r\n[A]\r\nFontSize=14\r\n[B]\r\nFontSize=20\r\n");
  TStyleWindow w;
  w.form->StyleItems[2]->trigger();
  EXPECT_EQ(w.form->Book->Style.FontSize, 20);
  // The list removed the current style B.
  w.styles->ListResult = std::vector<std::string>{"Mine", "A"};
  w.form->mnuSList->trigger();
  EXPECT_EQ(w.styles->ListGiven, (std::vector<std::string>{"Mine", "A", "B"}));
  EXPECT_EQ(w.form->StyleIndex, 0);
  ASSERT_EQ(w.form->StyleItems.size(), 2u);
  EXPECT_EQ(w.CheckedItems(), std::vector<std::string>{"&0 Mine"});
  EXPECT_EQ(w.form->Book->Style.FontSize, 12);
  EXPECT_EQ(w.form->mnuS->actions().size(), 5 + 2);
}

TEST(StyleMenu, EditorReopensOnTheTabLastUsedAndOkReloads) {
  TTempHome home;
  home.Write("info.ini", "[Default]\r\nFontSize=12\r\n");
  TStyleWindow w;
  w.styles->EndPage = 2;
  w.form->mnuSChage->trigger();
  home.Write("info.ini", "[Default]\r\nFontSize=18\r\n");
  w.styles->EditorOk = true;
  w.styles->EndPage = 3;
  w.form->RunCommand(TCommand::ChangeStyle);
  EXPECT_EQ(w.styles->StartPages, (std::vector<int>{0, 2}));
  EXPECT_EQ(w.form->StyleEditorPage, 3);
  EXPECT_EQ(w.form->Book->Style.FontSize, 18);
}

TEST(StyleMenu, SwitchingKeepsTheReadingPositionAndTakesTheBackColour) {
  const std::string book = FromNativePath(std::filesystem::path(RPV_SOURCE_DIR) / ".." / "shared" /
                                          "corpus" / "bocchan.sjis.txt");
  if (!FileExists(book)) GTEST_SKIP() << "corpus not found: " << book;
  TTempHome home;
  // Long lines far apart, then short lines close together: a top line of
  // the first style lies within the first column of the second.
  home.Write("info.ini",
             "[Horizontal]\r\nDirection=0\r\nBackColor=65280\r\nFontSize=9\r\nSpacing=60\r\n"
             "[Vertical]\r\nDirection=27\r\nBackColor=255\r\nFontSize=9\r\nSpacing=0\r\n"
             "PageMarginTop=400\r\n");
  TStyleWindow w({book});
  w.form->resize(800, 600);
  for (int i = 0; i < 3; ++i) w.form->PageForward();
  for (int target : {1, 0, 1}) {
    const TReadingPosition before = w.form->ReadingPosition;
    ASSERT_GT(before.Line, 0);
    w.form->StyleItems[static_cast<size_t>(target)]->trigger();
    // The page on screen holds the very character the old page began with.
    const TBookClass& b = *w.form->Book;
    EXPECT_EQ(w.form->ReadingPosition, before);
    const int32_t holding = b.DisplayLineAt(before);
    EXPECT_LE(w.form->TopLine, holding);
    EXPECT_LT(holding, w.form->TopLine + b.LinesPerPage());
    EXPECT_EQ(w.form->PageView()->palette().color(QPalette::Window),
              target == 0 ? QColor(0, 255, 0) : QColor(255, 0, 0));
  }
}

}  // namespace rpv::test
