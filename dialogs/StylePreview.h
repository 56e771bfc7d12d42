// The style editor's live preview: the page of the open document at the
// reading position (or a sample text when none is open), laid out and drawn
// with the settings on screen by the same page class the window uses, at the
// window's page size and resolution, and shown reduced to fit.
#pragma once

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <memory>

#include "render/cbcClasses.h"

namespace rpv {

class TBookClass;

class TStylePreview : public QWidget {
 public:
  // book: the document to show from sourceLine, or nullptr for the sample.
  // The page is pageWidth x pageHeight device pixels at dpi.
  TStylePreview(QWidget* parent, const TBookClass* book, int32_t sourceLine, int32_t pageWidth,
                int32_t pageHeight, int32_t dpi);
  ~TStylePreview() override;

  // Lays out and draws the page with the style, then repaints.
  void ShowStyle(const TInfo& style);
  // The page last drawn, at full size.
  const QImage& Page() const { return page_; }
  // Display lines of the page last laid out (what the page shows).
  int32_t LinesShown() const { return linesShown_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::unique_ptr<TBookClass> book_;
  int32_t pageWidth_;
  int32_t pageHeight_;
  int32_t dpi_;
  QImage page_;
  int32_t linesShown_ = 0;
};

}  // namespace rpv
