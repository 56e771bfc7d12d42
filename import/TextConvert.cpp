#include "import/TextConvert.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "import/ByteSearch.h"
#include "import/DisplayMarkup.h"
#include "import/EmittedText.h"
#include "import/InlineAnnotations.h"
#include "import/MarkupWalker.h"
#include "import/MbScan.h"
#include "render/cbcClasses.h"

namespace rpv {
namespace {

constexpr auto npos = std::string_view::npos;

// The marks (CP932).
constexpr std::string_view kBar = "\x81\x62";             // ｜
constexpr std::string_view kReadingOpen = "\x81\x73";     // 《
constexpr std::string_view kReadingClose = "\x81\x74";    // 》
constexpr std::string_view kBracketOpen = "\x81\x6D";     // ［
constexpr std::string_view kBracketClose = "\x81\x6E";    // ］
constexpr std::string_view kAnnotationOpen = "\x81\x6D\x81\x94";  // ［＃
constexpr std::string_view kIterationMark = "\x81\x58";   // 々
constexpr std::string_view kReferenceMark = "\x81\xA6";   // ※

// Annotation keywords.
constexpr std::string_view kCentre = "\x92\x86\x89\x9B\x91\xB5\x82\xA6";       // 中央揃え

using mb::At;

unsigned char FirstByte(std::string_view s, size_t i) { return static_cast<unsigned char>(s[i]); }

bool IsKanjiLead(unsigned char b) { return b >= 0x88 && b <= 0xFC; }

// ---- Ruby marks ----------------------------------------------------------

struct Unit {
  size_t start;
  size_t end;
  bool tag;
};

bool IsKanjiClass(std::string_view s, const Unit& u) {
  if (u.tag) return false;
  return IsKanjiLead(FirstByte(s, u.start)) || At(s, u.start, kIterationMark) ||
         At(s, u.start, kReferenceMark);
}

// Where a backward base scan stops: a half-width space, a full-width symbol
// or a tag (a base never takes a tag in).
bool StopsScan(std::string_view s, const Unit& u) {
  return u.tag || s[u.start] == ' ' || FirstByte(s, u.start) == 0x81;
}

// The start of the base before the reading opener units[open], or npos when
// there is none. units holds the units of the not yet copied segment; its
// first unit stands for the line start.
size_t FindBaseStart(std::string_view s, const std::vector<Unit>& units, size_t open) {
  if (open == 0) return npos;
  size_t j = open - 1;
  if (!units[j].tag && At(s, units[j].start, kBracketClose)) {
    // An annotation standing for one character (a rare kanji) is part of the
    // base: continue before its "［".
    size_t m = j;
    while (m > 0 && (units[m].tag || !At(s, units[m].start, kBracketOpen))) --m;
    if (units[m].tag || !At(s, units[m].start, kBracketOpen) || m == 0) return npos;
    j = m - 1;
  }
  size_t t = j;
  if (IsKanjiClass(s, units[j])) {
    while (t > 0 && IsKanjiClass(s, units[t])) --t;
  } else {
    while (t > 0 && !StopsScan(s, units[t])) --t;
  }
  // The stop character belongs to the base only when it is a kanji proper
  // (a kanji run that reached the segment start, or the first character
  // there); a symbol, blank, kana or tag where the scan stopped does not.
  const Unit& stop = units[t];
  const bool included = !stop.tag && IsKanjiLead(FirstByte(s, stop.start));
  return included ? stop.start : stop.end;
}

// Hiragana, katakana or a full-width symbol (punctuation, brackets, the
// ideographic space) but none that stands for a kanji: what a reading may
// overhang.
bool IsKanaAt(std::string_view s, size_t i) {
  if (i + 1 >= s.size()) return false;
  const unsigned a = static_cast<unsigned char>(s[i]);
  const unsigned b = static_cast<unsigned char>(s[i + 1]);
  if (a == 0x81) return b >= 0x40 && b != 0x58 && b != 0x59 && b != 0x5A;  // not 々 〆 〇
  return (a == 0x82 && b >= 0x9F && b <= 0xF1) || (a == 0x83 && b >= 0x40 && b <= 0x96);
}
bool IsKana(std::string_view s, const Unit& u) { return !u.tag && IsKanaAt(s, u.start); }

// Such a character at i that no reading will stand over: the kana run
// from there is not the base of a "《" right after it.
bool PlainKanaAt(std::string_view s, size_t i) {
  if (!IsKanaAt(s, i) || At(s, i, kBar) || At(s, i, kReadingOpen)) return false;
  size_t j = i;
  while (IsKanaAt(s, j) && s[j] != '\x81') j += 2;
  return j == i || !At(s, j, kReadingOpen);
}

// How far in all a reading may stand out beyond its base: one ruby
// character over each kana or symbol neighbour that carries no ruby. A
// centred reading stands out evenly, so both neighbours must be such kana;
// one set from the base's start (vertical writing without centring) stands
// out only after it.
int Overhang(const TInfo& style, bool kanaBefore, bool kanaAfter) {
  const int r = style.RubyPixels();
  if (style.IsVertical() && !style.HasRubyFlag(kRubyCentre)) return kanaAfter ? r : 0;
  return kanaBefore && kanaAfter ? 2 * r : 0;
}

// ---- Annotations ---------------------------------------------------------


struct LineResult {
  std::string text;
  TLineLayout layout;  // alignment, indent, block annotations met
  bool cut = false;
  std::string rest;  // the split-off line at a mid-line 地付き or 字上げ
};

// One source line. Block annotations are only noted (layout.Blocks), never
// applied: what the line becomes does not depend on the lines before it,
// which lets layout convert lines in parallel.
LineResult AnnotateLine(std::string_view text, uint8_t align, TInlineAnnotator& inl) {
  LineResult r;
  r.layout.Align = align;
  TEmitted out;
  TMarkupWalker w(text);
  TForwardSearch closeSearch;
  size_t i = 0;
  while (i < text.size()) {
    if (!At(text, i, kAnnotationOpen)) {
      const size_t tagEnd = w.TagEnd(i);
      const size_t next = tagEnd != 0 ? tagEnd : i + mb::Len(text, i);
      out.AddUnit(text.substr(i, next - i), tagEnd == 0);
      i = next;
      continue;
    }
    const size_t bodyStart = i + kAnnotationOpen.size();
    const size_t close = closeSearch.Find(
        bodyStart, [&](size_t from) { return mb::Find(text, kBracketClose, from); });
    if (close == npos || close == bodyStart) {
      // Not a complete annotation: the "［" stays, the walk goes on after it.
      out.AddUnit(kBracketOpen, true);
      i += kBracketOpen.size();
      continue;
    }
    const std::string_view body = text.substr(bodyStart, close - bodyStart);
    const size_t next = close + kBracketClose.size();
    const bool atLineStart = !out.Shown();

    if (const TInlineResult done = inl.Apply(body, text.substr(next), out);
        done != TInlineResult::NotMine) {
      if (done == TInlineResult::BlockLine) r.layout.Removable = true;
      i = next;
      continue;
    }
    if (const auto layout = ReadLayoutAnnotation(body)) {
      const auto effect = r.layout.Take(*layout, atLineStart);
      if (effect == TLineLayout::TEffect::Taken) {
        i = next;
        continue;
      }
      if (effect == TLineLayout::TEffect::Cut) {
        r.cut = true;
        r.rest.assign(text.substr(i, next - i)).append(text.substr(next));
        inl.Finish(out);
        r.text = out.Take();
        return r;
      }
    }
    if (atLineStart || body == kCentre) {
      // Stays in the text as it is (page breaks are acted on after wrapping).
      out.Append(text.substr(i, next - i));
      i = next;
      continue;
    }
    // Another annotation after text: a side note tied to the character
    // before it.
    out.InsertBeforeLastVisible(SideNote(body));
    i = next;
  }
  inl.Finish(out);
  r.text = out.Take();
  return r;
}

// ---- Line preparation ----------------------------------------------------

std::string WrapVoicedMarks(std::string_view s) {
  static constexpr std::string_view kVoiced = "\x81\x4A";      // ゛
  static constexpr std::string_view kSemiVoiced = "\x81\x4B";  // ゜
  TMarkupWalker w(s);
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    const size_t next = w.Next(i);
    if (next - i == 2 && (At(s, i, kVoiced) || At(s, i, kSemiVoiced))) {
      out += VoicedTag(s.substr(i, 2));
    } else {
      out.append(s, i, next - i);
    }
    i = next;
  }
  return out;
}

std::string ExpandTabs(std::string_view s, int tabWidth) {
  TMarkupWalker w(s);
  std::string out;
  out.reserve(s.size());
  size_t column = 0;  // visible bytes so far
  for (size_t i = 0; i < s.size();) {
    const size_t tagEnd = w.TagEnd(i);
    if (tagEnd != 0) {
      out.append(s, i, tagEnd - i);
      i = tagEnd;
      continue;
    }
    if (s[i] == '\t') {
      const size_t n = static_cast<size_t>(tabWidth) - column % static_cast<size_t>(tabWidth);
      out.append(n, ' ');
      column += n;
      ++i;
      continue;
    }
    const size_t n = mb::Len(s, i);
    out.append(s, i, n);
    column += n;
    i += n;
  }
  return out;
}

bool IsRepetitionOf(std::string_view line, std::string_view pattern) {
  if (pattern.empty() || line.empty() || line.size() % pattern.size() != 0) return false;
  for (size_t i = 0; i < line.size(); i += pattern.size()) {
    if (line.compare(i, pattern.size(), pattern) != 0) return false;
  }
  return true;
}

// Byte search: an annotation can only stand where these bytes occur.
bool MayHoldAnnotation(std::string_view text) {
  return HasBytes(text, kAnnotationOpen);
}

}  // namespace

std::string MakeRuby(std::string_view base, std::string_view reading, int fontPixels,
                     int rubyPixels, int overhang) {
  if (reading.empty()) return std::string(base);
  std::string out;
  const size_t nb = mb::Count(base);
  const size_t nr = mb::Count(reading);
  // Tags an HTML ruby carried in (bold and the like) must stay whole: such a
  // group is never cut per character nor spread.
  const bool tagged = VisibleText(base).size() != base.size() ||
                      VisibleText(reading).size() != reading.size();
  if (nb == nr && !tagged) {
    // One group per character.
    for (size_t b = 0, r = 0; b < base.size();) {
      const size_t lb = mb::Len(base, b);
      const size_t lr = mb::Len(reading, r);
      out.append(tag::kRubyOpen).append(reading.substr(r, lr)).append(tag::kRubyMid);
      out.append(base.substr(b, lb)).append(tag::kRubyClose).append(base.substr(b, lb));
      b += lb;
      r += lr;
    }
    return out;
  }
  // Estimated as drawn: a reading's characters are full-width ruby cells,
  // the base's bytes half-width body cells.
  const int64_t wr = static_cast<int64_t>(reading.size()) * rubyPixels / 2;
  const int64_t wb = static_cast<int64_t>(base.size()) * fontPixels / 2;
  const int64_t space = std::max(1, fontPixels / 2);
  const int64_t need = wr - wb - std::max(0, overhang);
  if (!tagged && need > 0) {
    // A reading longer than its base and the room it may overhang: the base
    // is spread by the room of half-width spaces, between its characters
    // first, then around it, one at each end. The group's copy holds real
    // spaces (it is measured); the text holds spacing tags, so that search
    // and positions see the base as it is written.
    int64_t spaces = (need + space - 1) / space;
    std::vector<int> gaps(nb + 1, 0);  // gaps[k]: spaces before base character k
    while (spaces > 0) {
      for (size_t k = 1; k < nb && spaces > 0; ++k, --spaces) ++gaps[k];
      if (spaces <= 0) break;
      ++gaps[0];
      ++gaps[nb];
      spaces -= 2;
    }
    std::string copy;
    std::string spread;
    auto gap = [&](int count) {
      copy.append(static_cast<size_t>(count), ' ');
      for (int k = 0; k < count; ++k) spread += tag::kSpreadSpace;
    };
    for (size_t b = 0, k = 0; b < base.size(); ++k) {
      const size_t lb = mb::Len(base, b);
      if (k > 0) gap(gaps[k]);
      copy.append(base.substr(b, lb));
      spread.append(base.substr(b, lb));
      b += lb;
    }
    // The room around stands outside the group, which starts at its base's
    // first character: the reading, centred on the group, stands out over it.
    for (int k = 0; k < gaps[0]; ++k) out += tag::kSpreadSpace;
    out.append(tag::kRubyOpen).append(reading).append(tag::kRubyMid).append(copy);
    out.append(tag::kRubyClose).append(spread);
    for (int k = 0; k < gaps[nb]; ++k) out += tag::kSpreadSpace;
    return out;
  }
  // The group's copy of the base is only measured: annotations inside it
  // would count as text.
  out.append(tag::kRubyOpen).append(reading).append(tag::kRubyMid);
  out.append(mb::StripSpans(base, kAnnotationOpen, kBracketClose));
  out.append(tag::kRubyClose).append(base);
  return out;
}

std::string MakeRuby(std::string_view base, std::string_view reading, const TInfo& style) {
  return MakeRuby(base, reading, style.FontPixels(), style.RubyPixels());
}

std::string ConvertRubyMarks(std::string_view s, const TInfo& style) {
  std::string out;
  ConvertRubyMarks(s, style, out);
  return out;
}

void ConvertRubyMarks(std::string_view s, const TInfo& style, std::string& out) {
  const int F = style.FontPixels();
  const int R = style.RubyPixels();
  TMarkupWalker w(s);
  out.clear();
  size_t seg = 0;            // start of the text not yet copied
  std::vector<Unit> units;   // the units of that text, for backward scans
  size_t lastOpen = npos;    // index in units of the last "《" after the first
  size_t cachedOpen = npos;  // FindBaseStart's answer for that "《"
  size_t cachedBase = npos;
  TForwardSearch openSearch;
  TForwardSearch closeSearch;
  auto restart = [&](size_t at) {
    seg = at;
    units.clear();
    lastOpen = cachedOpen = npos;
  };
  for (size_t i = 0; i < s.size();) {
    const size_t next = w.Next(i);
    const bool isTag = next - i > 2;
    if (!isTag && At(s, i, kBar)) {
      const size_t open =
          openSearch.Find(next, [&](size_t from) { return w.Find(kReadingOpen, from); });
      const size_t close =
          open == npos ? npos : closeSearch.Find(open + kReadingOpen.size(), [&](size_t from) {
            return w.Find(kReadingClose, from);
          });
      if (close != npos && close > open + kReadingOpen.size()) {
        out.append(s, seg, i - seg);
        const size_t end = close + kReadingClose.size();
        const bool before = !units.empty() && IsKana(s, units.back());
        out += MakeRuby(s.substr(next, open - next),
                        s.substr(open + kReadingOpen.size(), close - open - kReadingOpen.size()), F,
                        R, Overhang(style, before, PlainKanaAt(s, end)));
        i = end;
        restart(i);
        continue;
      }
    } else if (!isTag && At(s, i, kReadingClose)) {
      const size_t open = lastOpen;
      if (open != npos && units[open].end < i) {
        if (cachedOpen != open) {
          cachedOpen = open;
          cachedBase = FindBaseStart(s, units, open);
        }
        const size_t baseStart = cachedBase;
        const size_t baseEnd = units[open].start;
        if (baseStart != npos && baseStart < baseEnd) {
          out.append(s, seg, baseStart - seg);
          size_t k = open;
          while (k > 0 && units[k].start > baseStart) --k;
          const bool before = k > 0 && units[k].start == baseStart && IsKana(s, units[k - 1]);
          out += MakeRuby(s.substr(baseStart, baseEnd - baseStart),
                          s.substr(units[open].end, i - units[open].end), F, R,
                          Overhang(style, before, PlainKanaAt(s, next)));
          i = next;
          restart(i);
          continue;
        }
      }
    }
    if (!isTag && !units.empty() && At(s, i, kReadingOpen)) lastOpen = units.size();
    units.push_back({i, next, isTag});
    i = next;
  }
  out.append(s, seg, npos);
}

TAnnotationPass::TAnnotationPass(const TInfo& style, std::string_view fileDir)
    : fontPixels_(style.FontPixels()),
      rubyPixels_(style.RubyPixels()),
      fileDir_(fileDir),
      measures_{style.FontPixels(), style.BetweenChar, style.LineLength()} {}

TAnnotationPass::TPrepared TAnnotationPass::Prepare(const TLine& source) const {
  TPrepared prepared;
  if (!MayHoldAnnotation(source.Text)) return prepared;
  prepared.Annotated = true;
  std::string text(source.Text);
  uint8_t align = source.Align;
  while (true) {
    TInlineAnnotator inl(fontPixels_, rubyPixels_, fileDir_);
    LineResult r = AnnotateLine(text, align, inl);
    TPiece& piece = prepared.Pieces.emplace_back();
    piece.StyleEvents = inl.TakeBlockEvents();
    // A block annotation's line goes, unless something else stands on it.
    piece.Dropped = r.layout.Removable && !r.cut && IsBlankVisible(r.text);
    piece.Text = std::move(r.text);
    piece.Layout = std::move(r.layout);
    if (piece.Dropped || !r.cut) break;
    // The line split off at a mid-line 地付き: next in turn, under the same
    // source index.
    text = std::move(r.rest);
    align = 0;
  }
  return prepared;
}

void TAnnotationPass::Commit(TLine&& source, TPrepared&& prepared, TLines& out) {
  if (!prepared.Annotated) {
    styleBlocks_.Dress(source.Text);
    block_.SetLayoutFields(source, 0, 0, measures_);
    out.Append(std::move(source));
    return;
  }
  uint32_t indent = source.Indent;  // the split-off line starts unindented
  for (TPiece& piece : prepared.Pieces) {
    for (const TLayoutAnnotation& a : piece.Layout.Blocks) block_.Apply(a);
    styleBlocks_.Apply(piece.StyleEvents);
    if (piece.Dropped) break;
    TLine line;
    styleBlocks_.Dress(piece.Text);
    line.Text = std::move(piece.Text);
    line.SourceIndex = source.SourceIndex;
    line.Align = piece.Layout.Align;
    line.Indent = indent;
    block_.SetLayoutFields(line, piece.Layout.Indent, piece.Layout.EndGap, measures_);
    out.Append(std::move(line));
    indent = 0;
  }
}

void TAnnotationPass::Push(TLine&& source, TLines& out) {
  TPrepared prepared = Prepare(source);
  Commit(std::move(source), std::move(prepared), out);
}

void ApplyAnnotations(TLines& sourceLines, const TInfo& style, std::string_view fileDir) {
  // The result is built in a new table: removing and inserting in place
  // would cost a shift of the whole table per annotation line. Lines move
  // over whole, so most keep their text.
  TAnnotationPass pass(style, fileDir);
  TLines out;
  while (sourceLines.Count() > 0) pass.Push(sourceLines.ReleaseFirst(), out);
  sourceLines = std::move(out);
}

std::string PrepareLine(std::string_view text, const TInfo& style) {
  std::string line(text);
  PrepareLineInPlace(line, style);
  return line;
}

namespace {

template <class Text>
void PrepareLineInPlaceOf(Text& line, const TInfo& style) {
  // Byte searches first: most lines hold neither a voiced mark nor a tab,
  // and walking them character by character (or copying them) is what line
  // building would spend its time on otherwise.
  const size_t entered = line.size();
  if (style.IsVertical() && (HasBytes(line, "\x81\x4A") || HasBytes(line, "\x81\x4B")))
    line = WrapVoicedMarks(line);
  if (style.Tab != 0 && line.find('\t') != std::string::npos) line = ExpandTabs(line, style.Tab);
  if (entered >= 40) {
    const std::string* rule = nullptr;
    for (const std::string& pattern : style.HR) {
      if (IsRepetitionOf(line, pattern)) rule = &pattern;
    }
    if (rule != nullptr) line = RuleTag(*rule);
  }
}

}  // namespace

void PrepareLineInPlace(std::string& line, const TInfo& style) { PrepareLineInPlaceOf(line, style); }
void PrepareLineInPlace(TLineText& line, const TInfo& style) { PrepareLineInPlaceOf(line, style); }

}  // namespace rpv
