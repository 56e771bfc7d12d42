// Bad input, again and again: a mutation loop over the text, HTML, picture
// and INI readers with a fixed seed and a short time budget, so every run of
// the suite tries a few thousand broken books, pictures and settings files.
// A reader may refuse an input; it must not crash, hang or trip a sanitizer.
// The input being tried is always on disk (fuzz_input.* or info.ini in the
// test's folder), so a crash leaves it behind to reproduce.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "import/CharCodeConverter.h"
#include "platform/Codepage.h"
#include "platform/FileIO.h"
#include "platform/IniFile.h"
#include "platform/Picture.h"
#include "render/BookClass.h"
#include "tests/platform/PictureTestData.h"
#include "tests/support/TestSupport.h"

namespace rpv {
namespace {

using Clock = std::chrono::steady_clock;

// Time each reader gets; the seed makes every run try the same inputs in the
// same order as far as it gets.
constexpr auto kBudget = std::chrono::milliseconds(1200);
constexpr unsigned kSeed = 20261209;

// Bytes that make parsers take unusual paths.
const std::vector<std::string> kTokens = {
    "\r\n", "\n", "\r", std::string(1, '\0'), "\xFF", "\x81", "\x1B$B", "\x1B(B", "<", ">",
    "&", ";", "&#", "&#x10FFFF;", "\"", "=", "[", "]", "0xFFFFFFFF", "-2147483648",
    "99999999999", "\xEF\xBB\xBF", "\xFE\xFF", "\xFF\xFE", "\xEF\xBD\x9C", "\x81\x73",
    "\x81\x74", "\x81\x6D", "\x81\x94", "\x81\x6E",  // ｜《》［＃］ in CP932
    "<ruby>", "<rt>", "</a>", "<a href=\"", "<img src=\"", "<font color=\"", "<hr",
    "<body background=\"", "\xFF\xD8\xFF", "BM"};

std::string Mutate(std::string s, std::mt19937& rng) {
  auto pick = [&](size_t n) { return n == 0 ? size_t{0} : static_cast<size_t>(rng() % n); };
  const int steps = 1 + static_cast<int>(rng() % 4);
  for (int i = 0; i < steps; ++i) {
    switch (rng() % 7) {
      case 0:  // flip a bit
        if (!s.empty()) s[pick(s.size())] ^= static_cast<char>(1u << (rng() % 8));
        break;
      case 1:  // a random byte
        if (!s.empty()) s[pick(s.size())] = static_cast<char>(rng());
        break;
      case 2:  // insert a token
        s.insert(pick(s.size() + 1), kTokens[pick(kTokens.size())]);
        break;
      case 3: {  // remove a run
        const size_t at = pick(s.size());
        s.erase(at, pick(64) + 1);
        break;
      }
      case 4: {  // repeat a run many times
        if (s.empty()) break;
        const size_t at = pick(s.size());
        const std::string run = s.substr(at, pick(16) + 1);
        std::string many;
        for (size_t k = pick(200) + 2; k > 0; --k) many += run;
        s.insert(at, many);
        break;
      }
      case 5:  // cut the end off
        s.resize(pick(s.size() + 1));
        break;
      default: {  // overwrite four bytes with an extreme number
        if (s.size() < 4) break;
        const uint32_t v = std::array<uint32_t, 5>{0, 0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u, 0x10000}[pick(5)];
        const size_t at = pick(s.size() - 3);
        for (int b = 0; b < 4; ++b) s[at + static_cast<size_t>(b)] = static_cast<char>(v >> (8 * b));
      }
    }
  }
  return s;
}

// Runs `read` on mutations of the seeds until the budget is spent; returns
// how many inputs were tried.
int FuzzLoop(const std::vector<std::string>& seeds, const std::function<void(const std::string&)>& read) {
  std::mt19937 rng(kSeed);
  const auto end = Clock::now() + kBudget;
  int tried = 0;
  for (const std::string& seed : seeds) {
    read(seed);
    ++tried;
  }
  while (Clock::now() < end) {
    read(Mutate(seeds[rng() % seeds.size()], rng));
    ++tried;
  }
  return tried;
}

class Fuzz : public ::testing::Test {
 protected:
  Fuzz() {
    TInfo style;
    EXPECT_TRUE(style.WriteStyle(temp_.Path("info.ini"), "S"));
    temp_.Write("p.bmp", MakeSmallBmp());
  }

  static std::string MakeSmallBmp() {
    testdata::BmpShape shape;
    shape.width = 3;
    shape.height = 2;
    shape.pixels = std::string(2 * 12, '\x7F');
    return testdata::MakeBmp(shape);
  }

  // The input on disk (plainly: no need to wait for the disk each time).
  void Put(const std::string& name, const std::string& bytes) const {
    std::ofstream(temp_.Native() / name, std::ios::binary | std::ios::trunc) << bytes;
  }

  void LoadStyle(TBookClass& book, const std::string& style) const {
    book.LoadStyle(temp_.Path("info.ini"), style, 96);
    book.SetPageWidth(240);
    book.SetPageHeight(180);
  }

  // Lays the file out on a small page and draws its first and its last page.
  void LayOut(TBookClass& book, const std::string& name, const std::string& bytes) const {
    Put(name, bytes);
    try {
      book.LoadFromFile(temp_.Path(name));
    } catch (const std::exception&) {
      return;  // refused with a message: fine
    }
    const int32_t top = book.BuildLines(0);
    book.DrawPage(std::max(0, top));
    book.DrawPage(std::max(0, book.LineCount() - 1));
  }

  test::TTempFolder temp_{"rpv_fuzz_", test::TTempFolder::SetsHome};
};

TEST_F(Fuzz, TextBooks) {
  std::string sample = ReadWholeFile(RPV_SOURCE_DIR "/samples/sample.sjis.txt").value_or("");
  sample.resize(std::min<size_t>(sample.size(), 3000));
  const std::vector<std::string> seeds = {
      sample,
      Utf8ToCp932("｜漢字《かんじ》の本文。［＃改ページ］\r\n［＃ここから２字下げ］\r\n字下げ\r\n"
                  "［＃ここで字下げ終わり］\r\nABC１２３\t\tタブ\r\n\r\n\r\n"),
      "\xEF\xBB\xBF" "UTF-8 \xE6\x9C\xAC\xE6\x96\x87\n",
      "\x1B$B$3$s$K$A$O\x1B(B\r\n"};
  TBookClass book;
  LoadStyle(book, "S");
  const int tried = FuzzLoop(seeds, [&](const std::string& b) { LayOut(book, "fuzz_input.txt", b); });
  std::printf("text inputs tried: %d\n", tried);
}

TEST_F(Fuzz, HtmlPages) {
  const std::vector<std::string> seeds = {
      Utf8ToCp932("<html><body bgcolor=\"#FFFFEE\" text=\"red\" background=\"p.bmp\">"
                  "<b>太字</b><i>斜体</i><s>取消</s><font color=\"#0000FF\">青</font><hr>"
                  "<ruby><rb>漢字</rb><rp>(</rp><rt>かんじ</rt><rp>)</rp></ruby>"
                  "<a name=\"x\">印</a><a href=\"#x\">リンク</a><img src=\"p.bmp\">"
                  "&amp;&lt;&gt;&quot;&nbsp;&copy;&#x3042;&#12354;<br><p>段落</p></body></html>")};
  TBookClass book;
  LoadStyle(book, "S");
  const int tried = FuzzLoop(seeds, [&](const std::string& b) { LayOut(book, "fuzz_input.html", b); });
  std::printf("HTML inputs tried: %d\n", tried);
}

TEST_F(Fuzz, Pictures) {
  testdata::JpegShape jpeg;
  jpeg.width = 9;
  jpeg.height = 7;
  testdata::BmpShape palette;
  palette.width = 4;
  palette.height = -3;
  palette.bitCount = 8;
  palette.colorsUsed = 2;
  palette.palette = testdata::MakePalette({0x000000, 0xFFFFFF});
  palette.pixels = std::string(12, '\1');
  const std::vector<std::string> seeds = {
      MakeSmallBmp(), testdata::MakeBmp(palette),
      testdata::MakeJpeg(jpeg, [](int x, int y, int c) { return static_cast<uint8_t>(x * 20 + y * 9 + c); })};
  const int tried = FuzzLoop(seeds, [&](const std::string& b) {
    Put("fuzz_input.pic", b);
    const auto size = DecodePictureSize(b);
    const auto bitmap = DecodePicture(b);
    // A picture that decodes has the size its headers promise.
    if (bitmap && size) {
      EXPECT_EQ(bitmap->Width(), size->Width);
      EXPECT_EQ(bitmap->Height(), size->Height);
    }
  });
  std::printf("pictures tried: %d\n", tried);
}

TEST_F(Fuzz, SettingsFiles) {
  const std::string info = ReadWholeFile(temp_.Path("info.ini")).value_or("");
  const std::vector<std::string> seeds = {
      info, "[General]\r\nWidth=640\r\n; note\r\n[FH0]\r\nFullPath=\"/a b\"\r\nBookMark=0x10\r\n"};
  const std::string book = Utf8ToCp932("｜本《ほん》の文。\r\n二行目\r\n");
  temp_.Write("b.txt", book);
  const int tried = FuzzLoop(seeds, [&](const std::string& b) {
    Put("info.ini", b);
    TIniFile ini(temp_.Path("info.ini"));
    for (const std::string& section : ini.ReadSections())
      for (const std::string& key : ini.ReadSection(section)) ini.ReadInteger(section, key, 0);
    // Whatever the style's values, a page is laid out and drawn.
    const std::vector<std::string> sections = ini.ReadSections();
    if (sections.empty()) return;
    TBookClass page;
    LoadStyle(page, sections.front());
    LayOut(page, "b.txt", book);
  });
  std::printf("settings files tried: %d\n", tried);
}

}  // namespace
}  // namespace rpv
