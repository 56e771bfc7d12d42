// Construction, start-up, shutdown and the window's own events.
#include "app/rpvMain.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStandardPaths>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <exception>

#include "app/AppMessages.h"
#include "app/BookLoader.h"
#include "app/LayoutRunner.h"
#include "app/PageView.h"
#include "app/QtText.h"
#include "app/QtUserDialogs.h"
#include "bookmarks/rpvBookMark.h"
#include "platform/ExeDir.h"
#include "platform/FileIO.h"
#include "platform/IniFile.h"
#include "render/BookClass.h"

namespace rpv {

std::string ProductName() { return Sjis(kProductName); }

TfrmRPV::TfrmRPV(std::vector<std::string> args, std::unique_ptr<IUserDialogs> dialogs)
    : args_(std::move(args)), dialogs_(std::move(dialogs)) {
  if (!dialogs_) dialogs_ = std::make_unique<TQtUserDialogs>(this);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);

  mnuMain = new QMenuBar(this);
  mnuMain->setObjectName(QStringLiteral("mnuMain"));
  mnuMain->setNativeMenuBar(false);
  pageView_ = new TPageView(this);
  pageView_->lower();
  loader_ = std::make_unique<TBookLoader>(pageView_);
  layout_ = std::make_unique<TLayoutRunner>(pageView_, [this] { LinesArrived(); });

  // The link pop-up: a flat-bordered cream label over the page.
  lblPopUp = new QLabel(pageView_);
  lblPopUp->setObjectName(QStringLiteral("lblPopUp"));
  lblPopUp->setFrameStyle(QFrame::Box | QFrame::Plain);
  lblPopUp->setLineWidth(1);
  lblPopUp->setAlignment(Qt::AlignCenter);
  lblPopUp->setAutoFillBackground(true);
  QPalette cream = lblPopUp->palette();
  cream.setColor(QPalette::Window, QColor(0xFF, 0xFB, 0xF0));  // clCream
  cream.setColor(QPalette::WindowText, Qt::black);
  lblPopUp->setPalette(cream);
  QFont popUpFont(ToQString(Sjis(kWindowFontName)));
  popUpFont.setPixelSize(12);
  lblPopUp->setFont(popUpFont);
  lblPopUp->hide();

  tmrAuto = new QTimer(this);
  tmrAuto->setObjectName(QStringLiteral("tmrAuto"));
  tmrAuto->setInterval(1000);
  connect(tmrAuto, &QTimer::timeout, this, [this] { tmrAutoTimer(); });

  BuildMainMenu();
}

TfrmRPV::~TfrmRPV() {
  // A window destroyed without being closed still saves its settings.
  if (Started) FormDestroy();
}

void TfrmRPV::FormCreate() {
  Book = std::make_unique<TBookClass>();
  Book->OnFilterTick = [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
  StyleNames.clear();
  TopLine = 0;
  LineOffset = 0;
  LayoutEnabled = true;
  ExeDir = rpv::ExeDir();
  iniPath_ = ExeDir + std::string(kProgramIniName);
  // What a save killed halfway (a logout, a power cut) left behind.
  RemoveStaleTemporaries(ExeDir, {kProgramIniName, "info.ini", "ka.ini", "ma.ini", "tool.ini", "bm.csv",
                                  "bm.pos", "clipbord.txt"});

  // rpv.ini first: it names the style to start with.
  History = TFileHistoryList();
  {
    const TIniFile ini(iniPath_);
    Settings = TProgramSettings();
    Settings.Read(ini);
    History.Read(ini);
  }

  // Styles: the one used last, else the first section of info.ini.
  {
    const TIniFile info(ExeDir + "info.ini");
    StyleNames = info.ReadSections();
  }
  if (StyleNames.empty()) StyleNames.emplace_back("Default");
  for (int i = 0; i < static_cast<int>(StyleNames.size()); ++i) AddStyleMenuItem(i);
  const auto last = std::find(StyleNames.begin(), StyleNames.end(), Settings.StyleName);
  StyleIndex = last == StyleNames.end() ? 0 : static_cast<int32_t>(last - StyleNames.begin());
  StyleItems[static_cast<size_t>(StyleIndex)]->setChecked(true);
  Book->LoadStyle(ExeDir + "info.ini", StyleNames[static_cast<size_t>(StyleIndex)], PageDpi());
  UpdateMinimumSize();
  StyleEditorPage = 0;
  mnuOScreenChange->setChecked(!Settings.FullScreen);
  ApplyPlacement(QRect(Settings.Left, Settings.Top, Settings.Width, Settings.Height));
  if (Settings.WindowState == kWindowMaximised) setWindowState(Qt::WindowMaximized);
  else if (Settings.WindowState == kWindowMinimised) setWindowState(Qt::WindowMinimized);
  mnuOAuto->setChecked(Settings.AutoEnabled);

  WindowBounds = CurrentPlacement();
  // Flips the tick back to the stored mode and applies it.
  ToggleFullScreen();

  SetCaption(ProductName(), ProductName());
  ApplyWindowColour();
  mnuODelNewLine->setChecked(Book->DeleteBlankLines);
  tmrAuto->stop();

  BookMarks = std::make_unique<TBookMarks>();
  ReloadBookMarks();
  BuildBookmarkMenu();
  BuildToolMenu();
  LoadKeyAssignments();
  LoadMouseAssignments();

  show();
  if (QWindow* window = windowHandle())
    connect(window, &QWindow::screenChanged, this, [this] { ScreenChanged(); });
  // The window and its menu are on screen before the book is read.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

  if (args_.empty()) {
    if (Settings.blnLast) OpenDocument(History[0].FullPath, History[0].Position(), History[0].Archive);
  } else {
    OpenDocument(args_[0], -1, "");
  }

  Started = true;
  tmrAuto->start();
  IdleCount = 0;
  setAcceptDrops(true);
  // Without a document the empty page still takes the client size.
  if (!HasDocument()) Relayout();
}

void TfrmRPV::FormDestroy() {
  if (destroyed_ || !Book) return;
  destroyed_ = true;
  tmrAuto->stop();
  WriteSettings();
  DeleteArchiveFolder();
  BookMarks.reset();
  StyleNames.clear();
  Started = false;
  setAcceptDrops(false);
  // The layout reads the document's text: stopped before the document goes.
  layout_->Cancel();
  Book.reset();
}

void TfrmRPV::WriteSettings() {
  TIniFile ini(iniPath_);
  Settings.FullScreen = mnuOScreenChange->isChecked();
  const Qt::WindowStates state = windowState();
  // Full screen over a maximised window: window managers drop the
  // maximised flag meanwhile, but the window comes back maximised.
  const bool maximised = (state & Qt::WindowMaximized) || (IsFullScreen() && maximisedBeneath_);
  Settings.WindowState = (state & Qt::WindowMinimized) ? kWindowMinimised
                         : maximised                   ? kWindowMaximised
                                                       : kWindowNormal;
  const bool placement = !IsFullScreen() && !(state & Qt::WindowMaximized);
  if (placement) {
    const QRect r = CurrentPlacement();
    Settings.Left = r.x();
    Settings.Top = r.y();
    Settings.Width = r.width();
    Settings.Height = r.height();
  }
  Settings.AutoEnabled = mnuOAuto->isChecked();
  if (StyleIndex >= 0 && static_cast<size_t>(StyleIndex) < StyleNames.size())
    Settings.StyleName = StyleNames[static_cast<size_t>(StyleIndex)];
  Settings.Write(ini, placement);
  if (HasDocument()) History[0].SetPosition(ReadingPosition);
  // Another window on the same folder may have saved since this one started:
  // keep its reading places too.
  TFileHistoryList onDisk;
  onDisk.Read(ini);
  History.MergedWith(onDisk).Write(ini);
  if (!ini.UpdateFile()) Dialogs().ShowMessage(FormatS(Sjis(kMsgCannotWrite), iniPath_));
}

void TfrmRPV::DeleteArchiveFolder() {
  if ((Settings.EndOpt & kEndOptDeleteArchive) == 0) return;
  const std::string folder = ExeDir + "archive";
  if (!DirectoryExists(folder)) return;
  // To the trash, so nothing is lost for good; a folder the trash refuses
  // stays where it is. Qt 6.4 moves the folder into "files" of the current
  // directory when it cannot make the home trash: make the trash first, and
  // keep the folder when that fails too.
  const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  if (data.isEmpty() || !QDir().mkpath(data + "/Trash/files") || !QDir().mkpath(data + "/Trash/info"))
    return;
  const QString path = QString::fromStdString(NativePath(folder).string());
  QString inTrash;
  if (QFile::moveToTrash(path, &inTrash) && QDir::isRelativePath(inTrash)) QDir().rename(inTrash, path);
}

void TfrmRPV::closeEvent(QCloseEvent* event) {
  if (loader_->Busy() || layout_->Waiting()) {
    // The read or wait is given up first; the close follows once it has
    // returned.
    loader_->Cancel();
    layout_->StopWaiting();
    event->ignore();
    QTimer::singleShot(0, this, [this] { close(); });
    return;
  }
  FormDestroy();
  event->accept();
  // Windows of our own still open (the modeless find dialog) must not
  // outlive it, nor keep the program running without its main window.
  for (QWidget* child : findChildren<QWidget*>())
    if (child->isWindow() && child->isVisible()) child->close();
  if (OnClosed) OnClosed();
}

void TfrmRPV::keyPressEvent(QKeyEvent* event) {
  FormKeyDown(VirtualKeyOf(*event), event->modifiers(), QGuiApplication::mouseButtons());
  event->accept();
}

void TfrmRPV::keyReleaseEvent(QKeyEvent* event) {
  if (!event->isAutoRepeat()) FormKeyUp(VirtualKeyOf(*event));
  event->accept();
}

void TfrmRPV::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) LayoutChildren();
}

void TfrmRPV::FormKeyUp(int virtualKey) {
  if (virtualKey == kVkMenu && IsFullScreen()) RevealMenu(menuRevealed_ ? 0 : -MenuBarHeight());
}

}  // namespace rpv
