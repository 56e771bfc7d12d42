// The rules of the bookmark manager, without widgets: what each grid column
// shows, and the commands on a block of selected rows (visibility, moving the
// block up or down with the selection following, deleting it). The Qt dialog
// (bookmarks/qt/) only maps rows and keys onto these.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "bookmarks/rpvBookMark.h"

namespace rpv {

// Column titles of the grid (CP932), "ファイル名" .. "フルパス".
std::vector<std::string> BookMarkColumnTitles();
inline constexpr int kBookMarkColumnCount = 6;
inline constexpr int kBookMarkCommentColumn = 3;
// The text of one cell: short name, line, date-time, comment, "True"/"False",
// full path.
std::string BookMarkCellText(const TBookMark& mark, int column);

// A block of selected rows as store indexes, Top <= Bottom.
struct TRowBlock {
  int Top = 0;
  int Bottom = 0;

  bool operator==(const TRowBlock&) const = default;
};

// The block when it lies inside the store, else nothing.
std::optional<TRowBlock> ValidBlock(const TBookMarks& marks, TRowBlock block);

// Shows or hides every bookmark of the block.
void SetBlockVisible(TBookMarks& marks, TRowBlock block, bool visible);
// The bookmark just above the block goes just below it. Returns the block's
// new place (one row up), or nothing when the block already starts at the
// first bookmark.
std::optional<TRowBlock> MoveBlockUp(TBookMarks& marks, TRowBlock block);
// The bookmark just below the block goes just above it. Returns the block's
// new place (one row down), or nothing when the block already ends at the
// last bookmark.
std::optional<TRowBlock> MoveBlockDown(TBookMarks& marks, TRowBlock block);
// Deletes the bookmarks of the block.
void DeleteBlock(TBookMarks& marks, TRowBlock block);

}  // namespace rpv
