#include "bookmarks/BookMarkManager.h"

#include "platform/Codepage.h"

namespace rpv {

std::vector<std::string> BookMarkColumnTitles() {
  std::vector<std::string> titles;
  for (const char* title : {"ファイル名", "しおり", "日時", "コメント", "表示", "フルパス"})
    titles.push_back(Utf8ToCp932(title));
  return titles;
}

std::string BookMarkCellText(const TBookMark& mark, int column) {
  switch (column) {
    case 0: return mark.ShortName();
    case 1: return std::to_string(mark.Line);
    case 2: return mark.DateTime;
    case 3: return mark.Comment;
    case 4: return mark.Visible ? "True" : "False";
    case 5: return mark.FullPath;
    default: return {};
  }
}

std::optional<TRowBlock> ValidBlock(const TBookMarks& marks, TRowBlock block) {
  if (block.Top < 0 || block.Top > block.Bottom || block.Bottom >= marks.Count())
    return std::nullopt;
  return block;
}

void SetBlockVisible(TBookMarks& marks, TRowBlock block, bool visible) {
  if (!ValidBlock(marks, block)) return;
  for (int i = block.Top; i <= block.Bottom; ++i) marks.Items(i)->Visible = visible;
}

std::optional<TRowBlock> MoveBlockUp(TBookMarks& marks, TRowBlock block) {
  if (marks.Count() < 2 || !ValidBlock(marks, block) || block.Top < 1) return std::nullopt;
  marks.Move(block.Bottom + 1, block.Top - 1);
  return TRowBlock{block.Top - 1, block.Bottom - 1};
}

std::optional<TRowBlock> MoveBlockDown(TBookMarks& marks, TRowBlock block) {
  if (marks.Count() < 2 || !ValidBlock(marks, block) || block.Bottom + 1 >= marks.Count())
    return std::nullopt;
  marks.Move(block.Top, block.Bottom + 1);
  return TRowBlock{block.Top + 1, block.Bottom + 1};
}

void DeleteBlock(TBookMarks& marks, TRowBlock block) {
  // One removal of the whole block: what deleting row by row from the
  // bottom up leaves, without moving the rows below once per deleted row.
  if (ValidBlock(marks, block)) marks.DeleteRange(block.Top, block.Bottom);
}

}  // namespace rpv
