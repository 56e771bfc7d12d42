// The page-break pass over the wrapped display lines. A line holding
// "［＃改丁］", "［＃改見開き］", "［＃改ページ］" or "［＃改段］" loses that
// annotation and empty lines are inserted before what follows until the
// next odd page (改丁, 改見開き), the next page or the next column starts;
// the line itself is removed when nothing else stands on it.
//
// "［＃ページの左右中央］" puts what follows it, up to the next break, on a
// page of its own, centred: empty lines are put before it so that the lines
// that are not blank stand in the middle of the page's first column. Text
// that does not fit in the column is left at the top.
#pragma once

#include <cstdint>
#include <vector>

#include "render/cbcTables.h"

namespace rpv {

class TInfo;

void ApplyPageBreaks(TLines& displayLines, const TInfo& style);
// The same with explicit measures (lines per column, columns per page).
void ApplyPageBreaks(TLines& displayLines, int linesPerColumn, int columnCount);

// The pass one display line at a time: the line, and the padding before
// what follows a break, are appended to `out`. It counts the lines it has
// written, so `out` may be emptied between calls (layout hands its lines on
// in batches). The lines of a centred page are held until its end is known:
// Finish writes what is still held at the end of the book.
class TPageBreakPass {
 public:
  TPageBreakPass(int linesPerColumn, int columnCount);
  void Push(TLine&& line, TLines& out);
  void Finish(TLines& out);

 private:
  void Write(TLine&& line, TLines& out);
  // Pads with empty lines up to the next multiple of `columns` columns.
  void PadTo(int64_t columns, int32_t sourceIndex, TLines& out);
  // Writes the held lines of a centred page, padded to the middle of the
  // room they had when `centre`.
  void ReleaseCentred(bool centre, TLines& out);

  int64_t linesPerColumn_;
  int columns_;
  int64_t written_ = 0;
  bool centring_ = false;
  int32_t centreSource_ = 0;  // the SourceIndex its padding carries
  std::vector<TLine> held_;
};

}  // namespace rpv
