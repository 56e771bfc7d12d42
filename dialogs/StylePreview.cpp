#include "dialogs/StylePreview.h"

#include <QPainter>
#include <algorithm>

#include "app/QtText.h"
#include "platform/Codepage.h"
#include "render/BookClass.h"

namespace rpv {
namespace {

// Enough text for the fullest page: a page shows a few thousand characters,
// and laying out more would only slow every change down.
constexpr size_t kPreviewBytes = 32 * 1024;
constexpr size_t kPreviewLines = 400;

// The opening of 坊っちゃん, with ruby, for when no document is open.
constexpr const char* kSampleText[] = {
    "　｜親譲《おやゆず》りの無鉄砲《むてっぽう》で小供の時から損ばかりしている。"
    "小学校に居る時分学校の二階から飛び降りて一週間ほど腰《こし》を抜かした事がある。"
    "なぜそんな無闇《むやみ》をしたと聞く人があるかも知れぬ。別段深い理由でもない。",
    "　新築の二階から首を出していたら、同級生の一人が冗談《じょうだん》に、"
    "いくら威張《いば》っても、そこから飛び降りる事は出来まい。弱虫やーい。と囃《はや》したからである。",
    "　小使《こづかい》に負ぶさって帰って来た時、おやじが大きな眼《め》をして"
    "二階ぐらいから飛び降りて腰を抜かす奴《やつ》があるかと云《い》ったから、"
    "この次は抜かさずに飛んで見せますと答えた。",
    "　親類のものから西洋製のナイフを貰《もら》って奇麗《きれい》な刃《は》を日に翳《かざ》して、"
    "友達《ともだち》に見せていたら、一人が光る事は光るが切れそうもないと云った。"
    "切れぬ事があるか、何でも切ってみせると受け合った。ABC 123",
};

// The source lines from `first`, within the byte and line budget; a longer
// line is cut at a character boundary.
void CopyLines(const TSourceText& from, int32_t first, TSourceText& to) {
  size_t bytes = 0;
  const size_t start = static_cast<size_t>(std::max(first, 0));
  for (size_t i = start; i < from.Count() && i - start < kPreviewLines && bytes < kPreviewBytes;
       ++i) {
    std::string_view line = from[i];
    if (line.size() > kPreviewBytes - bytes) {
      size_t cut = 0;
      while (cut < line.size()) {
        const size_t len = CharLen(line, cut);
        if (cut + len > kPreviewBytes - bytes) break;
        cut += len;
      }
      line = line.substr(0, cut);
    }
    to.Add(line);
    bytes += line.size();
  }
}

}  // namespace

TStylePreview::TStylePreview(QWidget* parent, const TBookClass* book, int32_t sourceLine,
                             int32_t pageWidth, int32_t pageHeight, int32_t dpi)
    : QWidget(parent),
      pageWidth_(std::max(pageWidth, 1)),
      pageHeight_(std::max(pageHeight, 1)),
      dpi_(dpi > 0 ? dpi : 96) {
  setObjectName(QStringLiteral("pnlPreview"));
  book_ = std::make_unique<TBookClass>();
  if (book != nullptr && !book->SourceText.Empty()) {
    // The user's own smoothing setting, not what the document's style made of it.
    book_->SavedSmoothing = book->SavedSmoothing;
    book_->FileDir = book->FileDir;
    book_->FileName = book->FileName;
    book_->IsHtml = book->IsHtml;
    book_->Title = book->Title;
    book_->DeleteBlankLines = book->DeleteBlankLines;
    CopyLines(book->SourceText, sourceLine, book_->SourceText);
  } else {
    if (book != nullptr) book_->SavedSmoothing = book->SavedSmoothing;
    book_->FileName = Sjis("sample.txt");
    for (const char* line : kSampleText) book_->SourceText.Add(Sjis(line));
  }
  setMinimumSize(120, 120);
}

TStylePreview::~TStylePreview() = default;

void TStylePreview::ShowStyle(const TInfo& style) {
  book_->UseStyle(style, dpi_);
  book_->SetPageHeight(pageHeight_);
  book_->SetPageWidth(pageWidth_);
  const int32_t top = book_->BuildLines(0);
  book_->DrawPage(top);
  linesShown_ = std::clamp(book_->LineCount() - std::max(top, 0), 0, book_->LinesPerPage());
  const TBitmap24& bitmap = book_->PageBitmap;
  if (bitmap.Empty()) {
    page_ = QImage();
  } else {
    page_ = QImage(bitmap.Row(0), bitmap.Width(), bitmap.Height(),
                   static_cast<qsizetype>(bitmap.Stride()), QImage::Format_BGR888)
                .copy();
  }
  update();
}

void TStylePreview::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Dark));
  if (page_.isNull()) return;
  // Reduced to fit, with the page's own proportions.
  const QSizeF fit = QSizeF(page_.size()).scaled(QSizeF(size()), Qt::KeepAspectRatio);
  const QRectF target((width() - fit.width()) / 2, (height() - fit.height()) / 2, fit.width(),
                      fit.height());
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(target, page_);
}

}  // namespace rpv
