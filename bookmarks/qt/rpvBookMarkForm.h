// The bookmark manager TfrmBookMark: every bookmark of bm.csv in a six-column
// grid where the user edits comments, hides or shows bookmarks in the menu,
// moves blocks of rows and deletes them. It works on a private store read
// when opened and written back only on OK. The grid is a table view over that
// store, so a file of any size opens at once.
#pragma once

#include <QDialog>
#include <memory>
#include <optional>
#include <string>

#include "bookmarks/BookMarkManager.h"

class QAction;
class QMenu;
class QPushButton;
class QTableView;

namespace rpv {

class IUserDialogs;
class TBookMarkGridModel;

class TfrmBookMark : public QDialog {
 public:
  // dialogs answers the comment input box and shows a failed save.
  TfrmBookMark(QWidget* parent, IUserDialogs& dialogs);
  ~TfrmBookMark() override;

  // Reads the file into the private store (a missing file leaves it empty)
  // and fills the grid. Throws EBookMarkError for a file it cannot read.
  void Open(const std::string& path);

  // The commands of the context menu; each does nothing with an empty store.
  void EditComment();
  void ToggleVisible();
  void MoveUp();
  void MoveDown();
  void DeleteRows();
  // Selects every bookmark row.
  void SelectAllRows();
  // Prepares the context menu as it opens (ticks 表示, disables all of it
  // for good once the store is empty).
  void MenuOpening();

  const TBookMarks& Store() const { return *store_; }
  // The selected block of rows (store indexes); the current row when
  // nothing is selected; nothing with an empty store.
  std::optional<TRowBlock> Selection() const;
  // Selects a block of rows and makes its top row current.
  void SelectRows(TRowBlock block);

  QTableView* sgdBSList = nullptr;
  QMenu* pmnBS = nullptr;
  QAction* mnuComment = nullptr;
  QAction* mnuVisible = nullptr;
  QAction* mnuUp = nullptr;
  QAction* mnuDown = nullptr;
  QAction* mnuDelete = nullptr;
  QAction* mnuSelectAll = nullptr;
  QPushButton* btnOK = nullptr;
  QPushButton* btnCancel = nullptr;

  // OK: writes the private store to the file (a failure is reported) and
  // closes with OK.
  void accept() override;

 private:
  void SizeColumns();
  // The block moved to `moved`, or nothing happened.
  void AfterMove(std::optional<TRowBlock> moved);

  IUserDialogs& dialogs_;
  std::unique_ptr<TBookMarks> store_;
  TBookMarkGridModel* model_ = nullptr;
  std::string path_;
  bool menuDisabled_ = false;
};

}  // namespace rpv
