#include "import/PageBreaks.h"

#include <string_view>
#include <utility>

#include "import/ByteSearch.h"
#include "import/MarkupWalker.h"
#include "render/cbcClasses.h"

namespace rpv {
namespace {

constexpr auto npos = std::string_view::npos;

// ［＃ページの左右中央］
constexpr std::string_view kCentrePage =
    "\x81\x6D\x81\x94\x83\x79\x81\x5B\x83\x57\x82\xCC\x8D\xB6\x89\x45\x92\x86\x89\x9B\x81\x6E";

// Byte search: an annotation can only stand where these bytes occur.
bool MayHoldAnnotation(std::string_view text) { return HasBytes(text, "\x81\x6D\x81\x94"); }

struct TBreak {
  std::string_view annotation;
  int columnsPerStep;  // the break ends where (i / L) is a multiple of this (times K)
  bool perPage;        // columnsPerStep counts pages (K columns each)
};

// 改丁 and 改見開き go on at the top of the next odd page, 改ページ at the
// next page, 改段 in the next column.
constexpr TBreak kBreaks[] = {
    {"\x81\x6D\x81\x94\x89\xFC\x92\x9A\x81\x6E", 2, true},                   // ［＃改丁］
    {"\x81\x6D\x81\x94\x89\xFC\x8C\xA9\x8A\x4A\x82\xAB\x81\x6E", 2, true},   // ［＃改見開き］
    {"\x81\x6D\x81\x94\x89\xFC\x83\x79\x81\x5B\x83\x57\x81\x6E", 1, true},   // ［＃改ページ］
    {"\x81\x6D\x81\x94\x89\xFC\x92\x69\x81\x6E", 1, false},                  // ［＃改段］
};

}  // namespace

void ApplyPageBreaks(TLines& displayLines, const TInfo& style) {
  ApplyPageBreaks(displayLines, style.LinesPerColumn(), style.Columns());
}

TPageBreakPass::TPageBreakPass(int linesPerColumn, int columnCount)
    : linesPerColumn_(linesPerColumn > 0 ? linesPerColumn : 1),
      columns_(columnCount > 0 ? columnCount : 1) {}

void TPageBreakPass::Write(TLine&& line, TLines& out) {
  out.Append(std::move(line));
  ++written_;
}

void TPageBreakPass::PadTo(int64_t columns, int32_t sourceIndex, TLines& out) {
  const int64_t L = linesPerColumn_;
  // written_ is the index the next line gets in the whole table.
  while (!(written_ % L == 0 && (written_ / L) % columns == 0)) {
    TLine padding;
    padding.SourceIndex = sourceIndex;
    Write(std::move(padding), out);
  }
}

void TPageBreakPass::ReleaseCentred(bool centre, TLines& out) {
  centring_ = false;
  const size_t n = held_.size();
  size_t lead = 0;
  while (lead < n && IsBlankVisible(held_[lead].Text)) ++lead;
  size_t trail = 0;
  while (trail < n - lead && IsBlankVisible(held_[n - 1 - trail].Text)) ++trail;
  const int64_t content = static_cast<int64_t>(n - lead - trail);
  const int64_t room = linesPerColumn_ - written_ % linesPerColumn_;
  if (centre && content > 0 && content <= room) {
    // The blank lines before the text count towards its padding.
    for (int64_t k = (room - content) / 2 - static_cast<int64_t>(lead); k > 0; --k) {
      TLine padding;
      padding.SourceIndex = centreSource_;
      Write(std::move(padding), out);
    }
  }
  for (TLine& line : held_) Write(std::move(line), out);
  held_.clear();
}

void TPageBreakPass::Push(TLine&& line, TLines& out) {
  const int64_t L = linesPerColumn_;
  while (true) {
    const TBreak* found = nullptr;
    size_t at = npos;
    const bool annotated = MayHoldAnnotation(line.Text);
    if (annotated) {
      for (const TBreak& b : kBreaks) {
        at = TMarkupWalker(line.Text).Find(b.annotation, 0);
        if (at != npos) {
          found = &b;
          break;
        }
      }
    }
    if (found == nullptr) {
      const size_t centreAt = annotated ? TMarkupWalker(line.Text).Find(kCentrePage, 0) : npos;
      if (centreAt != npos) {
        if (centring_) ReleaseCentred(true, out);
        line.Text.erase(centreAt, kCentrePage.size());
        // Nothing else shares a centred page: it starts a page of its own.
        PadTo(columns_, line.SourceIndex, out);
        centring_ = true;
        centreSource_ = line.SourceIndex;
        if (IsBlankVisible(line.Text)) return;
      }
      if (!centring_) {
        Write(std::move(line), out);
        return;
      }
      held_.push_back(std::move(line));
      // More text than the column has room for is not centred.
      size_t lead = 0;
      while (lead < held_.size() && IsBlankVisible(held_[lead].Text)) ++lead;
      if (static_cast<int64_t>(held_.size() - lead) > L - written_ % L) ReleaseCentred(false, out);
      return;
    }
    // The break ends a centred page.
    if (centring_) ReleaseCentred(true, out);
    line.Text.erase(at, found->annotation.size());
    PadTo(found->perPage ? int64_t{found->columnsPerStep} * columns_ : 1, line.SourceIndex, out);
    // Text that shared the line with the break goes on after it.
    if (IsBlankVisible(line.Text)) return;
  }
}

void TPageBreakPass::Finish(TLines& out) {
  if (centring_) ReleaseCentred(true, out);
}

void ApplyPageBreaks(TLines& displayLines, int linesPerColumn, int columnCount) {
  // Built into a new table; inserting padding in place would shift the rest
  // of the book for every break. Lines move over whole.
  TPageBreakPass pass(linesPerColumn, columnCount);
  TLines out;
  while (displayLines.Count() > 0) pass.Push(displayLines.ReleaseFirst(), out);
  pass.Finish(out);
  displayLines = std::move(out);
}

}  // namespace rpv
