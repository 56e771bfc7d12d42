#include "archive/qt/ArchiveForm.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/AppMessages.h"
#include "app/QtText.h"
#include "archive/ArchiveMessages.h"
#include "archive/MemberName.h"
#include "archive/rpvArchiveUnit.h"
#include "platform/ExeDir.h"

namespace rpv {
namespace {

QColor WindowsColour(int32_t colour) {
  const auto c = static_cast<uint32_t>(colour);
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                static_cast<int>((c >> 16) & 0xFF));
}

}  // namespace

TArchiveForm::TArchiveForm(QWidget* parent, std::function<void(const std::string&)> showMessage)
    : QDialog(parent, Qt::Tool), showMessage_(std::move(showMessage)) {
  setObjectName(QStringLiteral("ArchiveForm"));
  QFont font(ToQString(Sjis(kWindowFontName)));
  font.setPixelSize(12);
  setFont(font);
  resize(560, 363);

  lstFileList = new QListWidget(this);
  lstFileList->setObjectName(QStringLiteral("lstFileList"));
  lstFileList->setUniformItemSizes(true);
  lstFileList->setSelectionMode(QAbstractItemView::SingleSelection);
  Panel1 = new QWidget(this);
  Panel1->setFixedHeight(32);
  btnOpen = new QPushButton(QStringLiteral("&Open"), Panel1);
  btnOpen->setObjectName(QStringLiteral("btnOpen"));
  btnOpen->setDefault(true);
  btnOpen->setAutoDefault(true);
  btnCancel = new QPushButton(QStringLiteral("&Cancel"), Panel1);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  btnCancel->setAutoDefault(false);
  auto* buttons = new QHBoxLayout(Panel1);
  buttons->setContentsMargins(4, 2, 4, 2);
  buttons->addStretch();
  buttons->addWidget(btnOpen);
  buttons->addWidget(btnCancel);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(lstFileList);
  layout->addWidget(Panel1);

  connect(btnOpen, &QPushButton::clicked, this, [this] { OpenSelected(); });
  connect(btnCancel, &QPushButton::clicked, this, [this] { reject(); });
  // Only the double click: "activated" also fires on a single click under
  // some desktop styles, and Enter reaches the default button anyway.
  connect(lstFileList, &QListWidget::itemDoubleClicked, this, [this] { OpenSelected(); });
}

void TArchiveForm::SetListColours(int32_t fontColor, int32_t backColor) {
  QPalette palette = lstFileList->palette();
  palette.setColor(QPalette::Text, WindowsColour(fontColor));
  palette.setColor(QPalette::Base, WindowsColour(backColor));
  lstFileList->setPalette(palette);
}

bool TArchiveForm::FormShow() {
  ChosenFile.clear();
  const std::string name = MemberBareName(ArchivePath);
  setWindowTitle(ToQString(name + " - " + ArchiverVersion(ArchivePath, showMessage_)));
  TArchiveListing listing = ListArchiveMembers(ArchivePath, showMessage_);
  // A broken archive still offers what could be read from it.
  if (!listing.Complete && listing.Names.empty()) return false;
  SortMemberNames(listing.Names);
  lstFileList->clear();
  // The item keeps the member's own bytes: the shown text need not convert
  // back to exactly them.
  for (const std::string& member : listing.Names) {
    auto* item = new QListWidgetItem(ToQString(member), lstFileList);
    item->setData(Qt::UserRole, QByteArray::fromStdString(member));
  }
  lstFileList->setFocus();
  return true;
}

bool TArchiveForm::ExtractMember(const std::string& folder, std::string& member) {
  return rpv::ExtractMember(ArchivePath, folder, member, showMessage_, Options);
}

void TArchiveForm::OpenSelected() {
  const QList<QListWidgetItem*> selected = lstFileList->selectedItems();
  if (selected.isEmpty()) {
    showMessage_(ArchiveMessage(kMsgSelectFile));
    return;
  }
  ChosenFile = selected.front()->data(Qt::UserRole).toByteArray().toStdString();
  // A failure the archiver explained is not followed by a bare "Error".
  bool told = false;
  const TMessageSink show = [this, &told](const std::string& text) {
    told = true;
    showMessage_(text);
  };
  if (rpv::ExtractMember(ArchivePath, ArchiveFolder(ExeDir()), ChosenFile, show, Options)) {
    accept();
    return;
  }
  ChosenFile.clear();
  if (!told) showMessage_(ArchiveMessage(kMsgExtractError));
}

void TArchiveForm::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    reject();
    return;
  }
  QDialog::keyReleaseEvent(event);
}

}  // namespace rpv
