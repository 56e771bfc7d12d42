#include "import/LineBuilder.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "import/ByteSearch.h"
#include "import/CustomBookClass.h"
#include "import/DisplayMarkup.h"
#include "import/HtmlConvert.h"
#include "import/MarkupWalker.h"
#include "import/MbScan.h"
#include "import/TextConvert.h"
#include "platform/Picture.h"

namespace rpv {

namespace {

// The file name part of a path (after the last separator that is a whole
// character).
std::string_view FileNameOf(std::string_view path) {
  size_t start = 0;
  for (size_t i = 0; i < path.size(); i += mb::Len(path, i)) {
    if (path[i] == '/' || path[i] == '\\') start = i + 1;
  }
  return path.substr(start);
}

// Gives an image line the size suffix of its picture and returns the room,
// in pixels across the lines, that the picture takes; when the picture cannot
// be loaded the line becomes its bracketed file name and nothing is returned.
std::optional<int64_t> MeasureImage(TLine& line, size_t tagPos, const TInfo& style) {
  const size_t pathStart = tagPos + tag::kImageOpen.size();
  const TTagMatch m = *TMarkupWalker(line.Text).Tag(tagPos);
  const std::string path(m.Arg);
  const size_t pathEnd = pathStart + path.size();
  const auto size = LoadPictureSize(path);
  if (!size) {
    const std::string_view name = FileNameOf(path);
    line.Text.assign(1, '[').append(name).push_back(']');
    return std::nullopt;
  }
  // A size the text gave (a figure annotation) is kept, only shrunk to fit.
  const bool given = m.ImageHeight > 0 && m.ImageWidth > 0;
  int64_t h = given ? m.ImageHeight : size->Height;
  int64_t w = given ? m.ImageWidth : size->Width;
  if (given) line.Text.erase(pathEnd + tag::kImageClose.size(), m.End - pathEnd - tag::kImageClose.size());
  const int64_t areaHeight = style.TextAreaHeight();
  const int64_t areaWidth = style.TextAreaWidth();
  if (h > areaHeight) {
    w = areaHeight * w / h;
    h = areaHeight;
  }
  if (w > areaWidth && w > 0) {
    h = areaWidth * h / w;
    w = areaWidth;
  }
  h = std::max<int64_t>(h, 0);
  w = std::max<int64_t>(w, 0);
  line.Text.insert(pathEnd + tag::kImageClose.size(),
                   ImageSizeSuffix(static_cast<int>(h), static_cast<int>(w)));
  return style.IsVertical() ? w : h;
}

// The first image tag of the line, as every reader of the markup takes it
// (never one inside another tag's argument); npos when there is none.
size_t FindImageTag(std::string_view text) {
  // Most lines hold none: a byte search says so without walking them.
  if (text.find(tag::kImageOpen) == std::string_view::npos) return std::string_view::npos;
  TMarkupWalker w(text);
  for (size_t i = 0; i < text.size(); i = w.Next(i)) {
    if (const auto m = w.Tag(i); m && m->Kind == TTagKind::Image) return i;
  }
  return std::string_view::npos;
}

}  // namespace

TBreakRules BreakRulesOf(const TInfo& style) {
  TBreakRules r;
  r.FontPixels = style.FontPixels();
  r.BetweenChar = style.BetweenChar;
  r.LineLength = style.LineLength();
  r.HeadRule = style.blnRuleCharHead;
  r.EndRule = style.blnRuleCharEnd;
  r.Hang = style.blnHang;
  r.WordWrap = style.WordWrap;
  r.UprightAscii = style.IsVertical() && style.blnTateYoko;
  r.Vertical = style.IsVertical();
  r.RuleCharHead = style.RuleCharHead;
  r.RuleCharEnd = style.RuleCharEnd;
  return r;
}

namespace {

// A display line's text that ends inside the base of a ruby group (a base
// longer than a line, cut between its characters): the group keeps the
// characters of the base on this line and the matching share of the
// reading; the returned group, with the rest, goes in front of the next
// line. Nothing changes (and nothing is returned) when no group is cut, or
// when the reading carries tags (HTML ruby), which are never cut.
std::string SplitCutRuby(std::string& segment) {
  TMarkupWalker walker(segment);
  size_t groupAt = std::string::npos;
  size_t groupEnd = 0;
  std::optional<TTagMatch> group;
  size_t onLine = 0;  // base characters after the last group
  for (size_t i = 0; i < segment.size();) {
    if (const size_t e = walker.TagEnd(i)) {
      const TTagMatch m = ReadTag(segment, i, e);
      if (m.Kind == TTagKind::Ruby) {
        groupAt = i;
        groupEnd = e;
        group = m;
        onLine = 0;
      } else if (m.Kind == TTagKind::SpreadSpace) {
        ++onLine;  // the copy holds a space there
      }
      i = e;
      continue;
    }
    ++onLine;
    i += mb::Len(segment, i);
  }
  if (!group) return {};
  const std::string_view reading = group->Arg;
  const std::string_view copy = group->Arg2;
  const size_t baseChars = mb::Count(copy);
  if (onLine == 0 || onLine >= baseChars || VisibleText(reading).size() != reading.size())
    return {};
  // The reading is shared out in proportion to the base characters.
  const size_t readingChars = mb::Count(reading);
  const size_t firstShare = (readingChars * onLine + baseChars / 2) / baseChars;
  auto cutAt = [](std::string_view s, size_t chars) {
    size_t at = 0;
    for (size_t n = 0; n < chars && at < s.size(); ++n) at += mb::Len(s, at);
    return at;
  };
  const size_t readingCut = cutAt(reading, firstShare);
  const size_t copyCut = cutAt(copy, onLine);
  // Both halves keep the group's side.
  const std::string_view open = group->Left ? tag::kLeftRubyOpen : tag::kRubyOpen;
  auto groupOf = [open](std::string_view r, std::string_view c) {
    return std::string(open).append(r).append(tag::kRubyMid).append(c).append(tag::kRubyClose);
  };
  const std::string rest = groupOf(reading.substr(readingCut), copy.substr(copyCut));
  segment.replace(groupAt, groupEnd - groupAt,
                  groupOf(reading.substr(0, readingCut), copy.substr(0, copyCut)));
  return rest;
}

}  // namespace

int32_t WrapLine(TLine& source, TLineBreaker& breaker, TLines& out, std::string_view text) {
  // The usual text is the source line's own: the display lines are then
  // slices of its buffer, not copies.
  const bool shared = text.data() == source.Text.data() && text.size() == source.Text.size();
  int32_t made = 0;
  std::string carried;  // the rest of a ruby group cut on the line before
  auto append = [&](size_t from, size_t to, bool last) {
    TLine d;
    const std::string_view slice = text.substr(from, to - from);
    // Only a line that ends inside a ruby group's base, or starts with the
    // rest of one, is rewritten; the others stay slices.
    std::string segment;
    if (!carried.empty() || (!last && (slice.find(tag::kRubyOpen) != std::string_view::npos ||
                                       slice.find(tag::kLeftRubyOpen) != std::string_view::npos))) {
      segment = std::move(carried);
      segment.append(slice);
      carried = last ? std::string() : SplitCutRuby(segment);
    }
    if (!segment.empty() && segment != slice) {
      d.Text.assign(segment);
    } else if (shared) {
      d.Text = source.Text.Slice(from, to - from);
    } else {
      d.Text.assign(text.substr(from, to - from));
    }
    d.SourceIndex = source.SourceIndex;
    d.Align = source.Align;
    d.Indent = source.Indent;
    d.EndGap = source.EndGap;
    out.Append(std::move(d));
    ++made;
  };
  if (breaker.FitsUnmeasured(text.size(), source.Indent, source.EndGap)) {
    append(0, text.size(), true);
    return made;
  }
  size_t pos = 0;
  while (true) {
    const size_t end = breaker.NextBreak(text, pos, source.Indent, source.EndGap);
    append(pos, end, end >= text.size());
    if (end >= text.size()) return made;
    // The continuation lines: under a hanging-indent block's indent, else
    // under the paragraph's own (after a list mark or leading spaces).
    if (source.HasWrapIndent) {
      source.Indent = source.WrapIndent;
    } else if (source.Indent == 0) {
      source.Indent = LineIndent(breaker.HangingIndent(text));
    }
    pos = end;
  }
}

bool TBlankLineFilter::Keeps(const TLine& line) {
  if (first_ || keepNext_) {
    first_ = keepNext_ = false;
    return true;
  }
  if (!line.Text.empty()) return true;
  keepNext_ = true;
  return false;
}

void RemoveBlankLines(TLines& lines) {
  // Done as one move into a new table so a long book is not shifted once
  // per removal.
  TBlankLineFilter filter;
  TLines kept;
  while (lines.Count() > 0) {
    TLine line = lines.ReleaseFirst();
    if (filter.Keeps(line)) kept.Append(std::move(line));
  }
  lines = std::move(kept);
}

void TImagePass::Push(TLine&& line, TLines& out) {
  auto emit = [&](TLine&& l) {
    out.Append(std::move(l));
    ++written_;
  };
  const size_t at = FindImageTag(line.Text);
  if (at == std::string::npos) {
    emit(std::move(line));
    return;
  }
  const std::optional<int64_t> extent = MeasureImage(line, at, style_);
  if (!extent) {
    emit(std::move(line));
    return;
  }
  const int64_t L = std::max<int32_t>(1, style_.LinesPerColumn());
  const int64_t P = std::max<int32_t>(1, style_.LinePitch());
  const int64_t m = *extent / P + 1;  // line positions the picture spans
  const int64_t e = written_ % L;
  // A picture that does not fit in the rest of the column starts the next
  // one; at the top of a column it stays, as moving cannot help it.
  if (e > 0 && m + e > L) {
    for (int64_t k = 0; k < L - e; ++k) emit(TLine{});
  }
  emit(std::move(line));
  for (int64_t k = 0; k < m; ++k) emit(TLine{});
}

void PlaceImages(TCustomBook& book) {
  // Inserting blank lines one by one would shift the whole table each time;
  // the lines are moved once into a new table instead.
  TImagePass pass(book.Style);
  TLines out;
  while (book.DisplayLines.Count() > 0) pass.Push(book.DisplayLines.ReleaseFirst(), out);
  book.DisplayLines = std::move(out);
}

}  // namespace rpv
