#include "import/LineBreaker.h"

#include <algorithm>

#include "import/DisplayMarkup.h"
#include "import/MarkupWalker.h"
#include "import/MbScan.h"
#include "platform/Codepage.h"

namespace rpv {

namespace {

using tag::kSpreadSpace;
constexpr std::string_view kIdeographicSpace = "\x81\x40";  // "　"

// "・", "※", "○", "●", "◎", "□", "■", "△", "▲", "▽", "▼" (second bytes; all
// begin with 0x81).
constexpr unsigned char kListMarkTrail[] = {0x45, 0xA6, 0x9B, 0x9C, 0x9D, 0xA0,
                                            0xA1, 0xA2, 0xA3, 0xA4, 0xA5};

inline unsigned char Byte(std::string_view t, size_t i) {
  return i < t.size() ? static_cast<unsigned char>(t[i]) : 0;
}

// A list mark at pos that is neither doubled nor followed by another symbol
// of the same first byte: both following bytes must differ from the mark's.
bool ListMarkAt(std::string_view t, size_t pos) {
  if (Byte(t, pos) != 0x81 || pos + 1 >= t.size()) return false;
  const unsigned char trail = Byte(t, pos + 1);
  if (std::find(std::begin(kListMarkTrail), std::end(kListMarkTrail), trail) ==
      std::end(kListMarkTrail))
    return false;
  return Byte(t, pos + 2) != 0x81 && Byte(t, pos + 3) != trail;
}

}  // namespace

TCharSet::TCharSet(std::string_view chars) {
  for (size_t i = 0; i < chars.size();) {
    const size_t len = mb::Len(chars, i);
    const auto b0 = static_cast<unsigned char>(chars[i]);
    if (len == 1)
      single_.set(b0);
    else
      double_.set((static_cast<size_t>(b0) << 8) | static_cast<unsigned char>(chars[i + 1]));
    i += len;
  }
}

bool IsWordChar(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
         c == '"' || c == '#' || c == '$' || c == '%' || c == '\'' || c == '(' || c == '<';
}

TLineBreaker::TLineBreaker(const TBreakRules& rules)
    : rules_(rules), head_(rules.RuleCharHead), end_(rules.RuleCharEnd) {
  rules_.RuleCharHead = {};
  rules_.RuleCharEnd = {};
}

int32_t TLineBreaker::CharWidth(unsigned char b, int step) const {
  const int32_t cell = step == 0 ? rules_.FontPixels : SizeStepPixels(rules_.FontPixels, step);
  return IsLeadByte(b) ? cell : (cell + 1) / 2;
}

bool TLineBreaker::FitsUnmeasured(size_t bytes, int32_t indentCells, int32_t endCells) const {
  const int64_t step = int64_t{rules_.FontPixels} + rules_.BetweenChar;
  // The indent and the end gap count too: a short line in a deeply
  // indented block may still be too long for what is left of the line.
  const int64_t indent = (int64_t{indentCells} + endCells) * rules_.FontPixels;
  // Beyond this many bytes the product could overflow; such a line is
  // measured anyway.
  if (bytes > (uint64_t{1} << 40)) return step <= 0 && indent <= rules_.LineLength;
  return static_cast<int64_t>(bytes) * step + indent <= rules_.LineLength;
}

size_t TLineBreaker::SkipTag(size_t p, size_t e) const {
  const std::string_view t = walker_.Text();
  if (mb::At(t, p, tag::kRubyOpen) || mb::At(t, p, tag::kLeftRubyOpen)) rubies_.push_back({p, e - p});
  return e;
}

namespace {

// The step a size tag spanning [p, e) sets, or `step` when it is none.
int StepOf(std::string_view t, size_t p, size_t e, int step) {
  if (!mb::At(t, p, tag::kSizeOpen)) return step;
  const TTagMatch m = ReadTag(t, p, e);
  return m.Kind == TTagKind::Size ? m.Step : step;
}

bool IsSpan(std::string_view t, size_t p, size_t e, std::string_view literal) {
  return e - p == literal.size() && mb::At(t, p, literal);
}

}  // namespace

int TLineBreaker::StepAt(std::string_view t, size_t pos) {
  if (!hasSteps_) return 0;
  if (pos < stepAt_) {
    step_ = 0;
    stepAt_ = 0;
  }
  for (size_t i = stepAt_; i < pos && i < t.size();) {
    if (const size_t e = walker_.TagEnd(i)) {
      step_ = StepOf(t, i, e, step_);
      i = e;
    } else {
      i += mb::Len(t, i);
    }
  }
  stepAt_ = pos;
  return step_;
}

size_t TLineBreaker::TcyEnd(std::string_view t, size_t e, int* step) const {
  const size_t end = TcyCloseEnd(walker_, e, tcyClose_);
  if (end == 0) return 0;
  // Size tags inside the run set the step after it.
  for (size_t i = e; i < end;) {
    if (const size_t tagEnd = walker_.TagEnd(i)) {
      *step = StepOf(t, i, tagEnd, *step);
      i = tagEnd;
    } else {
      i += mb::Len(t, i);
    }
  }
  return end;
}

size_t TLineBreaker::VisibleFrom(std::string_view t, size_t pos) const {
  while (pos < t.size()) {
    const size_t e = walker_.TagEnd(pos);
    if (e == 0) return pos;
    pos = SkipTag(pos, e);
  }
  return std::string_view::npos;
}

std::ptrdiff_t TLineBreaker::LastUnitBefore(size_t pos) const {
  const auto it = std::partition_point(units_.begin(), units_.end(),
                                       [pos](const TUnit& u) { return u.Pos < pos; });
  return (it - units_.begin()) - 1;
}

size_t TLineBreaker::RubyGuard(std::string_view t, size_t start, size_t pos) const {
  // The last ruby group that opens on this line before the cut.
  const TUnit* group = nullptr;
  for (const TUnit& r : rubies_) {
    if (r.Pos >= start && r.Pos < pos && (group == nullptr || r.Pos > group->Pos)) group = &r;
  }
  if (group == nullptr || group->End() > pos) return pos;  // none complete before the cut
  const size_t q = group->Pos;
  const size_t tagEnd = group->End();
  const TTagMatch m = ReadTag(t, q, tagEnd);
  if (m.Kind != TTagKind::Ruby) return pos;
  // Its base is the visible characters after the group, as many as the
  // group's copy of the base holds.
  const std::string_view copy = m.Arg2;
  size_t baseChars = 0;
  int64_t baseWidth = 0;
  for (size_t i = 0; i < copy.size(); i += mb::Len(copy, i)) {
    ++baseChars;
    baseWidth += CharWidth(static_cast<unsigned char>(copy[i])) + rules_.BetweenChar;
  }
  size_t onLine = 0;  // base characters before the cut
  for (size_t i = tagEnd; i < pos && onLine < baseChars;) {
    if (const size_t e = walker_.TagEnd(i)) {
      // A spread base's spacing stands for the copy's space.
      if (e - i == kSpreadSpace.size() && mb::At(t, i, kSpreadSpace)) ++onLine;
      i = e;
      continue;
    }
    ++onLine;
    i += mb::Len(t, i);
  }
  // The cut right after the group: the group goes with its base.
  if (onLine == 0) return q;
  if (onLine >= baseChars) return pos;
  // The cut inside the base: the whole group goes to the next line, unless
  // it already starts this line or its base is longer than a line; such a
  // base is cut between its characters.
  if (LastUnitBefore(q) < 0 || baseWidth > rules_.LineLength) return pos;
  return q;
}

size_t TLineBreaker::ApplyWordWrap(std::string_view t, size_t pos) const {
  const size_t v = VisibleFrom(t, pos);
  if (v == std::string_view::npos || mb::Len(t, v) != 1 || !IsWordChar(Byte(t, v))) return pos;
  std::ptrdiff_t k = LastUnitBefore(pos);
  while (k >= 0 && units_[static_cast<size_t>(k)].Len == 1 &&
         IsWordChar(Byte(t, units_[static_cast<size_t>(k)].Pos)))
    --k;
  // A word that began at the line start is longer than the line: it is cut
  // where it overflows.
  if (k >= 1) return units_[static_cast<size_t>(k)].End();
  return pos;
}

size_t TLineBreaker::ApplyEndRule(std::string_view t, size_t pos) const {
  std::ptrdiff_t k = LastUnitBefore(pos);
  if (k < 0 || !UnitIn(t, k, end_)) return pos;
  while (k > 0 && UnitIn(t, k, end_)) --k;
  if (k > 0) return units_[static_cast<size_t>(k)].End();
  return pos;  // nothing but opening brackets after the line's first character
}

size_t TLineBreaker::ApplyHang(std::string_view t, size_t pos) {
  const size_t v = VisibleFrom(t, pos);
  if (v == std::string_view::npos) return pos;
  const size_t len = mb::Len(t, v);
  if (!head_.Contains(t, v, len)) return pos;
  units_.push_back({v, len});  // it is on this line now, in the reserved cell
  return v + len;
}

size_t TLineBreaker::ApplyHeadRule(std::string_view t, size_t pos) const {
  const size_t v = VisibleFrom(t, pos);
  if (v == std::string_view::npos || !head_.Contains(t, v, mb::Len(t, v))) return pos;
  std::ptrdiff_t k = LastUnitBefore(pos);
  while (k > 0 && UnitIn(t, k, head_)) --k;
  // The character before the forbidden run goes to the next line with it;
  // a run that reaches back to the line start is left where it was cut.
  if (k > 0) return units_[static_cast<size_t>(k)].Pos;
  return pos;
}

size_t TLineBreaker::NextBreak(std::string_view t, size_t start, int32_t indentCells,
                               int32_t endCells) {
  const size_t n = t.size();
  if (start >= n) return n;
  units_.clear();
  rubies_.clear();
  // A text is always cut from its start first: forget the previous text's
  // tag searches then (another text may even sit at the same address).
  const std::string_view walked = walker_.Text();
  if (start == 0 || t.data() != walked.data() || t.size() != walked.size()) {
    walker_ = TMarkupWalker(t);
    tcyClose_ = {};
    step_ = 0;
    stepAt_ = 0;
    // Most texts have no size step: nothing to carry from cut to cut.
    hasSteps_ = t.find(tag::kSizeOpen) != std::string_view::npos;
  }
  int step = StepAt(t, start);

  // 1. Measure up to the first character that does not fit.
  const int64_t W = rules_.LineLength - int64_t{endCells} * rules_.FontPixels;
  const int64_t B = rules_.BetweenChar;
  int64_t x = int64_t{indentCells} * rules_.FontPixels;
  size_t p = start;
  bool afterSingle = false;  // as the renderer tracks it, for upright runs
  while (p < n) {
    if (const size_t e = walker_.TagEnd(p)) {
      // The spacing of a spread ruby base takes a half-width space's room.
      if (IsSpan(t, p, e, kSpreadSpace)) {
        x += CharWidth(' ', step);
        if (x > W) break;
        x += B;
        units_.push_back({p, kSpreadSpace.size()});
        afterSingle = true;
        p += kSpreadSpace.size();
        continue;
      }
      // A tate-chu-yoko run is one full cell, never cut.
      if (rules_.Vertical && IsSpan(t, p, e, tag::kTcyOn)) {
        int after = step;
        if (const size_t end = TcyEnd(t, e, &after)) {
          x += SizeStepPixels(rules_.FontPixels, step);
          if (x > W) break;
          x += B;
          units_.push_back({p, end - p});
          afterSingle = false;
          step = after;
          p = end;
          continue;
        }
      }
      step = StepOf(t, p, e, step);
      p = SkipTag(p, e);
      continue;
    }
    size_t len = mb::Len(t, p);
    const size_t upright = rules_.UprightAscii ? UprightCell(walker_, p, afterSingle) : 0;
    if (upright != 0) {
      len = upright;
      x += SizeStepPixels(rules_.FontPixels, step);
    } else {
      x += CharWidth(static_cast<unsigned char>(t[p]), step);
    }
    if (x > W) break;
    x += B;
    units_.push_back({p, len});
    afterSingle = SetAsSingleByte(t.substr(p, len));
    p += len;
  }
  if (p >= n) return n;

  // 2. The prohibition rules, each only moving the cut by what it needs.
  p = RubyGuard(t, start, p);
  if (rules_.WordWrap && p < n) p = ApplyWordWrap(t, p);
  if (rules_.EndRule && p < n) p = ApplyEndRule(t, p);
  if (rules_.Hang && p < n) p = ApplyHang(t, p);
  if (rules_.HeadRule && p < n) p = ApplyHeadRule(t, p);
  // Moving back for the head rule, or over a ruby group, can leave an
  // opening bracket or a ruby group without its whole base at the end, or
  // bring a forbidden character (a group's base may start with one) to the
  // next line's head: repeat until the cut stays put. Each step only moves
  // back.
  for (size_t before = n + 1; before != p && p < n;) {
    before = p;
    p = RubyGuard(t, start, p);
    if (rules_.EndRule) p = ApplyEndRule(t, p);
    if (rules_.HeadRule) p = ApplyHeadRule(t, p);
  }

  // 3. Progress: a line holds at least one visible character.
  if (LastUnitBefore(p) < 0) {
    const size_t v = VisibleFrom(t, start);
    if (v == std::string_view::npos) return n;
    p = v + mb::Len(t, v);
  }
  // Only tags left: they stay on this line rather than making an empty one.
  if (VisibleFrom(t, p) == std::string_view::npos) return n;
  return p;
}

int32_t TLineBreaker::HangingIndent(std::string_view t) const {
  int64_t k = 0;
  if (ListMarkAt(t, 0)) {
    k = 1;
  } else if (t.substr(0, 2) == kIdeographicSpace) {
    size_t pos = 2;
    while (t.substr(pos, 2) == kIdeographicSpace) {
      ++k;
      pos += 2;
    }
    if (ListMarkAt(t, pos)) k += 2;
  }
  if (k * (int64_t{rules_.FontPixels} + rules_.BetweenChar) * 2 > rules_.LineLength) return 0;
  return static_cast<int32_t>(k);
}

}  // namespace rpv
