// Keys, mouse, wheel and gestures running their commands in the window, and
// the document sources: links, the open dialog, the clipboard, drops and
// the history menu.
#include <QClipboard>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>
#include <QUrl>
#include <QWheelEvent>
#include <random>

#include "AppTestSupport.h"
#include "app/PageView.h"
#include "render/BookClass.h"

namespace rpv::test {
namespace {

// Scripted answers of the open dialog and a record of handed-out URLs.
struct TSourceLog {
  std::vector<std::string> Folders;  // CP932
  std::vector<std::string> Filters;  // CP932, of the last call
  std::optional<std::string> Answer;  // CP932; nullopt: Cancel
  std::vector<std::string> Urls;     // CP932
};

class TSourceDialogs : public TScriptedDialogs {
 public:
  TSourceDialogs(std::shared_ptr<TLog> log, std::shared_ptr<TSourceLog> sources)
      : TScriptedDialogs(std::move(log)), sources_(std::move(sources)) {}
  std::optional<std::string> OpenFileName(const std::string& folder,
                                          const std::vector<std::string>& filters) override {
    sources_->Folders.push_back(folder);
    sources_->Filters = filters;
    return sources_->Answer;
  }
  void OpenUrl(const std::string& url) override { sources_->Urls.push_back(url); }

 private:
  std::shared_ptr<TSourceLog> sources_;
};

std::string Lines(int n, const std::string& prefix = "行") {
  std::string text;
  for (int i = 0; i < n; ++i) text += Utf8ToCp932(prefix + std::to_string(i)) + "\r\n";
  return text;
}

class CommandsWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    // 10 lines a page once sized.
    home_.Write("info.ini", PlainPageStyle());
    home_.Write("a.txt", Lines(25));
    home_.Write("b.txt", Lines(25, "b"));
  }

  // Starts the window on a file with a page of 10 lines.
  void Open(const std::string& path) {
    App();
    form_ = std::make_unique<TfrmRPV>(std::vector<std::string>{path},
                                      std::make_unique<TSourceDialogs>(log_, sources_));
    form_->FormCreate();
    const int height = FitPageToLines(*form_, 10);
    ASSERT_GT(height, 0);
    ASSERT_EQ(form_->Book->LinesPerPage(), 10);
  }

  QWidget* Page() const { return form_->PageView(); }
  QPoint Global(QPoint local) const { return Page()->mapToGlobal(local); }

  void Mouse(QEvent::Type type, QPoint local, Qt::MouseButton button) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::MouseButtons(button)
                                                                   : Qt::NoButton;
    QMouseEvent event(type, QPointF(local), QPointF(Global(local)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(Page(), &event);
  }
  void Press(QPoint local, Qt::MouseButton b = Qt::LeftButton) {
    Mouse(QEvent::MouseButtonPress, local, b);
  }
  void Release(QPoint local, Qt::MouseButton b = Qt::LeftButton) {
    Mouse(QEvent::MouseButtonRelease, local, b);
  }
  void Click(QPoint local, Qt::MouseButton b = Qt::LeftButton) {
    Press(local, b);
    Release(local, b);
  }
  void Move(QPoint local) {
    QMouseEvent event(QEvent::MouseMove, QPointF(local), QPointF(Global(local)), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(Page(), &event);
  }
  void Wheel(int delta) {
    const QPoint at(50, 50);
    QWheelEvent event(QPointF(at), QPointF(Global(at)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(Page(), &event);
  }
  std::string Shown() const { return Cp932ToUtf8(form_->History[0].FullPath); }

  TTempHome home_;
  std::shared_ptr<TScriptedDialogs::TLog> log_ = std::make_shared<TScriptedDialogs::TLog>();
  std::shared_ptr<TSourceLog> sources_ = std::make_shared<TSourceLog>();
  std::unique_ptr<TfrmRPV> form_;
};

TEST_F(CommandsWindow, DefaultKeysAndTheExactModifierSet) {
  Open(home_.Path("a.txt"));
  QTest::keyClick(form_.get(), Qt::Key_Down);
  EXPECT_EQ(form_->TopLine, 10);
  QTest::keyClick(form_.get(), Qt::Key_Left);
  EXPECT_EQ(form_->TopLine, 20);
  QTest::keyClick(form_.get(), Qt::Key_Up);
  EXPECT_EQ(form_->TopLine, 10);
  QTest::keyClick(form_.get(), Qt::Key_Home);
  EXPECT_EQ(form_->TopLine, 0);
  QTest::keyClick(form_.get(), Qt::Key_End);
  EXPECT_EQ(form_->TopLine, 20);
  // Shift+Home is bound to nothing.
  QTest::keyClick(form_.get(), Qt::Key_Home, Qt::ShiftModifier);
  EXPECT_EQ(form_->TopLine, 20);
  // Ctrl, Shift and Alt together use the plain table.
  QTest::keyClick(form_.get(), Qt::Key_Home,
                  Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
  EXPECT_EQ(form_->TopLine, 0);
  // So does a key pressed while a mouse button is held.
  form_->FormKeyDown(40, Qt::ControlModifier, Qt::LeftButton);
  EXPECT_EQ(form_->TopLine, 10);
  // Ctrl+A switches automatic page advance on and off.
  QTest::keyClick(form_.get(), Qt::Key_A, Qt::ControlModifier);
  EXPECT_TRUE(form_->mnuOAuto->isChecked());
  QTest::keyClick(form_.get(), Qt::Key_A, Qt::ControlModifier);
  EXPECT_FALSE(form_->mnuOAuto->isChecked());
  // Alt+Enter: full screen and back.
  QTest::keyClick(form_.get(), Qt::Key_Return, Qt::AltModifier);
  EXPECT_TRUE(form_->IsFullScreen());
  QTest::keyClick(form_.get(), Qt::Key_Enter, Qt::AltModifier | Qt::KeypadModifier);
  EXPECT_FALSE(form_->IsFullScreen());
}

TEST_F(CommandsWindow, NewcomerKeysUnlessKaIniBindsThem) {
  Open(home_.Path("a.txt"));
  QTest::keyClick(form_.get(), Qt::Key_PageDown);
  QTest::keyClick(form_.get(), Qt::Key_Space);
  EXPECT_EQ(form_->TopLine, 20);
  QTest::keyClick(form_.get(), Qt::Key_Space, Qt::ShiftModifier);
  EXPECT_EQ(form_->TopLine, 10);
  QTest::keyClick(form_.get(), Qt::Key_PageUp);
  EXPECT_EQ(form_->TopLine, 0);
  QTest::keyClick(form_.get(), Qt::Key_F11);
  EXPECT_TRUE(form_->IsFullScreen());
  QTest::keyClick(form_.get(), Qt::Key_Escape);
  EXPECT_FALSE(form_->IsFullScreen());
  QTest::keyClick(form_.get(), Qt::Key_Escape);
  EXPECT_FALSE(form_->IsFullScreen()) << "Esc only leaves";
  QTest::keyClick(form_.get(), Qt::Key_Q, Qt::ControlModifier);
  EXPECT_FALSE(form_->Book) << "Ctrl+Q quits";

  // The file's own bindings win; the keys it leaves alone still work.
  home_.Write("ka.ini", Utf8ToCp932("PageDown=最後の頁へ\r\nCtrl+Q=最後の頁へ\r\n"));
  Open(home_.Path("a.txt"));
  QTest::keyClick(form_.get(), Qt::Key_PageDown);
  EXPECT_EQ(form_->TopLine, 20);
  QTest::keyClick(form_.get(), Qt::Key_Space, Qt::ShiftModifier);
  EXPECT_EQ(form_->TopLine, 10);
  QTest::keyClick(form_.get(), Qt::Key_Q, Qt::ControlModifier);
  EXPECT_EQ(form_->TopLine, 20);
  ASSERT_TRUE(form_->Book);
  EXPECT_EQ(form_->mnuFEnd->text(), QStringLiteral("終了(&X)"));
}

TEST_F(CommandsWindow, KaIniKeysKeypadTabAndTheLaterLine) {
  home_.Write("ka.ini", Utf8ToCp932("PageDown=一頁進む\r\nPageUp=一頁戻る\r\n"
                                    "b=一行進む\r\n"        // 'b' is 98, the keypad 2
                                    "\t=最後の頁へ\r\n"      // the Tab key
                                    "Ctrl+Shift+F=最初の頁へ\r\n"
                                    "F5=最後の頁へ\r\nF5=一頁進む\r\n"
                                    "ctrl+Home=最後の頁へ\r\n"));
  Open(home_.Path("a.txt"));
  QTest::keyClick(form_.get(), Qt::Key_Down);  // no default bindings any more
  EXPECT_EQ(form_->TopLine, 0);
  QTest::keyClick(form_.get(), Qt::Key_PageDown);
  EXPECT_EQ(form_->TopLine, 10);
  QTest::keyClick(form_.get(), Qt::Key_2, Qt::KeypadModifier);
  EXPECT_EQ(form_->LineOffset, 1);
  QTest::keyClick(form_.get(), Qt::Key_2);  // the main keyboard's 2 is another key
  EXPECT_EQ(form_->LineOffset, 1);
  QTest::keyClick(form_.get(), Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(form_->TopLine, 0);
  QTest::keyClick(form_.get(), Qt::Key_Tab);
  EXPECT_EQ(form_->TopLine, 20);
  QTest::keyClick(form_.get(), Qt::Key_PageUp);
  QTest::keyClick(form_.get(), Qt::Key_F5);  // the later line: one page on
  EXPECT_EQ(form_->TopLine, 20);
  QTest::keyClick(form_.get(), Qt::Key_Home);
  QTest::keyClick(form_.get(), Qt::Key_Home, Qt::ControlModifier);  // lower case: no key
  EXPECT_EQ(form_->TopLine, 20);
}

TEST_F(CommandsWindow, GarbageKaIniAndMaIniStartAndRunNothing) {
  std::mt19937 rng(99);
  std::string noise;
  for (int i = 0; i < 100000; ++i) noise += static_cast<char>(rng());
  home_.Write("ka.ini", noise + "\r\n" + std::string(200000, 'F') + "=\r\n==\r\n");
  home_.Write("ma.ini", noise);
  Open(home_.Path("a.txt"));
  for (const int key : {Qt::Key_Down, Qt::Key_Insert, Qt::Key_F, Qt::Key_Escape, Qt::Key_F12})
    QTest::keyClick(form_.get(), static_cast<Qt::Key>(key));
  Click(QPoint(100, 50));
  Wheel(-120);
  EXPECT_EQ(form_->TopLine, 0);
  EXPECT_TRUE(log_->Messages.empty());
}

TEST_F(CommandsWindow, ClicksDragsAndTheWheel) {
  Open(home_.Path("a.txt"));
  const QPoint at(200, 60);
  Click(at);  // 左クリック: one page on
  EXPECT_EQ(form_->TopLine, 10);
  Click(at, Qt::RightButton);  // 右クリック: one page back
  EXPECT_EQ(form_->TopLine, 0);
  Click(at, Qt::MiddleButton);  // なし
  EXPECT_EQ(form_->TopLine, 0);

  // 40 pixels to the left is a click, 41 a drag (bound to 最後の頁へ).
  Press(at);
  Release(at - QPoint(40, 0));
  EXPECT_EQ(form_->TopLine, 10);
  Press(at);
  Release(at - QPoint(41, 0));
  EXPECT_EQ(form_->TopLine, 20);
  // Right button dragged right: 最初の頁へ; diagonally left and further down:
  // still a drag to the left (bound to nothing for the right button).
  Press(at, Qt::RightButton);
  Release(at + QPoint(60, 5), Qt::RightButton);
  EXPECT_EQ(form_->TopLine, 0);
  form_->PageForward();
  Press(at, Qt::RightButton);
  Release(at + QPoint(-50, 80), Qt::RightButton);
  EXPECT_EQ(form_->TopLine, 10);

  // The wheel: one command a notch; eighths of a notch add up.
  Wheel(-120);
  EXPECT_EQ(form_->TopLine, 20);
  Wheel(240);
  EXPECT_EQ(form_->TopLine, 0);
  for (int i = 0; i < 7; ++i) Wheel(-15);
  EXPECT_EQ(form_->TopLine, 0);
  Wheel(-15);
  EXPECT_EQ(form_->TopLine, 10);
}

TEST_F(CommandsWindow, MaIniBindsUpAndDownDrags) {
  home_.Write("ma.ini", Utf8ToCp932("左ボタンを押しながら上に移動=最後の頁へ\r\n"
                                    "左ボタンを押しながら下に移動=最初の頁へ\r\n"
                                    "左クリック=なし\r\n"));
  Open(home_.Path("a.txt"));
  const QPoint at(200, 80);
  Click(at);
  EXPECT_EQ(form_->TopLine, 0);
  Press(at);
  Release(at + QPoint(30, -41));
  EXPECT_EQ(form_->TopLine, 20);
  Press(at);
  Release(at + QPoint(-40, 45));
  EXPECT_EQ(form_->TopLine, 0);
  Wheel(-120);  // ma.ini exists and does not bind the wheel
  EXPECT_EQ(form_->TopLine, 0);
}

// ---- Links ------------------------------------------------------------------

class Links : public CommandsWindow {
 protected:
  void SetUp() override {
    CommandsWindow::SetUp();
    std::filesystem::create_directories(home_.Native() / "A" / "B" / "sub");
    home_.Write("A/index.html", "<html><body>index of A</body></html>\r\n");
    home_.Write("A/B/sub/index.htm", "<html><body>sub index</body></html>\r\n");
    std::string other = "<html><body>\r\n";
    for (int i = 0; i < 45; ++i) other += "line " + std::to_string(i) + "<br>\r\n";
    other += "<a name=\"part2\">part two</a><br>\r\n";
    for (int i = 0; i < 20; ++i) other += "tail " + std::to_string(i) + "<br>\r\n";
    other += "</body></html>\r\n";
    home_.Write("A/B/other.html", other);
    std::string body;  // two more pages of plain lines
    for (int i = 0; i < 20; ++i) body += "text " + std::to_string(i) + "<br>\r\n";
    home_.Write("A/B/page.html",
                "<html><body>\r\n"
                "<a href=\"../index.html\">up one folder</a><br>\r\n"
                "<a href=\"sub/\">a folder</a><br>\r\n"
                "<a href=\"other.html#part2\">an anchor</a><br>\r\n"
                "<a href=\"http://example.com/x\">the web</a><br>\r\n"
                "<a href=\"missing.html\">nothing there</a><br>\r\n" +
                    body + "</body></html>\r\n");
  }

  // The centre of the first link rectangle whose target is target.
  QPoint LinkCentre(std::string_view target) const {
    const TLinkItems& links = form_->Book->Links;
    for (int i = 0; i < links.Count(); ++i) {
      const TLinkItem* item = links.Item(i);
      if (item->Target == target) {
        const qreal ratio = Page()->devicePixelRatioF();
        return QPoint(static_cast<int>((item->Left + item->Right) / 2 / ratio),
                      static_cast<int>((item->Top + item->Bottom) / 2 / ratio));
      }
    }
    ADD_FAILURE() << "no link to " << target;
    return QPoint(-1, -1);
  }
  void OpenPage() {
    Open(home_.Path("A/B/page.html"));
    ASSERT_GE(form_->Book->Links.Count(), 5);
    // The pointer itself rests off the page (tests share one screen).
    QCursor::setPos(Global(QPoint(-20, -20)));
  }
};

TEST_F(Links, HoverShowsTheResolvedTargetAndAHand) {
  OpenPage();
  const QPoint up = LinkCentre("../index.html");
  Move(up);
  EXPECT_TRUE(form_->lblPopUp->isVisible());
  EXPECT_EQ(form_->lblPopUp->text().toStdString(), Cp932ToUtf8(home_.Path("A/index.html")));
  // Below the pointer; a label wider than the page still ends at its right
  // edge, so the file name shows.
  EXPECT_EQ(form_->lblPopUp->pos(),
            QPoint(std::min(up.x(), Page()->width() - form_->lblPopUp->width()), up.y() + 20));
  EXPECT_EQ(Page()->cursor().shape(), Qt::PointingHandCursor);
  // The web address stays as written.
  Move(LinkCentre("http://example.com/x"));
  EXPECT_EQ(form_->lblPopUp->text(), QStringLiteral("http://example.com/x"));
  // Off the links: hidden again, normal pointer.
  Move(QPoint(390, Page()->height() - 2));
  EXPECT_FALSE(form_->lblPopUp->isVisible());
  EXPECT_EQ(Page()->cursor().shape(), Qt::ArrowCursor);
  // Near the right edge the label ends at the edge.
  form_->Book->Links.Add(350, 0, 399, 5, std::string(40, 'x') + ".html");
  Move(QPoint(390, 2));
  ASSERT_TRUE(form_->lblPopUp->isVisible());
  EXPECT_EQ(form_->lblPopUp->x() + form_->lblPopUp->width(), Page()->width());
}

TEST_F(Links, ThePopUpFollowsThePageUnderAStillPointer) {
  OpenPage();
  const QPoint up = LinkCentre("../index.html");
  QCursor::setPos(Global(up));
  if (QCursor::pos() != Global(up)) GTEST_SKIP() << "this platform cannot place the pointer";
  Move(up);
  ASSERT_TRUE(form_->lblPopUp->isVisible());
  // The next page has no link there: no pop-up, no hand.
  QTest::keyClick(form_.get(), Qt::Key_Down);
  EXPECT_GT(form_->TopLine, 0);
  EXPECT_FALSE(form_->lblPopUp->isVisible());
  EXPECT_EQ(Page()->cursor().shape(), Qt::ArrowCursor);
  // Back on the first page the link is under the pointer again.
  QTest::keyClick(form_.get(), Qt::Key_Up);
  EXPECT_TRUE(form_->lblPopUp->isVisible());
  EXPECT_EQ(Page()->cursor().shape(), Qt::PointingHandCursor);
  // Following a link never leaves the old target on show.
  Click(up);
  EXPECT_EQ(Shown(), Cp932ToUtf8(home_.Path("A/index.html")));
  EXPECT_FALSE(form_->lblPopUp->isVisible());
}

TEST_F(Links, FollowingClimbsFoldersOpensIndexesAndAnchors) {
  OpenPage();
  // A right click over a link is a right click.
  Click(LinkCentre("../index.html"), Qt::RightButton);
  EXPECT_EQ(Shown(), Cp932ToUtf8(home_.Path("A/B/page.html")));
  // The left button follows the link although 左クリック is bound.
  Click(LinkCentre("../index.html"));
  EXPECT_EQ(Shown(), Cp932ToUtf8(home_.Path("A/index.html")));
  EXPECT_EQ(form_->TopLine, 0);

  form_->OpenPreviousHistory();
  EXPECT_EQ(Shown(), Cp932ToUtf8(home_.Path("A/B/page.html")));
  Click(LinkCentre("sub/"));
  EXPECT_EQ(Shown(), Cp932ToUtf8(home_.Path("A/B/sub/index.htm")));

  form_->OpenPreviousHistory();
  Click(LinkCentre("other.html#part2"));
  EXPECT_EQ(Shown(), Cp932ToUtf8(home_.Path("A/B/other.html")));
  const int32_t anchor = form_->Book->AnchorLine("part2");
  ASSERT_GT(anchor, 10);
  EXPECT_GT(form_->TopLine, 0);
  EXPECT_LE(form_->Book->SourceLineOf(form_->TopLine), anchor);
  EXPECT_GT(form_->Book->SourceLineOf(form_->TopLine + form_->Book->LinesPerPage()), anchor);

  form_->OpenPreviousHistory();
  Click(LinkCentre("http://example.com/x"));
  EXPECT_EQ(sources_->Urls, std::vector<std::string>{"http://example.com/x"});
  EXPECT_EQ(Shown(), Cp932ToUtf8(home_.Path("A/B/page.html")));
  // A missing target is ignored silently.
  Click(LinkCentre("missing.html"));
  EXPECT_EQ(Shown(), Cp932ToUtf8(home_.Path("A/B/page.html")));
  EXPECT_TRUE(log_->Messages.empty());
  // A bare anchor names no file.
  form_->FollowLink("#part2");
  EXPECT_EQ(Shown(), Cp932ToUtf8(home_.Path("A/B/page.html")));
  EXPECT_EQ(Page()->cursor().shape(), Qt::ArrowCursor);
}

// ---- Other sources -------------------------------------------------------------

TEST_F(CommandsWindow, OpenDialogStartsInTheRightFolderWithTheFilters) {
  Open(home_.Path("a.txt"));
  sources_->Answer = std::nullopt;
  form_->RunCommand(TCommand::OpenWithDialog);
  ASSERT_EQ(sources_->Folders.size(), 1u);
  EXPECT_EQ(sources_->Folders[0], home_.Dir());
  ASSERT_EQ(sources_->Filters.size(), 3u);
  EXPECT_EQ(sources_->Filters[0], "Text (*.txt *.htm *.html *.shtm *.shtml)");
  EXPECT_EQ(Shown(), Cp932ToUtf8(home_.Path("a.txt")));

  sources_->Answer = home_.Path("b.txt");
  QTest::keyClick(form_.get(), Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(Shown(), Cp932ToUtf8(home_.Path("b.txt")));
  sources_->Answer = home_.Path("a.txt");
  form_->mnuFOpen->trigger();
  EXPECT_EQ(Shown(), Cp932ToUtf8(home_.Path("a.txt")));

  // Reading from an archive: the dialog starts in the archive's folder.
  form_->History[0].Archive = "/somewhere/books.zip";
  sources_->Answer = std::nullopt;
  form_->OpenWithDialog();
  EXPECT_EQ(sources_->Folders.back(), "/somewhere/");
}

TEST_F(CommandsWindow, ClipboardPathOpensTheFileOtherTextIsSaved) {
  Open(home_.Path("a.txt"));
  form_->GoEnd();
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->setText(QString::fromStdString(Cp932ToUtf8(home_.Path("b.txt"))));
  QTest::keyClick(form_.get(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Shown(), Cp932ToUtf8(home_.Path("b.txt")));

  clipboard->setText(QStringLiteral("一行目\n二行目\n%1").arg(QString::fromStdString(
      Cp932ToUtf8(home_.Path("b.txt")))));
  form_->mnuFClipBoard->trigger();
  EXPECT_EQ(Shown(), Cp932ToUtf8(home_.Path("clipbord.txt")));
  EXPECT_EQ(form_->TopLine, 0);
  EXPECT_EQ(home_.Read("clipbord.txt"),
            Utf8ToCp932("一行目\r\n二行目\r\n") + home_.Path("b.txt") + "\r\n");
  EXPECT_EQ(Cp932ToUtf8(form_->History[1].FullPath), Cp932ToUtf8(home_.Path("b.txt")));

  // Nothing on the clipboard: nothing happens.
  clipboard->clear();
  form_->ReadClipboard();
  EXPECT_EQ(Shown(), Cp932ToUtf8(home_.Path("clipbord.txt")));
  EXPECT_TRUE(log_->Messages.empty());
}

TEST_F(CommandsWindow, DroppingThreeFilesOpensOnlyTheFirst) {
  home_.Write("c.txt", Lines(5));
  Open(home_.Path("a.txt"));
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(home_.Path("c.txt"))),
                QUrl::fromLocalFile(QString::fromStdString(home_.Path("b.txt"))),
                QUrl::fromLocalFile(QString::fromStdString(home_.Path("a.txt")))});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(form_.get(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(form_.get(), &drop);
  EXPECT_EQ(Shown(), Cp932ToUtf8(home_.Path("c.txt")));
  EXPECT_EQ(Cp932ToUtf8(form_->History[1].FullPath), Cp932ToUtf8(home_.Path("a.txt")));
  EXPECT_TRUE(form_->History[2].FullPath.empty());

  // Web addresses are no files to drop.
  QMimeData web;
  web.setUrls({QUrl(QStringLiteral("http://example.com/a.txt"))});
  QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &web, Qt::LeftButton, Qt::NoModifier);
  refused.setAccepted(false);
  QCoreApplication::sendEvent(form_.get(), &refused);
  EXPECT_FALSE(refused.isAccepted());
}

TEST_F(CommandsWindow, HistoryMenuShowsAtMostTenEntriesAndReopens) {
  for (int i = 0; i < 12; ++i) home_.Write("f" + std::to_string(i) + ".txt", Lines(30));
  Open(home_.Path("f0.txt"));
  for (int i = 1; i < 12; ++i) form_->OpenDocument(home_.Path("f" + std::to_string(i) + ".txt"), -1, "");
  ASSERT_EQ(Cp932ToUtf8(form_->History[11].FullPath), Cp932ToUtf8(home_.Path("f0.txt")));
  emit form_->mnuF->aboutToShow();
  int visible = 0;
  for (QAction* item : form_->HistoryItems) visible += item->isVisible() ? 1 : 0;
  EXPECT_EQ(visible, 10);
  EXPECT_EQ(form_->HistoryItems[0]->text(), QStringLiteral("&0 f11.txt"));
  EXPECT_EQ(form_->HistoryItems[9]->text(), QStringLiteral("&9 f2.txt"));

  // 一つ前のファイル履歴を開く twice comes back, at the reading positions.
  form_->GoEnd();
  const int32_t end = form_->TopLine;
  form_->RunCommand(TCommand::OpenPreviousHistory);
  EXPECT_EQ(Shown(), Cp932ToUtf8(home_.Path("f10.txt")));
  form_->RunCommand(TCommand::OpenPreviousHistory);
  EXPECT_EQ(Shown(), Cp932ToUtf8(home_.Path("f11.txt")));
  EXPECT_EQ(form_->TopLine, end);

  // 再読込 keeps the page; a history item opens its entry.
  QTest::keyClick(form_.get(), Qt::Key_F5);
  EXPECT_EQ(form_->TopLine, end);
  form_->HistoryItems[3]->trigger();
  EXPECT_EQ(Shown(), Cp932ToUtf8(home_.Path("f8.txt")));
}

}  // namespace
}  // namespace rpv::test
