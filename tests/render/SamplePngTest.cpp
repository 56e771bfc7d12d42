// Writes pictures of the sample book for a person to look at: vertical and
// horizontal, with and without smoothing, supersampled, bold, italic and
// struck out. Disabled; run with --gtest_also_run_disabled_tests, the
// pictures go to $RPV_SAMPLE_DIR (default /tmp).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/Codepage.h"
#include "platform/FileIO.h"
#include "platform/FontEngine.h"
#include "platform/PngWriter.h"
#include "render/class/BMPTools.h"

namespace rpv {
namespace {

std::vector<std::string> SampleLines(size_t first, size_t count) {
  const auto text = ReadWholeFile(RPV_SOURCE_DIR "/samples/sample.sjis.txt");
  std::vector<std::string> lines;
  if (!text) return lines;
  size_t pos = 0;
  for (size_t n = 0; pos < text->size() && lines.size() < count; ++n) {
    size_t end = text->find("\r\n", pos);
    if (end == std::string::npos) end = text->size();
    if (n >= first) lines.push_back(text->substr(pos, end - pos));
    pos = end + 2;
  }
  return lines;
}

std::string OutDir() {
  const char* dir = std::getenv("RPV_SAMPLE_DIR");
  return dir != nullptr ? dir : "/tmp";
}

struct Look {
  const char* name;
  bool vertical;
  bool smooth;
  int factor;
  int weight;
  bool italic;
  bool strike;
  const char* face;
  size_t firstLine = 17;
};

// Sets the lines a character at a time, as the column renderer does, with a
// line length of `length` pixels and `pitch` between lines.
void DrawPage(TCanvas& canvas, const std::vector<std::string>& lines, const Look& look, int px,
              int pitch, int length) {
  const TBitmap24& bmp = canvas.Bitmap();
  canvas.Font.Height = px * look.factor;
  canvas.Font.Weight = look.weight;
  canvas.Font.Italic = look.italic;
  canvas.Font.StrikeOut = look.strike;
  canvas.Font.FaceName = Utf8ToCp932(look.face);
  canvas.Font.Escapement = look.vertical ? 2700 : 0;
  if (!look.vertical) canvas.Font.FaceName.erase(0, canvas.Font.FaceName[0] == '@' ? 1 : 0);
  int line = 0;
  for (const std::string& text : lines) {
    int across = look.vertical ? bmp.Width() - 10 - pitch * line : 10 + pitch * line;
    int pen = 10;
    for (size_t i = 0; i < text.size();) {
      const size_t n = CharLen(text, i);
      const std::string ch = text.substr(i, n);
      const int w = canvas.TextWidth(ch) / look.factor;
      if (pen + w > 10 + length) {
        ++line;
        pen = 10;
        across = look.vertical ? bmp.Width() - 10 - pitch * line : 10 + pitch * line;
      }
      if (look.vertical) DrawTextAA(canvas, across, pen, 27, look.factor, ch);
      else DrawTextAA(canvas, pen, across, 0, look.factor, ch);
      pen += w;
      i += n;
    }
    ++line;
  }
}

TEST(SamplePng, DISABLED_WriteSamples) {
  const Look looks[] = {
      {"vertical-mincho-aa2", true, false, 2, 400, false, false, "@ＭＳ 明朝"},
      {"vertical-gothic-smooth", true, true, 1, 400, false, false, "@ＭＳ ゴシック"},
      {"vertical-gothic-mono", true, false, 1, 400, false, false, "@ＭＳ ゴシック"},
      {"horizontal-mincho-aa2", false, false, 2, 400, false, false, "ＭＳ 明朝"},
      {"horizontal-gothic-mono", false, false, 1, 400, false, false, "ＭＳ ゴシック"},
      {"vertical-bold-italic-strike", true, true, 1, 700, true, true, "@ＭＳ Ｐゴシック"},
      {"horizontal-bold-italic-strike", false, true, 1, 700, true, true, "ＭＳ Ｐ明朝"},
      {"vertical-mixed-aa2", true, false, 2, 400, false, false, "@ＭＳ 明朝", 22},
      {"vertical-mixed-smooth", true, true, 1, 400, false, false, "@ＭＳ ゴシック", 22},
  };
  TFontEngine engine;
  for (const Look& look : looks) {
    TBitmap24 bmp(look.vertical ? 560 : 640, look.vertical ? 420 : 300);
    TCanvas canvas(bmp, engine);
    canvas.Smooth = look.smooth;
    canvas.BrushColor = RGBColour(250, 246, 236);
    canvas.FillRect({0, 0, bmp.Width(), bmp.Height()});
    canvas.BrushStyle = TBrushStyle::Clear;
    canvas.FontColor = RGBColour(30, 30, 30);
    const std::vector<std::string> lines = SampleLines(look.firstLine, 5);
    ASSERT_FALSE(lines.empty());
    DrawPage(canvas, lines, look, 22, 34, look.vertical ? 400 : 620);
    const std::string path = OutDir() + "/rpv-" + look.name + ".png";
    std::string error;
    EXPECT_TRUE(WritePng(bmp, path, &error)) << error;
  }
}

// The characters that the vertical renderer turns (drawn with the "@" face
// at escapement 1800 in a normal cell) beside ordinary vertical text.
TEST(SamplePng, DISABLED_WriteTurnedCharacters) {
  TFontEngine engine;
  TBitmap24 bmp(120, 420);
  TCanvas canvas(bmp, engine);
  canvas.BrushColor = RGBColour(250, 246, 236);
  canvas.FillRect({0, 0, bmp.Width(), bmp.Height()});
  canvas.BrushStyle = TBrushStyle::Clear;
  canvas.FontColor = RGBColour(30, 30, 30);
  const std::string turned = Utf8ToCp932("：；＜＞≪≫－“”‘’≒");
  const std::string columns[] = {Utf8ToCp932("比は１：２、≪注≫「Ａ－Ｂ」"),
                                 Utf8ToCp932("“引用”と‘語’；≒＜＞")};
  int x = bmp.Width() - 20;
  for (const std::string& text : columns) {
    int pen = 10;
    for (size_t i = 0; i < text.size(); i += 2) {
      const std::string ch = text.substr(i, 2);
      bool isTurned = false;
      for (size_t k = 0; k < turned.size(); k += 2) isTurned = isTurned || turned.compare(k, 2, ch) == 0;
      canvas.Font.Height = 22;
      canvas.Font.FaceName = Utf8ToCp932("@ＭＳ 明朝");
      canvas.Font.Escapement = isTurned ? 1800 : 2700;
      DrawTextAA(canvas, x, isTurned ? pen + 22 : pen, isTurned ? 18 : 27, 1, ch);
      pen += 22;
    }
    x -= 50;
  }
  std::string error;
  EXPECT_TRUE(WritePng(bmp, OutDir() + "/rpv-vertical-turned.png", &error)) << error;
}

}  // namespace
}  // namespace rpv
