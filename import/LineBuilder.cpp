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

// Ruby marks are "｜" and "》": a line without either byte pair has none.
bool MayHoldRubyMarks(std::string_view text) {
  return HasBytes(text, "\x81\x62") || HasBytes(text, "\x81\x74");
}

// Gives an image line the size suffix of its picture and returns the room,
// in pixels across the lines, that the picture takes; when the picture cannot
// be loaded the line becomes its bracketed file name and nothing is returned.
std::optional<int64_t> MeasureImage(TLine& line, size_t tagPos, const TInfo& style) {
  const size_t pathStart = tagPos + tag::kImageOpen.size();
  const size_t pathEnd = line.Text.find(tag::kImageClose, pathStart);
  const std::string path = line.Text.substr(pathStart, pathEnd - pathStart);
  const auto size = LoadPictureSize(path);
  if (!size) {
    const std::string_view name = FileNameOf(path);
    line.Text.assign(1, '[').append(name).push_back(']');
    return std::nullopt;
  }
  int64_t h = size->Height;
  int64_t w = size->Width;
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

}  // namespace

TLine& TLineWriter::Next() {
  if (count_ >= lines_.Count()) {
    ++count_;
    return *lines_.Item(lines_.Add());
  }
  TLine& line = *lines_.Item(count_++);
  // The text buffer stays for the next assign, which gives it back when it
  // is much larger than the new text (left from a layout with longer lines).
  line.Text.clear();
  line.SourceIndex = 0;
  line.Align = 0;
  line.Indent = 0;
  line.Anchor.clear();
  return line;
}

void TLineWriter::Finish() {
  while (lines_.Count() > count_) lines_.Delete(lines_.Count() - 1);
}

TBreakRules BreakRulesOf(const TInfo& style) {
  TBreakRules r;
  r.FontPixels = style.FontPixels();
  r.BetweenChar = style.BetweenChar;
  r.LineLength = style.LineLength();
  r.HeadRule = style.blnRuleCharHead;
  r.EndRule = style.blnRuleCharEnd;
  r.Hang = style.blnHang;
  r.WordWrap = style.WordWrap;
  r.RuleCharHead = style.RuleCharHead;
  r.RuleCharEnd = style.RuleCharEnd;
  return r;
}

void WrapLine(TCustomBook& book, TLineBreaker& breaker, TLineWriter& display,
              std::string_view text, int32_t i) {
  TLine& source = *book.SourceLines.Item(i);
  // The usual text is the source line's own: the display lines are then
  // slices of its buffer, not copies.
  const bool shared = text.data() == source.Text.data() && text.size() == source.Text.size();
  auto append = [&](size_t from, size_t to) {
    TLine& d = display.Next();
    if (shared) {
      d.Text = source.Text.Slice(from, to - from);
    } else {
      d.Text.assign(text.substr(from, to - from));
    }
    d.SourceIndex = source.SourceIndex;
    d.Align = source.Align;
    d.Indent = source.Indent;
    d.Anchor = source.Anchor;
  };
  if (breaker.FitsUnmeasured(text.size(), source.Indent)) {
    append(0, text.size());
    return;
  }
  size_t pos = 0;
  while (true) {
    const size_t end = breaker.NextBreak(text, pos, source.Indent);
    append(pos, end);
    if (end >= text.size()) return;
    if (source.Indent == 0) source.Indent = breaker.HangingIndent(text);
    pos = end;
  }
}

void RemoveBlankLines(TLines& lines) {
  const int32_t n = lines.Count();
  if (n < 2) return;
  // The walk looks at the line after the current one; a removed line's
  // successor moves up into the current place and is passed over unexamined.
  // Done as one copy so a long book is not shifted once per removal.
  TLines kept;
  kept.Reserve(n);
  kept.Append(lines.ReleaseFirst());
  while (lines.Count() > 0) {
    if (lines.Item(0)->Text.empty()) {
      lines.ReleaseFirst();
      if (lines.Count() > 0) kept.Append(lines.ReleaseFirst());
    } else {
      kept.Append(lines.ReleaseFirst());
    }
  }
  lines = std::move(kept);
}

void PlaceImages(TCustomBook& book) {
  TLines& lines = book.DisplayLines;
  const int32_t n = lines.Count();
  int32_t firstImage = 0;
  while (firstImage < n && lines.Item(firstImage)->Text.find(tag::kImageOpen) == std::string::npos)
    ++firstImage;
  if (firstImage == n) return;

  const TInfo& style = book.Style;
  const int64_t L = std::max<int32_t>(1, style.LinesPerColumn());
  const int64_t P = std::max<int32_t>(1, style.LinePitch());
  // Inserting blank lines one by one would shift the whole table each time;
  // the lines are moved once into a new table instead, and the column
  // arithmetic uses the index in the new table.
  TLines out;
  out.Reserve(n);
  for (int32_t j = 0; j < n; ++j) {
    TLine line = lines.ReleaseFirst();
    const size_t at = j < firstImage ? std::string::npos : line.Text.find(tag::kImageOpen);
    if (at == std::string::npos ||
        line.Text.find(tag::kImageClose, at + tag::kImageOpen.size()) == std::string::npos) {
      out.Append(std::move(line));
      continue;
    }
    const std::optional<int64_t> extent = MeasureImage(line, at, style);
    if (!extent) {
      out.Append(std::move(line));
      continue;
    }
    const int64_t m = *extent / P + 1;  // line positions the picture spans
    const int64_t e = out.Count() % L;
    // A picture that does not fit in the rest of the column starts the next
    // one; at the top of a column it stays, as moving cannot help it.
    if (e > 0 && m + e > L) {
      for (int64_t k = 0; k < L - e; ++k) out.Add();
    }
    out.Append(std::move(line));
    for (int64_t k = 0; k < m; ++k) out.Add();
  }
  lines = std::move(out);
}

int32_t TCustomBook::BuildLines(int32_t sourceIndex) {
  if (SourceText.Empty()) return -1;
  // The previous build's lines are overwritten rather than freed and made
  // again (see TLineWriter).
  const bool html = IsHtml && Style.HasHtmlTag(kHtmlTagAnalyse);
  // Empty lines of a text get no source line: nothing converts them, so
  // their display line is written straight from the file text, and a run of
  // them costs one line of the display table each instead of two (a book of
  // nothing but line feeds has as many lines as bytes). Blank-line removal
  // needs them as source lines.
  const bool skipEmpty = !html && !DeleteBlankLines;
  // The display lines share the source lines' buffers: let go of them first,
  // so that rewriting a source line reuses its buffer instead of keeping
  // the old text alive beside the new one.
  for (int32_t d = 0; d < DisplayLines.Count(); ++d) DisplayLines.Item(d)->Text.clear();
  if (html) {
    ConvertHtml(Style, FileDir, FileName, SourceText.Text(), SourceLines, Title);
  } else {
    TLineWriter source(SourceLines);
    const auto count = static_cast<int32_t>(SourceText.Count());
    SourceLines.Reserve(count);
    for (int32_t i = 0; i < count; ++i) {
      if (skipEmpty && SourceText[static_cast<size_t>(i)].empty()) continue;
      TLine& line = source.Next();
      line.Text = SourceText.Line(static_cast<size_t>(i));
      line.SourceIndex = i;
    }
    source.Finish();
  }

  if (DeleteBlankLines) RemoveBlankLines(SourceLines);

  const bool ruby = Style.HasRubyFlag(kRubyOn);
  if (ruby) {
    std::string converted;
    for (int32_t i = 0; i < SourceLines.Count(); ++i) {
      TLine& line = *SourceLines.Item(i);
      if (!MayHoldRubyMarks(line.Text)) continue;
      ConvertRubyMarks(line.Text, Style, converted);
      // A line that stays as it was keeps sharing the file text.
      if (line.Text != converted) line.Text = converted;
    }
    ApplyAnnotations(SourceLines, Style);
  }

  TLineBreaker breaker(BreakRulesOf(Style));
  TLineWriter display(DisplayLines);
  DisplayLines.Reserve(SourceLines.Count());
  int32_t unwritten = 0;  // the first source index whose empty lines are still to come
  auto writeEmptyLinesBefore = [&](int32_t end) {
    for (; unwritten < end; ++unwritten)
      if (SourceText[static_cast<size_t>(unwritten)].empty()) display.Next().SourceIndex = unwritten;
  };
  for (int32_t i = 0; i < SourceLines.Count(); ++i) {
    TLine& line = *SourceLines.Item(i);
    if (skipEmpty) {
      writeEmptyLinesBefore(line.SourceIndex);
      unwritten = std::max(unwritten, line.SourceIndex + 1);
    }
    PrepareLineInPlace(line.Text, Style);
    WrapLine(*this, breaker, display, line.Text, i);
  }
  if (skipEmpty) writeEmptyLinesBefore(static_cast<int32_t>(SourceText.Count()));
  display.Finish();

  if (html) {
    PlaceImages(*this);
    BalanceStyleTags(DisplayLines);
  }
  if (ruby) ApplyPageBreaks(DisplayLines, Style);

  const double perColumn = std::max<int32_t>(1, Style.LinesPerColumn());
  PageCount = static_cast<int32_t>(
      std::ceil(static_cast<double>(DisplayLines.Count()) / perColumn / Style.Columns()));

  if (sourceIndex < 1) return 0;
  // Searched from the first display line: after blank-line removal or
  // removed annotation lines a source line can stand at a display index
  // below its own number.
  for (int32_t d = 0; d < DisplayLines.Count(); ++d) {
    if (DisplayLines.Item(d)->SourceIndex == sourceIndex) return d;
  }
  return 0;
}

}  // namespace rpv
