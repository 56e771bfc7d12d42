// The Qt-free rules behind the しおり menu and the manager: what each menu
// form lists, how long lists spread over submenus, and the block commands.
#include <gtest/gtest.h>

#include "bookmarks/BookMarkManager.h"
#include "bookmarks/BookMarkMenu.h"

using namespace rpv;

namespace {

// Bookmarks named by their paths; a path starting with '-' is hidden.
TBookMarks Store(std::initializer_list<const char*> paths) {
  TBookMarks marks;
  for (const char* p : paths) {
    TBookMark* m = marks.Items(marks.Add());
    m->Visible = p[0] != '-';
    m->FullPath = m->Visible ? p : p + 1;
  }
  return marks;
}

std::string Order(const TBookMarks& marks) {
  std::string out;
  for (int i = 0; i < marks.Count(); ++i) out += marks.Items(i)->FullPath;
  return out;
}

}  // namespace

TEST(BookMarkMenu, BothFormsListVisibleBookmarksOnly) {
  const TBookMarks marks = Store({"a", "b", "-a", "b", "c", "-d", "b"});
  EXPECT_EQ(BookMarkMenuEntries(marks, 0),
            (std::vector<TBookMarkMenuEntry>{{0, {}}, {1, {}}, {3, {}}, {4, {}}, {6, {}}}));
  // Per file: a (one visible, the hidden one is no member) opens directly;
  // b (three) gets a submenu; the hidden d has no entry at all.
  EXPECT_EQ(BookMarkMenuEntries(marks, 1),
            (std::vector<TBookMarkMenuEntry>{{0, {}}, {1, {1, 3, 6}}, {4, {}}}));
  EXPECT_TRUE(BookMarkMenuEntries(Store({"-a", "-b"}), 0).empty());
  EXPECT_TRUE(BookMarkMenuEntries(Store({"-a", "-b"}), 2).empty());
}

TEST(BookMarkMenu, LongListsSpreadOverSubmenusOfBoundedSize) {
  const TMenuSplit small = SplitMenuRun({0, kMenuDirectItems});
  EXPECT_EQ(small.Direct, (TMenuRun{0, kMenuDirectItems}));
  EXPECT_TRUE(small.Submenus.empty());

  const TMenuSplit next = SplitMenuRun({0, kMenuDirectItems + 3});
  ASSERT_EQ(next.Submenus.size(), 1u);
  EXPECT_EQ(next.Submenus[0], (TMenuRun{kMenuDirectItems, 3}));
  EXPECT_EQ(MenuRunCaption(next.Submenus[0]), "26 - 28");

  // 100,000 entries: every menu on the way stays small, every entry is
  // reached exactly once, and the way down is short.
  size_t reached = 0;
  size_t deepest = 0;
  const auto walk = [&](auto&& self, TMenuRun run, size_t depth, size_t expectFirst) -> void {
    const TMenuSplit split = SplitMenuRun(run);
    ASSERT_LE(split.Direct.Count + split.Submenus.size(), kMenuDirectItems + kMenuMaxSubmenus);
    ASSERT_EQ(split.Direct.First, expectFirst);
    reached += split.Direct.Count;
    deepest = std::max(deepest, depth);
    size_t first = split.Direct.First + split.Direct.Count;
    for (const TMenuRun& sub : split.Submenus) {
      ASSERT_EQ(sub.First, first);
      self(self, sub, depth + 1, first);
      first += sub.Count;
    }
    ASSERT_EQ(first, run.First + run.Count);
  };
  walk(walk, {0, 100000}, 0, 0);
  EXPECT_EQ(reached, 100000u);
  EXPECT_LE(deepest, 5u);
}

TEST(BookMarkManager, MovingABlockTakesTheSelectionAlong) {
  TBookMarks marks = Store({"P", "Q", "R", "S"});
  // Rows 2-3 up: Q R P S, rows 1-2 selected.
  EXPECT_EQ(MoveBlockUp(marks, {1, 2}), (TRowBlock{0, 1}));
  EXPECT_EQ(Order(marks), "QRPS");
  // Rows 1-2 of P Q R S down: R P Q S, rows 2-3 selected.
  marks = Store({"P", "Q", "R", "S"});
  EXPECT_EQ(MoveBlockDown(marks, {0, 1}), (TRowBlock{1, 2}));
  EXPECT_EQ(Order(marks), "RPQS");
  // Up with the first bookmark in the block, down with the last, a single
  // bookmark, or a block outside the store: nothing.
  EXPECT_FALSE(MoveBlockUp(marks, {0, 2}));
  EXPECT_FALSE(MoveBlockDown(marks, {2, 3}));
  EXPECT_FALSE(MoveBlockDown(marks, {3, 4}));
  EXPECT_FALSE(MoveBlockUp(marks, {2, 1}));
  EXPECT_EQ(Order(marks), "RPQS");
  TBookMarks one = Store({"P"});
  EXPECT_FALSE(MoveBlockDown(one, {0, 0}));
  // A single row travels the whole list and back.
  marks = Store({"P", "Q", "R", "S"});
  TRowBlock at{0, 0};
  while (auto moved = MoveBlockDown(marks, at)) at = *moved;
  EXPECT_EQ(at, (TRowBlock{3, 3}));
  EXPECT_EQ(Order(marks), "QRSP");
}

TEST(BookMarkManager, DeleteAndVisibilityActOnTheWholeBlock) {
  TBookMarks marks = Store({"P", "Q", "R", "S", "T"});
  SetBlockVisible(marks, {1, 3}, false);
  EXPECT_EQ(BookMarkCellText(*marks.Items(0), 4), "True");
  EXPECT_EQ(BookMarkCellText(*marks.Items(3), 4), "False");
  EXPECT_TRUE(marks.Items(4)->Visible);
  DeleteBlock(marks, {1, 3});
  EXPECT_EQ(Order(marks), "PT");
  DeleteBlock(marks, {1, 5});  // beyond the end: nothing
  EXPECT_EQ(Order(marks), "PT");
  DeleteBlock(marks, {0, 1});
  EXPECT_EQ(marks.Count(), 0);
}
