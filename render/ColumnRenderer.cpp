// The column renderer: draws one column of display lines on a page device
// (render/PageDevice.h), interpreting the display markup as it walks each
// line.
//
// Geometry. Vertical writing: line i's character cells lie left of its
// column X and run down from the line start S; ruby stands in the spacing
// gap right of X, side notes and left ruby left of the cells. Horizontal
// writing: line i's cells hang below its row Y and run right from S; ruby
// stands in the gap above, side notes and left ruby below. Text at a size
// step is centred across a vertical line and keeps the baseline of a
// horizontal one, so larger text stands out on both sides or upward; what
// stands beside it moves out with its cells. Everything is said to the page
// device; text is measured with the document's fonts, at drawing scale (the
// style's supersampling factor times the page size), and divided by that
// factor.
#include <algorithm>
#include <climits>
#include <string>
#include <string_view>
#include <vector>

#include "import/Colours.h"
#include "import/DisplayMarkup.h"
#include "import/HtmlAnalysis.h"
#include "import/MarkupWalker.h"
#include "import/MbScan.h"
#include "platform/Font.h"
#include "render/BookClass.h"
#include "render/TextMarks.h"

namespace rpv {

namespace {


constexpr int32_t kNoLimit = INT32_MAX;

// The visible text of markup: its tag spans removed.
std::string Visible(std::string_view text) { return VisibleText(text); }

}  // namespace

// The working state of one DrawColumn call.
class TColumnPainter {
 public:
  TColumnPainter(TBookClass& book, IPageDevice& device, int32_t columnX, int32_t columnY,
                 int32_t first)
      : book_(book),
        style_(book.Style),
        fonts_(book.fonts_),
        device_(device),
        vertical_(book.Style.Direction == kDirectionVertical),
        aa_(std::max<int>(1, book.Style.AntiAliasing)),
        raa_(std::max<int>(1, book.Style.RAntiAliasing)),
        fontPixels_(style_.FontPixels()),
        rubyPixels_(style_.RubyPixels()),
        pitch_(style_.LinePitch()),
        lineLength_(style_.LineLength()),
        between_(style_.BetweenChar),
        columnX_(columnX),
        columnY_(columnY),
        first_(first) {
    const int32_t count = book.DisplayLines.Count();
    lines_ = std::max<int32_t>(0, std::min<int32_t>(count - first, style_.LinesPerColumn()));
    // Pictures stay inside the column's box: its text area with the reserves
    // for ruby and hanging punctuation.
    if (vertical_) {
      const int32_t top = style_.PageMarginTop + style_.HeaderHeight() + columnY;
      clip_ = {style_.PageMarginLeft, top, style_.PageWidth - style_.PageMarginRight,
               top + lineLength_ + style_.HangReserve()};
    } else {
      const int32_t left = style_.PageMarginLeft + columnX;
      const int32_t top = style_.PageMarginTop + style_.HeaderHeight();
      clip_ = {left, top, left + style_.TextAreaWidth() + style_.WidthReserve(),
               top + style_.RubyBandHeight() + style_.TextAreaHeight()};
    }
  }

  void Run() {
    book_.TextColor = style_.FontColor;
    Select(TFontRole::Body);
    bodyCell_ = fontCell_;
    bodyAscent_ = fonts_.Font(font_.Desc).Ascent();
    UpdateCell();
    const int32_t count = book_.DisplayLines.Count();
    for (int32_t i = -1; i < lines_; ++i) {
      const int32_t index = first_ + i;
      if (index < 0 || index >= count) continue;
      DrawLine(*book_.DisplayLines.Item(index), i);
    }
    // A link still open at the column's end covers the rest of its lines.
    if (link_.Open) EmitLink(lines_ - 1, ColumnHead() + lineLength_);
  }

 private:
  struct OpenLink {
    bool Open = false;
    std::string Target;
    int32_t Line = 0;   // line number i where it started (-1: before the column)
    int32_t Start = 0;  // pen where it started
  };

  // The role's font, at the size step in force (the ruby font keeps its
  // size: readings and notes of large text are not enlarged).
  void Select(TFontRole role) {
    font_ = book_.RunFont(role);
    if (role != TFontRole::Ruby && step_ != 0 && font_.Desc.Height > 0) {
      const int k = font_.Supersampling;
      font_.Desc.Height = SizeStepPixels(font_.Desc.Height / k, step_) * k;
    }
    fontCell_ = fonts_.Font(font_.Desc).CellHeight();
  }
  // The cells of the size step in force, across the line, from the cross
  // position (the body font selected).
  void UpdateCell() {
    cellPixels_ = SizeStepPixels(fontPixels_, step_);
    if (vertical_) cellLo_ = -fontPixels_ + (fontPixels_ - cellPixels_) / 2;
    else cellLo_ = (bodyAscent_ - fonts_.Font(font_.Desc).Ascent()) / aa_;
    cellHi_ = cellLo_ + cellPixels_;
  }
  // A width in the current font, at drawing scale.
  int Width(std::string_view text) { return fonts_.Font(font_.Desc).Layout(text).Advance; }

  // A run of text in the current font with its reference point at (x, y);
  // `advance` is its width at drawing scale.
  TGlyphRun RunAt(TDrawKind kind, int32_t x, int32_t y, TOrientation o, std::string_view text,
                  int advance, int32_t line) {
    TGlyphRun run;
    run.Kind = kind;
    run.Text = text;
    run.X = x;
    run.Y = y;
    run.Orientation = o;
    run.Font = &font_;
    run.Box = RunBox(x, y, o, advance / font_.Supersampling, fontCell_ / font_.Supersampling);
    run.Line = first_ + line;
    return run;
  }
  void Put(TDrawKind kind, int32_t x, int32_t y, TOrientation o, std::string_view text, int advance) {
    device_.Glyphs(RunAt(kind, x, y, o, text, advance, line_));
  }
  // The orientation of the column's own text.
  TOrientation Flow() const { return vertical_ ? TOrientation::Vertical : TOrientation::Horizontal; }
  int32_t LineEnd() const { return lineEnd_; }
  // Where the column's lines begin, before any indent.
  int32_t ColumnHead() const {
    return vertical_ ? style_.PageMarginTop + style_.HeaderHeight() + columnY_
                     : style_.PageMarginLeft + columnX_;
  }

  // Cross position of line i: vertical, the right edge of its cells;
  // horizontal, the top of its cells.
  int32_t CrossOf(int32_t i) const {
    if (vertical_) {
      return style_.PageWidth - style_.PageMarginRight - style_.WidthReserve() - pitch_ * i;
    }
    // The ruby band that the measures take from the page lies above the
    // first line, so the ruby of the first line keeps clear of the header.
    return style_.PageMarginTop + style_.HeaderHeight() + style_.RubyBandHeight() + pitch_ * i;
  }

  void DrawLine(const TLine& line, int32_t i) {
    line_ = i;
    cross_ = CrossOf(i);
    lineStart_ = ColumnHead();
    cellHeight_ = bodyCell_;
    // A size step, side line or box left open ends with its source line:
    // the line breaker measures every source line from the body size.
    const int32_t index = first_ + i;
    if (index == 0 || book_.DisplayLines.Item(index - 1)->SourceIndex != line.SourceIndex) {
      sideline_.Open = box_.Open = false;
      if (step_ != 0) {
        step_ = 0;
        Select(TFontRole::Body);
        UpdateCell();
      }
    }
    int32_t aligned = 0;
    // The line ends short of its end gap (地からN字上げ, 字詰め), wherever it
    // starts: an indent moves its start only.
    const int32_t room = lineLength_ - static_cast<int32_t>(line.EndGap) * fontPixels_;
    lineEnd_ = lineStart_ + room;
    if (line.Align == 1 || line.Align == 2) {
      const int32_t w = AlignedWidth(line.Text);
      aligned = line.Align == 1 ? lineStart_ + room - w : lineStart_ + (room - w) / 2;
    }
    lineStart_ += line.Indent * fontPixels_;
    pen_ = std::max(aligned, lineStart_);
    previousSingle_ = false;
    lastChar_ = CellsFrom(pen_);
    for (TOpenMark* mark : {&sideline_, &box_}) {
      if (mark->Open) mark->Span = CellsFrom(pen_);
    }

    SetMarkRange(line, i);
    const std::string_view text = line.Text;
    walker_ = TMarkupWalker(text);
    tcyClose_ = {};
    size_t p = 0;
    while (p < text.size() && text[p] != '\0') {
      // Every tag span is read here, known or not: the line breaker gave
      // none of them room, so none is drawn as text.
      if (const auto m = walker_.Tag(p)) {
        if (vertical_ && m->Kind == TTagKind::TcyOn) {
          if (const size_t end = TateChuYoko(m->End)) {
            p = end;
            continue;
          }
        }
        Tag(*m);
        p = m->End;
        continue;
      }
      const size_t len = mb::Len(text, p);
      const int32_t penBefore = pen_;
      const size_t used = vertical_ ? VerticalChar(p, len) : HorizontalChar(text.substr(p, len));
      Drawn(penBefore, static_cast<int32_t>(mb::Count(text.substr(p, used))));
      p += used;
    }
    // Side lines and boxes still open draw this line's piece and go on at
    // the next line's head.
    EndMark(sideline_, false);
    EndMark(box_, true);
  }

  // The cells from `along` on, nothing covered yet, at the size in force.
  TCellSpan CellsFrom(int32_t along) const {
    return {along, along, cross_ + cellLo_, cross_ + cellHi_};
  }

  // After a character cell (or an upright cell) from penBefore to the pen:
  // the find mark, the last character for kanbun marks, the open marks.
  void Drawn(int32_t penBefore, int32_t chars) {
    MarkCell(penBefore, chars);
    lastChar_ = CellsFrom(penBefore);
    lastChar_.To = pen_ - between_;
    for (TOpenMark* mark : {&sideline_, &box_}) {
      if (!mark->Open) continue;
      mark->Span.To = lastChar_.To;
      mark->Span.Cover(lastChar_.Lo, lastChar_.Hi);
    }
  }

  // The width the line's text takes, for its alignment: characters in
  // their fonts at their size steps, a tate-chu-yoko run one cell
  // (character spacing is not counted).
  int32_t AlignedWidth(std::string_view text) {
    if (text.find(tag::kSizeOpen) == std::string_view::npos &&
        (!vertical_ || text.find(tag::kTcyOn) == std::string_view::npos))
      return Width(Visible(text)) / aa_;
    const int stepBefore = step_;
    TMarkupWalker walker(text);
    TForwardSearch tcyClose;
    int32_t w = 0;
    std::string run;  // characters at the step in force
    auto flush = [&] {
      w += Width(run) / aa_;
      run.clear();
    };
    for (size_t p = 0; p < text.size();) {
      const auto m = walker.Tag(p);
      if (!m) {
        run.append(text.substr(p, mb::Len(text, p)));
        p += mb::Len(text, p);
        continue;
      }
      p = m->End;
      if (m->Kind == TTagKind::Size) {
        flush();
        step_ = m->Step;
        Select(TFontRole::Body);
      } else if (vertical_ && m->Kind == TTagKind::TcyOn) {
        if (const size_t end = TcyCloseEnd(walker, p, tcyClose)) {
          flush();
          w += SizeStepPixels(fontPixels_, step_);
          p = end;
        }
      }
    }
    flush();
    step_ = stepBefore;
    Select(TFontRole::Body);
    return w;
  }

  // ---- The find mark -------------------------------------------------------

  // The characters of this display line (counted as reading positions count
  // them) that the book's find mark covers.
  void SetMarkRange(const TLine& line, int32_t i) {
    charIndex_ = 0;
    markFrom_ = markTo_ = 0;
    const auto& mark = book_.FindMark;
    if (!mark || i < 0 || line.SourceIndex != mark->Start.Line || line.Text.empty()) return;
    const int32_t before = book_.PositionAt(first_ + i).Offset;
    markFrom_ = mark->Start.Offset - before;
    markTo_ = markFrom_ + mark->Length;
  }

  // Inverts the cell just drawn (from penBefore to the pen) when one of its
  // `chars` characters is marked.
  void MarkCell(int32_t penBefore, int32_t chars) {
    const int32_t first = charIndex_;
    charIndex_ += chars;
    if (first >= markTo_ || charIndex_ <= markFrom_) return;
    const int32_t along = pen_ - between_;
    const int32_t lo = cross_ + cellLo_;
    const int32_t hi = cross_ + cellHi_;
    if (vertical_) device_.Invert({lo, penBefore, hi, along}, first_ + line_);
    else device_.Invert({penBefore, lo, along, hi}, first_ + line_);
  }

  // ---- Characters ----------------------------------------------------------

  size_t HorizontalChar(std::string_view ch) {
    const int w = Width(ch);
    if (line_ >= 0) Put(TDrawKind::Text, pen_, cross_ + cellLo_, TOrientation::Horizontal, ch, w);
    pen_ += w / aa_ + between_;
    return ch.size();
  }

  // Draws the character (or upright pair) at p; returns the bytes used.
  size_t VerticalChar(size_t p, size_t len) {
    const std::string_view text = walker_.Text();
    const bool tateYoko = style_.blnTateYoko;
    if (tateYoko && len == 1) {
      // The line breaker measured by the same rule.
      if (const size_t upright = UprightCell(walker_, p, previousSingle_))
        return Upright(text.substr(p, upright));
    }
    const std::string_view ch = text.substr(p, len);
    if (tateYoko && len == 2 && mb::Contains(style_.strTateYoko, ch)) {
      // The turned font runs leftward from its reference point with the
      // cell above it: one cell down and the cell coincides with a normal one.
      Select(TFontRole::Turned);
      if (line_ >= 0) Put(TDrawKind::Text, cross_ + cellHi_, pen_ + cellPixels_, TOrientation::Turned, ch, Width(ch));
      pen_ += cellPixels_ + between_;
      Select(TFontRole::Body);
      previousSingle_ = false;
      return len;
    }
    const int w = Width(ch);
    if (line_ >= 0) Put(TDrawKind::Text, cross_ + cellHi_, pen_, TOrientation::Vertical, ch, w);
    pen_ += w / aa_ + between_;
    previousSingle_ = SetAsSingleByte(ch);
    return len;
  }

  // One or two ASCII characters set upright, centred across the line, in one
  // cell whatever their number.
  size_t Upright(std::string_view chars) {
    Select(TFontRole::Upright);
    const int w = Width(chars);
    if (line_ >= 0)
      Put(TDrawKind::Text, cross_ - ((w + cellHeight_) / aa_) / 2, pen_, TOrientation::Horizontal, chars, w);
    pen_ += cellPixels_ + between_;
    Select(TFontRole::Body);
    previousSingle_ = chars.size() == 1;
    return chars.size();
  }

  // A tate-chu-yoko run from `from`: its characters set across the line in
  // one cell of the size in force, in the upright font, made smaller when
  // they would be wider than the cell. Tags inside act as anywhere. Returns
  // the end of the run's closing tag, or 0 when the line does not close it.
  size_t TateChuYoko(size_t from) {
    const size_t end = TcyCloseEnd(walker_, from, tcyClose_);
    if (end == 0) return 0;
    const std::string_view text = walker_.Text();
    const int32_t cell = cellPixels_;
    std::string chars;
    for (size_t i = from; i < end;) {
      const auto m = walker_.Tag(i);
      if (!m) {
        chars.append(text.substr(i, mb::Len(text, i)));
        i += mb::Len(text, i);
        continue;
      }
      if (m->Kind != TTagKind::TcyOff) Tag(*m);
      i = m->End;
    }
    const int32_t penBefore = pen_;
    if (line_ >= 0 && !chars.empty()) {
      Select(TFontRole::Upright);
      const int w = ShrinkToFit(fonts_, font_.Desc, chars, cell * aa_);
      fontCell_ = fonts_.Font(font_.Desc).CellHeight();
      const int32_t along = pen_ + (cell - fontCell_ / aa_) / 2;
      Put(TDrawKind::Text, cross_ - ((w + cellHeight_) / aa_) / 2, along, TOrientation::Horizontal, chars, w);
      Select(TFontRole::Body);
    }
    pen_ += cell + between_;
    previousSingle_ = false;
    Drawn(penBefore, static_cast<int32_t>(mb::Count(chars)));
    return end;
  }

  // ---- Tags ----------------------------------------------------------------

  void Tag(const TTagMatch& m) {
    switch (m.Kind) {
      case TTagKind::Ruby: Ruby(m.Arg, m.Arg2, m.Left); break;
      case TTagKind::Note: Note(m.Arg); break;
      case TTagKind::BoldOn: SetWeight(700); break;
      case TTagKind::BoldOff: SetWeight(style_.FontWeight); break;
      case TTagKind::ItalicOn: SetItalic(true); break;
      case TTagKind::ItalicOff: SetItalic(false); break;
      case TTagKind::StrikeOn: SetStrikeOut(true); break;
      case TTagKind::StrikeOff: SetStrikeOut(false); break;
      case TTagKind::Colour:
        // A colour that cannot be read leaves the colour as it was.
        if (const auto colour = StringToColor(m.Arg)) book_.TextColor = *colour & 0xFFFFFF;
        Select(TFontRole::Body);
        break;
      case TTagKind::ColourOff:
        book_.TextColor = style_.FontColor;
        Select(TFontRole::Body);
        break;
      case TTagKind::Rule: Rule(m.Arg); break;
      case TTagKind::Voiced:
        // Written for vertical writing only; elsewhere it is a span like
        // any other that nothing knows.
        if (vertical_) Voiced(m.Arg);
        break;
      case TTagKind::Image: Image(m); break;
      case TTagKind::LinkStart: LinkStart(m.Arg); break;
      case TTagKind::LinkEnd: LinkEnd(); break;
      case TTagKind::SpreadSpace:
        // The room a half-width space takes, nothing drawn.
        pen_ += Width(" ") / aa_ + between_;
        previousSingle_ = true;
        break;
      case TTagKind::Size:
        step_ = m.Step;
        Select(TFontRole::Body);
        UpdateCell();
        break;
      case TTagKind::SidelineOn:
        EndMark(sideline_, false);
        OpenMark(sideline_, m.Arg[0], StrokeOf(m.Arg[1]));
        break;
      case TTagKind::SidelineOff:
        EndMark(sideline_, false);
        sideline_.Open = false;
        break;
      case TTagKind::BoxOn:
        EndMark(box_, true);
        OpenMark(box_, 'R', TStroke::Solid);
        break;
      case TTagKind::BoxOff:
        EndMark(box_, true);
        box_.Open = false;
        break;
      case TTagKind::Kaeriten: KanbunMark(m.Arg, true); break;
      case TTagKind::Okurigana: KanbunMark(m.Arg, false); break;
      // A tate-chu-yoko run the line does not close, and horizontal
      // writing: ordinary text.
      case TTagKind::TcyOn:
      case TTagKind::TcyOff:
      case TTagKind::Unknown: break;
    }
  }

  // ---- Side lines, boxes, kanbun marks ------------------------------------

  void OpenMark(TOpenMark& mark, char side, TStroke stroke) {
    mark.Open = true;
    mark.Side = side;
    mark.Stroke = stroke;
    mark.Colour = static_cast<uint32_t>(book_.TextColor) & 0xFFFFFF;
    mark.Span = CellsFrom(pen_);
  }

  // Draws the piece of an open mark covered on this line; the mark stays
  // open, from the pen on.
  void EndMark(TOpenMark& mark, bool box) {
    if (!mark.Open) return;
    if (line_ >= 0 && mark.Span.To > mark.Span.From) {
      device_.Stroke(box ? BoxRun(mark, vertical_, fontPixels_, first_ + line_)
                         : SidelineRun(mark, vertical_, fontPixels_, first_ + line_));
    }
    mark.Span = CellsFrom(pen_);
  }

  // A kaeriten or okurigana beside the character drawn last, in the ruby
  // font, taking no room. It stays by its character even where a reading
  // or note of the neighbouring line stands in the same gap.
  void KanbunMark(std::string_view markup, bool kaeriten) {
    const std::string mark = Visible(markup);
    if (line_ < 0 || mark.empty()) return;
    Select(TFontRole::Ruby);
    const int w = Width(mark);
    const TPoint32 at = KanbunMarkAt(lastChar_, vertical_, kaeriten, w / raa_, fontCell_ / raa_);
    const TGlyphRun run =
        RunAt(kaeriten ? TDrawKind::Kaeriten : TDrawKind::Okurigana, at.X, at.Y, Flow(), mark, w, line_);
    device_.Glyphs(run);
    sideBoxes_.push_back(run.Box);  // notes after it keep clear
    Select(TFontRole::Body);
  }

  void SetWeight(int32_t weight) {
    book_.BodyFont.Weight = book_.UprightFont.Weight = book_.TurnedFont.Weight = weight;
    Select(TFontRole::Body);
  }
  void SetItalic(bool on) {
    book_.BodyFont.Italic = book_.UprightFont.Italic = book_.TurnedFont.Italic = on;
    Select(TFontRole::Body);
  }
  void SetStrikeOut(bool on) {
    book_.BodyFont.StrikeOut = book_.UprightFont.StrikeOut = book_.TurnedFont.StrikeOut = on;
    Select(TFontRole::Body);
  }

  // Ruby beside its base (on the note side when `left`). The base is
  // measured here; its ordinary copy follows the group in the line, so the
  // group moves the pen by nothing.
  void Ruby(std::string_view readingMarkup, std::string_view baseMarkup, bool left) {
    const std::string reading = Visible(readingMarkup);
    const std::string base = Visible(baseMarkup);
    const int32_t baseChars = static_cast<int32_t>(mb::Count(base));
    const int32_t wb = Width(base) / aa_ + (baseChars - 1) * between_;
    std::vector<int32_t> cells;  // emphasis marks: the base's characters
    if (IsMarkPerCharacter(reading, base)) {
      for (size_t q = 0; q < base.size(); q += mb::Len(base, q))
        cells.push_back(Width(std::string_view(base).substr(q, mb::Len(base, q))) / aa_);
    }
    Select(TFontRole::Ruby);
    const int32_t wr = Width(reading) / raa_;
    // Centred (or from the base's start); the line builder spread the base
    // so that the reading stands out only over kana that carry no ruby.
    int32_t p;
    if (vertical_ && !style_.HasRubyFlag(kRubyCentre)) p = pen_;
    else if (!vertical_ && wr > wb && pen_ == 0) p = 0;
    else p = pen_ + (wb - wr) / 2;
    const int32_t lo = cross_ + cellLo_;
    const int32_t hi = cross_ + cellHi_;
    const TSideRun side{left ? TDrawKind::LeftRuby : TDrawKind::Ruby, base, reading,
                        vertical_ ? TRect{lo, pen_, hi, pen_ + wb} : TRect{pen_, lo, pen_ + wb, hi},
                        first_ + line_, {}};
    // A reading stays beside its base while it ends within one ruby
    // character past the line end, as it may overhang a neighbour there.
    const int32_t limit = LineEnd() + rubyPixels_;
    // The next line lies further left (vertical) or further down.
    const int32_t next = vertical_ ? -pitch_ : pitch_;
    // A side line on the reading's side stays next to the text; the
    // reading stands beyond it. "L" lines lie before the cells across the
    // line (left in vertical writing, above in horizontal), where a left
    // reading stands in vertical writing and an ordinary one in horizontal.
    const bool readingBefore = vertical_ == left;
    const int32_t beyond = sideline_.Open && (sideline_.Side == 'L') == readingBefore
                               ? SidelineBand(fontPixels_) + 1
                               : 0;
    // The cross position: vertical, the right edge of the cells; horizontal,
    // their top.
    const int32_t at = left ? (vertical_ ? lo - beyond : hi + beyond)
                            : (vertical_ ? hi + beyond + rubyPixels_ : lo - beyond - rubyPixels_);
    if (!cells.empty()) {
      EmphasisMarks(side, reading, cells, at);
    } else if (left) {
      // On the note side, clear of the notes and readings there.
      SideText(side, reading, ClearOfSides(at, p, Width(reading)), at, limit, at + next, limit);
    } else {
      SideText(side, reading, p, at, limit, at + next, limit);
    }
    Select(TFontRole::Body);
  }

  // Emphasis marks, one beside each character of the base, centred on it,
  // at the cross position `at` (the base is never cut from its marks).
  void EmphasisMarks(TSideRun side, std::string_view reading, const std::vector<int32_t>& cells, int32_t at) {
    if (line_ < 0) return;
    const std::string_view mark = reading.substr(0, mb::Len(reading, 0));
    const int w = Width(mark);
    sideGlyphs_.clear();
    int32_t p = pen_;
    for (const int32_t cell : cells) {
      const int32_t from = p + (cell - w / raa_) / 2;
      sideGlyphs_.push_back(vertical_ ? RunAt(side.Kind, at, from, Flow(), mark, w, line_)
                                      : RunAt(side.Kind, from, at, Flow(), mark, w, line_));
      p += cell + between_;
    }
    for (const TGlyphRun& g : sideGlyphs_) sideBoxes_.push_back(g.Box);
    side.Glyphs = sideGlyphs_;
    device_.Side(side);
  }

  // A side note in the ruby font, opposite the ruby, from the pen, or
  // further along when a reading or note drawn before stands there.
  void Note(std::string_view noteMarkup) {
    const std::string note = Visible(noteMarkup);
    Select(TFontRole::Ruby);
    const TSideRun side{TDrawKind::Note, {}, note, {}, first_ + line_, {}};
    const int32_t at = vertical_ ? cross_ + cellLo_ : cross_ + cellHi_;
    const int32_t p = ClearOfSides(at, pen_, Width(note));
    if (vertical_) {
      SideText(side, note, p, at, LineEnd() - rubyPixels_, at - pitch_, kNoLimit);
    } else {
      SideText(side, note, p, at, LineEnd() - fontPixels_, at + pitch_, kNoLimit);
    }
    Select(TFontRole::Body);
  }

  // The first position from p where ruby-font text `advance` long at the
  // cross position `at` overprints no reading or note of the column.
  int32_t ClearOfSides(int32_t at, int32_t p, int advance) {
    for (bool moved = true; moved;) {
      moved = false;
      const TRect box = vertical_ ? RunBox(at, p, Flow(), advance / raa_, fontCell_ / font_.Supersampling)
                                  : RunBox(p, at, Flow(), advance / raa_, fontCell_ / font_.Supersampling);
      for (const TRect& r : sideBoxes_) {
        if (r.Left < box.Right && box.Left < r.Right && r.Top < box.Bottom && box.Top < r.Bottom) {
          p = vertical_ ? r.Bottom : r.Right;
          moved = true;
        }
      }
    }
    return p;
  }

  // Ruby-font text along the line from p at the cross position `at`, one
  // character at a time while p stays within `bound` and the character ends
  // within `limit`; what does not fit
  // continues at the head of the next line (cross position `nextAt`), unless
  // this is the column's last line. Drawn also for the line before the
  // column, as its overflow lands on the column's first line. Said to the
  // device as one side run.
  void SideText(TSideRun side, std::string_view text, int32_t p, int32_t at, int32_t bound,
                int32_t nextAt, int32_t limit) {
    const TOrientation o = Flow();
    sideGlyphs_.clear();
    for (size_t q = 0; q < text.size();) {
      const size_t len = mb::Len(text, q);
      const std::string_view ch = text.substr(q, len);
      const int w = Width(ch);
      if (p > bound || p + w / raa_ > limit) {
        if (line_ < lines_ - 1) {
          const std::string_view rest = text.substr(q);
          const int wRest = Width(rest);
          // At this line's start (the next line's indent is not known here;
          // in a block it is the same), but moved back towards the column
          // head as far as the rest needs to end within the column.
          const int32_t from =
              std::max(ColumnHead(), std::min(lineStart_, ColumnHead() + lineLength_ - wRest / raa_));
          const int32_t head = ClearOfSides(nextAt, from, wRest);
          if (vertical_) sideGlyphs_.push_back(RunAt(side.Kind, nextAt, head, o, rest, wRest, line_ + 1));
          else sideGlyphs_.push_back(RunAt(side.Kind, head, nextAt, o, rest, wRest, line_ + 1));
        }
        break;
      }
      if (line_ >= 0) {
        if (vertical_) sideGlyphs_.push_back(RunAt(side.Kind, at, p, o, ch, w, line_));
        else sideGlyphs_.push_back(RunAt(side.Kind, p, at, o, ch, w, line_));
      }
      p += w / raa_;
      q += len;
    }
    if (sideGlyphs_.empty()) return;
    for (const TGlyphRun& g : sideGlyphs_) sideBoxes_.push_back(g.Box);
    side.Glyphs = sideGlyphs_;
    device_.Side(side);
  }

  // The unit repeated from the pen to the line end. A step that does not
  // move forward (a negative character gap) draws the unit once.
  void Rule(std::string_view unit) {
    if (unit.empty()) return;
    const int w = Width(unit);
    const int32_t step = w / aa_ + between_;
    const int32_t end = LineEnd();
    if (pen_ >= end) return;
    const int32_t count = step > 0 ? (end - pen_ + step - 1) / step : 1;
    if (line_ >= 0) {
      const TGlyphRun first = vertical_ ? RunAt(TDrawKind::Rule, cross_, pen_, Flow(), unit, w, line_)
                                        : RunAt(TDrawKind::Rule, pen_, cross_, Flow(), unit, w, line_);
      device_.Rule(first, step, count);
    }
    if (step > 0) pen_ += step * count;
  }

  // A free-standing voiced mark over the cell before it, one cell toward
  // the ruby side, taking no room.
  void Voiced(std::string_view mark) {
    if (line_ < 0 || mark.empty()) return;
    const int w = Width(mark);
    Put(TDrawKind::Voiced, cross_ + cellHi_ + cellPixels_, pen_ - w / aa_ - between_, TOrientation::Vertical, mark, w);
  }

  void Image(const TTagMatch& m) {
    const std::string path(m.Arg);
    const TBitmap24* picture = nullptr;
    int32_t w = 0;
    int32_t h = 0;
    if (m.ImageWidth >= 0 && m.ImageHeight >= 0) {
      w = m.ImageWidth;
      h = m.ImageHeight;
      // The line builder never asks for more than the text area, but a size
      // written into a text by hand could ask for gigabytes: nothing larger
      // than the page is ever resampled.
      const int64_t maxW = std::max(1, style_.PageWidth);
      const int64_t maxH = std::max(1, style_.PageHeight);
      if (w > maxW || h > maxH) {
        const double k = std::min(static_cast<double>(maxW) / w, static_cast<double>(maxH) / h);
        w = static_cast<int32_t>(w * k);
        h = static_cast<int32_t>(h * k);
      }
      picture = book_.pictures_.GetScaled(path, w, h);
      // A zero size (a sliver scaled to nothing) draws nothing but is loaded.
      if (picture == nullptr && (w == 0 || h == 0) && book_.pictures_.Get(path) != nullptr) return;
    } else if ((picture = book_.pictures_.Get(path)) != nullptr) {
      w = picture->Width();
      h = picture->Height();
    }
    if (picture != nullptr) {
      // Drawn also for the line before the column: a picture there may
      // reach into it.
      TPictureRun run;
      run.Bitmap = picture;
      run.Path = path;
      run.X = vertical_ ? cross_ - w : pen_;
      run.Y = vertical_ ? pen_ : cross_;
      run.Clip = clip_;
      run.Line = first_ + line_;
      device_.Picture(run);
      return;
    }
    if (line_ < 0) return;
    std::string name(1, '[');
    name.append(FileNamePart(path)).push_back(']');
    if (vertical_) Put(TDrawKind::PictureName, cross_, pen_, Flow(), name, Width(name));
    else Put(TDrawKind::PictureName, pen_, cross_, Flow(), name, Width(name));
  }

  // ---- Links ---------------------------------------------------------------
  //
  // A link gets one rectangle per line it covers: from its start to the line
  // end, whole lines, and the line head to its end. The rectangles are added
  // when the link closes (or the column ends), so a link end never extends
  // another link, and lines before the column get none.

  void LinkStart(std::string_view target) {
    if (link_.Open) EmitLink(line_, pen_);
    link_ = {true, std::string(target), line_, pen_};
    book_.TextColor = style_.LinkColor;
    Select(TFontRole::Body);
  }

  void LinkEnd() {
    if (link_.Open) EmitLink(line_, pen_);
    book_.TextColor = style_.FontColor;
    Select(TFontRole::Body);
  }

  // Rectangles of the open link from its start to `end` on line `last`.
  void EmitLink(int32_t last, int32_t end) {
    link_.Open = false;
    const int32_t head = ColumnHead();
    for (int32_t i = std::max(link_.Line, 0); i <= last; ++i) {
      const int32_t from = i == link_.Line ? link_.Start : head;
      const int32_t to = i == last ? end : head + lineLength_;
      const int32_t cross = CrossOf(i);
      const TRect r = vertical_ ? TRect{cross - fontPixels_, from, cross, to}
                                : TRect{from, cross, to, cross + fontPixels_};
      book_.Links.Add(r.Left, r.Top, r.Right, r.Bottom, link_.Target);
      device_.Link(r, link_.Target, first_ + i);
    }
  }

  TBookClass& book_;
  const TInfo& style_;
  TFontEngine& fonts_;
  IPageDevice& device_;
  const bool vertical_;
  const int aa_;
  const int raa_;
  const int32_t fontPixels_;
  const int32_t rubyPixels_;
  const int32_t pitch_;
  const int32_t lineLength_;
  const int32_t between_;
  const int32_t columnX_;
  const int32_t columnY_;
  const int32_t first_;
  int32_t lines_ = 0;  // N
  TRect clip_;

  int32_t line_ = 0;        // i
  int32_t cross_ = 0;       // X (vertical) or Y (horizontal)
  int32_t lineStart_ = 0;   // S, after the indent
  int32_t lineEnd_ = 0;     // where the line's cells end
  int32_t pen_ = 0;
  int cellHeight_ = 0;      // H, at drawing scale
  int bodyCell_ = 0;        // the body font's cell height, at drawing scale
  int bodyAscent_ = 0;      // and its ascent
  int step_ = 0;            // the size step in force
  int32_t cellPixels_ = 0;  // a full-width cell at that step
  int32_t cellLo_ = 0;      // its cells across the line, from the cross position
  int32_t cellHi_ = 0;
  TCellSpan lastChar_;      // the cells of the character drawn last
  TOpenMark sideline_;
  TOpenMark box_;
  bool previousSingle_ = false;
  TMarkupWalker walker_;    // over the line being drawn
  TForwardSearch tcyClose_;  // its search for a tate-chu-yoko closing
  OpenLink link_;
  int32_t charIndex_ = 0;  // characters of the line drawn so far
  int32_t markFrom_ = 0;   // the marked ones: [markFrom_, markTo_)
  int32_t markTo_ = 0;
  TRunFont font_;                     // the font selected now
  int fontCell_ = 0;                  // its cell height, at drawing scale
  std::vector<TGlyphRun> sideGlyphs_;  // a side run being put together
  std::vector<TRect> sideBoxes_;       // the readings and notes drawn so far
};

void TBookClass::DrawColumn(IPageDevice& device, int32_t columnX, int32_t columnY,
                            int32_t firstLine) {
  TColumnPainter(*this, device, columnX, columnY, firstLine).Run();
}

}  // namespace rpv
