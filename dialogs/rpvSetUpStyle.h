// The style editor: every user-facing setting of one named style (one
// section of info.ini) on four tabs, a title that counts the lines and the
// characters a page of the edited style holds, and a live preview of the
// page. OK writes the whole section; Cancel writes nothing.
#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "render/cbcClasses.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QMenu;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace rpv {

class TBookClass;
class TStylePreview;

class TfrmStyleSetUp : public QDialog {
 public:
  // fonts: the font names to offer (CP932); by default the installed ones.
  explicit TfrmStyleSetUp(QWidget* parent,
                          std::optional<std::vector<std::string>> fonts = std::nullopt);
  ~TfrmStyleSetUp() override;

  // Reads the section into the private style, sets every control from it
  // and computes the title. The page is pageWidth x pageHeight device pixels
  // at dpi (0: the screen's); the preview shows book from sourceLine, or a
  // sample text without a book.
  void Open(const std::string& settingsFile, const std::string& section, int32_t pageWidth,
            int32_t pageHeight, int32_t dpi = 0, const TBookClass* book = nullptr,
            int32_t sourceLine = 0);

  // The private style as the controls stand (colours as last chosen).
  const TInfo& Style() const { return style_; }
  TStylePreview* Preview() const { return preview_; }

  // Seams for the modal choosers, which tests replace: a colour (Windows
  // colour value) from the current one, a picture file, an error message.
  std::function<std::optional<int32_t>(int32_t current)> ChooseColor;
  std::function<std::optional<std::string>()> ChoosePicture;
  std::function<void(const std::string& message)> ShowError;

  // ---- Controls -----------------------------------------------------------
  QTabWidget* pgcSetUp = nullptr;
  // 文字と背景
  QComboBox* cmbFontName = nullptr;
  QPushButton* btnBackColor = nullptr;
  QPushButton* btnLinkColor = nullptr;
  QCheckBox* chkBold = nullptr;
  QCheckBox* chkTateYoko = nullptr;
  QCheckBox* chkRuby = nullptr;
  QCheckBox* chkRubyCenter = nullptr;
  QCheckBox* chkHtmlTag = nullptr;
  QCheckBox* chkBodyTag = nullptr;
  QCheckBox* chkImgTag = nullptr;
  QCheckBox* chkFontTag = nullptr;
  QCheckBox* chkBackGround = nullptr;
  QLineEdit* edtBackGround = nullptr;
  QPushButton* btnBackGround = nullptr;
  QSpinBox* sedFontSize = nullptr;
  QPushButton* btnFontColor = nullptr;
  QComboBox* cmbAntiAliasing = nullptr;
  QSpinBox* sedRFontSize = nullptr;
  QPushButton* btnRFontColor = nullptr;
  QComboBox* cmbRAntiAliasing = nullptr;
  // 外観
  QSpinBox* sedMarginLeft = nullptr;
  QSpinBox* sedMarginRight = nullptr;
  QSpinBox* sedMarginTop = nullptr;
  QSpinBox* sedMarginBottom = nullptr;
  QSpinBox* sedSpacing = nullptr;
  QSpinBox* sedBetweenChar = nullptr;
  QButtonGroup* rdgDirection = nullptr;
  QButtonGroup* rdgColumn = nullptr;
  QSpinBox* sedColumnSpace = nullptr;
  // 行の折り返し
  QCheckBox* chkRuleCharHead = nullptr;
  QLineEdit* ledRuleCharHead = nullptr;
  QCheckBox* chkHang = nullptr;
  QCheckBox* chkRuleCharEnd = nullptr;
  QLineEdit* ledRuleCharEnd = nullptr;
  QCheckBox* chkWordWrap = nullptr;
  // ヘッダー･フッター
  QButtonGroup* rdgHeader = nullptr;
  QLineEdit* ledHeader = nullptr;
  QButtonGroup* rdgFooter = nullptr;
  QLineEdit* ledFooter = nullptr;
  // The placeholder menu of the header and footer edits, rebuilt when one
  // of them gets the focus; its entries insert into that edit.
  QMenu* popHeaderFooter = nullptr;
  QPushButton* btnOK = nullptr;
  QPushButton* btnCancel = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildTextPage();
  void BuildLookPage();
  void BuildWrapPage();
  void BuildHeaderPage();
  void ShowControls();
  // Copies every control into the private style.
  void ReadControls();
  // The title and the preview follow the controls.
  void Changed();
  void DirectionClick(int index);
  void SelectFont(const std::string& name, bool keepMissing);
  void PickColor(int32_t TInfo::*setting);
  void PickPicture();
  void BuildPlaceholderMenu(QLineEdit* target);
  void btnOKClick();

  TInfo style_;
  std::string settingsFile_;
  std::string section_;
  std::vector<std::string> fonts_;
  TStylePreview* preview_ = nullptr;
  bool opened_ = false;
};

}  // namespace rpv
