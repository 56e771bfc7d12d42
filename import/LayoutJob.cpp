#include "import/LayoutJob.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "import/ByteSearch.h"
#include "import/CharacterNotes.h"
#include "import/DisplayMarkup.h"
#include "import/HtmlConvert.h"
#include "import/SourceText.h"

namespace rpv {

namespace {

// Ruby marks are "｜" and "》": a line without either byte pair has none.
bool MayHoldRubyMarks(std::string_view text) {
  return HasBytes(text, "\x81\x62") || HasBytes(text, "\x81\x74");
}

// Below this many lines a part is not worth a thread of its own.
constexpr int32_t kLinesPerPart = 256;

}  // namespace

TLayoutJob::TLayoutJob(const TSourceText& text, const TLayoutSettings& settings, int threads)
    : text_(text),
      settings_(settings),
      html_(settings.IsHtml && settings.Style.HasHtmlTag(kHtmlTagAnalyse)),
      ruby_(settings.Style.HasRubyFlag(kRubyOn)),
      // Empty lines of a text get no source line: nothing converts them, so
      // their display line is written straight from the file text, and a
      // run of them costs one line of the display table each instead of
      // two (a book of nothing but line feeds has as many lines as bytes).
      // Blank-line removal needs them as source lines.
      skipEmpty_(!html_ && !settings.DeleteBlankLines),
      pool_(threads > 0 ? threads : TWorkerPool::DefaultThreads()),
      annotations_(settings_.Style, settings_.FileDir),
      images_(settings_.Style),
      pageBreaks_(settings_.Style.LinesPerColumn(), settings_.Style.Columns()) {
  const int parts = pool_.Threads();
  for (int k = 0; k < parts; ++k) {
    breakers_.push_back(std::make_unique<TLineBreaker>(BreakRulesOf(settings_.Style)));
  }
  wrapped_.resize(static_cast<size_t>(parts));
  packs_.resize(static_cast<size_t>(parts));
  if (html_) {
    ConvertHtml(settings_.Style, settings_.FileDir, settings_.FileName, text_.Text(), htmlLines_,
                anchors_, title_);
    htmlTotal_ = htmlLines_.Count();
  }
}

TLayoutJob::~TLayoutJob() = default;

int32_t TLayoutJob::PagesFor(int64_t displayLines, const TInfo& style) {
  const double perColumn = std::max<int32_t>(1, style.LinesPerColumn());
  return static_cast<int32_t>(
      std::ceil(static_cast<double>(displayLines) / perColumn / style.Columns()));
}

double TLayoutJob::Progress() const {
  if (done_) return 1.0;
  if (html_) {
    return htmlTotal_ == 0 ? 1.0
                           : static_cast<double>(htmlTotal_ - htmlLines_.Count()) / htmlTotal_;
  }
  const size_t count = text_.Count();
  return count == 0 ? 1.0 : static_cast<double>(nextLine_) / static_cast<double>(count);
}

void TLayoutJob::TakeInput(int32_t lines) {
  const bool dropBlanks = settings_.DeleteBlankLines;
  if (html_) {
    for (int32_t n = 0; n < lines && htmlLines_.Count() > 0; ++n) {
      TLine line = htmlLines_.ReleaseFirst();
      if (!dropBlanks || blanks_.Keeps(line)) batch_.Append(std::move(line));
    }
    return;
  }
  const auto count = static_cast<int32_t>(text_.Count());
  for (int32_t n = 0; n < lines && nextLine_ < count; ++n, ++nextLine_) {
    const auto i = static_cast<size_t>(nextLine_);
    if (skipEmpty_ && text_[i].empty()) continue;
    TLine line;
    line.Text = text_.Line(i);
    line.SourceIndex = nextLine_;
    if (!dropBlanks || blanks_.Keeps(line)) batch_.Append(std::move(line));
  }
}

template <class Part>
void TLayoutJob::ForParts(int32_t count, Part part) {
  const int32_t parts = std::clamp<int32_t>(count / kLinesPerPart, 1, pool_.Threads());
  pool_.Run(parts, [&](int k) {
    const int32_t begin = static_cast<int32_t>(int64_t{count} * k / parts);
    const int32_t end = static_cast<int32_t>(int64_t{count} * (k + 1) / parts);
    part(k, begin, end);
  });
}

bool TLayoutJob::Step(int32_t lines, TLines& displayOut) {
  if (done_) return false;
  TakeInput(std::max<int32_t>(1, lines));
  const TInfo& style = settings_.Style;

  if (ruby_) {
    // Ruby marks and annotations are converted line by line in parallel;
    // only the block indent and anchors are carried over in order.
    prepared_.resize(static_cast<size_t>(batch_.Count()));
    ForParts(batch_.Count(), [&](int, int32_t begin, int32_t end) {
      std::string converted;
      for (int32_t j = begin; j < end; ++j) {
        TLine& line = *batch_.Item(j);
        if (auto noted = ReplaceCharacterNotes(line.Text)) line.Text = *noted;
        if (MayHoldRubyMarks(line.Text)) {
          ConvertRubyMarks(line.Text, style, converted);
          // A line that stays as it was keeps sharing the file text.
          if (line.Text != converted) line.Text = converted;
        }
        prepared_[static_cast<size_t>(j)] = annotations_.Prepare(line);
      }
    });
    for (TAnnotationPass::TPrepared& p : prepared_)
      annotations_.Commit(batch_.ReleaseFirst(), std::move(p), annotated_);
    prepared_.clear();
  } else {
    std::swap(batch_, annotated_);
  }

  const int32_t count = annotated_.Count();
  wrappedCounts_.assign(static_cast<size_t>(count), 0);
  ForParts(count, [&](int k, int32_t begin, int32_t end) {
    TLineBreaker& breaker = *breakers_[static_cast<size_t>(k)];
    TLines& out = wrapped_[static_cast<size_t>(k)];
    for (int32_t j = begin; j < end; ++j) {
      TLine& line = *annotated_.Item(j);
      PrepareLineInPlace(line.Text, style);
      // A converted text moves into a block shared with its neighbours
      // before its display lines are cut from it.
      packs_[static_cast<size_t>(k)].Take(line.Text);
      wrappedCounts_[static_cast<size_t>(j)] = WrapLine(line, breaker, out, line.Text);
    }
  });
  // Joined in order: the part a line was wrapped in is found by walking the
  // parts as their lines are used up.
  size_t part = 0;
  for (int32_t j = 0; j < count; ++j) {
    const int32_t sourceIndex = annotated_.Item(j)->SourceIndex;
    if (skipEmpty_) {
      WriteEmptyLinesBefore(sourceIndex, displayOut);
      unwritten_ = std::max(unwritten_, sourceIndex + 1);
    }
    for (int32_t n = wrappedCounts_[static_cast<size_t>(j)]; n > 0; --n) {
      while (wrapped_[part].Count() == 0) ++part;
      Emit(wrapped_[part].ReleaseFirst(), displayOut);
    }
  }
  // The display lines hold what the source lines' texts are still needed for.
  annotated_.Clear();

  const bool inputLeft = html_ ? htmlLines_.Count() > 0
                               : nextLine_ < static_cast<int32_t>(text_.Count());
  if (inputLeft) return true;
  if (skipEmpty_) WriteEmptyLinesBefore(static_cast<int32_t>(text_.Count()), displayOut);
  if (held_) {
    Final(std::move(*held_), displayOut);
    held_.reset();
  }
  if (ruby_) {
    // A centred page that runs to the end of the book.
    const int32_t before = displayOut.Count();
    pageBreaks_.Finish(displayOut);
    written_ += displayOut.Count() - before;
  }
  done_ = true;
  return false;
}

void TLayoutJob::WriteEmptyLinesBefore(int32_t end, TLines& out) {
  for (; unwritten_ < end; ++unwritten_) {
    if (!text_[static_cast<size_t>(unwritten_)].empty()) continue;
    TLine line;
    line.SourceIndex = unwritten_;
    Emit(std::move(line), out);
  }
}

void TLayoutJob::Emit(TLine&& line, TLines& out) {
  // Every document: pictures come from figure annotations too, and
  // headings, bold or side-lined runs of text wrap like HTML styles.
  images_.Push(std::move(line), scratch_);
  while (scratch_.Count() > 0) {
    TLine next = scratch_.ReleaseFirst();
    // A line is final once the next one exists: an open style span is
    // closed at its end and opened again on the next.
    if (held_) {
      BalanceStyleTags(*held_, next);
      Final(std::move(*held_), out);
    }
    held_ = std::move(next);
  }
}

void TLayoutJob::Final(TLine&& line, TLines& out) {
  if (ruby_) {
    const int32_t before = out.Count();
    pageBreaks_.Push(std::move(line), out);
    written_ += out.Count() - before;
  } else {
    out.Append(std::move(line));
    ++written_;
  }
}

}  // namespace rpv
