// The main window: owns the document and everything the user sees — the page
// drawn over the whole client area, the main menu, the link pop-up, the find
// dialog and the one timer — plus the settings of rpv.ini, the file history,
// the bookmark store and the command slots of keys and mouse.
//
// The implementation is split by concern:
//   rpvMain.cpp            construction, start-up, shutdown, events
//   rpvMainMenu.cpp        the main menu, the style and history items
//   rpvMainDocument.cpp    opening, history, layout, painting, resizing
//   rpvMainNavigation.cpp  page and line steps, jump, find, timer, neighbours
//   rpvMainScreen.cpp      full screen and the hidden menu bar
//   rpvMainInput.cpp       keys, mouse, wheel and gestures run commands
//   rpvMainSources.cpp     open dialog, clipboard, drops, links, history
//   rpvMainStyles.cpp      the style menu: add, list, editor
//   rpvMainBookmarks.cpp   the しおり menu and the bookmark commands
//   rpvMainTools.cpp       tools menu, external editor, other settings, help
#pragma once

#include <QPoint>
#include <QRect>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/ProgramSettings.h"
#include "app/UserDialogs.h"
#include "app/VirtualKeys.h"
#include "app/commands/Assignments.h"
#include "app/commands/PointerInput.h"

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QTimer;

namespace rpv {

class TBookClass;
class TBookLoader;
class TLayoutRunner;
class TBookMarks;
class TPageView;

// The caption of the window and the product name.
std::string ProductName();

class TfrmRPV : public QWidget {
 public:
  // args: the command-line arguments after the program name, CP932. The
  // dialogs default to Qt message and input boxes.
  explicit TfrmRPV(std::vector<std::string> args,
                   std::unique_ptr<IUserDialogs> dialogs = nullptr);
  ~TfrmRPV() override;

  // Start-up: styles, settings, history, menus, assignments; shows the
  // window and opens the file of the command line or the last document.
  void FormCreate();
  // Shutdown: writes rpv.ini and clears the archive folder when asked to.
  // Runs once, when the window closes (or at destruction at the latest).
  void FormDestroy();

  // ---- Documents, layout, painting --------------------------------------
  // Opens and shows a file. position -1: the position the history holds for
  // the exact path, else the start. archive: the archive the file came from,
  // or the archive to extract the file again from when it is gone.
  void OpenDocument(std::string path, int32_t position, std::string archive);
  // The same at an exact position; Line -1: the history's, else the start.
  void OpenDocument(std::string path, TReadingPosition position, std::string archive);
  void AddHistory(const std::string& path, const TReadingPosition& position,
                  const std::string& archive);
  // Re-measures the page from the client size, rebuilds the lines and shows
  // the page holding the position, which becomes the reading position.
  void ShowAtPosition(int32_t position);
  void ShowAtPosition(const TReadingPosition& position);
  // Every new layout of the document on show (size, full screen, style,
  // blank lines, dpi): the page holding the reading position's character.
  void Relayout();
  // Layout runs on a worker thread (BackgroundLayout): the page asked for
  // shows as soon as its lines exist, the rest of the book follows. True
  // until that page is on screen.
  bool AwaitingPage() const { return awaitingPage_; }
  // Waits, showing progress, until the layout has made `end` display lines
  // or is complete; false when the wait was given up or the layout was
  // started again meanwhile.
  bool WaitForLines(int64_t end);
  bool WaitForWholeLayout();
  // Books of fewer bytes are laid out at once on the window's thread (in
  // less time than a frame takes); larger ones beside the window.
  size_t BackgroundLayoutBytes = 512 * 1024;
  TLayoutRunner& Layout() const { return *layout_; }
  // Repaints at once, without re-layout, after TopLine/LineOffset moved:
  // the view's first character becomes the reading position and the find
  // mark goes.
  void RedrawPage();
  void ToggleFullScreen();
  // Shows the hidden menu bar of the full-screen window when y lies within
  // its height, and hides it again otherwise.
  void RevealMenu(int32_t y);

  // ---- Navigation ---------------------------------------------------------
  bool SetTopLine(int32_t line);
  void PageBack();
  void PageForward();
  void LineBack();
  void LineForward();
  void GoHead();
  void GoEnd();
  bool GoToPage(int32_t page);
  void ShowPageOfLine(int32_t line);
  void PageJump();
  void ShowFindDialog();
  // Shows and marks the next match; false when there is none.
  bool dlgFindFind(const std::string& pattern, int options);
  void ToggleAutoPage();
  void ToggleAutoLine();
  void ToggleBlankLines();
  void tmrAutoTimer();
  // 0 next file of the folder, 1 previous, 2 the list of the folder.
  void OfferNeighbourFile(int mode);

  // ---- Input --------------------------------------------------------------
  // Runs the operation behind a command of ka.ini and ma.ini.
  void RunCommand(TCommand command);
  // buttons: the mouse buttons held, which make the modifier set unlisted.
  void FormKeyDown(int virtualKey, Qt::KeyboardModifiers modifiers,
                   Qt::MouseButtons buttons = Qt::NoButton);
  void FormKeyUp(int virtualKey);
  // Client position of the pointer on the page (window pixels), and its
  // screen position.
  void FormMouseMove(QPoint client, QPoint screen);
  void FormMouseDown(Qt::MouseButton button, QPoint screen);
  void mwvMainMouseUp(Qt::MouseButton button, QPoint client, QPoint screen);
  // angleDelta: the wheel event's delta in eighths of a degree.
  void FormMouseWheel(QPoint angleDelta, Qt::KeyboardModifiers modifiers);
  // Reads ka.ini / ma.ini (or the defaults) into the slots.
  void LoadKeyAssignments();
  void LoadMouseAssignments();

  // ---- Styles (rpvMainStyles.cpp) -----------------------------------------
  // The style editor for the current style, on the tab last used.
  void ChangeStyle();
  void mnuSAddClick();
  void mnuSListClick();

  // ---- Document sources ---------------------------------------------------
  void OpenWithDialog();
  void ReadClipboard();
  void ReloadDocument();
  void OpenPreviousHistory();
  // Opens the first of the dropped files (CP932 paths); the rest are ignored.
  void OpenDroppedFiles(const std::vector<std::string>& paths);
  // Follows the target of a link of the page.
  void FollowLink(const std::string& target);
  // The link target under a client position of the page, or empty.
  std::string LinkTargetAt(QPoint client) const;
  // The pop-up and the hand pointer for the link under a client position
  // (hidden and the arrow when there is none).
  void ShowLinkPopUp(QPoint client);
  // The same for where the pointer is now, after the page changed.
  void RefreshLinkPopUp();

  // ---- Bookmarks ----------------------------------------------------------
  // A bookmark at the top of the page on screen, first in the store and in
  // bm.csv at once.
  void SetBookmark();
  // Opens the first (newest) bookmark.
  void ReadBookmark();
  // Opens the bookmark at a store index.
  void mnuBookMarkClick(int index);
  // The bookmark manager; after OK the store and the menu are read again.
  void mnuBEditClick();
  // Replaces the store with bm.csv. A file that cannot be read is reported,
  // leaves the store as it was and is never written over until it reads.
  bool ReloadBookMarks();
  // The しおり menu from the store: 追加, 編集, then the bookmarks in the
  // form BookMarkType chooses.
  void BuildBookmarkMenu();

  // ---- Tools, editor, other settings, help --------------------------------
  // Switches the filter of a ツール item (its tick) and reads the document
  // again through the filters.
  void mnuToolChildClick(int index);
  // Starts EditorName with EditorOption's arguments for the view's place.
  void StartEditor();
  void OpenOtherSettings();
  void mnuHHelpClick();
  void mnuHHomePageClick();
  void mnuHVersionClick();
  // Runs once the window has closed (the program ends there).
  std::function<void()> OnClosed;

  // ---- State (named as the rest of the program knows it) -----------------
  std::unique_ptr<TBookClass> Book;
  std::string ExeDir;
  std::string CurrentDir;
  int32_t TopLine = 0;
  int32_t LineOffset = 0;
  // The exact reading position: the first character the user brought into
  // view. Re-layouts show the page holding it and leave it alone (taking the
  // new page's first character instead would slip back a little with every
  // layout); steps, jumps and finds set it from the view.
  TReadingPosition ReadingPosition;
  bool LayoutEnabled = true;
  bool Started = false;
  QRect WindowBounds;
  TFileHistoryList History;
  std::vector<std::string> StyleNames;
  int32_t StyleIndex = 0;
  int32_t StyleEditorPage = 0;
  std::unique_ptr<TBookMarks> BookMarks;
  // False after bm.csv failed to load: saving the store then would replace
  // the unreadable file and every bookmark in it.
  bool BookMarksWritable = true;
  TProgramSettings Settings;
  uint32_t IdleCount = 0;
  int32_t ButtonDown = 0;
  QPoint DownPos;
  QPoint LastMovePos;

  TMouseAssignments MouseHandlers;
  TKeyAssignments KeyHandlers;

  // ---- Controls -----------------------------------------------------------
  QMenuBar* mnuMain = nullptr;
  QMenu* mnuF = nullptr;
  QAction* mnuFOpen = nullptr;
  QAction* mnuFClipBoard = nullptr;
  QAction* mnuFEnd = nullptr;
  std::array<QAction*, kHistoryMenuCount> HistoryItems{};
  QMenu* mnuB = nullptr;
  QMenu* mnuM = nullptr;
  QAction* mnuMHead = nullptr;
  QAction* mnuMEnd = nullptr;
  QAction* mnuMPageJump = nullptr;
  QAction* mnuMFind = nullptr;
  QMenu* mnuS = nullptr;
  QAction* mnuSAdd = nullptr;
  QAction* mnuSList = nullptr;
  QAction* mnuSChage = nullptr;
  std::vector<QAction*> StyleItems;
  QMenu* mnuTool = nullptr;
  QMenu* mnuO = nullptr;
  QAction* mnuOScreenChange = nullptr;
  QAction* mnuOAuto = nullptr;
  QAction* mnuOAutoLine = nullptr;
  QAction* mnuODelNewLine = nullptr;
  QAction* mnuOEditor = nullptr;
  QAction* mnuOOtherSetup = nullptr;
  QMenu* mnuH = nullptr;
  QAction* mnuHHelp = nullptr;
  QAction* mnuHHomePage = nullptr;
  QAction* mnuHVersion = nullptr;
  QLabel* lblPopUp = nullptr;
  QTimer* tmrAuto = nullptr;

  // The page widget (the client area).
  TPageView* PageView() const { return pageView_; }
  IUserDialogs& Dialogs() const { return *dialogs_; }
  // Reads books off the window's thread; busy while a read runs.
  TBookLoader& Loader() const { return *loader_; }
  // Client size in page-bitmap (device) pixels.
  int32_t ClientWidth() const;
  int32_t ClientHeight() const;
  // Height of the menu bar in window pixels.
  int32_t MenuBarHeight() const;
  bool IsFullScreen() const;
  bool MenuRevealed() const { return menuRevealed_; }
  // Dots per inch of the page bitmap: logical dpi times the device pixel ratio.
  int32_t PageDpi() const;
  // The application title: the product name, or the file name of the
  // document on screen.
  const std::string& ApplicationTitle() const { return appTitle_; }

  // Paints the page (the paint handler of the page widget).
  void FormPaint(class QPainter& painter);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  bool focusNextPrevChild(bool next) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // rpvMainMenu.cpp
  void BuildMainMenu();
  void AddStyleMenuItem(int index);
  void mnuSectionClick(int index);
  void RefreshHistoryMenu();
  void mnuFFileHistoryClick(int index);
  void BuildToolMenu();
  // rpvMainTools.cpp
  void ConnectToolsAndHelp();

  // rpvMainStyles.cpp
  void ConnectStyleMenu();
  // Removes the style items and makes one for each of StyleNames.
  void RebuildStyleMenu();
  TStyleDialogContext StyleDialogContext() const;
  // Each command item shows the first key bound to it.
  void ShowMenuKeys();

  // rpvMainDocument.cpp
  void LoadCurrentStyle();
  void ScreenChanged();
  void ApplyWindowColour();
  void SetCaption(const std::string& caption, const std::string& appTitle);
  // The extracted copy of the member of an archive, or empty.
  std::string ArchiveStep(const std::string& archive, const std::string& member);
  void FormResize();
  void UpdateMinimumSize();
  // The page area the window must keep, in window pixels.
  QSize MinimumClientSize() const;
  // True while a document read from a file is on screen.
  bool HasDocument() const { return documentShown_; }

  // rpvMainScreen.cpp
  void LayoutChildren();
  void ApplyPlacement(const QRect& bounds);
  QRect CurrentPlacement() const;
  void EnterFullScreen();
  void LeaveFullScreen();

  void WriteSettings();
  // Repaints at once, keeping the reading position and the find mark.
  void RepaintPage();
  // Drops the find mark; true when there was one (the page then needs a
  // repaint).
  bool ClearFindMark();
  void DeleteArchiveFolder();

  // rpvMainLayout.cpp
  // Moves the lines the layout made into the document; shows the page
  // awaited once they reach it, and the page count once it is known.
  void LinesArrived();
  // Shows the awaited page if its lines are all there; false if not yet.
  bool ShowAwaitedPage();
  // Shows the page whose first line is `top` for the position asked for
  // (which becomes the reading position), ending any wait for it.
  void ShowLaidOutPage(int32_t top, const TReadingPosition& position);

  std::vector<std::string> args_;
  std::unique_ptr<IUserDialogs> dialogs_;
  TPageView* pageView_ = nullptr;
  std::string appTitle_;
  bool menuRevealed_ = false;
  // The window was maximised when it went full screen.
  bool maximisedBeneath_ = false;
  bool destroyed_ = false;
  bool pageDirty_ = true;
  bool documentShown_ = false;
  std::string iniPath_;
  TWheelAccumulator wheel_;
  std::unique_ptr<TBookLoader> loader_;
  // Declared after Book, so it stops (and stops reading the text) before
  // the document goes.
  std::unique_ptr<TLayoutRunner> layout_;
  // The page the window waits for while the layout makes its lines.
  bool awaitingPage_ = false;
  TReadingPosition awaitedPosition_;
};

}  // namespace rpv
