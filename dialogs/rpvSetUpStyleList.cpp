#include "dialogs/rpvSetUpStyleList.h"

#include <QAbstractItemModel>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/AppMessages.h"
#include "app/QtText.h"
#include "dialogs/StyleSections.h"

namespace rpv {

TfrmSetUpList::TfrmSetUpList(QWidget* parent, TStyleDialogContext context, IUserDialogs& dialogs)
    : QDialog(parent, Qt::Tool), context_(std::move(context)), dialogs_(dialogs) {
  setObjectName(QStringLiteral("frmSetUpList"));
  setWindowTitle(ToQString(Sjis(kStyleDialogCaption)));
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  lstSection = new QListWidget(this);
  lstSection->setObjectName(QStringLiteral("lstSection"));
  QFont font = lstSection->font();
  font.setPointSize(11);
  lstSection->setFont(font);
  lstSection->setContextMenuPolicy(Qt::PreventContextMenu);
  lstSection->setDragDropMode(QAbstractItemView::InternalMove);
  lstSection->installEventFilter(this);
  lstSection->viewport()->installEventFilter(this);
  column->addWidget(lstSection);

  auto* panel = new QWidget(this);
  panel->setFixedHeight(29);
  auto* row = new QHBoxLayout(panel);
  row->setContentsMargins(4, 2, 4, 2);
  row->addStretch();
  btnOK = new QPushButton(QStringLiteral("&OK"), panel);
  btnOK->setObjectName(QStringLiteral("btnOK"));
  btnOK->setDefault(true);
  row->addWidget(btnOK);
  column->addWidget(panel);
  connect(btnOK, &QPushButton::clicked, this, [this] { accept(); });

  popSetUp = new QMenu(this);
  popSetUp->setObjectName(QStringLiteral("popSetUp"));
  popSName = popSetUp->addAction(QString::fromUtf8("名前の変更(&N)"));
  popSetUp->addSeparator();
  popSChage = popSetUp->addAction(QString::fromUtf8("スタイルの変更(&C)"));
  popSetUp->addSeparator();
  popSDel = popSetUp->addAction(QString::fromUtf8("削除(&D)"));
  connect(popSName, &QAction::triggered, this, [this] { popSNameClick(); });
  connect(popSChage, &QAction::triggered, this, [this] { popSChageClick(); });
  connect(popSDel, &QAction::triggered, this, [this] { popSDelClick(); });
  // A row dragged to another place takes its section along.
  connect(lstSection->model(), &QAbstractItemModel::rowsMoved, this, [this] { StoreOrder(); });

  // Ten rows of names above the button panel.
  const int rowHeight = std::max(lstSection->fontMetrics().height() + 2, 1);
  resize(241, 10 * rowHeight + 2 * lstSection->frameWidth() + 29);
}

void TfrmSetUpList::SetNames(const std::vector<std::string>& names) {
  lstSection->clear();
  first_ = names.empty() ? std::string("Default") : names.front();
  for (size_t i = 1; i < names.size(); ++i) lstSection->addItem(ToQString(names[i]));
}

std::vector<std::string> TfrmSetUpList::Names() const {
  std::vector<std::string> names{first_};
  for (int i = 0; i < lstSection->count(); ++i) names.push_back(FromQString(lstSection->item(i)->text()));
  return names;
}

std::string TfrmSetUpList::SelectedName() const {
  const QListWidgetItem* item = lstSection->currentItem();
  return item ? FromQString(item->text()) : std::string();
}

void TfrmSetUpList::popSNameClick() {
  QListWidgetItem* item = lstSection->currentItem();
  if (item == nullptr) return;
  const std::string oldName = FromQString(item->text());
  // The other names, the default style's included: a second section of the
  // same name could never be read, and deleting one would delete both.
  std::vector<std::string> others = Names();
  others.erase(others.begin() + 1 + lstSection->row(item));
  std::string initial = oldName;
  for (;;) {
    const auto answer = dialogs_.InputQuery(Sjis(kRenameCaption), Sjis(kRenamePrompt), initial);
    if (!answer) return;
    const std::string name = TrimStyleName(*answer);
    if (name == oldName) return;
    if (IsNewStyleName(name, others)) {
      if (!RenameStyleSection(context_.SettingsFile, oldName, name)) {
        dialogs_.ShowMessage(FormatS(Sjis(kMsgCannotWrite), context_.SettingsFile));
        return;
      }
      item->setText(ToQString(name));
      return;
    }
    dialogs_.ShowMessage(Sjis(kMsgBadStyleName));
    initial = *answer;
  }
}

void TfrmSetUpList::popSChageClick() {
  const std::string name = SelectedName();
  if (name.empty()) return;
  int page = 0;
  dialogs_.EditStyle(context_, name, page);
}

void TfrmSetUpList::popSDelClick() {
  QListWidgetItem* item = lstSection->currentItem();
  if (item == nullptr) return;
  const std::string name = FromQString(item->text());
  if (!dialogs_.ConfirmOkCancel(std::string(), FormatS(Sjis(kConfirmDeleteStyle), name))) return;
  if (!DeleteStyleSection(context_.SettingsFile, name)) {
    dialogs_.ShowMessage(FormatS(Sjis(kMsgCannotWrite), context_.SettingsFile));
    return;
  }
  delete lstSection->takeItem(lstSection->row(item));
}

void TfrmSetUpList::MoveSelected(int delta) {
  const int from = lstSection->currentRow();
  const int to = from + delta;
  if (from < 0 || to < 0 || to >= lstSection->count()) return;
  QListWidgetItem* item = lstSection->takeItem(from);
  lstSection->insertItem(to, item);
  lstSection->setCurrentRow(to);
  StoreOrder();
}

void TfrmSetUpList::StoreOrder() {
  std::vector<std::string> order = Names();
  order.erase(order.begin());
  if (!ReorderStyleSections(context_.SettingsFile, order))
    dialogs_.ShowMessage(FormatS(Sjis(kMsgCannotWrite), context_.SettingsFile));
}

bool TfrmSetUpList::PopUpAt(QPoint listPoint, bool show) {
  // Over the empty area below the last name nothing opens.
  QListWidgetItem* item = lstSection->itemAt(listPoint);
  if (item == nullptr) return false;
  lstSection->setCurrentItem(item);
  if (show) popSetUp->popup(lstSection->viewport()->mapToGlobal(listPoint));
  return true;
}

bool TfrmSetUpList::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lstSection->viewport() && event->type() == QEvent::MouseButtonRelease) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::RightButton) {
      PopUpAt(mouse->position().toPoint());
      return true;
    }
  }
  if (watched == lstSection && event->type() == QEvent::KeyRelease) {
    const auto* key = static_cast<QKeyEvent*>(event);
    QListWidgetItem* item = lstSection->currentItem();
    if (key->key() == Qt::Key_Menu && item != nullptr && item->isSelected()) {
      const QRect row = lstSection->visualItemRect(item);
      popSetUp->popup(lstSection->viewport()->mapToGlobal(QPoint(0, row.bottom() + 1)));
      return true;
    }
  }
  if (watched == lstSection && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() == Qt::ControlModifier &&
        (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
      MoveSelected(key->key() == Qt::Key_Up ? -1 : 1);
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace rpv
