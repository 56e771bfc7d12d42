// A page device that draws nothing and keeps a record of every drawing, in
// order: what the page tests ask instead of looking for ink. A reading or
// side note becomes one record per line it stands on (the part beside its
// base, then what continued at the next line's head); a rule one record
// over all its units; a side line or box one record per line it marks.
#pragma once

#include <algorithm>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "render/PageDevice.h"

namespace rpv {

inline void PrintTo(const TRect& r, std::ostream* os) {
  *os << "{" << r.Left << ", " << r.Top << ", " << r.Right << ", " << r.Bottom << "}";
}

}  // namespace rpv

namespace rpv::testing {

struct TDrawRecord {
  TDrawKind Kind = TDrawKind::Text;
  std::string Text;  // CP932: the run, reading, rule unit, picture path or link target
  TRect Box;         // page pixels: the cells, the picture, the rectangle
  int X = 0;         // reference point of text; top-left of a picture
  int Y = 0;
  TOrientation Orientation = TOrientation::Horizontal;
  TFontRole Role = TFontRole::Body;
  TFontDesc Font;  // at drawing scale
  uint32_t Colour = 0;
  int Supersampling = 1;
  bool Smooth = true;
  int32_t Line = -1;  // display line; -1 for the page's own drawings
  std::string Base;     // ruby: the base text and its cells
  TRect BaseBox;
  std::string Reading;  // ruby and notes: the whole reading
  bool Continued = false;  // the part that went on at the next line's head
  TRect Clip;      // pictures
  int Count = 1;   // rules: units drawn, `Step` apart
  int Step = 0;
  TStroke Stroke = TStroke::Solid;  // side lines and boxes
  int Thickness = 0;
};

inline bool Overlap(const TRect& a, const TRect& b) {
  return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

inline TRect Union(const TRect& a, const TRect& b) {
  return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
          std::max(a.Bottom, b.Bottom)};
}

class TPageRecorder : public IPageDevice {
 public:
  std::vector<TDrawRecord> Records;

  std::vector<TDrawRecord> Of(TDrawKind kind) const {
    std::vector<TDrawRecord> out;
    std::copy_if(Records.begin(), Records.end(), std::back_inserter(out),
                 [&](const TDrawRecord& r) { return r.Kind == kind; });
    return out;
  }
  // The records of one display line, of one kind.
  std::vector<TDrawRecord> Of(TDrawKind kind, int32_t line) const {
    std::vector<TDrawRecord> out;
    for (const TDrawRecord& r : Records)
      if (r.Kind == kind && r.Line == line) out.push_back(r);
    return out;
  }
  // The texts of a kind on a line, run together.
  std::string TextOf(TDrawKind kind, int32_t line) const {
    std::string out;
    for (const TDrawRecord& r : Of(kind, line)) out += r.Text;
    return out;
  }

  void Fill(const TRect& rect, uint32_t colour) override {
    TDrawRecord r;
    r.Kind = TDrawKind::Fill;
    r.Box = rect;
    r.Colour = colour;
    Records.push_back(std::move(r));
  }
  void Tile(const TRect& rect, const TBitmap24&, std::string_view path) override {
    TDrawRecord r;
    r.Kind = TDrawKind::Background;
    r.Box = rect;
    r.Text = path;
    Records.push_back(std::move(r));
  }
  void Picture(const TPictureRun& p) override {
    TDrawRecord r;
    r.Kind = p.Kind;
    r.Text = p.Path;
    r.X = p.X;
    r.Y = p.Y;
    r.Box = {p.X, p.Y, p.X + p.Bitmap->Width(), p.Y + p.Bitmap->Height()};
    r.Clip = p.Clip;
    r.Line = p.Line;
    Records.push_back(std::move(r));
  }
  void Glyphs(const TGlyphRun& run) override { Records.push_back(FromRun(run)); }
  void Side(const TSideRun& run) override {
    for (size_t k = 0; k < run.Glyphs.size(); ++k) {
      const TGlyphRun& g = run.Glyphs[k];
      if (k > 0 && Records.back().Line == g.Line) {
        Records.back().Text += g.Text;
        Records.back().Box = Union(Records.back().Box, g.Box);
        continue;
      }
      TDrawRecord r = FromRun(g);
      r.Base = run.Base;
      r.BaseBox = run.BaseBox;
      r.Reading = run.Reading;
      r.Continued = g.Line != run.Line;
      Records.push_back(std::move(r));
    }
  }
  void Rule(const TGlyphRun& unit, int step, int count) override {
    TDrawRecord r = FromRun(unit);
    r.Count = count;
    r.Step = step;
    TRect last = unit.Box;
    const int along = step * (count - 1);
    if (unit.Orientation == TOrientation::Horizontal) {
      last.Left += along;
      last.Right += along;
    } else {
      last.Top += along;
      last.Bottom += along;
    }
    r.Box = Union(unit.Box, last);
    Records.push_back(std::move(r));
  }
  void Stroke(const TStrokeRun& run) override {
    TDrawRecord r;
    r.Kind = run.Kind;
    r.Box = run.Box;
    r.Stroke = run.Stroke;
    r.Thickness = run.Thickness;
    r.Colour = run.Colour;
    r.Orientation = run.Vertical ? TOrientation::Vertical : TOrientation::Horizontal;
    r.Line = run.Line;
    Records.push_back(std::move(r));
  }
  void Invert(const TRect& rect, int32_t line) override {
    TDrawRecord r;
    r.Kind = TDrawKind::Mark;
    r.Box = rect;
    r.Line = line;
    Records.push_back(std::move(r));
  }
  void Link(const TRect& rect, std::string_view target, int32_t line) override {
    TDrawRecord r;
    r.Kind = TDrawKind::Link;
    r.Text = target;
    r.Box = rect;
    r.Line = line;
    Records.push_back(std::move(r));
  }

 private:
  static TDrawRecord FromRun(const TGlyphRun& run) {
    TDrawRecord r;
    r.Kind = run.Kind;
    r.Text = run.Text;
    r.Box = run.Box;
    r.X = run.X;
    r.Y = run.Y;
    r.Orientation = run.Orientation;
    r.Role = run.Font->Role;
    r.Font = run.Font->Desc;
    r.Colour = run.Font->Colour;
    r.Supersampling = run.Font->Supersampling;
    r.Smooth = run.Font->Smooth;
    r.Line = run.Line;
    return r;
  }
};

}  // namespace rpv::testing
