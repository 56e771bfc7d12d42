// The しおり menu as data: which entries it lists below its fixed items (one
// per visible bookmark, or one per file), and how a long list is spread over
// submenus so that no menu outgrows the screen and a bm.csv of any size
// builds its menu at once (submenus are filled only when opened).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "bookmarks/rpvBookMark.h"

namespace rpv {

// One entry of the bookmark menu.
struct TBookMarkMenuEntry {
  // Store index of the bookmark the entry opens; for a group, its first one.
  int32_t Tag = 0;
  // A group of two or more bookmarks of one file: their store indexes in
  // store order (the entry opens a submenu of them). Empty otherwise.
  std::vector<int32_t> Members;

  bool operator==(const TBookMarkMenuEntry&) const = default;
};

// The entries of the menu: type 0 lists every visible bookmark in store
// order; any other type lists one entry per file (in order of the file's
// first visible bookmark), a file with a single bookmark opening it directly.
std::vector<TBookMarkMenuEntry> BookMarkMenuEntries(const TBookMarks& marks, int type);

// A run of menu entries: positions First .. First + Count - 1.
struct TMenuRun {
  size_t First = 0;
  size_t Count = 0;

  bool operator==(const TMenuRun&) const = default;
};

// How one menu shows a run of entries: the first ones as items, the rest in
// submenus, each holding a run that is split the same way when opened.
struct TMenuSplit {
  TMenuRun Direct;
  std::vector<TMenuRun> Submenus;
};

// Items shown directly in one menu, and the most submenus that follow them.
inline constexpr size_t kMenuDirectItems = 25;
inline constexpr size_t kMenuMaxSubmenus = 10;

TMenuSplit SplitMenuRun(TMenuRun run);
// The caption of a submenu of a run: its 1-based positions, "26 - 50".
std::string MenuRunCaption(const TMenuRun& run);

}  // namespace rpv
