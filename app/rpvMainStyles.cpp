// The style menu: adding a style, the style list and the style editor. The
// style items themselves and switching between them are in rpvMainMenu.cpp.
#include <QAction>
#include <QMenu>
#include <QTimer>

#include "app/QtText.h"
#include "app/rpvMain.h"
#include "dialogs/StyleSections.h"
#include "render/BookClass.h"

namespace rpv {

void TfrmRPV::ConnectStyleMenu() {
  connect(mnuSAdd, &QAction::triggered, this, [this] { mnuSAddClick(); });
  connect(mnuSList, &QAction::triggered, this, [this] { mnuSListClick(); });
  connect(mnuSChage, &QAction::triggered, this, [this] { ChangeStyle(); });
}

TStyleDialogContext TfrmRPV::StyleDialogContext() const {
  TStyleDialogContext context;
  context.SettingsFile = ExeDir + "info.ini";
  context.PageWidth = ClientWidth();
  context.PageHeight = ClientHeight();
  context.Dpi = PageDpi();
  if (Book && HasDocument()) {
    context.Book = Book.get();
    context.SourceLine = std::max(Book->SourceLineOf(TopLine), 0);
  }
  return context;
}

void TfrmRPV::RebuildStyleMenu() {
  for (QAction* item : StyleItems) {
    if (item == nullptr) continue;
    mnuS->removeAction(item);
    delete item;
  }
  StyleItems.clear();
  for (int i = 0; i < static_cast<int>(StyleNames.size()); ++i) AddStyleMenuItem(i);
}

void TfrmRPV::mnuSAddClick() {
  if (StyleNames.size() >= kMaxStyles) {
    Dialogs().ShowMessage(Sjis(kMsgTooManyStyles));
    return;
  }
  std::string initial;
  for (;;) {
    const auto answer = Dialogs().InputQuery(Sjis(kStyleDialogCaption), Sjis(kStyleNamePrompt), initial);
    if (!answer) return;
    if (IsNewStyleName(*answer, StyleNames)) {
      StyleNames.push_back(TrimStyleName(*answer));
      const int index = static_cast<int>(StyleNames.size()) - 1;
      AddStyleMenuItem(index);
      if (static_cast<size_t>(StyleIndex) < StyleItems.size())
        StyleItems[static_cast<size_t>(StyleIndex)]->setChecked(false);
      StyleIndex = index;
      StyleItems[static_cast<size_t>(index)]->setChecked(true);
      // The section is written by the editor; cancelled, the name stays
      // current for this run while the page keeps the previous settings.
      ChangeStyle();
      return;
    }
    Dialogs().ShowMessage(Sjis(kMsgBadStyleName));
    initial = *answer;
  }
}

void TfrmRPV::mnuSListClick() {
  tmrAuto->stop();
  ButtonDown = 0;
  // The first style keeps its own name: the list neither shows nor changes
  // it, and it is the first section of info.ini.
  StyleNames = Dialogs().EditStyleList(StyleDialogContext(), StyleNames);
  if (StyleNames.empty()) StyleNames.emplace_back("Default");
  RebuildStyleMenu();
  if (StyleIndex < 0 || static_cast<size_t>(StyleIndex) >= StyleNames.size()) StyleIndex = 0;
  StyleItems[static_cast<size_t>(StyleIndex)]->setChecked(true);
  LoadCurrentStyle();
  if (Started) tmrAuto->start();
  IdleCount = 0;
}

void TfrmRPV::ChangeStyle() {
  if (!Book || StyleNames.empty()) return;
  tmrAuto->stop();
  ButtonDown = 0;
  int page = StyleEditorPage;
  const bool ok = Dialogs().EditStyle(StyleDialogContext(),
                                      StyleNames[static_cast<size_t>(StyleIndex)], page);
  if (ok) LoadCurrentStyle();
  if (Started) tmrAuto->start();
  IdleCount = 0;
  StyleEditorPage = page;
}

}  // namespace rpv
