// The page device of the program: draws what the composer says onto a
// canvas over the page bitmap, text through DrawTextAA with each run's own
// font, colour, supersampling and smoothing; side lines and boxes as solid
// pixel strokes. Link rectangles draw nothing.
#pragma once

#include "platform/Canvas.h"
#include "render/PageDevice.h"

namespace rpv {

class TCanvasDevice : public IPageDevice {
 public:
  // The canvas is not owned and must outlive the device.
  explicit TCanvasDevice(TCanvas& canvas) : canvas_(canvas) {}

  void Fill(const TRect& rect, uint32_t colour) override;
  void Tile(const TRect& rect, const TBitmap24& tile, std::string_view path) override;
  void Picture(const TPictureRun& picture) override;
  void Glyphs(const TGlyphRun& run) override;
  void Side(const TSideRun& run) override;
  void Rule(const TGlyphRun& unit, int step, int count) override;
  void Stroke(const TStrokeRun& run) override;
  void Invert(const TRect& rect, int32_t line) override;
  void Link(const TRect&, std::string_view, int32_t) override {}

 private:
  // A rectangle given along and across the text direction.
  void FillAlong(bool vertical, int32_t along0, int32_t along1, int32_t cross0, int32_t cross1);

  TCanvas& canvas_;
};

}  // namespace rpv
