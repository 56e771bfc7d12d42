#include "bookmarks/BookMarkMenu.h"

#include <algorithm>

namespace rpv {

std::vector<TBookMarkMenuEntry> BookMarkMenuEntries(const TBookMarks& marks, int type) {
  std::vector<TBookMarkMenuEntry> entries;
  if (type == 0) {
    for (int i = 0; i < marks.Count(); ++i)
      if (marks.Items(i)->Visible) entries.push_back({i, {}});
    return entries;
  }
  TMenuItems groups;
  groups.GroupByFile(marks);
  entries.reserve(static_cast<size_t>(groups.Count()));
  for (int g = 0; g < groups.Count(); ++g) {
    const TSubItem& group = *groups.Items(g);
    TBookMarkMenuEntry entry{group.BookMarkIndex, {}};
    if (group.Indexes.size() >= 2) {
      entry.Members.reserve(group.Indexes.size());
      for (const std::string& index : group.Indexes) entry.Members.push_back(std::stoi(index));
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

TMenuSplit SplitMenuRun(TMenuRun run) {
  TMenuSplit split;
  split.Direct = {run.First, std::min(run.Count, kMenuDirectItems)};
  const size_t rest = run.Count - split.Direct.Count;
  if (rest == 0) return split;
  // Submenus of kMenuDirectItems x kMenuMaxSubmenus^k entries: few enough
  // to fit one menu, each opening into the same shape one level smaller.
  size_t size = kMenuDirectItems;
  while ((rest + size - 1) / size > kMenuMaxSubmenus) size *= kMenuMaxSubmenus;
  const size_t first = run.First + split.Direct.Count;
  for (size_t offset = 0; offset < rest; offset += size)
    split.Submenus.push_back({first + offset, std::min(size, rest - offset)});
  return split;
}

std::string MenuRunCaption(const TMenuRun& run) {
  return std::to_string(run.First + 1) + " - " + std::to_string(run.First + run.Count);
}

}  // namespace rpv
