// The main menu: its fixed items, the style items and the history items.
#include <QMenu>
#include <QMenuBar>

#include "app/QtText.h"
#include "app/commands/NewcomerKeys.h"
#include "app/rpvMain.h"
#include "bookmarks/rpvBookMark.h"
#include "render/BookClass.h"

namespace rpv {
namespace {

QMenu* AddMenu(QMenuBar* bar, const char* name, const char* caption) {
  QMenu* menu = bar->addMenu(QString::fromUtf8(caption));
  menu->setObjectName(QString::fromLatin1(name));
  menu->menuAction()->setObjectName(QString::fromLatin1(name));
  return menu;
}

QAction* AddItem(QMenu* menu, const char* name, const char* caption) {
  QAction* item = menu->addAction(QString::fromUtf8(caption));
  item->setObjectName(QString::fromLatin1(name));
  return item;
}

void AddSeparator(QMenu* menu, const char* name) {
  menu->addSeparator()->setObjectName(QString::fromLatin1(name));
}

// A ticked item whose handler flips the tick itself (Qt has already flipped
// it by the time the handler runs, so that is undone first).
template <typename Handler>
void ConnectToggle(QAction* item, Handler handler) {
  item->setCheckable(true);
  QObject::connect(item, &QAction::triggered, item, [item, handler](bool checked) {
    item->setChecked(!checked);
    handler();
  });
}

// "&%d %s": the accelerator is the index; "&" in the name shows as itself.
QString NumberedCaption(int index, const std::string& name) {
  QString text = ToQString(name);
  text.replace(QLatin1Char('&'), QLatin1String("&&"));
  return QStringLiteral("&%1 %2").arg(index).arg(text);
}

}  // namespace

void TfrmRPV::BuildMainMenu() {
  mnuF = AddMenu(mnuMain, "mnuF", "ファイル(&F)");
  mnuFOpen = AddItem(mnuF, "mnuFOpen", "開く(&O)");
  mnuFClipBoard = AddItem(mnuF, "mnuFClipBoard", "クリップボードから読み込み(&V)");
  AddSeparator(mnuF, "FN1");
  mnuFEnd = AddItem(mnuF, "mnuFEnd", "終了(&X)");
  AddSeparator(mnuF, "FN2");
  for (int i = 0; i < kHistoryMenuCount; ++i) {
    QAction* item = mnuF->addAction(QString());
    item->setObjectName(QStringLiteral("HistoryItem%1").arg(i));
    item->setData(i);
    item->setVisible(false);
    connect(item, &QAction::triggered, this, [this, i] { mnuFFileHistoryClick(i); });
    HistoryItems[static_cast<size_t>(i)] = item;
  }
  connect(mnuF, &QMenu::aboutToShow, this, [this] { RefreshHistoryMenu(); });
  // Items that are commands run as the commands do (a find mark goes).
  auto command = [this](QAction* item, TCommand c) {
    connect(item, &QAction::triggered, this, [this, c] { RunCommand(c); });
  };
  command(mnuFOpen, TCommand::OpenWithDialog);
  command(mnuFClipBoard, TCommand::ReadClipboard);
  connect(mnuFEnd, &QAction::triggered, this, [this] { close(); });

  mnuB = AddMenu(mnuMain, "mnuB", "しおり(&B)");

  mnuM = AddMenu(mnuMain, "mnuM", "移動(&M)");
  mnuMHead = AddItem(mnuM, "mnuMHead", "文頭(&H)");
  mnuMEnd = AddItem(mnuM, "mnuMEnd", "文末(&E)");
  mnuMPageJump = AddItem(mnuM, "mnuMPageJump", "ページジャンプ(&P)");
  mnuMFind = AddItem(mnuM, "mnuMFind", "検索(&F)");
  command(mnuMHead, TCommand::GoHead);
  command(mnuMEnd, TCommand::GoEnd);
  command(mnuMPageJump, TCommand::PageJump);
  command(mnuMFind, TCommand::ShowFindDialog);
  // Until a document is read there is no page to jump to or text to find.
  mnuMPageJump->setEnabled(false);
  mnuMFind->setEnabled(false);

  mnuS = AddMenu(mnuMain, "mnuS", "スタイル(&S)");
  mnuSAdd = AddItem(mnuS, "mnuSAdd", "追加(&A)");
  mnuSList = AddItem(mnuS, "mnuSList", "編集(&E)");
  AddSeparator(mnuS, "N4");
  mnuSChage = AddItem(mnuS, "mnuSChage", "スタイルの変更(&C)");
  AddSeparator(mnuS, "N3");
  ConnectStyleMenu();

  mnuTool = AddMenu(mnuMain, "mnuTool", "ツール(&T)");

  mnuO = AddMenu(mnuMain, "mnuO", "その他(&O)");
  mnuOScreenChange = AddItem(mnuO, "mnuOScreenChange", "フルスクリーン/ウィンドウ(&W)");
  AddSeparator(mnuO, "N1");
  mnuOAuto = AddItem(mnuO, "mnuOAuto", "自動頁送り(&P)");
  mnuOAutoLine = AddItem(mnuO, "mnuOAutoLine", "自動行送り(&L)");
  AddSeparator(mnuO, "N2");
  mnuODelNewLine = AddItem(mnuO, "mnuODelNewLine", "空行を削除");
  AddSeparator(mnuO, "N5");
  mnuOEditor = AddItem(mnuO, "mnuOEditor", "外部エディタの起動(&E)");
  AddSeparator(mnuO, "N6");
  mnuOOtherSetup = AddItem(mnuO, "mnuOOtherSetup", "その他の設定(&S)");
  ConnectToggle(mnuOScreenChange, [this] { RunCommand(TCommand::ToggleFullScreen); });
  ConnectToggle(mnuOAuto, [this] { RunCommand(TCommand::ToggleAutoPage); });
  ConnectToggle(mnuOAutoLine, [this] { RunCommand(TCommand::ToggleAutoLine); });
  ConnectToggle(mnuODelNewLine, [this] { RunCommand(TCommand::ToggleBlankLines); });

  mnuH = AddMenu(mnuMain, "mnuH", "ヘルプ(&H)");
  mnuHHelp = AddItem(mnuH, "mnuHHelp", "ヘルプ(&H)");
  AddSeparator(mnuH, "N7");
  mnuHHomePage = AddItem(mnuH, "mnuHHomePage", "ホームページへ(&P)");
  AddSeparator(mnuH, "N8");
  mnuHVersion = AddItem(mnuH, "mnuHVersion", "バージョン情報(&V)");
  ConnectToolsAndHelp();
}

void TfrmRPV::ShowMenuKeys() {
  // The key goes after a tab, which a menu shows right-aligned without
  // making it a shortcut of its own (the window's key handling stays the
  // only one).
  auto show = [](QAction* item, const std::string& key) {
    const QString caption = item->text().section(QLatin1Char('\t'), 0, 0);
    item->setText(key.empty() ? caption : caption + QLatin1Char('\t') + QString::fromLatin1(key));
  };
  const std::pair<QAction*, TCommand> items[] = {
      {mnuFOpen, TCommand::OpenWithDialog},       {mnuFClipBoard, TCommand::ReadClipboard},
      {mnuMHead, TCommand::GoHead},               {mnuMEnd, TCommand::GoEnd},
      {mnuMPageJump, TCommand::PageJump},         {mnuMFind, TCommand::ShowFindDialog},
      {mnuSChage, TCommand::ChangeStyle},         {mnuOScreenChange, TCommand::ToggleFullScreen},
      {mnuOAuto, TCommand::ToggleAutoPage},       {mnuOAutoLine, TCommand::ToggleAutoLine},
      {mnuODelNewLine, TCommand::ToggleBlankLines}, {mnuOEditor, TCommand::StartEditor},
      {mnuOOtherSetup, TCommand::OpenOtherSettings},
  };
  for (const auto& [item, command] : items) show(item, FirstKeyOf(KeyHandlers, command));
  const TKeyName quit = ParseKeyName(kQuitKeyName);
  show(mnuFEnd, KeyHandlers.At(quit.Table, quit.Code) == TCommand::None ? kQuitKeyName : "");
}

void TfrmRPV::AddStyleMenuItem(int index) {
  QAction* item = mnuS->addAction(NumberedCaption(index, StyleNames[static_cast<size_t>(index)]));
  item->setObjectName(QStringLiteral("StyleItem%1").arg(index));
  item->setData(index);
  item->setCheckable(true);
  connect(item, &QAction::triggered, this, [this, index] { mnuSectionClick(index); });
  if (static_cast<size_t>(index) >= StyleItems.size()) StyleItems.resize(static_cast<size_t>(index) + 1);
  StyleItems[static_cast<size_t>(index)] = item;
}

void TfrmRPV::mnuSectionClick(int index) {
  if (index < 0 || static_cast<size_t>(index) >= StyleItems.size()) return;
  if (static_cast<size_t>(StyleIndex) < StyleItems.size())
    StyleItems[static_cast<size_t>(StyleIndex)]->setChecked(false);
  StyleIndex = index;
  StyleItems[static_cast<size_t>(index)]->setChecked(true);
  LoadCurrentStyle();
}

void TfrmRPV::RefreshHistoryMenu() {
  for (int i = 0; i < kHistoryMenuCount; ++i) {
    QAction* item = HistoryItems[static_cast<size_t>(i)];
    const std::string& path = History[i].FullPath;
    if (path.empty()) {
      item->setVisible(false);
      continue;
    }
    item->setText(NumberedCaption(i, ExtractShortName(path, PathDelimiters())));
    item->setVisible(true);
  }
}

void TfrmRPV::mnuFFileHistoryClick(int index) {
  if (index == 0) {
    ReloadDocument();
    return;
  }
  const TFileHistory entry = History[index];
  OpenDocument(entry.FullPath, entry.Position(), entry.Archive);
}

}  // namespace rpv
