#include "bookmarks/qt/rpvBookMarkForm.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "app/QtText.h"
#include "app/UserDialogs.h"

namespace rpv {

// The grid's rows over the private store: cells are converted only when the
// view paints them. An empty store still shows one blank row.
class TBookMarkGridModel : public QAbstractTableModel {
 public:
  TBookMarkGridModel(const TBookMarks& marks, QObject* parent)
      : QAbstractTableModel(parent), marks_(marks) {
    for (const std::string& title : BookMarkColumnTitles()) titles_.push_back(ToQString(title));
  }

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : std::max(1, marks_.Count());
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : kBookMarkColumnCount;
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::DisplayRole) return {};
    const TBookMark* mark = marks_.Items(index.row());
    if (!mark) return {};
    return ToQString(BookMarkCellText(*mark, index.column()));
  }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    if (section < 0 || section >= static_cast<int>(titles_.size())) return {};
    return titles_[static_cast<size_t>(section)];
  }

  void Refill() {
    beginResetModel();
    endResetModel();
  }
  void RowsChanged(int top, int bottom) {
    emit dataChanged(index(top, 0), index(bottom, kBookMarkColumnCount - 1));
  }

 private:
  const TBookMarks& marks_;
  std::vector<QString> titles_;
};

namespace {

QAction* AddCommand(QMenu* menu, QWidget* owner, const char* name, const char* caption,
                    const QKeySequence& shortcut) {
  QAction* action = menu->addAction(QString::fromUtf8(caption));
  action->setObjectName(QString::fromLatin1(name));
  action->setShortcut(shortcut);
  action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  owner->addAction(action);
  return action;
}

}  // namespace

TfrmBookMark::TfrmBookMark(QWidget* parent, IUserDialogs& dialogs)
    : QDialog(parent), dialogs_(dialogs), store_(std::make_unique<TBookMarks>()) {
  setObjectName(QStringLiteral("frmBookMark"));
  setWindowTitle(QStringLiteral("しおり"));
  resize(481, 275);

  model_ = new TBookMarkGridModel(*store_, this);
  sgdBSList = new QTableView(this);
  sgdBSList->setObjectName(QStringLiteral("sgdBSList"));
  sgdBSList->setModel(model_);
  sgdBSList->setSelectionBehavior(QAbstractItemView::SelectRows);
  sgdBSList->setSelectionMode(QAbstractItemView::ContiguousSelection);
  sgdBSList->setEditTriggers(QAbstractItemView::NoEditTriggers);
  sgdBSList->setWordWrap(false);
  sgdBSList->verticalHeader()->hide();
  sgdBSList->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  sgdBSList->horizontalHeader()->setHighlightSections(false);
  sgdBSList->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  SizeColumns();

  pmnBS = new QMenu(this);
  pmnBS->setObjectName(QStringLiteral("pmnBS"));
  mnuComment = AddCommand(pmnBS, this, "mnuComment", "コメントの編集", QKeySequence(Qt::CTRL | Qt::Key_E));
  mnuVisible = AddCommand(pmnBS, this, "mnuVisible", "表示", QKeySequence(Qt::CTRL | Qt::Key_M));
  mnuVisible->setCheckable(true);
  pmnBS->addSeparator();
  mnuUp = AddCommand(pmnBS, this, "mnuUp", "上に移動", QKeySequence(Qt::CTRL | Qt::Key_Up));
  mnuDown = AddCommand(pmnBS, this, "mnuDown", "下に移動", QKeySequence(Qt::CTRL | Qt::Key_Down));
  pmnBS->addSeparator();
  mnuDelete = AddCommand(pmnBS, this, "mnuDelete", "削除", QKeySequence(Qt::Key_Delete));
  mnuSelectAll = new QAction(this);
  mnuSelectAll->setObjectName(QStringLiteral("mnuSelectAll"));
  mnuSelectAll->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
  mnuSelectAll->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  addAction(mnuSelectAll);
  connect(mnuComment, &QAction::triggered, this, [this] { EditComment(); });
  connect(mnuVisible, &QAction::triggered, this, [this] { ToggleVisible(); });
  connect(mnuUp, &QAction::triggered, this, [this] { MoveUp(); });
  connect(mnuDown, &QAction::triggered, this, [this] { MoveDown(); });
  connect(mnuDelete, &QAction::triggered, this, [this] { DeleteRows(); });
  connect(mnuSelectAll, &QAction::triggered, this, [this] { SelectAllRows(); });
  sgdBSList->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(sgdBSList, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    MenuOpening();
    pmnBS->exec(sgdBSList->viewport()->mapToGlobal(at));
  });

  // The 27-pixel bottom panel with the two buttons at its right.
  auto* panel = new QWidget(this);
  panel->setFixedHeight(27);
  auto* buttons = new QHBoxLayout(panel);
  buttons->setContentsMargins(0, 1, 4, 1);
  buttons->addStretch();
  btnOK = new QPushButton(QStringLiteral("&Ok"), panel);
  btnCancel = new QPushButton(QStringLiteral("&Cancel"), panel);
  for (QPushButton* button : {btnOK, btnCancel}) {
    // Enter in the grid must not write the file.
    button->setAutoDefault(false);
    buttons->addWidget(button);
  }
  btnOK->setObjectName(QStringLiteral("btnOK"));
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  connect(btnOK, &QPushButton::clicked, this, [this] { accept(); });
  connect(btnCancel, &QPushButton::clicked, this, [this] { reject(); });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(sgdBSList);
  layout->addWidget(panel);
}

TfrmBookMark::~TfrmBookMark() = default;

void TfrmBookMark::SizeColumns() {
  const QFont font = sgdBSList->font();
  double points = font.pointSizeF();
  if (points <= 0) points = QFontInfo(font).pointSizeF();
  const QFontMetrics metrics(font);
  // Cells keep a few pixels of margin that a Windows grid did not have.
  const int margin = 2 * sgdBSList->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 6;
  const auto textWidth = [&](const char* text) {
    return metrics.horizontalAdvance(QString::fromUtf8(text)) + margin;
  };
  sgdBSList->verticalHeader()->setDefaultSectionSize(
      std::max(static_cast<int>(2 * points), metrics.height() + 2));
  sgdBSList->setColumnWidth(0, static_cast<int>(15 * points));
  sgdBSList->setColumnWidth(1, textWidth("しおり  "));
  sgdBSList->setColumnWidth(2, textWidth("yyyy/mm/dd hh:mm:ss"));
  sgdBSList->setColumnWidth(4, textWidth("False "));
}

void TfrmBookMark::Open(const std::string& path) {
  path_ = path;
  store_->LoadFromFile(path);
  model_->Refill();
  if (store_->Count() > 0) SelectRows({0, 0});
}

std::optional<TRowBlock> TfrmBookMark::Selection() const {
  if (store_->Count() == 0) return std::nullopt;
  const QItemSelection selection = sgdBSList->selectionModel()->selection();
  if (selection.isEmpty()) {
    const int row = sgdBSList->currentIndex().row();
    return ValidBlock(*store_, {row, row});
  }
  TRowBlock block{store_->Count(), -1};
  for (const QItemSelectionRange& range : selection) {
    block.Top = std::min(block.Top, range.top());
    block.Bottom = std::max(block.Bottom, range.bottom());
  }
  return ValidBlock(*store_, block);
}

void TfrmBookMark::SelectRows(TRowBlock block) {
  const QModelIndex top = model_->index(block.Top, 0);
  const QModelIndex bottom = model_->index(block.Bottom, kBookMarkColumnCount - 1);
  QItemSelectionModel* selection = sgdBSList->selectionModel();
  // The current cell is the block's last row, as a grid's selection sets it.
  selection->setCurrentIndex(model_->index(block.Bottom, 0), QItemSelectionModel::NoUpdate);
  selection->select(QItemSelection(top, bottom),
                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TfrmBookMark::MenuOpening() {
  if (store_->Count() == 0) menuDisabled_ = true;
  if (menuDisabled_) {
    for (QAction* action : pmnBS->actions()) action->setEnabled(false);
    return;
  }
  const TBookMark* current = store_->Items(sgdBSList->currentIndex().row());
  mnuVisible->setChecked(current && current->Visible);
}

void TfrmBookMark::EditComment() {
  TBookMark* mark = store_->Items(sgdBSList->currentIndex().row());
  if (!mark) return;
  const auto text = dialogs_.InputQuery(Sjis("コメントの編集"), "", mark->Comment);
  if (text) mark->Comment = *text;
  const int row = sgdBSList->currentIndex().row();
  model_->RowsChanged(row, row);
}

void TfrmBookMark::ToggleVisible() {
  const auto block = Selection();
  if (!block) return;
  // The whole block takes the opposite of the current row's state, read now
  // rather than when the menu last opened, so Ctrl+M always toggles.
  const TBookMark* current = store_->Items(sgdBSList->currentIndex().row());
  if (!current) current = store_->Items(block->Top);
  SetBlockVisible(*store_, *block, !current->Visible);
  model_->RowsChanged(block->Top, block->Bottom);
}

void TfrmBookMark::MoveUp() {
  const auto block = Selection();
  if (block) AfterMove(MoveBlockUp(*store_, *block));
}

void TfrmBookMark::MoveDown() {
  const auto block = Selection();
  if (block) AfterMove(MoveBlockDown(*store_, *block));
}

void TfrmBookMark::AfterMove(std::optional<TRowBlock> moved) {
  if (!moved) return;
  // One row beyond the block changed too: the bookmark that changed sides.
  model_->RowsChanged(std::max(moved->Top - 1, 0),
                      std::min(moved->Bottom + 1, store_->Count() - 1));
  SelectRows(*moved);
  sgdBSList->scrollTo(model_->index(moved->Bottom, 0));
}

void TfrmBookMark::DeleteRows() {
  const auto block = Selection();
  if (!block) return;
  DeleteBlock(*store_, *block);
  model_->Refill();
  const int row = std::min(block->Top, store_->Count() - 1);
  if (row >= 0) {
    SelectRows({row, row});
    sgdBSList->scrollTo(model_->index(row, 0));
  }
}

void TfrmBookMark::SelectAllRows() {
  if (store_->Count() > 0) SelectRows({0, store_->Count() - 1});
}

void TfrmBookMark::accept() {
  // The dialog closes with OK even when the file cannot be written: the
  // window then reloads whatever the file holds.
  try {
    store_->SaveToFile(path_);
  } catch (const EBookMarkError& e) {
    dialogs_.ShowMessage(e.what());
  }
  QDialog::accept();
}

}  // namespace rpv
