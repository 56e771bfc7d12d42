#include "import/LayoutAnnotations.h"

#include <algorithm>

#include "render/cbcTables.h"

namespace rpv {
namespace {

// The words of the annotations (CP932).
constexpr std::string_view kFrom = "\x82\xB1\x82\xB1\x82\xA9\x82\xE7";         // ここから
constexpr std::string_view kIndentWord = "\x8E\x9A\x89\xBA\x82\xB0";            // 字下げ
constexpr std::string_view kFlushEnd = "\x92\x6E\x95\x74\x82\xAB";              // 地付き
constexpr std::string_view kFromEnd = "\x92\x6E\x82\xA9\x82\xE7";               // 地から
constexpr std::string_view kRaiseWord = "\x8E\x9A\x8F\xE3\x82\xB0";             // 字上げ
constexpr std::string_view kFillWord = "\x8E\x9A\x8B\x6C\x82\xDF";              // 字詰め
constexpr std::string_view kCentre = "\x92\x86\x89\x9B\x91\xB5\x82\xA6";        // 中央揃え
constexpr std::string_view kThenWrap = "\x81\x41\x90\xDC\x82\xE8\x95\xD4\x82\xB5\x82\xC4";  // 、折り返して
constexpr std::string_view kHeadFirst = "\x89\xFC\x8D\x73\x93\x56\x95\x74\x82\xAB";  // 改行天付き
constexpr std::string_view kIndentEnd =
    "\x82\xB1\x82\xB1\x82\xC5\x8E\x9A\x89\xBA\x82\xB0\x8F\x49\x82\xED\x82\xE8";  // ここで字下げ終わり
constexpr std::string_view kFlushEndEnd =
    "\x82\xB1\x82\xB1\x82\xC5\x92\x6E\x95\x74\x82\xAB\x8F\x49\x82\xED\x82\xE8";  // ここで地付き終わり
constexpr std::string_view kRaiseEnd =
    "\x82\xB1\x82\xB1\x82\xC5\x8E\x9A\x8F\xE3\x82\xB0\x8F\x49\x82\xED\x82\xE8";  // ここで字上げ終わり
constexpr std::string_view kFillEnd =
    "\x82\xB1\x82\xB1\x82\xC5\x8E\x9A\x8B\x6C\x82\xDF\x8F\x49\x82\xED\x82\xE8";  // ここで字詰め終わり

// No layout takes more cells than this; larger numbers are clamped.
constexpr int kLargestNumber = 9999;

// Reads a number of full-width ("０"-"９") or half-width digits from the
// front of s and removes it; nullopt (s unchanged) when s starts with none.
std::optional<int> TakeNumber(std::string_view& s) {
  int value = 0;
  size_t i = 0;
  while (i < s.size()) {
    int digit = -1;
    const auto b = static_cast<unsigned char>(s[i]);
    if (b >= '0' && b <= '9') {
      digit = b - '0';
    } else if (b == 0x82 && i + 1 < s.size()) {
      const auto t = static_cast<unsigned char>(s[i + 1]);
      if (t >= 0x4F && t <= 0x58) digit = t - 0x4F;
    }
    if (digit < 0) break;
    value = std::min(kLargestNumber, value * 10 + digit);
    i += b < 0x80 ? 1 : 2;
  }
  if (i == 0) return std::nullopt;
  s.remove_prefix(i);
  return value;
}

bool TakeWord(std::string_view& s, std::string_view word) {
  if (!s.starts_with(word)) return false;
  s.remove_prefix(word.size());
  return true;
}

// "地からN字上げ" as N.
std::optional<int> RaiseOf(std::string_view s) {
  if (!TakeWord(s, kFromEnd)) return std::nullopt;
  const auto n = TakeNumber(s);
  if (!n || s != kRaiseWord) return std::nullopt;
  return n;
}

}  // namespace

std::optional<TLayoutAnnotation> ReadLayoutAnnotation(std::string_view body) {
  using K = TLayoutKind;
  if (body == kIndentEnd) return TLayoutAnnotation{K::BlockIndentEnd};
  if (body == kFlushEndEnd || body == kRaiseEnd) return TLayoutAnnotation{K::BlockRaiseEnd};
  if (body == kFillEnd) return TLayoutAnnotation{K::BlockFillEnd};
  std::string_view s = body;
  const bool block = TakeWord(s, kFrom);
  if (s == kFlushEnd) return TLayoutAnnotation{block ? K::BlockRaise : K::LineRaise, 0};
  if (const auto n = RaiseOf(s)) return TLayoutAnnotation{block ? K::BlockRaise : K::LineRaise, *n};
  if (!block) {
    if (s == kCentre) return TLayoutAnnotation{K::Centre};
    const auto n = TakeNumber(s);
    if (n && s == kIndentWord) return TLayoutAnnotation{K::LineIndent, *n};
    return std::nullopt;
  }
  if (TakeWord(s, kHeadFirst)) {
    // 改行天付き、折り返してM字下げ: first lines at the head, the rest M in.
    const bool then = TakeWord(s, kThenWrap);
    const auto m = then ? TakeNumber(s) : std::nullopt;
    if (m && s == kIndentWord) return TLayoutAnnotation{K::BlockIndent, 0, *m};
    return std::nullopt;
  }
  const std::string_view word = s;
  if (const auto n = TakeNumber(s)) {
    if (s == kIndentWord) return TLayoutAnnotation{K::BlockIndent, *n};
    if (s == kFillWord) return TLayoutAnnotation{K::BlockFill, *n};
    if (TakeWord(s, kIndentWord) && TakeWord(s, kThenWrap)) {
      const auto m = TakeNumber(s);
      if (m && s == kIndentWord) return TLayoutAnnotation{K::BlockIndent, *n, *m};
    }
    return std::nullopt;
  }
  // One character that is no digit before 字下げ ("ここから二字下げ") has
  // always indented by one; kept so.
  if (word.size() == 2 + kIndentWord.size() && word.ends_with(kIndentWord))
    return TLayoutAnnotation{K::BlockIndent, 1};
  return std::nullopt;
}

TLineLayout::TEffect TLineLayout::Take(const TLayoutAnnotation& a, bool atLineStart) {
  switch (a.Kind) {
    case TLayoutKind::LineIndent:
      if (!atLineStart) return TEffect::Ignored;
      Indent += a.N;
      return TEffect::Taken;
    case TLayoutKind::LineRaise:
      // After text the rest of the line goes to a line of its own, where
      // this annotation then opens it.
      if (!atLineStart) return TEffect::Cut;
      Align = 1;
      EndGap = a.N;
      return TEffect::Taken;
    case TLayoutKind::Centre:
      if (!atLineStart) return TEffect::Ignored;
      Align = 2;
      return TEffect::Taken;
    default:
      Blocks.push_back(a);
      Removable = true;
      return TEffect::Taken;
  }
}

void TLayoutBlock::Apply(const TLayoutAnnotation& a) {
  switch (a.Kind) {
    case TLayoutKind::BlockIndent:
      indent_ = a.N;
      wrapIndent_ = a.M;
      break;
    case TLayoutKind::BlockIndentEnd:
      indent_ = 0;
      wrapIndent_ = -1;
      break;
    case TLayoutKind::BlockRaise:
      raise_ = a.N;
      break;
    case TLayoutKind::BlockRaiseEnd:
      raise_ = -1;
      break;
    case TLayoutKind::BlockFill:
      fill_ = a.N;
      break;
    case TLayoutKind::BlockFillEnd:
      fill_ = 0;
      break;
    default:
      break;
  }
}

void TLayoutBlock::SetLayoutFields(TLine& line, int ownIndent, int ownEndGap,
                                   const TLayoutMeasures& m) const {
  const int64_t indent = int64_t{line.Indent} + indent_ + ownIndent;
  line.Indent = LineIndent(indent);
  if (wrapIndent_ >= 0) {
    line.HasWrapIndent = 1;
    line.WrapIndent = LineIndent(wrapIndent_);
  }
  int64_t gap = 0;
  if (line.Align != 0) {
    gap = ownEndGap;
  } else if (raise_ >= 0) {
    line.Align = 1;
    gap = raise_;
  }
  if (fill_ > 0 && m.FontPixels > 0) {
    // N characters after the indent, the rest of the line kept free.
    const int64_t F = m.FontPixels;
    const int64_t wanted = (indent + fill_) * F + (fill_ - 1) * int64_t{m.BetweenChar};
    if (m.LineLength > wanted) gap += (m.LineLength - wanted) / F;
  }
  line.EndGap = LineEndGap(gap);
}

}  // namespace rpv
