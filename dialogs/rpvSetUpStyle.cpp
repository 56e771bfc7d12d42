#include "dialogs/rpvSetUpStyle.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/AppMessages.h"
#include "app/QtText.h"
#include "dialogs/StylePreview.h"
#include "dialogs/StyleSections.h"
#include "platform/Codepage.h"
#include "platform/FaceResolver.h"

namespace rpv {
namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

template <typename T>
T* Named(T* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

QSpinBox* Spin(QWidget* parent, const char* name, int min, int max) {
  auto* box = Named(new QSpinBox(parent), name);
  box->setRange(min, max);
  // A typed value outside the range goes to the nearest bound on leaving.
  box->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
  return box;
}

// A labelled spin box in two cells of a grid row.
QSpinBox* LabelledSpin(QGridLayout* grid, int row, int column, const char* label, const char* name,
                       int min, int max) {
  QWidget* parent = grid->parentWidget();
  auto* box = Spin(parent, name, min, max);
  auto* caption = new QLabel(U(label), parent);
  caption->setBuddy(box);
  grid->addWidget(caption, row, column);
  grid->addWidget(box, row, column + 1);
  return box;
}

// A titled frame of radio buttons in `columns` columns; button ids are the
// item indexes.
QGroupBox* RadioGroup(QWidget* parent, const char* title, const char* name,
                      std::initializer_list<const char*> items, int columns, QButtonGroup** group) {
  auto* box = Named(new QGroupBox(U(title), parent), name);
  auto* grid = new QGridLayout(box);
  *group = new QButtonGroup(box);
  (*group)->setObjectName(QString::fromLatin1(name));
  int i = 0;
  for (const char* item : items) {
    auto* button = new QRadioButton(U(item), box);
    button->setObjectName(QStringLiteral("%1_%2").arg(QString::fromLatin1(name)).arg(i));
    grid->addWidget(button, i / columns, i % columns);
    (*group)->addButton(button, i);
    ++i;
  }
  return box;
}

void CheckIndex(QButtonGroup* group, int index) {
  // A stored value beyond the last item shows the last item.
  const int last = static_cast<int>(group->buttons().size()) - 1;
  if (QAbstractButton* button = group->button(std::clamp(index, 0, last))) button->setChecked(true);
}

int CheckedIndex(const QButtonGroup* group) { return std::max(group->checkedId(), 0); }

QLineEdit* LabelledEdit(QVBoxLayout* column, const char* label, const char* name) {
  QWidget* parent = column->parentWidget();
  auto* caption = new QLabel(U(label), parent);
  auto* edit = Named(new QLineEdit(parent), name);
  caption->setBuddy(edit);
  column->addWidget(caption);
  column->addWidget(edit);
  return edit;
}

// Typing keeps an edit within a number of CP932 bytes (a stored longer
// value is shown whole and kept as long as it is not edited).
void LimitBytes(QLineEdit* edit, size_t limit) {
  QObject::connect(edit, &QLineEdit::textEdited, edit, [edit, limit](const QString& text) {
    const std::string bytes = FromQString(text);
    if (bytes.size() <= limit) return;
    size_t cut = 0;
    while (cut < bytes.size() && cut + CharLen(bytes, cut) <= limit) cut += CharLen(bytes, cut);
    const int cursor = edit->cursorPosition();
    edit->setText(ToQString(bytes.substr(0, cut)));
    edit->setCursorPosition(std::min(cursor, static_cast<int>(edit->text().size())));
  });
}

QColor ToQColor(int32_t colour) {
  const auto c = static_cast<uint32_t>(colour);
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                static_cast<int>((c >> 16) & 0xFF));
}

int32_t FromQColor(const QColor& c) {
  return static_cast<int32_t>(static_cast<uint32_t>(c.red()) |
                              (static_cast<uint32_t>(c.green()) << 8) |
                              (static_cast<uint32_t>(c.blue()) << 16));
}

constexpr const char* kPlaceholders[] = {
    "%p　現在のページ番号",
    "%P　ページ数",
    "%f　ファイル名",
    "%F　フルパス",
    "%l　現在の頁の先頭行",
    "%L　行数",
    "%g　現在の頁付近の論理行",
    "%t　HTMLファイルのタイトル/ファイル名",
    "%a　テキストファイルの一行目/HTMLファイルのタイトル",
};

constexpr const char* kPictureFilter =
    "画像ファイル(*.bmp *.jpg *.jpeg);;すべてのファイル(*.*)";

}  // namespace

TfrmStyleSetUp::TfrmStyleSetUp(QWidget* parent, std::optional<std::vector<std::string>> fonts)
    : QDialog(parent) {
  setObjectName(QStringLiteral("frmStyleSetUp"));
  setWindowTitle(ToQString(Sjis(kStyleDialogCaption)));
  fonts_ = fonts ? std::move(*fonts) : InstalledScreenFonts();

  auto* outer = new QHBoxLayout(this);
  auto* left = new QVBoxLayout();
  outer->addLayout(left);
  pgcSetUp = Named(new QTabWidget(this), "pgcSetUp");
  left->addWidget(pgcSetUp);
  BuildTextPage();
  BuildLookPage();
  BuildWrapPage();
  BuildHeaderPage();

  auto* buttons = new QHBoxLayout();
  buttons->addStretch();
  btnOK = Named(new QPushButton(QStringLiteral("&OK"), this), "btnOK");
  btnCancel = Named(new QPushButton(QStringLiteral("Cancel"), this), "btnCancel");
  btnOK->setDefault(true);
  buttons->addWidget(btnOK);
  buttons->addWidget(btnCancel);
  left->addLayout(buttons);
  connect(btnOK, &QPushButton::clicked, this, [this] { btnOKClick(); });
  connect(btnCancel, &QPushButton::clicked, this, [this] { reject(); });
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  popHeaderFooter = Named(new QMenu(this), "popHeaderFooter");
  for (QLineEdit* edit : {ledHeader, ledFooter}) {
    edit->installEventFilter(this);
    edit->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(edit, &QWidget::customContextMenuRequested, this, [this, edit](QPoint pos) {
      BuildPlaceholderMenu(edit);
      popHeaderFooter->exec(edit->mapToGlobal(pos));
    });
  }

  ChooseColor = [this](int32_t current) -> std::optional<int32_t> {
    const QColor c = QColorDialog::getColor(ToQColor(current), this);
    if (!c.isValid()) return std::nullopt;
    return FromQColor(c);
  };
  ChoosePicture = [this]() -> std::optional<std::string> {
    const QString path = QFileDialog::getOpenFileName(this, QString(), QString(), U(kPictureFilter));
    if (path.isEmpty()) return std::nullopt;
    return PathFromQString(QDir::toNativeSeparators(path));
  };
  ShowError = [this](const std::string& message) {
    QMessageBox box(QMessageBox::NoIcon, windowTitle(), ToQString(message), QMessageBox::Ok, this);
    box.exec();
  };
}

TfrmStyleSetUp::~TfrmStyleSetUp() = default;

void TfrmStyleSetUp::BuildTextPage() {
  auto* page = new QWidget(pgcSetUp);
  pgcSetUp->addTab(page, U("文字と背景"));
  auto* grid = new QGridLayout(page);

  auto* common = Named(new QGroupBox(U("共通"), page), "grpCommon");
  auto* commonGrid = new QGridLayout(common);
  cmbFontName = Named(new QComboBox(common), "cmbFontName");
  cmbFontName->setMaxVisibleItems(20);
  cmbFontName->setMinimumContentsLength(16);
  cmbFontName->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  auto* fontLabel = new QLabel(U("フォント名(&N)"), common);
  fontLabel->setBuddy(cmbFontName);
  commonGrid->addWidget(fontLabel, 0, 0);
  commonGrid->addWidget(cmbFontName, 0, 1, 1, 3);
  btnBackColor = Named(new QPushButton(U("背景色"), common), "btnBackColor");
  btnLinkColor = Named(new QPushButton(U("リンク色"), common), "btnLinkColor");
  commonGrid->addWidget(btnBackColor, 1, 0);
  commonGrid->addWidget(btnLinkColor, 1, 1);
  chkBold = Named(new QCheckBox(U("太字(&W)"), common), "chkBold");
  chkTateYoko = Named(new QCheckBox(U("縦中横"), common), "chkTateYoko");
  chkRuby = Named(new QCheckBox(U("ルビをふる"), common), "chkRuby");
  chkRubyCenter = Named(new QCheckBox(U("ルビを中央揃え"), common), "chkRubyCenter");
  chkHtmlTag = Named(new QCheckBox(U("HTMLタグの解析"), common), "chkHtmlTag");
  chkBodyTag = Named(new QCheckBox(U("BODYタグ"), common), "chkBodyTag");
  chkImgTag = Named(new QCheckBox(U("IMGタグ"), common), "chkImgTag");
  chkFontTag = Named(new QCheckBox(U("FONTタグ"), common), "chkFontTag");
  commonGrid->addWidget(chkBold, 1, 2);
  commonGrid->addWidget(chkTateYoko, 1, 3);
  commonGrid->addWidget(chkRuby, 2, 0, 1, 2);
  commonGrid->addWidget(chkRubyCenter, 2, 2, 1, 2);
  commonGrid->addWidget(chkHtmlTag, 3, 0, 1, 2);
  commonGrid->addWidget(chkBodyTag, 3, 2);
  commonGrid->addWidget(chkImgTag, 4, 0);
  commonGrid->addWidget(chkFontTag, 4, 1);
  chkBackGround = Named(new QCheckBox(U("背景画像"), common), "chkBackGround");
  edtBackGround = Named(new QLineEdit(common), "edtBackGround");
  btnBackGround = Named(new QPushButton(QStringLiteral("..."), common), "btnBackGround");
  btnBackGround->setFixedWidth(btnBackGround->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 12);
  commonGrid->addWidget(chkBackGround, 5, 0);
  commonGrid->addWidget(edtBackGround, 5, 1, 1, 2);
  commonGrid->addWidget(btnBackGround, 5, 3);
  grid->addWidget(common, 0, 0, 1, 2);

  const char* const aliasing[] = {"アンチエリアスなし", "アンチエリアスあり"};
  auto frame = [&](const char* title, const char* name, const char* sizeName, int min, int max,
                   const char* colourName, const char* aliasName, QSpinBox** size,
                   QPushButton** colour, QComboBox** alias) {
    auto* box = Named(new QGroupBox(U(title), page), name);
    auto* g = new QGridLayout(box);
    *size = LabelledSpin(g, 0, 0, "サイズ：", sizeName, min, max);
    *colour = Named(new QPushButton(U("文字色"), box), colourName);
    g->addWidget(*colour, 1, 0, 1, 2);
    *alias = Named(new QComboBox(box), aliasName);
    for (const char* item : aliasing) (*alias)->addItem(U(item));
    g->addWidget(*alias, 2, 0, 1, 2);
    return box;
  };
  grid->addWidget(frame("本文", "grpBody", "sedFontSize", 6, 72, "btnFontColor", "cmbAntiAliasing",
                        &sedFontSize, &btnFontColor, &cmbAntiAliasing),
                  1, 0);
  grid->addWidget(frame("ルビ", "grpRuby", "sedRFontSize", 3, 36, "btnRFontColor",
                        "cmbRAntiAliasing", &sedRFontSize, &btnRFontColor, &cmbRAntiAliasing),
                  1, 1);
  grid->setRowStretch(2, 1);

  connect(btnBackColor, &QPushButton::clicked, this, [this] { PickColor(&TInfo::BackColor); });
  connect(btnLinkColor, &QPushButton::clicked, this, [this] { PickColor(&TInfo::LinkColor); });
  connect(btnFontColor, &QPushButton::clicked, this, [this] { PickColor(&TInfo::FontColor); });
  connect(btnRFontColor, &QPushButton::clicked, this, [this] { PickColor(&TInfo::RFontColor); });
  connect(btnBackGround, &QPushButton::clicked, this, [this] { PickPicture(); });
}

void TfrmStyleSetUp::BuildLookPage() {
  auto* page = new QWidget(pgcSetUp);
  pgcSetUp->addTab(page, U("外観"));
  auto* column = new QVBoxLayout(page);
  auto* grid = new QGridLayout();
  column->addLayout(grid);
  sedMarginLeft = LabelledSpin(grid, 0, 0, "左マージン(&L)", "sedMarginLeft", 0, 255);
  sedMarginRight = LabelledSpin(grid, 0, 2, "右マージン(&R)", "sedMarginRight", 0, 255);
  sedMarginTop = LabelledSpin(grid, 1, 0, "上マージン(&T)", "sedMarginTop", 0, 255);
  sedMarginBottom = LabelledSpin(grid, 1, 2, "下マージン(&B)", "sedMarginBottom", 0, 255);
  sedSpacing = LabelledSpin(grid, 2, 0, "行間(&S)", "sedSpacing", 0, 255);
  sedBetweenChar = LabelledSpin(grid, 2, 2, "文字間(&M)", "sedBetweenChar", -255, 255);
  column->addWidget(RadioGroup(page, "横組み/縦組み(&D)", "rdgDirection", {"横組み", "縦組み"}, 2,
                               &rdgDirection));
  column->addWidget(RadioGroup(page, "段組(&C)", "rdgColumn", {"1", "2", "3"}, 3, &rdgColumn));
  auto* spaceGrid = new QGridLayout();
  column->addLayout(spaceGrid);
  sedColumnSpace = LabelledSpin(spaceGrid, 0, 0, "段組の間隔(&U)", "sedColumnSpace", 0, 255);
  spaceGrid->setColumnStretch(2, 1);
  column->addStretch();
}

void TfrmStyleSetUp::BuildWrapPage() {
  auto* page = new QWidget(pgcSetUp);
  pgcSetUp->addTab(page, U("行の折り返し"));
  auto* column = new QVBoxLayout(page);
  chkRuleCharHead = Named(new QCheckBox(U("禁則処理（行頭）"), page), "chkRuleCharHead");
  column->addWidget(chkRuleCharHead);
  ledRuleCharHead = LabelledEdit(column, "行頭禁止文字：", "ledRuleCharHead");
  chkHang = Named(new QCheckBox(U("ぶら下げ禁則"), page), "chkHang");
  column->addWidget(chkHang);
  chkRuleCharEnd = Named(new QCheckBox(U("禁則処理（行末）"), page), "chkRuleCharEnd");
  column->addWidget(chkRuleCharEnd);
  ledRuleCharEnd = LabelledEdit(column, "行末禁止文字：", "ledRuleCharEnd");
  chkWordWrap = Named(new QCheckBox(U("英文ワードラップ"), page), "chkWordWrap");
  column->addWidget(chkWordWrap);
  column->addStretch();
  LimitBytes(ledRuleCharHead, 100);
  LimitBytes(ledRuleCharEnd, 50);
}

void TfrmStyleSetUp::BuildHeaderPage() {
  auto* page = new QWidget(pgcSetUp);
  pgcSetUp->addTab(page, U("ヘッダー･フッター"));
  auto* column = new QVBoxLayout(page);
  column->addWidget(RadioGroup(page, "ヘッダー(&H)", "rdgHeader", {"なし", "左", "中央", "右"}, 4,
                               &rdgHeader));
  ledHeader = LabelledEdit(column, "文字列(&E)", "ledHeader");
  column->addWidget(RadioGroup(page, "フッター(&F)", "rdgFooter", {"なし", "左", "中央", "右"}, 4,
                               &rdgFooter));
  ledFooter = LabelledEdit(column, "文字列(&Z)", "ledFooter");
  column->addStretch();
}

void TfrmStyleSetUp::Open(const std::string& settingsFile, const std::string& section,
                          int32_t pageWidth, int32_t pageHeight, int32_t dpi,
                          const TBookClass* book, int32_t sourceLine) {
  settingsFile_ = settingsFile;
  section_ = section;
  style_ = TInfo();
  style_.ReadStyle(settingsFile_, section_);
  if (dpi <= 0) {
    const QScreen* s = screen();
    dpi = static_cast<int32_t>(std::lround(s ? s->logicalDotsPerInch() : 96.0));
  }
  style_.ScreenDpi = dpi;
  style_.PageWidth = pageWidth;
  style_.PageHeight = pageHeight;
  ShowControls();

  if (preview_ == nullptr) {
    preview_ = new TStylePreview(this, book, sourceLine, pageWidth, pageHeight, dpi);
    // As tall as the tabs, as wide as the page's proportions allow.
    const int height = std::max(pgcSetUp->sizeHint().height(), 240);
    const double aspect = pageHeight > 0 ? double(pageWidth) / pageHeight : 1.0;
    preview_->setFixedSize(std::clamp(static_cast<int>(height * aspect), 200, 520), height);
    static_cast<QHBoxLayout*>(layout())->addWidget(preview_, 0, Qt::AlignTop);
  }
  Changed();

  // Only now do the controls report changes, so filling them recomputed nothing.
  if (opened_) return;
  opened_ = true;
  auto changed = [this] { Changed(); };
  for (QSpinBox* box : {sedFontSize, sedRFontSize, sedMarginLeft, sedMarginRight, sedMarginTop,
                        sedMarginBottom, sedSpacing, sedBetweenChar, sedColumnSpace})
    connect(box, &QSpinBox::valueChanged, this, changed);
  for (QCheckBox* box : {chkBold, chkTateYoko, chkRuby, chkRubyCenter, chkHtmlTag, chkBodyTag,
                         chkImgTag, chkFontTag, chkBackGround, chkRuleCharHead, chkHang,
                         chkRuleCharEnd, chkWordWrap})
    connect(box, &QCheckBox::toggled, this, changed);
  for (QComboBox* box : {cmbFontName, cmbAntiAliasing, cmbRAntiAliasing})
    connect(box, &QComboBox::currentIndexChanged, this, changed);
  for (QLineEdit* edit : {edtBackGround, ledRuleCharHead, ledRuleCharEnd, ledHeader, ledFooter})
    connect(edit, &QLineEdit::textChanged, this, changed);
  for (QButtonGroup* group : {rdgColumn, rdgHeader, rdgFooter})
    connect(group, &QButtonGroup::idToggled, this, [this](int, bool on) {
      if (on) Changed();
    });
  connect(rdgDirection, &QButtonGroup::idClicked, this, [this](int id) { DirectionClick(id); });
}

void TfrmStyleSetUp::ShowControls() {
  cmbFontName->clear();
  for (const std::string& name : fonts_) cmbFontName->addItem(ToQString(name));
  SelectFont(style_.FontName, true);
  chkBold->setChecked(style_.FontWeight == 700);
  chkTateYoko->setChecked(style_.blnTateYoko);
  chkRuby->setChecked(style_.HasRubyFlag(kRubyOn));
  chkRubyCenter->setChecked(style_.HasRubyFlag(kRubyCentre));
  chkHtmlTag->setChecked(style_.HasHtmlTag(kHtmlTagAnalyse));
  chkBodyTag->setChecked(style_.HasHtmlTag(kHtmlTagBody));
  chkImgTag->setChecked(style_.HasHtmlTag(kHtmlTagImg));
  chkFontTag->setChecked(style_.HasHtmlTag(kHtmlTagFont));
  chkBackGround->setChecked(style_.blnBackGround);
  edtBackGround->setText(ToQString(style_.strBackGround));
  // Spin boxes bring a stored value outside their range to the nearest bound.
  sedFontSize->setValue(style_.FontSize);
  cmbAntiAliasing->setCurrentIndex(std::clamp(style_.AntiAliasing - 1, 0, 1));
  sedRFontSize->setValue(style_.RFontSize);
  cmbRAntiAliasing->setCurrentIndex(std::clamp(style_.RAntiAliasing - 1, 0, 1));

  sedMarginLeft->setValue(style_.PageMarginLeft);
  sedMarginRight->setValue(style_.PageMarginRight);
  sedMarginTop->setValue(style_.PageMarginTop);
  sedMarginBottom->setValue(style_.PageMarginBottom);
  sedSpacing->setValue(style_.Spacing);
  sedBetweenChar->setValue(style_.BetweenChar);
  CheckIndex(rdgDirection, style_.Direction / kDirectionVertical);
  CheckIndex(rdgColumn, style_.ColumnCount - 1);
  sedColumnSpace->setValue(style_.ColumnSpace);

  chkRuleCharHead->setChecked(style_.blnRuleCharHead);
  ledRuleCharHead->setText(ToQString(style_.RuleCharHead));
  chkHang->setChecked(style_.blnHang);
  chkRuleCharEnd->setChecked(style_.blnRuleCharEnd);
  ledRuleCharEnd->setText(ToQString(style_.RuleCharEnd));
  chkWordWrap->setChecked(style_.WordWrap);

  CheckIndex(rdgHeader, style_.bytHeader);
  ledHeader->setText(ToQString(style_.strHeader));
  CheckIndex(rdgFooter, style_.bytFooter);
  ledFooter->setText(ToQString(style_.strFooter));
}

void TfrmStyleSetUp::ReadControls() {
  TInfo& s = style_;
  s.FontName = cmbFontName->currentIndex() < 0 ? std::string() : FromQString(cmbFontName->currentText());
  s.FontWeight = chkBold->isChecked() ? 700 : 400;
  s.blnTateYoko = chkTateYoko->isChecked();
  s.SetRubyFlag(kRubyOn, chkRuby->isChecked());
  s.SetRubyFlag(kRubyCentre, chkRubyCenter->isChecked());
  s.SetHtmlTag(kHtmlTagAnalyse, chkHtmlTag->isChecked());
  s.SetHtmlTag(kHtmlTagBody, chkBodyTag->isChecked());
  s.SetHtmlTag(kHtmlTagImg, chkImgTag->isChecked());
  s.SetHtmlTag(kHtmlTagFont, chkFontTag->isChecked());
  s.blnBackGround = chkBackGround->isChecked();
  s.strBackGround = FromQString(edtBackGround->text());
  s.FontSize = sedFontSize->value();
  s.AntiAliasing = static_cast<uint8_t>(std::max(cmbAntiAliasing->currentIndex(), 0) + 1);
  s.RFontSize = sedRFontSize->value();
  s.RAntiAliasing = static_cast<uint8_t>(std::max(cmbRAntiAliasing->currentIndex(), 0) + 1);

  s.PageMarginLeft = sedMarginLeft->value();
  s.PageMarginRight = sedMarginRight->value();
  s.PageMarginTop = sedMarginTop->value();
  s.PageMarginBottom = sedMarginBottom->value();
  s.Spacing = sedSpacing->value();
  s.BetweenChar = sedBetweenChar->value();
  // Direction changes only through DirectionClick.
  s.ColumnCount = static_cast<uint8_t>(CheckedIndex(rdgColumn) + 1);
  s.ColumnSpace = sedColumnSpace->value();

  s.blnRuleCharHead = chkRuleCharHead->isChecked();
  s.RuleCharHead = FromQString(ledRuleCharHead->text());
  s.blnHang = chkHang->isChecked();
  s.blnRuleCharEnd = chkRuleCharEnd->isChecked();
  s.RuleCharEnd = FromQString(ledRuleCharEnd->text());
  s.WordWrap = chkWordWrap->isChecked();

  s.bytHeader = static_cast<uint8_t>(CheckedIndex(rdgHeader));
  s.strHeader = FromQString(ledHeader->text());
  s.bytFooter = static_cast<uint8_t>(CheckedIndex(rdgFooter));
  s.strFooter = FromQString(ledFooter->text());
}

void TfrmStyleSetUp::Changed() {
  ReadControls();
  // The page's own measures; the editor's count also keeps ruby room for
  // the reserve bit, as the ruby bit does.
  TInfo measure = style_;
  if (measure.HasRubyFlag(kRubyReserve)) measure.SetRubyFlag(kRubyOn, true);
  setWindowTitle(ToQString(Sjis(kEditorCaption))
                     .arg(measure.LinesPerColumn())
                     .arg(measure.CharsPerLine()));
  if (preview_ != nullptr) preview_->ShowStyle(style_);
}

void TfrmStyleSetUp::SelectFont(const std::string& name, bool keepMissing) {
  const int index = cmbFontName->findText(ToQString(name), Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (index >= 0) {
    cmbFontName->setCurrentIndex(index);
  } else if (keepMissing && !name.empty()) {
    // A face that is not installed stays the style's face (the page draws
    // it with the fallback face) instead of being lost on OK.
    cmbFontName->insertItem(0, ToQString(name));
    cmbFontName->setCurrentIndex(0);
  } else {
    cmbFontName->setCurrentIndex(-1);
  }
}

void TfrmStyleSetUp::DirectionClick(int index) {
  if (cmbFontName->currentIndex() >= 0) {
    const std::string name = FromQString(cmbFontName->currentText());
    std::string wanted = name;
    if (index == 1) {
      if (cmbFontName->findText(ToQString("@" + name), Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0)
        wanted = "@" + name;
    } else if (const size_t at = name.find('@'); at != std::string::npos) {
      wanted.erase(at, 1);
    }
    SelectFont(wanted, true);
  }
  style_.Direction = static_cast<uint8_t>(index * kDirectionVertical);
  Changed();
}

void TfrmStyleSetUp::PickColor(int32_t TInfo::*setting) {
  if (!ChooseColor) return;
  if (const auto colour = ChooseColor(style_.*setting)) {
    style_.*setting = *colour;
    Changed();
  }
}

void TfrmStyleSetUp::PickPicture() {
  if (!ChoosePicture) return;
  if (const auto path = ChoosePicture()) edtBackGround->setText(ToQString(*path));
}

bool TfrmStyleSetUp::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn && (watched == ledHeader || watched == ledFooter))
    BuildPlaceholderMenu(static_cast<QLineEdit*>(watched));
  return QDialog::eventFilter(watched, event);
}

void TfrmStyleSetUp::BuildPlaceholderMenu(QLineEdit* target) {
  popHeaderFooter->clear();
  for (const char* caption : kPlaceholders) {
    const QString text = U(caption);
    QAction* item = popHeaderFooter->addAction(text);
    connect(item, &QAction::triggered, target, [target, text] { target->insert(text.left(2)); });
  }
}

void TfrmStyleSetUp::btnOKClick() {
  ReadControls();
  style_.RFontName = style_.FontName;
  // The dialog closes with OK even when the file cannot be written: the
  // window then reloads the style as the file holds it.
  accept();
  if (!style_.WriteStyle(settingsFile_, section_) && ShowError)
    ShowError(FormatS(Sjis(kMsgCannotWrite), settingsFile_));
}

}  // namespace rpv
