// The style list: the named styles but the first, with a context menu to
// rename one, open it in the style editor or delete it, and Ctrl+Up/Down or
// dragging to reorder them. Every change reaches info.ini at once; closing
// the dialog undoes nothing. Questions go through the window's dialogs.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "app/UserDialogs.h"

class QAction;
class QListWidget;
class QMenu;
class QPushButton;

namespace rpv {

class TfrmSetUpList : public QDialog {
 public:
  // context: the style file and what the editor needs for its title and
  // preview; dialogs: the message, input and editor boxes to use.
  TfrmSetUpList(QWidget* parent, TStyleDialogContext context, IUserDialogs& dialogs);

  // names: every style of the window; the first one (the default style) is
  // neither listed nor renamed nor deleted.
  void SetNames(const std::vector<std::string>& names);
  // The first name followed by the rows in their order.
  std::vector<std::string> Names() const;

  // The context-menu operations on the selected row.
  void popSNameClick();
  void popSChageClick();
  void popSDelClick();
  // Moves the selected row up (-1) or down (+1) and the sections with it.
  void MoveSelected(int delta);
  // Opens the context menu for a point of the list (right button): only
  // over a row. True when it would open.
  bool PopUpAt(QPoint listPoint, bool show = true);

  QListWidget* lstSection = nullptr;
  QPushButton* btnOK = nullptr;
  QMenu* popSetUp = nullptr;
  QAction* popSName = nullptr;
  QAction* popSChage = nullptr;
  QAction* popSDel = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::string SelectedName() const;
  // Writes the order of the rows into info.ini.
  void StoreOrder();

  TStyleDialogContext context_;
  IUserDialogs& dialogs_;
  std::string first_;
};

}  // namespace rpv
