#include "dialogs/rpvSetUpOther.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/AppMessages.h"
#include "app/QtText.h"
#include "app/UserDialogs.h"
#include "app/commands/Assignments.h"
#include "dialogs/rpvInputKey.h"

namespace rpv {
namespace {

constexpr int kNameColumnWidth = 180;
constexpr int kCommandColumnWidth = 191;
constexpr const char* kKeyTitle = "キーの操作";
constexpr const char* kMouseTitle = "マウスの操作";
constexpr const char* kEventTitle = "イベント";
constexpr const char* kInitialIndex = "initialIndex";

QSpinBox* IntervalBox(QWidget* parent, const char* name) {
  auto* box = new QSpinBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setRange(kIntervalMinSeconds, kIntervalMaxSeconds);
  return box;
}

QLineEdit* Edit(QWidget* parent, const char* name) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  return edit;
}

// A spin box between its two captions, as one row.
void AddIntervalRow(QGridLayout* grid, int row, const char* caption, QSpinBox* box) {
  grid->addWidget(new QLabel(QString::fromUtf8(caption)), row, 0);
  grid->addWidget(box, row, 1);
  grid->addWidget(new QLabel(QStringLiteral("秒")), row, 2);
}

}  // namespace

TfrmOtherSetUp::TfrmOtherSetUp(QWidget* parent, std::string exeDir, IUserDialogs& dialogs)
    : QDialog(parent), exeDir_(std::move(exeDir)), dialogs_(dialogs) {
  setObjectName(QStringLiteral("frmOtherSetUp"));
  setWindowTitle(QStringLiteral("その他の設定"));
  pmnPlaceholder = new QMenu(this);
  pmnPlaceholder->setObjectName(QStringLiteral("pmnPlaceholder"));

  pgcMain = new QTabWidget(this);
  pgcMain->setObjectName(QStringLiteral("pgcMain"));
  pgcMain->addTab(BuildGeneralPage(), QStringLiteral("全般(&G)"));
  grdKey = BuildGrid("grdKey", kKeyTitle, true);
  pgcMain->addTab(grdKey, QStringLiteral("キー(&K)"));
  grdMouse = BuildGrid("grdMouse", kMouseTitle, false);
  pgcMain->addTab(grdMouse, QStringLiteral("マウス(&M)"));

  LoadGrid(grdKey, ReadAssignmentLines(exeDir_ + std::string(kKeyAssignmentFile),
                                       DefaultKeyAssignments()), true);
  LoadGrid(grdMouse, ReadAssignmentLines(exeDir_ + std::string(kMouseAssignmentFile),
                                         DefaultMouseAssignments()), false);
  grdKey->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(grdKey, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { ShowPlaceholderMenu(grdKey, pos); });

  btnOK = new QPushButton(QStringLiteral("&OK"), this);
  btnOK->setObjectName(QStringLiteral("btnOK"));
  btnOK->setDefault(true);
  btnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnOK);
  buttons->addWidget(btnCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pgcMain);
  layout->addLayout(buttons);
  setFixedSize(QSize(385, 442).expandedTo(sizeHint()));
}

QWidget* TfrmOtherSetUp::BuildGeneralPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("tabGeneral"));
  auto* grid = new QGridLayout;
  sedAutoPInterval = IntervalBox(page, "sedAutoPInterval");
  sedAutoLInterval = IntervalBox(page, "sedAutoLInterval");
  AddIntervalRow(grid, 0, "自動頁送りの間隔：", sedAutoPInterval);
  AddIntervalRow(grid, 1, "自動行送りの間隔：", sedAutoLInterval);
  grid->setColumnStretch(3, 1);

  ledEditorName = Edit(page, "ledEditorName");
  ledEditorName->setReadOnly(true);
  btnEditorName = new QPushButton(QStringLiteral("..."), page);
  btnEditorName->setObjectName(QStringLiteral("btnEditorName"));
  btnEditorName->setFixedWidth(btnEditorName->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
  connect(btnEditorName, &QPushButton::clicked, this, [this] { ChooseEditor(); });
  ledEditorOption = Edit(page, "ledEditorOption");
  auto* editor = new QGridLayout;
  editor->addWidget(new QLabel(QStringLiteral("外部エディタの名前")), 0, 0, 1, 2);
  editor->addWidget(ledEditorName, 1, 0);
  editor->addWidget(btnEditorName, 1, 1);
  editor->addWidget(new QLabel(QStringLiteral("起動オプション")), 2, 0, 1, 2);
  editor->addWidget(ledEditorOption, 3, 0, 1, 2);

  chkSendTo = new QCheckBox(QStringLiteral("「送る」に登録する"), page);
  chkSendTo->setObjectName(QStringLiteral("chkSendTo"));
  chkLast = new QCheckBox(QStringLiteral("起動時に最後に開いたファイルを開く"), page);
  chkLast->setObjectName(QStringLiteral("chkLast"));
  chkEOArchive = new QCheckBox(QStringLiteral("終了時に「Archive」フォルダを削除"), page);
  chkEOArchive->setObjectName(QStringLiteral("chkEOArchive"));

  auto* group = new QGroupBox(QStringLiteral("しおりの表示形式"), page);
  rdbFormat1 = new QRadioButton(QStringLiteral("一覧表示"), group);
  rdbFormat1->setObjectName(QStringLiteral("rdbFormat1"));
  edtFormat1 = Edit(group, "edtFormat1");
  rdbFormat2 = new QRadioButton(QStringLiteral("ファイルごとに表示"), group);
  rdbFormat2->setObjectName(QStringLiteral("rdbFormat2"));
  ledFormat2Main = Edit(group, "ledFormat2Main");
  ledFormat2Sub = Edit(group, "ledFormat2Sub");
  auto* marks = new QGridLayout(group);
  marks->addWidget(rdbFormat1, 0, 0, 1, 2);
  marks->addWidget(edtFormat1, 1, 0, 1, 2);
  marks->addWidget(rdbFormat2, 2, 0, 1, 2);
  marks->addWidget(new QLabel(QStringLiteral("メインメニュー：")), 3, 0);
  marks->addWidget(ledFormat2Main, 3, 1);
  marks->addWidget(new QLabel(QStringLiteral("サブメニュー：")), 4, 0);
  marks->addWidget(ledFormat2Sub, 4, 1);

  for (QLineEdit* edit : {ledEditorOption, edtFormat1, ledFormat2Main, ledFormat2Sub}) {
    edit->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(edit, &QWidget::customContextMenuRequested, this,
            [this, edit](const QPoint& pos) { ShowPlaceholderMenu(edit, pos); });
  }

  auto* layout = new QVBoxLayout(page);
  layout->addLayout(grid);
  layout->addLayout(editor);
  layout->addWidget(chkSendTo);
  layout->addWidget(chkLast);
  layout->addWidget(chkEOArchive);
  layout->addWidget(group);
  layout->addStretch();
  return page;
}

QTableWidget* TfrmOtherSetUp::BuildGrid(const char* name, const char* nameTitle, bool namesEditable) {
  auto* grid = new QTableWidget(0, 2);
  grid->setObjectName(QString::fromLatin1(name));
  grid->setHorizontalHeaderLabels({QString::fromUtf8(nameTitle), QString::fromUtf8(kEventTitle)});
  grid->verticalHeader()->hide();
  grid->setColumnWidth(0, kNameColumnWidth);
  grid->setColumnWidth(1, kCommandColumnWidth);
  // Both columns whole beside the vertical scroll bar: the drop-down
  // arrows must never scroll out of sight.
  grid->horizontalHeader()->setStretchLastSection(true);
  grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid->setMinimumWidth(kNameColumnWidth + kCommandColumnWidth +
                        grid->verticalScrollBar()->sizeHint().width() + 2 * grid->frameWidth());
  grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid->setSelectionMode(QAbstractItemView::SingleSelection);
  grid->setEditTriggers(namesEditable ? QAbstractItemView::DoubleClicked |
                                            QAbstractItemView::EditKeyPressed |
                                            QAbstractItemView::AnyKeyPressed
                                      : QAbstractItemView::NoEditTriggers);
  return grid;
}

void TfrmOtherSetUp::LoadGrid(QTableWidget* grid, const std::vector<std::string>& lines,
                              bool namesEditable) {
  grid->setRowCount(0);
  for (const std::string& line : lines) AppendRow(grid, line, namesEditable);
}

// A row keeps the line it came from: unless the user changes it, OK writes
// those very bytes back, so a line the dialog cannot show (no "=", an
// unknown command, bytes outside CP932) survives unchanged.
void TfrmOtherSetUp::AppendRow(QTableWidget* grid, const std::string& line, bool nameEditable) {
  std::string_view name = line, command;
  const bool hasEquals = SplitAssignment(line, name, command);
  const int row = grid->rowCount();
  grid->insertRow(row);
  auto* nameItem = new QTableWidgetItem(ToQString(name));
  nameItem->setData(Qt::UserRole, QByteArray::fromStdString(line));
  nameItem->setData(Qt::UserRole + 1, hasEquals);
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (nameEditable) flags |= Qt::ItemIsEditable;
  nameItem->setFlags(flags);
  grid->setItem(row, 0, nameItem);
  auto* commandItem = new QTableWidgetItem;
  commandItem->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  grid->setItem(row, 1, commandItem);

  auto* box = new QComboBox;
  box->setEditable(false);
  for (const std::string& c : CommandNames()) box->addItem(ToQString(c));
  int index = -1;
  for (int i = 0; i < kCommandNameCount; ++i)
    if (CommandNames()[static_cast<size_t>(i)] == command) index = i;
  if (index < 0) {
    // Not a command of the list (or no "=" at all): shown as it stands.
    box->addItem(ToQString(command));
    index = box->count() - 1;
  }
  box->setCurrentIndex(index);
  box->setProperty(kInitialIndex, index);
  grid->setCellWidget(row, 1, box);
}

std::vector<std::string> TfrmOtherSetUp::GridLines(const QTableWidget* grid) const {
  std::vector<std::string> lines;
  for (int row = 0; row < grid->rowCount(); ++row) {
    const QTableWidgetItem* nameItem = grid->item(row, 0);
    const auto* box = qobject_cast<const QComboBox*>(grid->cellWidget(row, 1));
    const std::string original = nameItem->data(Qt::UserRole).toByteArray().toStdString();
    std::string_view originalName = original, originalCommand;
    const bool hasEquals = SplitAssignment(original, originalName, originalCommand);
    const bool nameKept = nameItem->text() == ToQString(originalName);
    const bool commandKept = box->currentIndex() == box->property(kInitialIndex).toInt();
    if (nameKept && commandKept) {
      lines.push_back(original);
      continue;
    }
    const std::string name = nameKept ? std::string(originalName) : FromQString(nameItem->text());
    const std::string command =
        commandKept ? std::string(originalCommand) : FromQString(box->currentText());
    lines.push_back(!hasEquals && command.empty() ? name : name + "=" + command);
  }
  return lines;
}

std::vector<std::string> TfrmOtherSetUp::KeyLines() const { return GridLines(grdKey); }
std::vector<std::string> TfrmOtherSetUp::MouseLines() const { return GridLines(grdMouse); }

void TfrmOtherSetUp::SetValues(const TOtherSettings& v) {
  sedAutoPInterval->setValue(v.AutoPSeconds);
  sedAutoLInterval->setValue(v.AutoLSeconds);
  ledEditorName->setText(ToQString(v.EditorName));
  ledEditorOption->setText(ToQString(v.EditorOption));
  chkSendTo->setChecked(v.SendTo);
  chkLast->setChecked(v.Last);
  chkEOArchive->setChecked(v.DeleteArchive);
  (v.GroupedBookmarks ? rdbFormat2 : rdbFormat1)->setChecked(true);
  edtFormat1->setText(ToQString(v.Format1));
  ledFormat2Main->setText(ToQString(v.Format2Main));
  ledFormat2Sub->setText(ToQString(v.Format2Sub));
}

TOtherSettings TfrmOtherSetUp::Values() const {
  TOtherSettings v;
  v.AutoPSeconds = sedAutoPInterval->value();
  v.AutoLSeconds = sedAutoLInterval->value();
  v.EditorName = FromQString(ledEditorName->text());
  v.EditorOption = FromQString(ledEditorOption->text());
  v.SendTo = chkSendTo->isChecked();
  v.Last = chkLast->isChecked();
  v.DeleteArchive = chkEOArchive->isChecked();
  v.GroupedBookmarks = rdbFormat2->isChecked();
  v.Format1 = FromQString(edtFormat1->text());
  v.Format2Main = FromQString(ledFormat2Main->text());
  v.Format2Sub = FromQString(ledFormat2Sub->text());
  return v;
}

void TfrmOtherSetUp::mnuAddClick() {
  TfrmInputKey capture(this);
  for (const std::string& c : CommandNames()) capture.cmbValue->addItem(ToQString(c));
  capture.cmbValue->setCurrentIndex(capture.cmbValue->count() - 1);
  capture.lblKey->setText(QString::fromUtf8(kKeyTitle));
  capture.lblValue->setText(QString::fromUtf8(kEventTitle));
  if (capture.exec() != QDialog::Accepted) return;
  const std::string key = capture.KeyText();
  if (key.empty()) return;
  AppendRow(grdKey, key + "=" + capture.CommandText(), true);
  grdKey->setCurrentCell(grdKey->rowCount() - 1, 0);
}

void TfrmOtherSetUp::mnuDeleteClick() {
  const int row = grdKey->currentRow();
  if (row < 0 || row >= grdKey->rowCount()) return;
  const std::string line = GridLines(grdKey)[static_cast<size_t>(row)];
  if (!dialogs_.ConfirmOkCancel(Sjis("確認"), Sjis("「") + line + Sjis("」を削除します"))) return;
  grdKey->removeRow(row);
}

QMenu* TfrmOtherSetUp::PlaceholderMenuFor(QWidget* control) {
  pmnPlaceholder->clear();
  if (control == grdKey) {
    QAction* add = pmnPlaceholder->addAction(QStringLiteral("追加(&A)"));
    add->setObjectName(QStringLiteral("mnuAdd"));
    connect(add, &QAction::triggered, this, [this] { mnuAddClick(); });
    pmnPlaceholder->addSeparator();
    QAction* remove = pmnPlaceholder->addAction(QStringLiteral("削除(&D)"));
    remove->setObjectName(QStringLiteral("mnuDelete"));
    remove->setEnabled(grdKey->rowCount() > 0);
    connect(remove, &QAction::triggered, this, [this] { mnuDeleteClick(); });
    return pmnPlaceholder;
  }
  auto* edit = qobject_cast<QLineEdit*>(control);
  if (!edit) return pmnPlaceholder;
  const auto addAll = [&](const auto& list) {
    for (const TPlaceholder& p : list) {
      const QString caption = QString::fromUtf8(p.Caption.data(), static_cast<qsizetype>(p.Caption.size()));
      // "&" is no access key here: the caption stays exactly as written.
      QAction* item = pmnPlaceholder->addAction(QString(caption).replace(QLatin1Char('&'), QLatin1String("&&")));
      connect(item, &QAction::triggered, edit, [edit, caption] { edit->insert(caption.left(2)); });
    }
  };
  if (edit == ledEditorOption) addAll(EditorPlaceholders());
  else addAll(BookmarkPlaceholders());
  return pmnPlaceholder;
}

void TfrmOtherSetUp::ShowPlaceholderMenu(QWidget* control, const QPoint& pos) {
  control->setFocus();
  QWidget* origin = control == grdKey ? grdKey->viewport() : control;
  PlaceholderMenuFor(control)->exec(origin->mapToGlobal(pos));
}

void TfrmOtherSetUp::ChooseEditor() {
  QFileDialog chooser(this);
  chooser.setFileMode(QFileDialog::ExistingFile);
  chooser.setNameFilter(QStringLiteral("実行ファイル (*)"));
  // Only programs: Linux marks them executable rather than naming them .exe.
  chooser.setFilter(QDir::AllDirs | QDir::Files | QDir::Executable | QDir::NoDotAndDotDot);
  const QString current = ledEditorName->text();
  if (!current.isEmpty()) chooser.setDirectory(QFileInfo(current).absolutePath());
  if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return;
  const QString chosen = chooser.selectedFiles().front();
  if (!QFileInfo(chosen).isExecutable()) return;
  ledEditorName->setText(QDir::toNativeSeparators(chosen));
}

void TfrmOtherSetUp::accept() {
  // The window takes the values of page 全般 whatever happens to the files.
  QDialog::accept();
  const std::string keyFile = exeDir_ + std::string(kKeyAssignmentFile);
  if (!WriteAssignmentLines(keyFile, KeyLines())) {
    dialogs_.ShowMessage(FormatS(Sjis(kMsgCannotWrite), keyFile));
    return;
  }
  const std::string mouseFile = exeDir_ + std::string(kMouseAssignmentFile);
  if (!WriteAssignmentLines(mouseFile, MouseLines()))
    dialogs_.ShowMessage(FormatS(Sjis(kMsgCannotWrite), mouseFile));
}

}  // namespace rpv
