// The main window's side of layout: a new layout starts on the worker and
// the window shows the page it wants as soon as that page's lines exist;
// commands that need lines still to come wait for them.
#include <QPainter>
#include <cstdint>
#include <limits>

#include "app/LayoutRunner.h"
#include "app/PageView.h"
#include "app/rpvMain.h"
#include "render/BookClass.h"

namespace rpv {

void TfrmRPV::ShowAtPosition(int32_t position) {
  ShowAtPosition(TReadingPosition::OfLine(position));
}

void TfrmRPV::ShowAtPosition(const TReadingPosition& position) {
  if (!LayoutEnabled || !Book) return;
  Book->SetPageHeight(ClientHeight());
  Book->SetPageWidth(ClientWidth());
  IdleCount = 0;
  if (Book->SourceText.Bytes() < BackgroundLayoutBytes || Book->SourceText.Empty()) {
    layout_->Cancel();
    ShowLaidOutPage(Book->BuildLines(position), position);
    return;
  }
  Book->ApplyBodyColours();
  layout_->Start(*Book);
  awaitingPage_ = true;
  awaitedPosition_ = position;
  // Already the reading position: a window closed before the page shows
  // must save it, not what it showed before.
  ReadingPosition = position.Line < 0 ? TReadingPosition::OfLine(0) : position;
  TopLine = -1;
  LineOffset = 0;
  // Usually the first batch arrives before the next paint; otherwise the
  // panel says what is going on.
  layout_->ShowProgress(true);
  RepaintPage();
}

void TfrmRPV::Relayout() { ShowAtPosition(ReadingPosition); }

void TfrmRPV::LinesArrived() {
  if (!Book || !layout_->Deliver(*Book)) return;
  if (awaitingPage_) {
    ShowAwaitedPage();
    return;
  }
  // The footer's page count ("…" until now) is known.
  if (Book->LayoutComplete && TopLine >= 0) RepaintPage();
}

bool TfrmRPV::ShowAwaitedPage() {
  if (!awaitingPage_) return false;
  const TReadingPosition& p = awaitedPosition_;
  if (!Book->LayoutComplete && p.Line >= 0) {
    // The position's source line is whole once a line of a later one has
    // arrived.
    const int32_t n = Book->DisplayLines.Count();
    if (n == 0 || Book->DisplayLines.Item(n - 1)->SourceIndex <= p.Line) return false;
  }
  const int32_t top = Book->PageTopOf(Book->DisplayLineAt(p));
  if (!Book->LayoutComplete && int64_t{top} + Book->LinesPerPage() > Book->LineCount())
    return false;
  ShowLaidOutPage(top, p);
  return true;
}

void TfrmRPV::ShowLaidOutPage(int32_t top, const TReadingPosition& position) {
  awaitingPage_ = false;
  layout_->ShowProgress(false);
  TopLine = top;
  LineOffset = 0;
  // "No position" names the start; what is stored from now on is its line.
  ReadingPosition = position.Line < 0 && TopLine >= 0 ? Book->PositionAt(TopLine) : position;
  RepaintPage();
}

bool TfrmRPV::WaitForLines(int64_t end) {
  if (!Book) return false;
  // No command acts before the page asked for is on screen.
  if (awaitingPage_) return false;
  return layout_->Wait([this, end] { return Book->LayoutComplete || Book->LineCount() >= end; });
}

bool TfrmRPV::WaitForWholeLayout() { return WaitForLines(std::numeric_limits<int64_t>::max()); }

}  // namespace rpv
