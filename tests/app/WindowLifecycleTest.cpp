// Start-up, the menu, rpv.ini at exit, opening files and their failures,
// full screen and the page size.
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QScreen>
#include <QTimer>
#include <fstream>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <filesystem>
#include <thread>

#include "AppTestSupport.h"
#include "app/BookLoader.h"
#include "app/PageView.h"
#include "bookmarks/rpvBookMark.h"
#include "platform/IniFile.h"
#include "render/BookClass.h"

namespace rpv::test {
namespace {

// A text of `lines` short lines, CR LF, in CP932.
std::string NumberedText(int lines) {
  std::string text;
  for (int i = 1; i <= lines; ++i) text += Utf8ToCp932("第" + std::to_string(i) + "行") + "\r\n";
  return text;
}

std::string U8(const QString& s) { return s.toStdString(); }

// "name|caption|checkable|checked" for every item of a menu, separators as
// "name|-".
std::vector<std::string> Describe(const QMenu* menu) {
  std::vector<std::string> out;
  for (const QAction* a : menu->actions()) {
    if (a->isSeparator()) {
      out.push_back(U8(a->objectName()) + "|-");
      continue;
    }
    out.push_back(U8(a->objectName()) + "|" + U8(a->text()) + (a->isChecked() ? "|ticked" : ""));
  }
  return out;
}

class WindowLifecycle : public ::testing::Test {
 protected:
  std::unique_ptr<TfrmRPV> Start(std::vector<std::string> args = {}) {
    auto form = MakeWindow(std::move(args), log_);
    form->FormCreate();
    return form;
  }
  std::string Ini(std::string_view section, std::string_view key) const {
    const TIniFile ini(home_.Path("rpv.ini"));
    return ini.ReadString(section, key, "<none>");
  }

  TTempHome home_;
  std::shared_ptr<TScriptedDialogs::TLog> log_ = std::make_shared<TScriptedDialogs::TLog>();
};

TEST_F(WindowLifecycle, FirstStartWithoutAnySettingsFiles) {
  auto form = Start();
  // One style, ticked, the default; info.ini is created for it.
  std::vector<std::string> styleItems;
  for (const QAction* a : form->mnuS->actions())
    if (a->objectName().startsWith("StyleItem")) styleItems.push_back(U8(a->text()) + (a->isChecked() ? "*" : ""));
  EXPECT_EQ(styleItems, std::vector<std::string>{"&0 Default*"});
  EXPECT_TRUE(FileExists(home_.Path("info.ini")));
  // Nothing to open: the empty page, the product caption, no message.
  EXPECT_EQ(U8(form->windowTitle()), "【瑠頁～るぺい～】");
  EXPECT_LT(form->TopLine, 0);
  EXPECT_TRUE(log_->Messages.empty());
  EXPECT_EQ(form->Book->PageBitmap.Width(), form->ClientWidth());
  EXPECT_EQ(form->Book->PageBitmap.Height(), form->ClientHeight());
  EXPECT_TRUE(form->tmrAuto->isActive());
  EXPECT_EQ(form->tmrAuto->interval(), 1000);
  EXPECT_TRUE(form->Started);
  EXPECT_FALSE(form->lblPopUp->isVisible());

  form->close();
  // rpv.ini now holds every key with its default, and 20 empty entries.
  EXPECT_EQ(Ini("General", "Width"), "640");
  EXPECT_EQ(Ini("General", "Height"), "480");
  EXPECT_EQ(Ini("General", "FullScreen"), "0");
  EXPECT_EQ(Ini("General", "EditorOption"), "\"%F\"");
  EXPECT_EQ(Ini("General", "blnLast"), "1");
  EXPECT_EQ(Ini("General", "AutoInterval"), "10000");
  EXPECT_EQ(Ini("General", "AutoLInterval"), "2000");
  EXPECT_EQ(Ini("BookMarks", "Format1"), Utf8ToCp932("%c(%d) %b行目"));
  EXPECT_EQ(Ini("BookMarks", "Format2Sub"), Utf8ToCp932("%d %b行目"));
  EXPECT_EQ(Ini("FH19", "BookMark"), "-1");
  EXPECT_EQ(Ini("FH19", "FullPath"), "");
}

TEST_F(WindowLifecycle, MenuHasEveryItemInOrder) {
  auto form = Start();
  std::vector<std::string> bar;
  for (const QAction* a : form->mnuMain->actions()) bar.push_back(U8(a->objectName()) + "|" + U8(a->text()));
  EXPECT_EQ(bar, (std::vector<std::string>{"mnuF|ファイル(&F)", "mnuB|しおり(&B)", "mnuM|移動(&M)",
                                           "mnuS|スタイル(&S)", "mnuTool|ツール(&T)",
                                           "mnuO|その他(&O)", "mnuH|ヘルプ(&H)"}));
  auto file = Describe(form->mnuF);
  ASSERT_EQ(file.size(), 15u);
  file.resize(5);
  EXPECT_EQ(file, (std::vector<std::string>{"mnuFOpen|開く(&O)\tCtrl+O",
                                            "mnuFClipBoard|クリップボードから読み込み(&V)\tCtrl+V", "FN1|-",
                                            "mnuFEnd|終了(&X)\tCtrl+Q", "FN2|-"}));
  EXPECT_EQ(Describe(form->mnuM),
            (std::vector<std::string>{"mnuMHead|文頭(&H)\tHome", "mnuMEnd|文末(&E)\tEnd",
                                      "mnuMPageJump|ページジャンプ(&P)\tCtrl+G", "mnuMFind|検索(&F)\tCtrl+F"}));
  auto style = Describe(form->mnuS);
  style.resize(5);
  EXPECT_EQ(style, (std::vector<std::string>{"mnuSAdd|追加(&A)", "mnuSList|編集(&E)", "N4|-",
                                             "mnuSChage|スタイルの変更(&C)", "N3|-"}));
  EXPECT_EQ(Describe(form->mnuO),
            (std::vector<std::string>{"mnuOScreenChange|フルスクリーン/ウィンドウ(&W)\tF11", "N1|-",
                                      "mnuOAuto|自動頁送り(&P)\tCtrl+A", "mnuOAutoLine|自動行送り(&L)",
                                      "N2|-", "mnuODelNewLine|空行を削除\tCtrl+D", "N5|-",
                                      "mnuOEditor|外部エディタの起動(&E)\tF2", "N6|-",
                                      "mnuOOtherSetup|その他の設定(&S)"}));
  EXPECT_EQ(Describe(form->mnuH),
            (std::vector<std::string>{"mnuHHelp|ヘルプ(&H)", "N7|-",
                                      "mnuHHomePage|ホームページへ(&P)", "N8|-",
                                      "mnuHVersion|バージョン情報(&V)"}));
  // The ticks follow the toggles, and the two automatic modes exclude
  // each other, also when triggered from the menu.
  form->mnuOAuto->trigger();
  EXPECT_TRUE(form->mnuOAuto->isChecked());
  form->mnuOAutoLine->trigger();
  EXPECT_TRUE(form->mnuOAutoLine->isChecked());
  EXPECT_FALSE(form->mnuOAuto->isChecked());
  form->mnuODelNewLine->trigger();
  EXPECT_TRUE(form->mnuODelNewLine->isChecked());
  EXPECT_TRUE(form->Book->DeleteBlankLines);
}

TEST_F(WindowLifecycle, ALongReadShowsProgressAndCanBeGivenUp) {
  home_.Write("a.txt", NumberedText(30));
  home_.Write("b.txt", NumberedText(40));
  home_.Write("slow.sh", "#!/bin/sh\nsleep 0.6\ncat\n");
  std::filesystem::permissions(home_.Native() / "slow.sh", std::filesystem::perms::owner_exec,
                               std::filesystem::perm_options::add);
  auto form = Start({home_.Path("a.txt")});
  form->Book->Tools = {TTool{"slow", home_.Path("slow.sh"), true}};
  // The window's events go on meanwhile: the panel shows, and its button
  // gives the read up.
  bool panelShown = false;
  QTimer::singleShot(TBookLoader::kPanelDelayMs + 150, form.get(), [&] {
    panelShown = form->Loader().Panel()->isVisible();
    QTest::mouseClick(form->Loader().Panel()->findChild<QPushButton*>(), Qt::LeftButton);
  });
  form->OpenDocument(home_.Path("b.txt"), -1, "");
  EXPECT_TRUE(panelShown);
  EXPECT_FALSE(form->Loader().Panel()->isVisible());
  EXPECT_EQ(form->History[0].FullPath, home_.Path("a.txt"));
  EXPECT_EQ(form->Book->FileName, "a.txt");
  EXPECT_EQ(form->Book->SourceText.Count(), 30u);
  EXPECT_EQ(U8(form->windowTitle()), home_.Path("a.txt") + " - 【瑠頁～るぺい～】");
  // Left alone, the read ends and the book is shown.
  form->OpenDocument(home_.Path("b.txt"), -1, "");
  EXPECT_EQ(form->Book->SourceText.Count(), 40u);
  EXPECT_EQ(form->History[1].FullPath, home_.Path("a.txt"));
  EXPECT_TRUE(log_->Messages.empty());
}

TEST_F(WindowLifecycle, ClosingLeavesNoWindowOfOursOpen) {
  home_.Write("a.txt", NumberedText(30));
  App();
  TfrmRPV form({home_.Path("a.txt")});  // the real dialogs
  form.FormCreate();
  bool closed = false;
  form.OnClosed = [&] { closed = true; };
  form.ShowFindDialog();
  auto* find = form.findChild<QDialog*>();
  ASSERT_TRUE(find && find->isVisible());
  form.close();
  EXPECT_FALSE(find->isVisible()) << "it would keep the program running";
  EXPECT_TRUE(closed);
}

TEST_F(WindowLifecycle, StylesComeFromInfoIniInFileOrder) {
  home_.Write("info.ini", "[Wide]\r\nFontSize=20\r\n[Narrow]\r\nFontSize=8\r\n");
  auto form = Start();
  ASSERT_EQ(form->StyleNames, (std::vector<std::string>{"Wide", "Narrow"}));
  EXPECT_EQ(form->StyleIndex, 0);
  EXPECT_EQ(form->Book->Style.FontSize, 20);
  EXPECT_TRUE(form->StyleItems[0]->isChecked());
  EXPECT_EQ(U8(form->StyleItems[1]->text()), "&1 Narrow");
  form->StyleItems[1]->trigger();
  EXPECT_EQ(form->Book->Style.FontSize, 8);
  EXPECT_FALSE(form->StyleItems[0]->isChecked());
  EXPECT_TRUE(form->StyleItems[1]->isChecked());

  // The next start takes the style used last; a name no longer listed
  // gives the first one.
  form.reset();
  form = Start();
  EXPECT_EQ(form->StyleIndex, 1);
  EXPECT_EQ(form->Book->Style.FontSize, 8);
  EXPECT_TRUE(form->StyleItems[1]->isChecked());
  EXPECT_FALSE(form->StyleItems[0]->isChecked());
  form.reset();
  home_.Write("info.ini", "[Wide]\r\nFontSize=20\r\n[Small]\r\nFontSize=8\r\n");
  form = Start();
  EXPECT_EQ(form->StyleIndex, 0);
  EXPECT_EQ(form->Book->Style.FontSize, 20);
}

TEST_F(WindowLifecycle, CommandLineFileOpensAtItsHistoryPositionOnlyForTheExactPath) {
  home_.Write("Book.txt", NumberedText(400));
  home_.Write("book.txt", NumberedText(400));
  const std::string upper = home_.Path("Book.txt");
  const std::string lower = home_.Path("book.txt");
  home_.Write("rpv.ini", "[FH0]\r\nFullPath=" + upper + "\r\nBookMark=300\r\n");
  {
    auto form = Start({upper});
    EXPECT_GT(form->TopLine, 0);
    const int32_t shown = form->Book->SourceLineOf(form->TopLine);
    EXPECT_LE(shown, 300);
    EXPECT_GT(shown + form->Book->LinesPerPage(), 300) << "the page holds line 300";
    EXPECT_EQ(U8(form->windowTitle()), Cp932ToUtf8(upper) + " - 【瑠頁～るぺい～】");
    EXPECT_EQ(Cp932ToUtf8(form->ApplicationTitle()), "Book.txt");
    EXPECT_EQ(form->CurrentDir, home_.Path("") );
  }
  // The other spelling is another file: it starts at its top and goes in
  // front of the first one.
  auto form = Start({lower});
  EXPECT_EQ(form->TopLine, 0);
  EXPECT_EQ(form->History[0].FullPath, lower);
  EXPECT_EQ(form->History[1].FullPath, upper);
}

TEST_F(WindowLifecycle, LastDocumentReopensOnlyWhenAsked) {
  home_.Write("last.txt", NumberedText(30));
  const std::string last = home_.Path("last.txt");
  home_.Write("rpv.ini", "[General]\r\nblnLast=0\r\n[FH0]\r\nFullPath=" + last + "\r\nBookMark=7\r\n");
  {
    auto form = Start();
    EXPECT_LT(form->TopLine, 0);
    EXPECT_EQ(U8(form->windowTitle()), "【瑠頁～るぺい～】");
  }
  // Nothing was on screen, so the stored reading position is untouched.
  EXPECT_EQ(Ini("FH0", "BookMark"), "7");
  EXPECT_EQ(Ini("FH0", "FullPath"), last);

  home_.Write("rpv.ini", "[FH0]\r\nFullPath=" + last + "\r\nBookMark=7\r\n");
  auto form = Start();
  EXPECT_EQ(form->History[0].FullPath, last);
  EXPECT_GE(form->TopLine, 0);
  EXPECT_EQ(U8(form->windowTitle()), Cp932ToUtf8(last) + " - 【瑠頁～るぺい～】");
}

TEST_F(WindowLifecycle, ExitWritesTheValuesOfTheRun) {
  home_.Write("doc.txt", NumberedText(500));
  home_.Write("rpv.ini",
              "[General]\r\nLeft=50\r\nTop=60\r\nWidth=500\r\nHeight=400\r\nAutoInterval=5000\r\n"
              "EditorName=/usr/bin/vi\r\nEndOpt=0\r\n[BookMarks]\r\nType=1\r\n");
  {
    auto form = Start({home_.Path("doc.txt")});
    EXPECT_EQ(form->geometry().topLeft(), QPoint(50, 60));
    EXPECT_EQ(form->size(), QSize(500, 400));
    form->GoToPage(3);
    form->mnuOAuto->trigger();
    form->setGeometry(70, 80, 520, 410);
    QCoreApplication::processEvents();
    form->Settings.EditorOption = "-n %g";
    form->close();
  }
  EXPECT_EQ(Ini("General", "Left"), "70");
  EXPECT_EQ(Ini("General", "Top"), "80");
  EXPECT_EQ(Ini("General", "Width"), "520");
  EXPECT_EQ(Ini("General", "Height"), "410");
  EXPECT_EQ(Ini("General", "WindowState"), "0");
  EXPECT_EQ(Ini("General", "AutoEnabled"), "1");
  EXPECT_EQ(Ini("General", "AutoInterval"), "5000");
  EXPECT_EQ(Ini("General", "EditorName"), "/usr/bin/vi");
  EXPECT_EQ(Ini("General", "EditorOption"), "-n %g");
  EXPECT_EQ(Ini("BookMarks", "Type"), "1");
  EXPECT_EQ(Ini("FH0", "FullPath"), home_.Path("doc.txt"));
  // The reading position is the source line at the top of the page shown.
  EXPECT_GT(std::stoi(Ini("FH0", "BookMark")), 0);

  // Maximised or full screen, the windowed placement stays as stored.
  for (const bool fullScreen : {true, false}) {
    auto form = Start();
    ASSERT_EQ(form->IsFullScreen(), !fullScreen) << "as the previous run left it";
    if (fullScreen) {
      form->ToggleFullScreen();
    } else {
      form->ToggleFullScreen();
      form->setWindowState(Qt::WindowMaximized);
    }
    QCoreApplication::processEvents();
    // A bare X server (no window manager) does not maximise.
    if (!fullScreen && !(form->windowState() & Qt::WindowMaximized)) continue;
    form->close();
    EXPECT_EQ(Ini("General", "Left"), "70");
    EXPECT_EQ(Ini("General", "Width"), "520");
    EXPECT_EQ(Ini("General", "FullScreen"), fullScreen ? "1" : "0");
    EXPECT_EQ(Ini("General", "WindowState"), fullScreen ? "0" : "2");
  }
}

TEST_F(WindowLifecycle, FullScreenStartCoversTheScreenAndRestoresThePlacement) {
  home_.Write("doc.txt", NumberedText(100));
  home_.Write("rpv.ini",
              "[General]\r\nFullScreen=1\r\nLeft=30\r\nTop=40\r\nWidth=450\r\nHeight=350\r\n");
  auto form = Start({home_.Path("doc.txt")});
  QCoreApplication::processEvents();
  ASSERT_TRUE(form->IsFullScreen());
  EXPECT_TRUE(form->mnuOScreenChange->isChecked());
  const QRect screen = form->screen()->geometry();
  EXPECT_EQ(form->geometry(), screen);
  // The page covers the screen; the menu bar waits above the top edge.
  EXPECT_EQ(form->PageView()->geometry(), QRect(QPoint(0, 0), screen.size()));
  EXPECT_LT(form->mnuMain->geometry().bottom(), 0);
  EXPECT_EQ(form->Book->PageBitmap.Width(), form->ClientWidth());
  EXPECT_EQ(form->WindowBounds, QRect(30, 40, 450, 350));

  // The pointer at the top edge slides the menu bar and the page down and
  // pauses the timer; further down it goes away again.
  const int32_t top = form->TopLine;
  form->ButtonDown = 2;
  form->FormMouseMove(QPoint(100, 2), QPoint(100, 2));
  EXPECT_TRUE(form->MenuRevealed());
  EXPECT_EQ(form->mnuMain->geometry().top(), 0);
  EXPECT_EQ(form->PageView()->y(), form->MenuBarHeight());
  EXPECT_EQ(form->PageView()->size(), screen.size()) << "no new layout for the menu";
  EXPECT_FALSE(form->tmrAuto->isActive());
  EXPECT_EQ(form->ButtonDown, 0);
  form->FormMouseMove(QPoint(100, form->MenuBarHeight() + 5), QPoint(100, 200));
  EXPECT_FALSE(form->MenuRevealed());
  EXPECT_TRUE(form->tmrAuto->isActive());
  EXPECT_EQ(form->TopLine, top);
  // Releasing Alt always shows it.
  form->FormKeyUp(kVkMenu);
  EXPECT_TRUE(form->MenuRevealed());
  form->FormKeyUp(kVkMenu);
  EXPECT_TRUE(form->MenuRevealed());

  // Leaving full screen with the menu shown: the stored placement comes
  // back and the timer runs again.
  form->mnuOScreenChange->trigger();
  QCoreApplication::processEvents();
  EXPECT_FALSE(form->IsFullScreen());
  EXPECT_EQ(form->geometry(), QRect(30, 40, 450, 350));
  EXPECT_TRUE(form->tmrAuto->isActive());
  EXPECT_GE(form->mnuMain->geometry().top(), 0);
  // Windowed, the pointer near the top does not touch the menu.
  form->FormMouseMove(QPoint(10, 1), QPoint(40, 60));
  EXPECT_FALSE(form->MenuRevealed());
}

TEST_F(WindowLifecycle, ResizingKeepsTheReadingPositionAndTheMinimumPage) {
  home_.Write("doc.txt", NumberedText(2000));
  auto form = Start({home_.Path("doc.txt")});
  form->GoToPage(5);
  const int32_t line = form->Book->SourceLineOf(form->TopLine);
  form->resize(form->width() + 200, form->height() + 100);
  QCoreApplication::processEvents();
  EXPECT_EQ(form->Book->PageBitmap.Width(), form->ClientWidth());
  const int32_t after = form->Book->SourceLineOf(form->TopLine);
  EXPECT_LE(after, line);
  EXPECT_GT(after + form->Book->LinesPerPage(), line);

  // Smaller than the style allows: the page keeps the minimum size.
  form->resize(20, 20);
  QCoreApplication::processEvents();
  EXPECT_GE(form->ClientWidth(), form->Book->MinPageWidth());
  EXPECT_GE(form->ClientHeight(), form->Book->MinPageHeight());
  EXPECT_EQ(form->Book->PageBitmap.Width(), form->ClientWidth());
  EXPECT_EQ(form->Book->PageBitmap.Height(), form->ClientHeight());

  // F6 lays out again at the same place.
  form->GoToPage(3);
  const int32_t before = form->TopLine;
  form->FormKeyDown(kVkF6, Qt::NoModifier);
  EXPECT_EQ(form->TopLine, before);
}

TEST_F(WindowLifecycle, FailedOpensLeaveTheDocumentOnScreen) {
  home_.Write("a.txt", NumberedText(300));
  auto form = Start({home_.Path("a.txt")});
  form->GoToPage(2);
  const int32_t top = form->TopLine;
  const QString caption = form->windowTitle();
  const auto history = form->History;

  // A file that is not there.
  const std::string missing = home_.Path("gone.txt");
  form->OpenDocument(missing, -1, "");
  ASSERT_EQ(log_->Messages.size(), 1u);
  EXPECT_EQ(log_->Messages[0], "\"" + Cp932ToUtf8(missing) + "\"は開けません。");

  // A file too large to read: its own message, and nothing changes.
  {
    std::error_code ec;
    std::filesystem::path big = home_.Native() / "big.txt";
    { std::ofstream(big).put('x'); }
    std::filesystem::resize_file(big, std::uintmax_t{600} << 20, ec);
    ASSERT_FALSE(ec);
  }
  form->OpenDocument(home_.Path("big.txt"), -1, "");
  ASSERT_EQ(log_->Messages.size(), 2u);
  EXPECT_EQ(log_->Messages[1], "メモリを確保出来ませんでした。");
  EXPECT_EQ(form->History[0], history[0]);
  EXPECT_EQ(form->History[1], history[1]);
  EXPECT_EQ(form->windowTitle(), caption);
  EXPECT_EQ(form->Book->FileName, "a.txt");

  // An empty path (an empty history entry) does nothing at all.
  form->OpenDocument("", -1, "");
  EXPECT_EQ(log_->Messages.size(), 2u);

  // A member whose extracted copy and archive are both gone: one message,
  // naming the archive.
  const std::string archive = home_.Path("gone.zip");
  form->OpenDocument(home_.Path("archive/x.txt"), 5, archive);
  ASSERT_EQ(log_->Messages.size(), 3u);
  EXPECT_EQ(log_->Messages[2], "\"" + Cp932ToUtf8(archive) + "\"は開けません。");

  // An archive whose archiver library is missing.
  home_.Write("books.zip", "PK\x03\x04");
  {
    TEnvVar off("RPV_ARCHIVERS_OFF", "zip");
    form->OpenDocument(home_.Path("books.zip"), -1, "");
  }
  ASSERT_EQ(log_->Messages.size(), 4u);
  EXPECT_EQ(log_->Messages[3], "必要な\"DLL\"がありません");

  EXPECT_EQ(form->TopLine, top);
  EXPECT_EQ(form->History[0], history[0]);
  EXPECT_EQ(form->windowTitle(), caption);
  EXPECT_TRUE(form->tmrAuto->isActive());
}

TEST_F(WindowLifecycle, UnreadableBookmarkFileIsReportedAndKept) {
  const std::string broken = "\"/x.txt\",abc,\"\",\"\",1,\"\"\r\n";
  home_.Write("bm.csv", broken);
  auto form = Start();
  ASSERT_EQ(log_->Messages.size(), 1u);
  EXPECT_NE(log_->Messages[0].find("'abc' は整数ではありません"), std::string::npos);
  EXPECT_FALSE(form->BookMarksWritable);
  ASSERT_NE(form->BookMarks, nullptr);
  EXPECT_EQ(form->BookMarks->Count(), 0);
  EXPECT_TRUE(form->Started);
  EXPECT_TRUE(form->tmrAuto->isActive());
  form->close();
  EXPECT_EQ(home_.Read("bm.csv"), broken);
}

TEST_F(WindowLifecycle, HandEditedPlacementStaysOnScreen) {
  home_.Write("rpv.ini",
              "[General]\r\nLeft=-90000\r\nTop=90000\r\nWidth=2000000\r\nHeight=-5\r\n");
  auto form = Start();
  QRect desk;
  for (const QScreen* s : QGuiApplication::screens()) desk = desk.united(s->availableGeometry());
  EXPECT_TRUE(desk.intersects(form->geometry()));
  EXPECT_LE(form->width(), desk.width());
  EXPECT_GE(form->ClientHeight(), form->Book->MinPageHeight());
  form.reset();

  // Extremes of 32 bits: no overflow in the rectangle sums (the sanitizer
  // build aborts on one), and what is written back is on screen.
  home_.Write("rpv.ini", "[General]\r\nLeft=2147483647\r\nTop=-2147483648\r\nWidth=2147483647\r\n"
                         "Height=2147483647\r\n");
  form = Start();
  EXPECT_TRUE(desk.intersects(form->geometry()));
  EXPECT_LE(form->width(), desk.width());
  form->close();
  const int left = std::stoi(Ini("General", "Left")), width = std::stoi(Ini("General", "Width"));
  EXPECT_TRUE(desk.intersects(QRect(left, std::stoi(Ini("General", "Top")), width,
                                    std::stoi(Ini("General", "Height")))));
  EXPECT_LE(width, desk.width());
}

TEST_F(WindowLifecycle, AFilterStoppedAtItsLimitShowsTheBookUnfilteredAndSaysWhy) {
  home_.Write("a.txt", NumberedText(3));
  auto form = Start();
  form->Book->Tools = {{"Slow", "sleep 1000", true}};
  form->Book->FilterLimits.time = std::chrono::milliseconds(200);
  form->OpenDocument(home_.Path("a.txt"), -1, "");
  ASSERT_EQ(log_->Messages.size(), 1u);
  EXPECT_NE(log_->Messages[0].find("sleep 1000"), std::string::npos) << log_->Messages[0];
  EXPECT_EQ(form->History[0].FullPath, home_.Path("a.txt")) << "the book is open";
  EXPECT_EQ(form->Book->SourceText.Text(), NumberedText(3));
}

TEST_F(WindowLifecycle, StaleTemporariesOfAKilledSaveAreRemovedAtStart) {
  namespace fs = std::filesystem;
  const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(5);
  for (const char* name : {"rpv.ini.tmp123456", "bm.csv.tmpAb12Cd", "notes.tmp1", "rpv.ini.tmp9"}) {
    home_.Write(name, "x");
    if (std::string_view(name) != "rpv.ini.tmp9") fs::last_write_time(home_.Native() / name, old);
  }
  auto form = Start();
  EXPECT_FALSE(fs::exists(home_.Native() / "rpv.ini.tmp123456"));
  EXPECT_FALSE(fs::exists(home_.Native() / "bm.csv.tmpAb12Cd"));
  EXPECT_TRUE(fs::exists(home_.Native() / "notes.tmp1")) << "not one of the program's files";
  EXPECT_TRUE(fs::exists(home_.Native() / "rpv.ini.tmp9")) << "young: maybe another window's save";
}

#ifdef RPV_EXE
// A logout sends TERM, then KILL a few seconds later. A TERM that comes while
// a start-up message box waits for the user must still save and end.
TEST_F(WindowLifecycle, TermDuringAStartUpMessageStillSavesAndQuits) {
  home_.Write("bm.csv", "\"/x.txt\",abc\r\n");  // start-up says it cannot read this
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("RPV_HOME", home_.Native().c_str(), 1);
    ::execl(RPV_EXE, "rpv", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ASSERT_GT(pid, 0);
  // info.ini is written early in start-up, after the signal handler is set.
  for (int i = 0; i < 600 && !std::filesystem::exists(home_.Native() / "info.ini"); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ::kill(pid, SIGTERM);
  int status = 0;
  bool ended = false;
  for (int i = 0; i < 200 && !ended; ++i) {
    ended = ::waitpid(pid, &status, WNOHANG) == pid;
    if (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (!ended) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
  }
  EXPECT_TRUE(ended) << "still running 10 s after TERM";
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_TRUE(std::filesystem::exists(home_.Native() / "rpv.ini")) << "settings not saved";
}
#endif

}  // namespace
}  // namespace rpv::test
