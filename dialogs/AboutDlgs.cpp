#include "dialogs/AboutDlgs.h"

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/AppIcon.h"
#include "app/QtText.h"

namespace rpv {
namespace {

// The fixed texts around the author's name in the rights notice.
constexpr const char* kCopyrightFront = "Copyright (C) ";
constexpr const char* kCopyrightBack = " All rights reserved.";
constexpr int kIconSize = 48;

QLabel* Label(QWidget* parent, const char* name) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromLatin1(name));
  return label;
}

void MakeLink(QLabel* label) {
  QFont font = label->font();
  font.setUnderline(true);
  label->setFont(font);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, Qt::blue);
  label->setPalette(palette);
  label->setCursor(Qt::PointingHandCursor);
}

}  // namespace

TfrmAboutBox::TfrmAboutBox(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmAboutBox"));
  setWindowTitle(QString());
  auto* frame = new QFrame(this);
  frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  imgIcon = Label(frame, "imgIcon");
  imgIcon->setPixmap(AppIconPixmap(kIconSize, devicePixelRatioF()));
  imgIcon->setFixedSize(kIconSize, kIconSize);
  lblProductName = Label(frame, "lblProductName");
  QFont big = lblProductName->font();
  big.setPointSize(20);
  big.setBold(true);
  lblProductName->setFont(big);
  lblVersion = Label(frame, "lblVersion");
  lblCopyright = Label(frame, "lblCopyright");
  lblMail = Label(frame, "lblMail");
  lblUrl = Label(frame, "lblUrl");
  lblComments = Label(frame, "lblComments");
  for (QLabel* link : {lblMail, lblUrl}) {
    MakeLink(link);
    link->installEventFilter(this);
  }
  btnOk = new QPushButton(QStringLiteral("OK"), this);
  btnOk->setObjectName(QStringLiteral("btnOk"));
  btnOk->setDefault(true);
  connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);

  auto* inner = new QGridLayout(frame);
  inner->addWidget(imgIcon, 0, 0);
  inner->addWidget(lblProductName, 0, 1);
  int row = 1;
  for (QLabel* label : {lblVersion, lblCopyright, lblMail, lblUrl, lblComments})
    inner->addWidget(label, row++, 0, 1, 2);
  inner->setColumnStretch(1, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->addWidget(frame);
  layout->addWidget(btnOk, 0, Qt::AlignRight | Qt::AlignBottom);
  setMinimumSize(312, 200);
}

void TfrmAboutBox::SetTexts(const std::string& productName, const std::string& version,
                            const std::string& author, const std::string& mail,
                            const std::string& url) {
  productName_ = productName;
  version_ = version;
  author_ = author;
  mail_ = mail;
  url_ = url;
  lblProductName->setText(ToQString(productName));
  lblVersion->setText(ToQString(version));
  lblCopyright->setText(ToQString(author));
  lblMail->setText(ToQString(mail));
  lblUrl->setText(ToQString(url));
}

void TfrmAboutBox::showEvent(QShowEvent* event) {
  setWindowTitle(ToQString(productName_) + QStringLiteral("のバージョン情報"));
  lblVersion->setText(QStringLiteral("Version ") + ToQString(version_));
  lblCopyright->setText(QString::fromUtf8(kCopyrightFront) + ToQString(author_) +
                        QString::fromUtf8(kCopyrightBack));
  QDialog::showEvent(event);
}

bool TfrmAboutBox::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    if (watched == lblMail) lblMailClick();
    if (watched == lblUrl) lblUrlClick();
  }
  return QDialog::eventFilter(watched, event);
}

void TfrmAboutBox::lblMailClick() {
  if (!mail_.empty() && OnOpenUrl) OnOpenUrl("mailto:" + mail_);
}

void TfrmAboutBox::lblUrlClick() {
  if (!url_.empty() && OnOpenUrl) OnOpenUrl(url_);
}

}  // namespace rpv
