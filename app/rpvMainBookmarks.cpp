// The しおり menu and the bookmark commands: setting a bookmark at the page
// top, opening one, the manager, and the menu in its flat and per-file forms.
#include <QMenu>
#include <QTimer>
#include <memory>
#include <vector>

#include "app/AppMessages.h"
#include "app/QtText.h"
#include "app/rpvMain.h"
#include "bookmarks/BookMarkMenu.h"
#include "bookmarks/BookMarkPositions.h"
#include "bookmarks/rpvBookMark.h"
#include "platform/FileIO.h"
#include "render/BookClass.h"

namespace rpv {
namespace {

constexpr std::string_view kMsgRepairBookMarks =
    "\"%s\" を読み込めないため、しおりを保存できません。"
    "ファイルを直してから、もう一度お試しください。";

std::string BookMarkFile(const std::string& exeDir) { return exeDir + "bm.csv"; }
// The page tops within their source lines (bookmarks/BookMarkPositions.h).
std::string PositionFile(const std::string& exeDir) { return exeDir + "bm.pos"; }

// A caption shows "&" as itself; a TAB still sets off a right-hand part.
QString MenuCaption(const std::string& cp932) {
  QString text = ToQString(cp932);
  text.replace(QLatin1Char('&'), QLatin1String("&&"));
  return text;
}

// What the menu lists, kept alive by the submenus that fill themselves from
// it when first opened.
struct TBookMarkMenuData {
  std::vector<TBookMarkMenuEntry> Entries;
  bool Grouped = false;
  std::string Format1;
  std::string Format2Main;
  std::string Format2Sub;
};

// 追加, 編集 and the separator.
constexpr qsizetype kFixedBookMarkItems = 3;

// Adds the items of a run of entries (or of a group's members) to a menu,
// the first few directly and the rest in submenus filled when opened.
template <typename AddOne>
void AddRun(QMenu* menu, TMenuRun run, const AddOne& addOne) {
  const TMenuSplit split = SplitMenuRun(run);
  for (size_t i = 0; i < split.Direct.Count; ++i) addOne(menu, split.Direct.First + i);
  for (const TMenuRun& part : split.Submenus) {
    QMenu* sub = menu->addMenu(ToQString(MenuRunCaption(part)));
    QObject::connect(sub, &QMenu::aboutToShow, sub, [sub, part, addOne] {
      if (sub->isEmpty()) AddRun(sub, part, addOne);
    });
  }
}

}  // namespace

bool TfrmRPV::ReloadBookMarks() {
  const std::string path = BookMarkFile(ExeDir);
  try {
    BookMarks->LoadFromFile(path);
  } catch (const EBookMarkError& e) {
    // The store keeps what it had (empty at start-up); saving it would
    // replace the file the user can still repair.
    BookMarksWritable = false;
    Dialogs().ShowMessage(LoadErrorMessage(path, e));
    return false;
  }
  BookMarksWritable = true;
  return true;
}

void TfrmRPV::SetBookmark() {
  // Not while the page asked for is still being laid out (no page on screen).
  if (!Book || !HasDocument() || AwaitingPage()) return;
  const TFileHistory entry = History[0];
  if (entry.FullPath.empty() || !FileExists(entry.FullPath)) return;
  const std::string path = BookMarkFile(ExeDir);
  if (!BookMarksWritable) {
    // The file may have been repaired meanwhile: its bookmarks come first.
    try {
      TBookMarks repaired;
      repaired.LoadFromFile(path);
      *BookMarks = std::move(repaired);
      BookMarksWritable = true;
    } catch (const EBookMarkError& e) {
      Dialogs().ShowMessage(FormatS(Sjis(kMsgRepairBookMarks), path) + "\n" +
                            LoadErrorMessage(path, e));
      return;
    }
  }
  TBookMark& mark = BookMarks->Insert(0);
  mark.FullPath = entry.FullPath;
  // The top of the page, whatever line steps have moved the view.
  mark.Line = Book->SourceLineOf(TopLine) + 1;
  mark.DateTime = NowBookMarkDateTime();
  mark.Visible = true;
  mark.Archive = entry.Archive;
  // Where the page top lies inside its source line, when the position names
  // that very line (a page of a picture's blank lines may stand for another).
  // Written before bm.csv: a crash in between leaves an unused entry, never
  // a bookmark that lost its page.
  const TReadingPosition top = Book->PositionAt(TopLine);
  TBookMarkPositions positions;
  positions.Load(PositionFile(ExeDir));
  positions.Set(mark, top.Line == mark.Line - 1 ? top.Offset : -1);
  positions.Save(PositionFile(ExeDir), *BookMarks);
  try {
    BookMarks->SaveToFile(path);
  } catch (const EBookMarkError& e) {
    Dialogs().ShowMessage(e.what());
  }
  BuildBookmarkMenu();
}

void TfrmRPV::ReadBookmark() { mnuBookMarkClick(0); }

void TfrmRPV::mnuBookMarkClick(int index) {
  const TBookMark* mark = BookMarks ? BookMarks->Items(index) : nullptr;
  if (!mark) return;
  // The page top inside its line; bookmarks of rpvmark or of older versions
  // have no entry and open where the line starts.
  TBookMarkPositions positions;
  positions.Load(PositionFile(ExeDir));
  // A hand-edited line below 1 opens the start, not the history's place.
  const TReadingPosition position =
      mark->Line < 1 ? TReadingPosition::OfLine(0) : TReadingPosition{mark->Line - 1, positions.Lookup(*mark)};
  OpenDocument(mark->FullPath, position, mark->Archive);
}

void TfrmRPV::mnuBEditClick() {
  tmrAuto->stop();
  ButtonDown = 0;
  if (Dialogs().EditBookMarks(BookMarkFile(ExeDir))) {
    ReloadBookMarks();
    BuildBookmarkMenu();
  }
  tmrAuto->start();
  IdleCount = 0;
}

void TfrmRPV::BuildBookmarkMenu() {
  // The fixed items stay: 追加 may be the very item whose click led here.
  if (mnuB->actions().size() < kFixedBookMarkItems) {
    mnuB->clear();
    QAction* add = mnuB->addAction(QStringLiteral("追加(&A)"));
    add->setObjectName(QStringLiteral("mnuBAdd"));
    connect(add, &QAction::triggered, this, [this] { SetBookmark(); });
    QAction* edit = mnuB->addAction(QStringLiteral("編集(&E)"));
    edit->setObjectName(QStringLiteral("mnuBEdit"));
    connect(edit, &QAction::triggered, this, [this] { mnuBEditClick(); });
    mnuB->addSeparator()->setObjectName(QStringLiteral("mnuBSeparator"));
  }
  const QList<QAction*> old = mnuB->actions().mid(kFixedBookMarkItems);
  for (QAction* item : old) {
    mnuB->removeAction(item);
    if (QMenu* sub = item->menu()) sub->deleteLater();
    else item->deleteLater();
  }
  if (!BookMarks) return;

  auto data = std::make_shared<TBookMarkMenuData>();
  data->Entries = BookMarkMenuEntries(*BookMarks, Settings.BookMarkType);
  data->Grouped = Settings.BookMarkType != 0;
  data->Format1 = Settings.Format1;
  data->Format2Main = Settings.Format2Main;
  data->Format2Sub = Settings.Format2Sub;
  // Items open bookmarks by store index; the menu is rebuilt whenever the
  // store changes, so the indexes stay true.
  const auto addMark = [this](QMenu* menu, int32_t index, const std::string& format) {
    const TBookMark* mark = BookMarks->Items(index);
    if (!mark) return;
    QAction* item = menu->addAction(MenuCaption(mark->FormatCaption(format)));
    item->setData(index);
    connect(item, &QAction::triggered, this, [this, index] { mnuBookMarkClick(index); });
  };
  const auto addEntry = [this, data, addMark](QMenu* menu, size_t position) {
    const TBookMarkMenuEntry& entry = data->Entries[position];
    if (!data->Grouped) {
      addMark(menu, entry.Tag, data->Format1);
      return;
    }
    if (entry.Members.empty()) {
      addMark(menu, entry.Tag, data->Format2Main);
      return;
    }
    const TBookMark* first = BookMarks->Items(entry.Tag);
    QMenu* group = menu->addMenu(MenuCaption(first->FormatCaption(data->Format2Main)));
    group->menuAction()->setData(entry.Tag);
    connect(group, &QMenu::aboutToShow, group, [group, data, position, addMark] {
      if (!group->isEmpty()) return;
      const size_t count = data->Entries[position].Members.size();
      AddRun(group, TMenuRun{0, count}, [data, position, addMark](QMenu* m, size_t i) {
        addMark(m, data->Entries[position].Members[i], data->Format2Sub);
      });
    });
  };
  AddRun(mnuB, TMenuRun{0, data->Entries.size()}, addEntry);
}

}  // namespace rpv
