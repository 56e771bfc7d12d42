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
#include <exception>

#include "app/AppMessages.h"
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

  // Styles: the first section of info.ini is the style at start-up.
  {
    const TIniFile info(ExeDir + "info.ini");
    StyleNames = info.ReadSections();
  }
  if (StyleNames.empty()) StyleNames.emplace_back("Default");
  for (int i = 0; i < static_cast<int>(StyleNames.size()); ++i) AddStyleMenuItem(i);
  StyleIndex = 0;
  StyleItems[0]->setChecked(true);
  Book->LoadStyle(ExeDir + "info.ini", StyleNames[0], PageDpi());
  UpdateMinimumSize();

  StyleEditorPage = 0;
  History = TFileHistoryList();

  {
    const TIniFile ini(iniPath_);
    Settings = TProgramSettings();
    Settings.Read(ini);
    History.Read(ini);
  }
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
  try {
    BookMarks->LoadFromFile(ExeDir + "bm.csv");
  } catch (const EBookMarkError& e) {
    // Start with an empty store, but never let it overwrite the file the
    // user may still repair.
    BookMarksWritable = false;
    Dialogs().ShowMessage(e.what());
  }
  BuildBookmarkMenu();
  BuildToolMenu();
  LoadKeyAssignments();
  LoadMouseAssignments();

  show();
  if (QWindow* window = windowHandle())
    connect(window, &QWindow::screenChanged, this, [this] { ScreenChanged(); });

  if (args_.empty()) {
    if (Settings.blnLast) OpenDocument(History[0].FullPath, History[0].BookMark, History[0].Archive);
  } else {
    OpenDocument(args_[0], -1, "");
  }

  Started = true;
  tmrAuto->start();
  IdleCount = 0;
  setAcceptDrops(true);
  // Without a document the empty page still takes the client size.
  if (!HasDocument()) ShowAtPosition(Book->SourceLineOf(TopLine));
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
  Book.reset();
}

void TfrmRPV::WriteSettings() {
  TIniFile ini(iniPath_);
  Settings.FullScreen = mnuOScreenChange->isChecked();
  const Qt::WindowStates state = windowState();
  Settings.WindowState = (state & Qt::WindowMinimized)   ? kWindowMinimised
                         : (state & Qt::WindowMaximized) ? kWindowMaximised
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
  Settings.Write(ini, placement);
  if (HasDocument()) History[0].BookMark = Book->SourceLineOf(TopLine);
  History.Write(ini);
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
  FormDestroy();
  event->accept();
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
