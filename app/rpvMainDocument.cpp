// Opening documents, the history, layout, painting and resizing.
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <cmath>
#include <exception>

#include "app/AppMessages.h"
#include "app/BookLoader.h"
#include "app/LayoutRunner.h"
#include "app/PageView.h"
#include "app/QtText.h"
#include "app/rpvMain.h"
#include "archive/rpvArchiveUnit.h"
#include "bookmarks/rpvBookMark.h"
#include "import/Tools.h"
#include "platform/FileIO.h"
#include "render/BookClass.h"

namespace rpv {
namespace {

// Page bitmaps beyond this side are not allocated (a hand-edited window
// size must not ask for gigabytes).
constexpr int kMaxPageSide = 16384;

QColor ToQColor(int32_t colour) {
  const auto c = static_cast<uint32_t>(colour);
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                static_cast<int>((c >> 16) & 0xFF));
}

std::string FolderOf(const std::string& path) {
  const std::string name = ExtractShortName(path, PathDelimiters());
  return path.substr(0, path.size() - name.size());
}

}  // namespace

void TfrmRPV::OpenDocument(std::string path, int32_t position, std::string archive) {
  OpenDocument(std::move(path), TReadingPosition::OfLine(position), std::move(archive));
}

void TfrmRPV::OpenDocument(std::string path, TReadingPosition position, std::string archive) {
  // One book is read at a time; the panel's cancel button is the way out.
  if (loader_->Busy()) return;
  // A missing file is extracted again from its archive, once: when the
  // archive is gone too, the message names it (the two names would
  // otherwise send each other back and forth for ever).
  bool fromArchive = false;
  for (;;) {
    if (FileExists(path)) break;
    if (path.empty()) return;
    if (!archive.empty() && !fromArchive) {
      std::swap(path, archive);
      fromArchive = true;
      continue;
    }
    Dialogs().ShowMessage(FormatS(Sjis(kMsgCannotOpen), path));
    return;
  }

  if (MatchesExtList(path, kArchiveExtensions)) {
    const std::string extracted = ArchiveStep(path, ExtractShortName(archive, PathDelimiters()));
    if (extracted.empty()) return;
    archive = path;
    path = extracted;
  }
  if (position.Line == -1) position = History.ReadingPositionOf(path);

  // Should the read fail, what is on screen stays, and so do the history,
  // the folder, the caption and the document's idea of its file.
  const TFileHistoryList oldHistory = History;
  const std::string oldDir = CurrentDir;
  const QString oldCaption = windowTitle();
  const std::string oldTitle = appTitle_;
  const std::string oldFileDir = Book->FileDir;
  const std::string oldFileName = Book->FileName;

  // Filters keep the window's events flowing while they run: the timer
  // must not turn pages of a document half replaced.
  struct TTimerPause {
    QTimer* timer;
    bool wasActive;
    ~TTimerPause() {
      if (wasActive) timer->start();
    }
  } pause{tmrAuto, tmrAuto->isActive()};
  tmrAuto->stop();

  AddHistory(path, position, archive);
  CurrentDir = FolderOf(path);
  SetCaption(path + " - " + ProductName(), ExtractShortName(path, PathDelimiters()));
  auto restore = [&] {
    History = oldHistory;
    CurrentDir = oldDir;
    setWindowTitle(oldCaption);
    appTitle_ = oldTitle;
    Dialogs().SetApplicationTitle(appTitle_);
    Book->FileDir = oldFileDir;
    Book->FileName = oldFileName;
  };
  // Read on another thread: the window keeps painting, and a long read
  // shows its progress and can be given up.
  std::optional<TBookText> text;
  try {
    text = loader_->Read(path, Book->Tools, Book->FilterLimits);
  } catch (const std::exception& e) {
    restore();
    Dialogs().ShowMessage(e.what());
    return;
  }
  if (!text || !Book) {
    if (Book) restore();
    return;
  }
  // The layout of the old text reads it: stopped before the text goes.
  layout_->Cancel();
  Book->AdoptText(std::move(*text));
  documentShown_ = true;
  // The mark belonged to the text that was replaced.
  Book->FindMark.reset();
  mnuMPageJump->setEnabled(true);
  mnuMFind->setEnabled(true);
  ShowAtPosition(position);
  // A filter stopped at its limit: the book is shown unfiltered, and why.
  if (!Book->FilterMessage.empty()) Dialogs().ShowMessage(Book->FilterMessage);
}

void TfrmRPV::AddHistory(const std::string& path, const TReadingPosition& position,
                         const std::string& archive) {
  // The document still on screen keeps its reading position. Before the
  // first document is shown, entry 0 is not on screen and keeps its own.
  if (HasDocument()) History[0].SetPosition(ReadingPosition);
  History.Add(path, position, archive);
}

std::string TfrmRPV::ArchiveStep(const std::string& archive, const std::string& member) {
  tmrAuto->stop();
  ButtonDown = 0;
  const TMessageSink show = [this](const std::string& text) { Dialogs().ShowMessage(text); };
  std::string result;
  // Reopening names the member: extracted again without the chooser when
  // the archive still has it.
  if (std::string wanted = member; !wanted.empty() && ExtractMember(archive, ArchiveFolder(ExeDir), wanted, show))
    result = wanted;
  if (result.empty() && !ArchiverVersion(archive, show).empty()) {
    result = Dialogs()
                 .ChooseArchiveMember(archive, Book->CurrentFontColor(), Book->CurrentBackColor())
                 .value_or(std::string());
  }
  if (Started) tmrAuto->start();
  IdleCount = 0;
  return result;
}

void TfrmRPV::SetCaption(const std::string& caption, const std::string& appTitle) {
  setWindowTitle(ToQString(caption));
  appTitle_ = appTitle;
  Dialogs().SetApplicationTitle(appTitle);
}

void TfrmRPV::ScreenChanged() {
  // Another screen may have another density: the fonts follow it.
  if (Book && Book->Style.ScreenDpi != PageDpi()) LoadCurrentStyle();
}

void TfrmRPV::LoadCurrentStyle() {
  // The reading position was taken from the old style's lines when the page
  // was shown, never from the lines under the new style's measures.
  Book->LoadStyle(ExeDir + "info.ini", StyleNames[static_cast<size_t>(StyleIndex)], PageDpi());
  UpdateMinimumSize();
  Relayout();
  ApplyWindowColour();
}

void TfrmRPV::ApplyWindowColour() {
  QPalette pal = palette();
  pal.setColor(QPalette::Window, ToQColor(Book->CurrentBackColor()));
  pageView_->setPalette(pal);
}

void TfrmRPV::RedrawPage() {
  IdleCount = 0;
  if (Book && TopLine >= 0) ReadingPosition = Book->PositionAt(TopLine + LineOffset);
  ClearFindMark();
  RepaintPage();
}

void TfrmRPV::RepaintPage() {
  pageDirty_ = true;
  pageView_->repaint();
}

bool TfrmRPV::ClearFindMark() {
  if (!Book || !Book->FindMark) return false;
  Book->FindMark.reset();
  pageDirty_ = true;
  return true;
}

void TfrmRPV::FormPaint(QPainter& painter) {
  if (!Book) {
    painter.fillRect(pageView_->rect(), pageView_->palette().color(QPalette::Window));
    return;
  }
  if (awaitingPage_) {
    // The page asked for is still being laid out: no page rather than the
    // one of the old layout or the "no document" page.
    painter.fillRect(pageView_->rect(), ToQColor(Book->CurrentBackColor()));
    return;
  }
  if (pageDirty_) {
    Book->DrawPage(TopLine + LineOffset);
    pageDirty_ = false;
  }
  const TBitmap24& page = Book->PageBitmap;
  const qreal ratio = pageView_->devicePixelRatioF();
  const QColor back = ToQColor(Book->CurrentBackColor());
  if (page.Empty()) {
    painter.fillRect(pageView_->rect(), back);
    return;
  }
  // The bitmap's rows are shown as they are: 24-bit BGR with its stride.
  QImage image(page.Row(0), page.Width(), page.Height(), static_cast<qsizetype>(page.Stride()),
               QImage::Format_BGR888);
  image.setDevicePixelRatio(ratio);
  const QSizeF shown = QSizeF(page.Width(), page.Height()) / ratio;
  const QRect view = pageView_->rect();
  if (shown.width() < view.width())
    painter.fillRect(QRectF(shown.width(), 0, view.width() - shown.width(), view.height()), back);
  if (shown.height() < view.height())
    painter.fillRect(QRectF(0, shown.height(), view.width(), view.height() - shown.height()), back);
  painter.drawImage(QPointF(0, 0), image);
}

int32_t TfrmRPV::ClientWidth() const {
  const double w = std::round(pageView_->width() * pageView_->devicePixelRatioF());
  return std::clamp(static_cast<int32_t>(w), 0, kMaxPageSide);
}

int32_t TfrmRPV::ClientHeight() const {
  const double h = std::round(pageView_->height() * pageView_->devicePixelRatioF());
  return std::clamp(static_cast<int32_t>(h), 0, kMaxPageSide);
}

int32_t TfrmRPV::PageDpi() const {
  const QScreen* s = screen();
  const double dpi = s ? s->logicalDotsPerInch() : 96.0;
  const double ratio = devicePixelRatioF();
  return std::max(1, static_cast<int32_t>(std::lround(dpi * ratio)));
}

QSize TfrmRPV::MinimumClientSize() const {
  const qreal ratio = devicePixelRatioF();
  const int w = static_cast<int>(std::ceil(std::min(Book->MinPageWidth(), kMaxPageSide) / ratio));
  const int h = static_cast<int>(std::ceil(std::min(Book->MinPageHeight(), kMaxPageSide) / ratio));
  return QSize(std::max(w, 1), std::max(h, 1));
}

void TfrmRPV::UpdateMinimumSize() {
  const QSize page = MinimumClientSize();
  // In full screen the menu bar lies outside the page area.
  const int menu = IsFullScreen() ? 0 : MenuBarHeight();
  setMinimumSize(page.width(), page.height() + menu);
}

void TfrmRPV::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayoutChildren();
  FormResize();
}

void TfrmRPV::FormResize() {
  if (!Started || !Book) return;
  // The page never gets smaller than the style's minimum.
  const QSize min = MinimumClientSize();
  const QSize client = pageView_->size();
  if (!IsFullScreen() && (client.width() < min.width() || client.height() < min.height())) {
    resize(std::max(width(), min.width()),
           height() + std::max(0, min.height() - client.height()));
    LayoutChildren();
  }
  Relayout();
}

}  // namespace rpv
