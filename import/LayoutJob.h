// Layout of a whole document, a batch of lines at a time: the file's lines
// (or the HTML converter's) become source lines, pass through the ruby and
// annotation converters, are cut into display lines, and the display lines
// through the picture, style-balancing and page-break passes. Only the
// display lines are handed out: they are slices of their source line's
// text that together keep all of it, so a source line is its display lines
// put together and is not kept a second time. Every pass that carries state
// from line to line (block indents, the page position, an open bold span)
// keeps it in the job, so the lines a batch hands out
// are final: the window can show the first page while the rest of the book
// is still being laid out, on another thread.
//
// Within a batch the paragraphs are converted and wrapped in parallel:
// wrapping one source line depends on no other, each thread writes its own
// table, and the tables are joined in order, so the result is the same for
// any number of threads and any batch size.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "import/HtmlConvert.h"
#include "import/LineBreaker.h"
#include "import/LineBuilder.h"
#include "import/TextConvert.h"
#include "import/WorkerPool.h"
#include "render/cbcClasses.h"

namespace rpv {

class TSourceText;

// What a layout depends on besides the text, copied from the document so
// that the job needs nothing of it while it runs.
struct TLayoutSettings {
  TInfo Style;
  bool IsHtml = false;          // and the style analyses HTML tags
  bool DeleteBlankLines = false;
  std::string FileDir;          // for relative picture paths of HTML
  std::string FileName;
};

class TLayoutJob {
 public:
  // The text is read, never changed, and must outlive the job. threads
  // counts the calling thread; 0 takes TWorkerPool::DefaultThreads().
  TLayoutJob(const TSourceText& text, const TLayoutSettings& settings, int threads = 0);
  ~TLayoutJob();
  TLayoutJob(const TLayoutJob&) = delete;
  TLayoutJob& operator=(const TLayoutJob&) = delete;

  // Lays out about `lines` more lines of the input (all that are left when
  // fewer; at least one) and appends the display lines that are now final
  // to the table. Returns false once the whole document is laid out (the
  // last lines included).
  bool Step(int32_t lines, TLines& displayOut);
  bool Done() const { return done_; }
  // Display lines handed out so far.
  int64_t DisplayLinesWritten() const { return written_; }
  // The share of the input laid out, 0 to 1.
  double Progress() const;
  // The title and named anchors of an HTML document (known from the start).
  const std::string& Title() const { return title_; }
  const std::vector<TAnchor>& Anchors() const { return anchors_; }
  // Pages of a finished table of `displayLines` lines.
  static int32_t PagesFor(int64_t displayLines, const TInfo& style);

 private:
  // Moves the next raw source lines into batch_; false when none are left.
  void TakeInput(int32_t lines);
  // A display line through the picture, style and page-break passes.
  void Emit(TLine&& line, TLines& out);
  void Final(TLine&& line, TLines& out);
  // The empty file lines before `end` that have no source line.
  void WriteEmptyLinesBefore(int32_t end, TLines& out);
  // Runs part(k, begin, end) over the batch cut into contiguous parts.
  template <class Part>
  void ForParts(int32_t count, Part part);

  const TSourceText& text_;
  const TLayoutSettings settings_;
  const bool html_;
  const bool ruby_;
  const bool skipEmpty_;
  TWorkerPool pool_;
  std::vector<std::unique_ptr<TLineBreaker>> breakers_;  // one per part
  std::vector<TLines> wrapped_;                          // one per part
  std::vector<TLineTextPack> packs_;                     // one per part
  std::vector<int32_t> wrappedCounts_;                   // per batch line
  std::vector<TAnnotationPass::TPrepared> prepared_;     // per batch line

  TLines htmlLines_;        // the HTML converter's lines not yet taken
  int32_t htmlTotal_ = 0;
  int32_t nextLine_ = 0;     // the next file line (text documents)
  int32_t unwritten_ = 0;    // the first file line whose empty lines are still to come
  TBlankLineFilter blanks_;
  TAnnotationPass annotations_;
  TImagePass images_;
  TPageBreakPass pageBreaks_;
  TLines batch_;
  TLines annotated_;
  TLines scratch_;
  std::optional<TLine> held_;  // the last line, until the next balances it
  int64_t written_ = 0;
  bool done_ = false;
  std::string title_;
  std::vector<TAnchor> anchors_;
};

}  // namespace rpv
