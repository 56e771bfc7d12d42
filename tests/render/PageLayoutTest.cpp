// Where things land on the page: margins, header and footer, ruby, links,
// tate-chu-yoko, the empty-document page, pictures and rules.
#include "tests/render/PageTestUtil.h"

#include "platform/Picture.h"
#include "platform/PngWriter.h"
#include "render/class/BMPTools.h"

namespace rpv::testing {
namespace {

class PageLayoutTest : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    const auto sample = ReadWholeFile(RPV_SOURCE_DIR "/samples/sample.sjis.txt");
    ASSERT_TRUE(sample.has_value());
    WriteBytes("sample.txt", *sample);
    WriteText("one.txt", "あ\n");
  }
};

TEST_F(PageLayoutTest, NothingIsInkedInTheMargins) {
  struct Case {
    const char* name;
    std::function<void(TInfo&)> edit;
  };
  const std::vector<Case> cases = {
      {"Vertical", {}},
      {"VerticalAA3Columns", [](TInfo& s) { s.AntiAliasing = 2; s.ColumnCount = 3; s.ColumnSpace = 12; }},
      {"VerticalRight", [](TInfo& s) { s.bytHeader = 3; s.bytFooter = 3; s.BetweenChar = 3; }},
      // No header band: the first line's ruby must still stay off the top margin.
      {"HorizontalNoHeader", [](TInfo& s) { s.Direction = 0; s.bytHeader = 0; s.FontName = "MS"; }},
      {"Horizontal2ColumnsAA", [](TInfo& s) {
         s.Direction = 0; s.ColumnCount = 2; s.ColumnSpace = 16; s.AntiAliasing = 2; s.bytFooter = 3;
       }},
  };
  for (const Case& c : cases) {
    WriteStyle(c.name, c.edit);
    auto book = Open(c.name, 640, 420, "sample.txt");
    const TInfo& s = book->Style;
    for (int page = 0; page < book->PageCount; ++page) {
      book->DrawPage(page * book->LinesPerPage());
      SCOPED_TRACE(std::string(c.name) + " page " + std::to_string(page + 1));
      EXPECT_TRUE(InkOf(*book, 0, 0, s.PageMarginLeft, 420).Empty());
      EXPECT_TRUE(InkOf(*book, 640 - s.PageMarginRight, 0, 640, 420).Empty());
      EXPECT_TRUE(InkOf(*book, 0, 0, 640, s.PageMarginTop).Empty());
      EXPECT_TRUE(InkOf(*book, 0, 420 - s.PageMarginBottom, 640, 420).Empty());
      // Something was drawn at all.
      EXPECT_GT(InkOf(*book, 0, 0, 640, 420).Count, 100);
    }
  }
}

TEST_F(PageLayoutTest, HeaderAndFooterStandInTheirBandsAndCountPages) {
  for (const auto& [vertical, columns] : {std::pair{true, 2}, {false, 2}, {true, 3}, {false, 3}}) {
    SCOPED_TRACE(std::string(vertical ? "vertical, " : "horizontal, ") + std::to_string(columns));
    WriteStyle("S", [&](TInfo& s) {
      if (!vertical) { s.Direction = 0; s.FontName = "MS"; }
      s.ColumnCount = static_cast<uint8_t>(columns);
      s.ColumnSpace = 10;
      s.bytHeader = 2;                   // centre
      s.bytFooter = 3;                   // right
      s.strHeader = "HEAD %p";
      s.strFooter = "%p/%P";
    });
    auto book = Open("S", 640, 420, "sample.txt");
    const TInfo& s = book->Style;
    ASSERT_GE(book->PageCount, 3);
    const int fp = s.FontPixels();
    const int footerTop =
        vertical ? s.PageMarginTop + s.HeaderHeight() +
                       (s.TextAreaHeight() + s.HangReserve()) * s.Columns() + s.ColumnSpace * (s.Columns() - 1)
                 : s.PageMarginTop + s.HeaderHeight() + s.TextAreaHeight() + s.RubyBandHeight();
    EXPECT_EQ(footerTop, 420 - s.PageMarginBottom - s.FooterHeight());
    for (int page = 0; page < 3; ++page) {
      const TPageRecorder rec = Record(*book, page * book->LinesPerPage());
      const auto head = rec.Of(TDrawKind::Header);
      const auto foot = rec.Of(TDrawKind::Footer);
      ASSERT_EQ(head.size(), 1u);
      ASSERT_EQ(foot.size(), 1u);
      // Pages are counted, not columns.
      EXPECT_EQ(head[0].Text, "HEAD " + std::to_string(page + 1));
      EXPECT_EQ(foot[0].Text, std::to_string(page + 1) + "/" + std::to_string(book->PageCount));
      // Upright text, one cell high, at the top of its band: the header
      // centred between the margins, the footer against the right margin.
      for (const TDrawRecord& r : {head[0], foot[0]}) {
        EXPECT_EQ(r.Role, TFontRole::Upright);
        EXPECT_EQ(r.Orientation, TOrientation::Horizontal);
        EXPECT_EQ(r.Box.Bottom - r.Box.Top, fp);
      }
      EXPECT_EQ(head[0].Box.Top, s.PageMarginTop);
      EXPECT_NEAR(head[0].Box.Left + head[0].Box.Right, 2 * s.PageMarginLeft + 640 - s.PageMarginLeft - s.PageMarginRight, 1);
      EXPECT_EQ(foot[0].Box.Top, footerTop);
      EXPECT_EQ(foot[0].Box.Right, 640 - s.PageMarginRight);
    }
  }
}

TEST_F(PageLayoutTest, RubyStandsInTheGapBesideItsBaseAndWrapsToTheNextLine) {
  WriteStyle("V");
  auto book = Open("V", 600, 400, "one.txt");
  const TInfo& s = book->Style;
  const int fp = s.FontPixels(), rp = s.RubyPixels(), pitch = s.LinePitch();
  const int x0 = 600 - s.PageMarginRight - s.WidthReserve();
  const int top = s.PageMarginTop + s.HeaderHeight();
  const int end = top + s.LineLength();
  // Line 0: a two-character base under a three-character reading. Line 1:
  // a base at the very end of the line whose reading does not fit.
  const int fill = s.LineLength() / fp - 1;
  std::string longLine;
  for (int k = 0; k < fill; ++k) longLine += "あ";
  SetLines(*book, {"{H\\B}かんじ{B_M}漢字{B\\E}漢字です", longLine + "{H\\B}ながいながいよみ{B_M}字{B\\E}字", "い"});
  const TPageRecorder rec = Record(*book, 0);

  const auto ruby = rec.Of(TDrawKind::Ruby, 0);
  ASSERT_EQ(ruby.size(), 1u);
  EXPECT_EQ(Cp932ToUtf8(ruby[0].Text), "かんじ");
  EXPECT_EQ(ruby[0].Role, TFontRole::Ruby);
  // The base's copy in the line is drawn in the cells the reading is placed by.
  EXPECT_EQ(Cp932ToUtf8(ruby[0].Base), "漢字");
  EXPECT_EQ(ruby[0].BaseBox, (TRect{x0 - fp, top, x0, top + 2 * fp}));
  const auto text = rec.Of(TDrawKind::Text, 0);
  ASSERT_EQ(text.size(), 4u);
  EXPECT_EQ(Cp932ToUtf8(text[0].Text + text[1].Text), "漢字");
  EXPECT_EQ(text[0].Box, (TRect{x0 - fp, top, x0, top + fp}));
  EXPECT_EQ(text[1].Box.Bottom, top + 2 * fp);
  // The reading stands in the gap right of the cells, centred on its base
  // (3 x 12 px beside 2 x 22 px).
  const int from = top + (2 * fp - 3 * rp) / 2;
  EXPECT_EQ(ruby[0].Box, (TRect{x0, from, x0 + rp, from + 3 * rp}));
  // Nothing stands right of the ruby cells but the page's header.
  for (const TDrawRecord& r : rec.Records) {
    if (r.Kind != TDrawKind::Fill && r.Kind != TDrawKind::Header) {
      EXPECT_LE(r.Box.Right, x0 + rp);
    }
  }

  // Line 1's reading: what fits (up to one ruby character past the line
  // end) stands beside the end of its line, the rest at the head of line 2
  // (beside "い"), in the same gap.
  const int x1 = x0 - pitch;
  const int x2 = x1 - pitch;
  const auto beside = rec.Of(TDrawKind::Ruby, 1);
  const auto rest = rec.Of(TDrawKind::Ruby, 2);
  ASSERT_EQ(beside.size(), 1u);
  ASSERT_EQ(rest.size(), 1u);
  EXPECT_FALSE(beside[0].Continued);
  EXPECT_TRUE(rest[0].Continued);
  EXPECT_EQ(Cp932ToUtf8(beside[0].Text + rest[0].Text), "ながいながいよみ");
  EXPECT_FALSE(beside[0].Text.empty());
  EXPECT_EQ(beside[0].Box.Left, x1);
  EXPECT_LE(beside[0].Box.Bottom, end + rp);
  EXPECT_GT(beside[0].Box.Bottom + rp, end);
  EXPECT_EQ(rest[0].Box.Left, x2);
  EXPECT_EQ(rest[0].Box.Top, top);

  // Horizontal: the reading hangs above its line, centred on its base.
  WriteStyle("H", [](TInfo& st) { st.Direction = 0; st.FontName = "MS"; });
  auto h = Open("H", 600, 400, "one.txt");
  SetLines(*h, {"{H\\B}かんじ{B_M}漢字{B\\E}漢字です"});
  const TInfo& hs = h->Style;
  const int y0 = hs.PageMarginTop + hs.HeaderHeight() + hs.RubyBandHeight();
  const auto above = Record(*h, 0).Of(TDrawKind::Ruby, 0);
  ASSERT_EQ(above.size(), 1u);
  EXPECT_EQ(above[0].Orientation, TOrientation::Horizontal);
  EXPECT_EQ(above[0].Box.Bottom, y0);
  EXPECT_EQ(above[0].BaseBox.Left, hs.PageMarginLeft);
  EXPECT_NEAR(above[0].Box.Left + above[0].Box.Right, above[0].BaseBox.Left + above[0].BaseBox.Right, 1);
  EXPECT_GE(above[0].Box.Top, hs.PageMarginTop + hs.HeaderHeight());
}

TEST_F(PageLayoutTest, LinksGetARectangleOnEveryLineTheyCover) {
  for (const bool vertical : {true, false}) {
    SCOPED_TRACE(vertical ? "vertical" : "horizontal");
    WriteStyle("S", [&](TInfo& s) {
      if (!vertical) { s.Direction = 0; s.FontName = "MS"; }
      s.LinkColor = 0x00FF00;
    });
    auto book = Open("S", 600, 400, "one.txt");
    const TInfo& s = book->Style;
    SetLines(*book, {"あ{H\\A_S}a.html{A_S\\E}いい", "うう", "ええ{H\\A_C\\E}お", "{H\\A_S}b.html{A_S\\E}か{H\\A_C\\E}"});
    book->DrawPage(0);
    const int fp = s.FontPixels(), pitch = s.LinePitch();
    const int head = vertical ? s.PageMarginTop + s.HeaderHeight() : s.PageMarginLeft;
    ASSERT_EQ(book->Links.Count(), 4);
    for (int i = 0; i < 3; ++i) {
      const TLinkItem& r = *book->Links.Item(i);
      EXPECT_EQ(r.Target, "a.html");
      // Along the line: from the link's start (after "あ") or the line head,
      // to the line end or the link's end (after "ええ").
      const int from = vertical ? r.Top : r.Left;
      const int to = vertical ? r.Bottom : r.Right;
      EXPECT_EQ(from, i == 0 ? head + fp : head);
      EXPECT_EQ(to, i == 2 ? head + 2 * fp : head + s.LineLength());
      // A point in the middle of the line's second character hits it.
      const int along = head + fp + fp / 2;
      const int across = vertical ? 600 - s.PageMarginRight - s.WidthReserve() - pitch * i - fp / 2
                                  : s.PageMarginTop + s.HeaderHeight() + s.RubyBandHeight() + pitch * i + fp / 2;
      EXPECT_EQ(vertical ? book->Links.TargetAt(across, along) : book->Links.TargetAt(along, across), "a.html");
    }
    EXPECT_EQ(book->Links.Item(3)->Target, "b.html");
    // Before the link, and after its end, the page is not a link.
    const int across0 = vertical ? 600 - s.PageMarginRight - s.WidthReserve() - fp / 2
                                 : s.PageMarginTop + s.HeaderHeight() + s.RubyBandHeight() + fp / 2;
    const int before = head + fp / 2;
    EXPECT_EQ(vertical ? book->Links.TargetAt(across0, before) : book->Links.TargetAt(before, across0), "");
    // Link text is drawn in the link colour, the rest in the text colour.
    bool green = false;
    for (int y = 0; y < 400 && !green; ++y)
      for (int x = 0; x < 600 && !green; ++x) green = book->PageBitmap.Pixel(x, y) == 0x00FF00;
    EXPECT_TRUE(green);
  }
}

TEST_F(PageLayoutTest, ShortAsciiRunsStandUprightInOneCell) {
  WriteStyle("V");
  auto book = Open("V", 600, 400, "one.txt");
  const TInfo& s = book->Style;
  const int fp = s.FontPixels();
  const int x0 = 600 - s.PageMarginRight - s.WidthReserve();
  const int top = s.PageMarginTop + s.HeaderHeight();
  SetLines(*book, {"あ12い", "あ123い", "あ!?い", "あnaéい"});
  const TPageRecorder rec = Record(*book, 0);
  // "12" and "!?" are one upright run each, centred across the line in the
  // second cell; "い" follows in the third.
  for (int line : {0, 2}) {
    const auto text = rec.Of(TDrawKind::Text, line);
    ASSERT_EQ(text.size(), 3u);
    const int x = x0 - line * s.LinePitch();
    EXPECT_EQ(text[1].Text, line == 0 ? "12" : "!?");
    EXPECT_EQ(text[1].Role, TFontRole::Upright);
    EXPECT_EQ(text[1].Orientation, TOrientation::Horizontal);
    EXPECT_EQ(text[1].Box.Top, top + fp);
    EXPECT_NEAR(text[1].Box.Left + text[1].Box.Right, 2 * x - fp, 1);
    EXPECT_EQ(text[2].Box.Top, top + 2 * fp);
  }
  // "123" lies on its side, a character at a time in the body font, each
  // half a cell; "い" follows the last.
  const auto run = rec.Of(TDrawKind::Text, 1);
  ASSERT_EQ(run.size(), 5u);
  for (int k = 1; k <= 3; ++k) {
    EXPECT_EQ(run[k].Role, TFontRole::Body);
    EXPECT_EQ(run[k].Orientation, TOrientation::Vertical);
    EXPECT_EQ(run[k].Box.Top, run[k - 1].Box.Bottom);
    EXPECT_LT(run[k].Box.Bottom - run[k].Box.Top, fp);
  }
  EXPECT_EQ(run[4].Box.Top, run[3].Box.Bottom);
  // A Latin letter Shift_JIS lacks continues the ASCII run: "na" before it
  // is no upright pair, and the letter lies on its side, less than a cell.
  const auto latin = rec.Of(TDrawKind::Text, 3);
  ASSERT_EQ(latin.size(), 5u);
  for (int k = 1; k <= 3; ++k) {
    EXPECT_EQ(latin[k].Role, TFontRole::Body);
    EXPECT_LT(latin[k].Box.Bottom - latin[k].Box.Top, fp);
  }
}

TEST_F(PageLayoutTest, TurnedCharactersVoicedMarksAndStyleTags) {
  for (const bool tateYoko : {true, false}) {
    WriteStyle("V", [&](TInfo& s) { s.blnTateYoko = tateYoko; s.FontColor = 0xFFFFFF; });
    auto book = Open("V", 600, 400, "one.txt");
    const TInfo& s = book->Style;
    const int fp = s.FontPixels(), pitch = s.LinePitch();
    const int x0 = 600 - s.PageMarginRight - s.WidthReserve();
    const int top = s.PageMarginTop + s.HeaderHeight();
    SetLines(*book, {"あ：い", "か{H\\V}゛{V\\E}き",
                     "{H\\L\\E}一{H\\D\\E}一{H\\K}$000000ff{K\\E}一{H\\F\\E}一{H\\R\\E}口{H\\J\\E}口{H\\L\\E}"});
    book->DrawPage(0);
    // "：" in its cell: turned (two dots side by side across the line) or,
    // without tate-chu-yoko, set like any character (one dot above the other).
    const TInk colon = InkOf(*book, x0 - fp, top + fp, x0, top + 2 * fp);
    ASSERT_FALSE(colon.Empty());
    if (tateYoko) EXPECT_GT(colon.Right - colon.Left, colon.Bottom - colon.Top);
    else EXPECT_LT(colon.Right - colon.Left, colon.Bottom - colon.Top);
    if (!tateYoko) continue;
    // The voiced mark stands beside the cell of "か" toward the ruby side
    // and takes no room: "き" follows in the second cell.
    const int x1 = x0 - pitch;
    EXPECT_FALSE(InkOf(*book, x1, top, x1 + fp, top + fp).Empty());
    EXPECT_FALSE(InkOf(*book, x1 - fp, top + fp, x1, top + 2 * fp).Empty());
    EXPECT_TRUE(InkOf(*book, x1 - fp, top + 2 * fp, x1, top + 3 * fp).Empty());
    // Bold inks more than regular; the colour tag paints its text and the
    // colour goes back after "{H\F\E}"; strike-out adds its bar.
    const int x2 = x1 - pitch;
    auto cell = [&](int k) { return InkOf(*book, x2 - fp, top + k * fp, x2, top + (k + 1) * fp); };
    EXPECT_GT(cell(0).Count, cell(1).Count);
    bool red = false, white = false;
    for (int y = top + 2 * fp; y < top + 3 * fp; ++y)
      for (int x = x2 - fp; x < x2; ++x) red |= book->PageBitmap.Pixel(x, y) == 0x0000FF;
    for (int y = top + 3 * fp; y < top + 4 * fp; ++y)
      for (int x = x2 - fp; x < x2; ++x) white |= book->PageBitmap.Pixel(x, y) == 0xFFFFFF;
    EXPECT_TRUE(red);
    EXPECT_TRUE(white);
    EXPECT_GT(cell(4).Count, cell(5).Count);
    // A bold span left open at the end stays on for the next drawing.
    EXPECT_EQ(book->BodyFont.Weight, 700);
    EXPECT_EQ(book->UprightFont.Weight, 700);
  }
}

TEST_F(PageLayoutTest, TheEmptyPageShowsItsMessageCentred) {
  for (const bool vertical : {true, false}) {
    SCOPED_TRACE(vertical ? "vertical" : "horizontal");
    WriteStyle("S", [&](TInfo& s) {
      if (!vertical) { s.Direction = 0; s.FontName = "MS"; }
      s.AntiAliasing = 2;
    });
    auto book = Open("S", 640, 420);
    book->DrawPage(0);
    const TInk ink = InkOf(*book, 0, 0, 640, 420);
    ASSERT_FALSE(ink.Empty());
    EXPECT_NEAR(ink.CentreX(), 320, 3);
    EXPECT_NEAR(ink.CentreY(), 210, 3);
    const int across = vertical ? ink.Right - ink.Left : ink.Bottom - ink.Top;
    const int along = vertical ? ink.Bottom - ink.Top : ink.Right - ink.Left;
    EXPECT_GT(along, 8 * across);  // twelve characters in a row
    EXPECT_LE(across, book->Style.FontPixels());
    EXPECT_EQ(book->Links.Count(), 0);
  }
}

TEST_F(PageLayoutTest, ATiledBackgroundCoversThePage) {
  // A 7 x 5 picture of distinct colours, tiled over a page that is not a
  // whole number of tiles.
  TBitmap24 tile(7, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) tile.SetPixel(x, y, RGBColour(30 * x + 10, 40 * y + 20, 99));
  std::string bmp = "BM";
  auto put32 = [&](uint32_t v) { for (int k = 0; k < 4; ++k) bmp += static_cast<char>(v >> (8 * k)); };
  auto put16 = [&](uint16_t v) { bmp += static_cast<char>(v); bmp += static_cast<char>(v >> 8); };
  const uint32_t stride = 24, size = 54 + stride * 5;
  put32(size); put32(0); put32(54); put32(40); put32(7); put32(5); put16(1); put16(24);
  put32(0); put32(stride * 5); put32(2835); put32(2835); put32(0); put32(0);
  for (int y = 4; y >= 0; --y) bmp.append(reinterpret_cast<const char*>(tile.Row(y)), stride);
  WriteBytes("tile.bmp", bmp);
  WriteStyle("S", [&](TInfo& s) {
    s.blnBackGround = true;
    s.strBackGround = Path("tile.bmp");
    s.bytHeader = 0;
    s.bytFooter = 0;
  });
  WriteText("blank.txt", "\n\n");
  auto book = Open("S", 101, 67, "blank.txt");
  book->DrawPage(0);
  for (int y = 0; y < 67; ++y)
    for (int x = 0; x < 101; ++x) ASSERT_EQ(book->PageBitmap.Pixel(x, y), tile.Pixel(x % 7, y % 5)) << x << "," << y;
}

TEST_F(PageLayoutTest, PicturesRulesAndMissingPicturesDraw) {
  // A 40 x 30 picture drawn at 20 x 15 through the area-averaging scaler.
  TBitmap24 picture(40, 30);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) picture.SetPixel(x, y, (x / 4 + y / 3) % 2 ? 0x2040E0 : 0x10A010);
  std::string bmp = "BM";
  auto put32 = [&](uint32_t v) { for (int k = 0; k < 4; ++k) bmp += static_cast<char>(v >> (8 * k)); };
  auto put16 = [&](uint16_t v) { bmp += static_cast<char>(v); bmp += static_cast<char>(v >> 8); };
  put32(54 + 120 * 30); put32(0); put32(54); put32(40); put32(40); put32(30); put16(1); put16(24);
  put32(0); put32(120 * 30); put32(2835); put32(2835); put32(0); put32(0);
  for (int y = 29; y >= 0; --y) bmp.append(reinterpret_cast<const char*>(picture.Row(y)), 120);
  WriteBytes("pic.bmp", bmp);
  WriteStyle("V", [](TInfo& s) { s.BetweenChar = -40; });  // a rule step below zero
  auto book = Open("V", 600, 400, "one.txt");
  const TInfo& s = book->Style;
  const int x0 = 600 - s.PageMarginRight - s.WidthReserve();
  const int top = s.PageMarginTop + s.HeaderHeight();
  SetLines(*book, {"{H\\I}" + Cp932ToUtf8(Path("pic.bmp")) + "{I\\E}{I_MH}15{I_MH}{I_MW}20{I_MW}",
                   "{H\\I}" + Cp932ToUtf8(Path("gone.bmp")) + "{I\\E}{I_MH}15{I_MH}{I_MW}20{I_MW}",
                   "{H\\Y}―{Y\\E}",
                   // A size no line builder writes, typed into a text: drawn
                   // no larger than the page.
                   "{H\\I}" + Cp932ToUtf8(Path("pic.bmp")) + "{I\\E}{I_MH}999999999{I_MH}{I_MW}999999999{I_MW}"});
  book->DrawPage(0);  // the rule with a step below zero comes to an end
  const auto scaled = ScaleBitmap(picture, 20, 15);
  const auto expectPicture = [&] {
    for (int y = 0; y < 15; ++y)
      for (int x = 0; x < 20; ++x)
        ASSERT_EQ(book->PageBitmap.Pixel(x0 - 20 + x, top + y), scaled->Pixel(x, y)) << x << "," << y;
  };
  expectPicture();
  // The missing picture shows its name in brackets on its line.
  const int x1 = x0 - s.LinePitch();
  EXPECT_GT(InkOf(*book, x1 - s.FontPixels(), top, x1, top + 5 * s.FontPixels()).Count, 50);
  // The rule line drew its unit once.
  const int x2 = x1 - s.LinePitch();
  EXPECT_FALSE(InkOf(*book, x2 - s.FontPixels(), top, x2, top + s.FontPixels()).Empty());

  // The same picture as a PNG draws the same.
  std::string png;
  ASSERT_TRUE(EncodePng(picture, png));
  WriteBytes("pic.png", png);
  SetLines(*book, {"{H\\I}" + Cp932ToUtf8(Path("pic.png")) + "{I\\E}{I_MH}15{I_MH}{I_MW}20{I_MW}"});
  book->DrawPage(0);
  expectPicture();

  // With an ordinary step, a rule runs from the line head to the line end.
  WriteStyle("R", [](TInfo& st) { st.AntiAliasing = 2; });
  auto r = Open("R", 600, 400, "one.txt");
  SetLines(*r, {"{H\\Y}-{Y\\E}"});
  r->DrawPage(0);
  const TInk rule = InkOf(*r, 0, 0, 600, 400 - r->Style.PageMarginBottom - r->Style.FooterHeight());
  EXPECT_LT(rule.Top, top + r->Style.FontPixels());
  EXPECT_GT(rule.Bottom, top + r->Style.LineLength() - r->Style.FontPixels());
}

}  // namespace
}  // namespace rpv::testing
