#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "import/HtmlAnalysis.h"
#include "import/HtmlConvert.h"
#include "import/HtmlEntities.h"
#include "MarkupTestUtil.h"

using namespace rpv;
using namespace rpv::test;

namespace {

struct Converted {
  std::vector<std::string> texts;  // UTF-8
  std::string title;               // UTF-8
  TLines lines;
  std::vector<TAnchor> anchors;
};

Converted Convert(std::string_view utf8Html, const TInfo& style, std::string_view fileDir = "/nowhere/",
                  std::string_view fileName = "b.html") {
  Converted c;
  std::string title = "stale";
  ConvertHtml(style, fileDir, fileName, S(utf8Html), c.lines, c.anchors, title);
  c.texts = Texts(c.lines);
  c.title = U(title);
  return c;
}

Converted Convert(std::string_view utf8Html) { return Convert(utf8Html, Style96()); }

using V = std::vector<std::string>;

}  // namespace

TEST(ConvertHtml, LineBreaksAndBlocks) {
  EXPECT_EQ(Convert("a<br><br>b").texts, (V{"a", "", "b"}));
  // A slash right after the name is not a break; with a space before it is.
  EXPECT_EQ(Convert("a<br/>b<br />c").texts, (V{"ab", "c"}));
  EXPECT_EQ(Convert("<BR>x").texts, (V{"", "x"}));
  // An empty line takes the alignment instead of a new line being made.
  auto c = Convert("<p align=center>x</p>");
  EXPECT_EQ(c.texts, (V{"x", ""}));
  EXPECT_EQ(c.lines.Item(0)->Align, 2);
  EXPECT_EQ(c.lines.Item(1)->Align, 0);
  EXPECT_EQ(Convert("<p align=\"center\" class=\"c\">x").lines.Item(0)->Align, 2);
  // A bare value runs on to the ">": no centring.
  EXPECT_EQ(Convert("<p align=center class=c>x").lines.Item(0)->Align, 0);
  EXPECT_EQ(Convert("<div align='right'>x</div>").lines.Item(0)->Align, 1);
  EXPECT_EQ(Convert("<p align=\"Center\">x").lines.Item(0)->Align, 0);
  // Text then a block: a new line with the pending alignment.
  c = Convert("a<div align=right>b</div>c");
  EXPECT_EQ(c.texts, (V{"a", "b", "c"}));
  EXPECT_EQ(c.lines.Item(1)->Align, 1);
  EXPECT_EQ(c.lines.Item(2)->Align, 0);
  // Every line's SourceIndex is its own index.
  for (int i = 0; i < c.lines.Count(); ++i) EXPECT_EQ(c.lines.Item(i)->SourceIndex, i);
  // A centre block keeps centring every line it makes.
  c = Convert("<center>a<br>b</center>c");
  EXPECT_EQ(c.texts, (V{"a", "b", "c"}));
  EXPECT_EQ(c.lines.Item(1)->Align, 2);
  EXPECT_EQ(c.lines.Item(2)->Align, 0);
}

TEST(ConvertHtml, WhitespaceAndLineBreaksOfTheFile) {
  EXPECT_EQ(Convert("あ\r\nい").texts, (V{"あい"}));
  EXPECT_EQ(Convert("a\r\n   b").texts, (V{"ab"}));
  EXPECT_EQ(Convert("a \r\nb").texts, (V{"a b"}));
  EXPECT_EQ(Convert("a \t  b").texts, (V{"a b"}));
  // Between two tags a blank run vanishes; after a tag before text it stays.
  EXPECT_EQ(Convert("<b>x</b> <i>y</i>").texts, (V{"{H\\L\\E}x{H\\D\\E}{H\\IS\\E}y{H\\IE\\E}"}));
  EXPECT_EQ(Convert("<b>x</b> y").texts, (V{"{H\\L\\E}x{H\\D\\E} y"}));
  // A lone LF (not from a file split at CR LF) does not eat the next byte.
  EXPECT_EQ(Convert("a\nb\rc").texts, (V{"abc"}));
  // Preformatted: breaks make lines, blanks stay; its end is no block.
  EXPECT_EQ(Convert("<pre>a  b\r\n\tc</pre>d  e").texts, (V{"a  b", "\tcd e"}));
}

TEST(ConvertHtml, RubyFromRubyTags) {
  EXPECT_EQ(Convert("<ruby>漢<rp>(</rp><rt>かん</rt><rp>)</rp></ruby>").texts,
            (V{"{H\\W\\E}{H\\B}かん{B_M}漢{B\\E}漢{H\\W\\E}"}));
  // "</rt>" does not end the reading.
  EXPECT_EQ(Convert("<ruby>漢字<rt>かん</rt>じ</ruby>").texts, (V{"{H\\B}かんじ{B_M}漢字{B\\E}漢字"}));
  // A stray "</ruby>" repeats nothing.
  EXPECT_EQ(Convert("<ruby>漢<rt>かん</ruby></ruby>x").texts, (V{"{H\\W\\E}{H\\B}かん{B_M}漢{B\\E}漢{H\\W\\E}x"}));
  EXPECT_EQ(Convert("<ruby>漢</ruby>").texts, (V{"漢"}));
  // Tags inside the base stay whole even where counts would cut per character.
  EXPECT_EQ(Convert("<ruby><b>漢</b><rt>かんじかんじかんじかんじかんじかんじ</ruby>").texts,
            (V{"{H\\B}かんじかんじかんじかんじかんじかんじ{B_M}{H\\L\\E}漢{H\\D\\E}{B\\E}{H\\L\\E}漢{H\\D\\E}"}));
}

TEST(ConvertHtml, FontColours) {
  TInfo style = Style96();
  style.HtmlTag = kHtmlTagAnalyse | kHtmlTagFont;
  EXPECT_EQ(Convert("<font color=\"#FF0000\">r</font>", style).texts,
            (V{"{H\\K}$000000FF{K\\E}r{H\\F\\E}"}));
  EXPECT_EQ(Convert("<font color=\"Red\">r</font>", style).texts, (V{"r{H\\F\\E}"}));
  EXPECT_EQ(Convert("<font color=blue>x<font color=fuchsia><font color=red><font color=yellow>"
                    "<font color=skyblue><font size=3>",
                    style)
                .texts,
            (V{"{H\\K}$00ff0000{K\\E}x{H\\K}$00ff00ff{K\\E}{H\\K}$000000ff{K\\E}"
               "{H\\K}$0000ffff{K\\E}{H\\K}$00ebce87{K\\E}"}));
  EXPECT_EQ(Convert("<font color=\"#GG0000\">x", style).texts, (V{"x"}));
  // Text in the background colour (black) would vanish: it gets FontColor.
  EXPECT_EQ(Convert("<font color=\"#000000\">x", style).texts, (V{"{H\\K}clWhite{K\\E}x"}));
  // ...unless the BODY tag may change the background.
  style.SetHtmlTag(kHtmlTagBody, true);
  EXPECT_EQ(Convert("<font color=\"#000000\">x", style).texts, (V{"{H\\K}$00000000{K\\E}x"}));
  // Without the FONT bit the tags are dropped.
  style.SetHtmlTag(kHtmlTagFont, false);
  EXPECT_EQ(Convert("<font color=red>x</font>", style).texts, (V{"x"}));
}

TEST(ConvertHtml, LinksAnchorsAreasAndFrames) {
  auto c = Convert("<a href=\"#s2\">go</a><a name=\"top\">t</a>");
  EXPECT_EQ(c.texts, (V{"{H\\A_S}b.html#s2{A_S\\E}go{H\\A_C\\E}t{H\\A_C\\E}"}));
  ASSERT_EQ(c.anchors.size(), 1u);
  EXPECT_EQ(c.anchors[0].Name, "top");
  EXPECT_EQ(c.anchors[0].SourceIndex, 0);
  // Every name of a line is kept, each with its line.
  c = Convert("x<area href=\"c.html\" shape=rect>y<area name=n2><a name=n3>z</a>");
  EXPECT_EQ(c.texts, (V{"x{H\\A_S}c.html{A_S\\E}c.html{H\\A_C\\E}", "yz{H\\A_C\\E}"}));
  ASSERT_EQ(c.anchors.size(), 2u);
  EXPECT_EQ(c.anchors[0].Name, "n2");
  EXPECT_EQ(c.anchors[1].Name, "n3");
  EXPECT_EQ(c.anchors[1].SourceIndex, 1);
  c = Convert("<frame name=\"menu\" src=\"m.html\"><frame src=\"t.html\">");
  EXPECT_EQ(c.texts, (V{"", "{H\\A_S}m.html{A_S\\E}menu{H\\A_C\\E}",
                        "{H\\A_S}t.html{A_S\\E}t.html{H\\A_C\\E}"}));
  // "hreflang" is not "href".
  EXPECT_EQ(Convert("<a hreflang=\"ja\" name=x>y").texts, (V{"y"}));
}

TEST(ConvertHtml, TitleFormsAndIgnoredContent) {
  auto c = Convert("<title>本</title>");
  EXPECT_EQ(c.title, "本");
  EXPECT_EQ(c.texts, (V{""}));
  EXPECT_EQ(Convert("<form>a<textarea>b</textarea>c</form>d").texts, (V{"d"}));
  EXPECT_EQ(Convert("<textarea>b</textarea>c<style>p{}</style>e").texts, (V{"ce"}));
  // Script content is shown as text.
  EXPECT_EQ(Convert("<script>var a;</script>").texts, (V{"var a;"}));
}

TEST(ConvertHtml, ImagesStandOnTheirOwnLines) {
  const TTempFolder temp("rpv_html_img_");
  const auto& dir = temp.Native();
  std::filesystem::create_directories(dir / "sub");
  for (const char* name : {"pic.jpg", "sub/p.BMP", "doc.txt"}) std::ofstream(dir / name) << "x";
  const std::string fileDir = dir.string() + "/";
  const TInfo style = Style96();
  auto c = Convert("a<img src=\"pic.jpg\">b", style, fileDir);
  EXPECT_EQ(c.texts, (V{"a", "{H\\I}" + fileDir + "pic.jpg{I\\E}", "b"}));
  c = Convert("<img src=sub/../sub/p.BMP>", style, fileDir);
  EXPECT_EQ(c.texts, (V{"{H\\I}" + fileDir + "sub/p.BMP{I\\E}", ""}));
  EXPECT_EQ(Convert("<img src=\"doc.txt\">", style, fileDir).texts, (V{"[doc.txt]", ""}));
  EXPECT_EQ(Convert("<img src=\"gone/x.jpg\">", style, fileDir).texts, (V{"[x.jpg]", ""}));
  EXPECT_EQ(Convert("<img src=\"HTTP://e.com/a.jpg\">", style, fileDir).texts,
            (V{"[HTTP://e.com/a.jpg]", ""}));
  // An absolute path that exists is taken as it is.
  c = Convert("<img src=\"" + fileDir + "pic.jpg\">", style, "/elsewhere/");
  EXPECT_EQ(c.texts[0], "{H\\I}" + fileDir + "pic.jpg{I\\E}");
  // Without the IMG bit the tag is dropped.
  TInfo noImages = style;
  noImages.SetHtmlTag(kHtmlTagImg, false);
  EXPECT_EQ(Convert("a<img src=\"pic.jpg\">b", noImages, fileDir).texts, (V{"ab"}));
}

TEST(ConvertHtml, EntitiesCommentsAndUnknownTags) {
  EXPECT_EQ(Convert("&lt;&gt;&quot;&amp;&nbsp;&times;&uarr;&copy;&foo;&LT;&").texts,
            (V{"<>\"& ×↑(C)&foo;&LT;&"}));
  {
    // Numeric references, also to characters Shift_JIS lacks; broken ones
    // stay text.
    const test::TTempFolder home("rpv_html_", test::TTempFolder::SetsHome);
    EXPECT_EQ(Convert("&#65;&#x42;&#8212;&#xE9;&#171;&#x1F600;&#160;").texts, (V{"AB―é«😀 "})) << "U+2014 is CP932's ―";
    EXPECT_EQ(Convert("&#65&#;&#x;&#0;&#xD800;&#x110000;&#99999999999;").texts,
              (V{"&#65&#;&#x;&#0;&#xD800;&#x110000;&#99999999999;"}));
  }
  EXPECT_EQ(Convert("a<!-- <br> -->b").texts, (V{"ab"}));
  // No end: only the "<" goes.
  EXPECT_EQ(Convert("a<!-- b").texts, (V{"a!-- b"}));
  EXPECT_EQ(Convert("<!DOCTYPE html><html><body>x</body></html>").texts, (V{"x"}));
  TInfo style = Style96();
  style.Test = true;
  EXPECT_EQ(Convert("<span>x</span>", style).texts, (V{"<span>x</span>"}));
  EXPECT_EQ(MatchEntity("&amp", 0).Length, 1u);
}

TEST(ConvertHtml, MalformedInputEndsAndKeepsText) {
  EXPECT_EQ(Convert("a<").texts, (V{"a"}));
  EXPECT_EQ(Convert("a<b").texts, (V{"a"}));
  EXPECT_EQ(Convert("a<p align=\"center").texts, (V{"a", ""}));
  EXPECT_EQ(Convert("<ruby>漢<rt>か").texts, (V{""}));
  EXPECT_EQ(Convert("").texts, (V{""}));
  // A broken lead byte never swallows the "<" after it.
  Converted c;
  std::string title;
  ConvertHtml(Style96(), "", "", "a\x83<br>b\x83", c.lines, c.anchors, title);
  EXPECT_EQ(c.lines.Count(), 2);
  EXPECT_EQ(c.lines.Item(0)->Text, "a\x83");
  // Random tag soup ends.
  std::mt19937 rng(7);
  const char* pieces[] = {"<", ">", "<br>", "<p align=", "\"", "'", "<!--", "-->", "&", "&amp;",
                          "<ruby>", "<rt>", "</ruby>", "<a href=#", "<img src=", "<pre>", "\r\n",
                          " ", "\x83", "x", "<font color=#", "</h1>", "<h2"};
  TInfo style = Style96();
  style.HtmlTag = 15;
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    for (int k = static_cast<int>(rng() % 25); k > 0; --k) text += pieces[rng() % std::size(pieces)];
    TLines lines;
    ConvertHtml(style, "/nowhere/", "f.html", text, lines, c.anchors, title);
    EXPECT_GE(lines.Count(), 1);
  }
}

TEST(ConvertHtml, DocumentWithEverySupportedTag) {
  TInfo style = Style96();
  style.HtmlTag = kHtmlTagAnalyse | kHtmlTagFont;
  const auto c = Convert(
      "<html><head><title>題名</title><style>p { color: red }</style></head>\r\n"
      "<body bgcolor=\"#000000\">\r\n"
      "<h1 align=\"center\">見出し</h1>\r\n"
      "<p>本文は<b>太字</b>と<strong>強調</strong>、<i>斜体</i>と<em>強調</em>、"
      "<s>取消</s>、<font color=\"#00FF00\">緑</font>。</p>\r\n"
      "<hr>\r\n"
      "<ul><li>一つ目</li><li>二つ目</li></ul>\r\n"
      "<table><tr><td>表</td><td>組</td></tr></table>\r\n"
      "<div align=\"right\">右寄せ</div>\r\n"
      "<center>中央</center>\r\n"
      "<p><a name=\"s1\">錨</a>と<a href=\"#s1\">リンク</a>と"
      "<ruby>漢<rp>(</rp><rt>かん</rt><rp>)</rp></ruby></p>\r\n"
      "<pre>整形  済み\r\n二行目</pre>\r\n"
      "<form>入力<textarea>欄</textarea></form>\r\n"
      "<dl><dt>語</dt><dd>説明</dd></dl>\r\n"
      "</body></html>\r\n",
      style);
  EXPECT_EQ(c.title, "題名");
  const V expected = {
      "{H\\L\\E}見出し{H\\D\\E}",
      "本文は{H\\L\\E}太字{H\\D\\E}と{H\\L\\E}強調{H\\D\\E}、{H\\IS\\E}斜体{H\\IE\\E}と"
      "{H\\IS\\E}強調{H\\IE\\E}、{H\\R\\E}取消{H\\J\\E}、{H\\K}$0000FF00{K\\E}緑{H\\F\\E}。",
      "{H\\Y}―{Y\\E}",
      "・一つ目",
      "・二つ目",
      "",  // "</table>" after "</td>" made a line that stays empty
      "表",
      "組",
      "",
      "右寄せ",
      "中央",
      "錨{H\\A_C\\E}と{H\\A_S}b.html#s1{A_S\\E}リンク{H\\A_C\\E}と{H\\W\\E}{H\\B}かん{B_M}漢{B\\E}漢{H\\W\\E}",
      "整形  済み",
      "二行目",
      // "dd" is no block tag, the form and its text area drop their text.
      "語説明",
  };
  EXPECT_EQ(c.texts, expected);
  EXPECT_EQ(c.lines.Item(0)->Align, 2);
  EXPECT_EQ(c.lines.Item(1)->Align, 0);
  EXPECT_EQ(c.lines.Item(9)->Align, 1);
  EXPECT_EQ(c.lines.Item(10)->Align, 2);
  EXPECT_EQ(c.lines.Item(11)->Align, 0);
  ASSERT_EQ(c.anchors.size(), 1u);
  EXPECT_EQ(c.anchors[0].Name, "s1");
  EXPECT_EQ(c.anchors[0].SourceIndex, 11);
}

TEST(HtmlAttributes, ReaderStepsOverOtherAttributes) {
  auto read = [](std::string_view tag, std::string_view name) {
    return ReadTagAttribute(tag, 0, name);
  };
  EXPECT_EQ(read("<img alt=\"src x\" src=\"a.jpg\">", "src"), "a.jpg");
  EXPECT_EQ(read("<img alt='a b' SRC = 'c.jpg'>", "src"), "c.jpg");
  EXPECT_EQ(read("<a hreflang=ja href=x.html>", "href"), "x.html");
  EXPECT_EQ(read("<td nowrap align=right>", "nowrap"), "");
  EXPECT_EQ(read("<td nowrap align=right>", "align"), "right");
  EXPECT_EQ(read("<p align=center class=x>", "align"), "center class=x");
  EXPECT_EQ(read("<p align=\"it's\">", "align"), "it");
  EXPECT_EQ(read("<p class=x>align=center", "align"), "");
  EXPECT_EQ(read("<p align=", "align"), "");
  EXPECT_EQ(read("<p align", "align"), "");
  EXPECT_EQ(read("<p", "align"), "");
  // A double-byte character whose trail byte is a letter is not a name.
  EXPECT_EQ(read(S("<p title=ア align=left>"), "align"), "left");
}

TEST(HtmlAttributes, BodyTagReaders) {
  const std::string html =
      "<html><head><title>Somebody</title></head><table><tbody></tbody></table>"
      "<BODY bgcolor=\"#102030\" TEXT='#FFFFFF' background=\"bg.jpg\" link=#0000ff>"
      "<td bgcolor=\"#ff0000\">";
  EXPECT_EQ(GetTagAttribute("BODY", "BGCOLOR", html), "#102030");
  EXPECT_EQ(GetTagColour("BODY", "BGCOLOR", html), 0x302010);
  EXPECT_EQ(GetTagColour("BODY", "TEXT", html), 0xFFFFFF);
  EXPECT_EQ(GetTagColour("BODY", "BACKGROUND", html), kColorNone);
  EXPECT_EQ(GetTagColour("BODY", "VLINK", html), kColorNone);
  EXPECT_EQ(GetTagColour("FRAMESET", "BGCOLOR", html), kColorNone);
  // Only the BODY tag's own attributes count, not a later cell's.
  EXPECT_EQ(GetTagColour("BODY", "BGCOLOR", "<body text=\"#000000\"><td bgcolor=\"#ff0000\">"),
            kColorNone);
  const THtmlBody body = ReadHtmlBody(html);
  EXPECT_EQ(body.Text, 0xFFFFFF);
  EXPECT_EQ(body.BgColor, 0x302010);
  EXPECT_EQ(body.Background, "bg.jpg");
  EXPECT_EQ(ReadHtmlBody("no body").BgColor, kColorNone);

  const TTempFolder temp("rpv_html_bg_");
  const auto& dir = temp.Native();
  std::ofstream(dir / "bg.jpg") << "x";
  std::ofstream(dir / "bg.png") << "x";
  std::ofstream(dir / "bg.gif") << "x";
  const std::string fileDir = dir.string() + "/";
  EXPECT_EQ(BodyBackgroundPath(fileDir, "bg.jpg"), fileDir + "bg.jpg");
  EXPECT_EQ(BodyBackgroundPath(fileDir, "bg.png"), fileDir + "bg.png");
  EXPECT_EQ(BodyBackgroundPath(fileDir, "bg.gif"), "");
  EXPECT_EQ(BodyBackgroundPath(fileDir, "none.jpg"), "");
  EXPECT_EQ(BodyBackgroundPath(fileDir, ""), "");
  EXPECT_EQ(FileNamePart("a/b\\c.jpg"), "c.jpg");
  // "表" ends in the byte 5C: not a separator.
  EXPECT_EQ(FileNamePart(S("d/表.jpg")), S("表.jpg"));
}
