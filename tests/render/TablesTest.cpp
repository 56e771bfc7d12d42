#include <gtest/gtest.h>

#include "render/cbcClasses.h"

using namespace rpv;

TEST(LineTable, AddInsertDeleteAndOutOfRangeIndexes) {
  TLines lines;
  lines.Clear();  // harmless on an empty table
  EXPECT_EQ(lines.Count(), 0);
  EXPECT_EQ(lines.Item(0), nullptr);

  EXPECT_EQ(lines.Add(), 0);
  EXPECT_EQ(lines.Add(), 1);
  const TLine* fresh = lines.Item(1);
  ASSERT_NE(fresh, nullptr);
  EXPECT_TRUE(fresh->Text.empty());
  EXPECT_EQ(fresh->SourceIndex, 0);
  EXPECT_EQ(fresh->Align, 0);
  EXPECT_EQ(fresh->Indent, 0);

  lines.Item(0)->Text = "first";
  lines.Item(1)->Text = "second";
  TLine& inserted = lines.Insert(1);
  inserted.Text = "between";
  EXPECT_EQ(lines.Item(2)->Text, "second");
  EXPECT_EQ(lines.Item(1)->Text, "between");
  lines.Insert(99).Text = "appended";
  lines.Insert(-3).Text = "front";
  ASSERT_EQ(lines.Count(), 5);
  EXPECT_EQ(lines.Item(0)->Text, "front");
  EXPECT_EQ(lines.Item(4)->Text, "appended");

  EXPECT_EQ(lines.Item(-1), nullptr);
  EXPECT_EQ(lines.Item(5), nullptr);
  lines.Delete(-1);
  lines.Delete(5);
  EXPECT_EQ(lines.Count(), 5);
  lines.Delete(0);
  EXPECT_EQ(lines.Count(), 4);
  EXPECT_EQ(lines.Item(0)->Text, "first");
  EXPECT_EQ(lines.Item(1)->Text, "between");
  EXPECT_EQ(lines.Item(2)->Text, "second");

  const TLines& view = lines;
  EXPECT_EQ(view.Item(1)->Text, "between");
  lines.Clear();
  EXPECT_EQ(lines.Count(), 0);
}

TEST(LinkTable, TargetAtUsesInclusiveEdgesAndTheFirstItemAdded) {
  TLinkItems links;
  EXPECT_EQ(links.TargetAt(0, 0), "");
  EXPECT_EQ(links.Add(10, 20, 30, 40, "a.html"), 0);
  EXPECT_EQ(links.Add(25, 35, 50, 60, "b.html#x"), 1);  // overlaps the first
  EXPECT_EQ(links.Count(), 2);
  // All four edges and corners belong to the rectangle.
  EXPECT_EQ(links.TargetAt(10, 20), "a.html");
  EXPECT_EQ(links.TargetAt(30, 40), "a.html");
  EXPECT_EQ(links.TargetAt(10, 40), "a.html");
  EXPECT_EQ(links.TargetAt(9, 20), "");
  EXPECT_EQ(links.TargetAt(10, 19), "");
  // In the overlap the item added first wins.
  EXPECT_EQ(links.TargetAt(28, 38), "a.html");
  EXPECT_EQ(links.TargetAt(31, 38), "b.html#x");
  EXPECT_EQ(links.TargetAt(50, 60), "b.html#x");
  EXPECT_EQ(links.TargetAt(51, 60), "");

  // The renderer stretches the last item as a link ends.
  links.Item(links.Count() - 1)->Bottom = 100;
  EXPECT_EQ(links.TargetAt(40, 100), "b.html#x");
  EXPECT_EQ(links.Item(-1), nullptr);
  EXPECT_EQ(links.Item(2), nullptr);
  links.Clear();
  EXPECT_EQ(links.TargetAt(20, 30), "");
  links.Clear();
}
