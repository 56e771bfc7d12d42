// Face names: the Windows Japanese faces, the "@" variants and fallbacks.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/Codepage.h"
#include "platform/FaceResolver.h"
#include "platform/FontEngine.h"

namespace rpv {
namespace {

TEST(FaceResolver, WindowsJapaneseFacesMapToIpaFaces) {
  struct Case {
    const char* face;
    const char* family;
  } cases[] = {
      {"ＭＳ 明朝", "IPAMincho"},      {"ＭＳ ゴシック", "IPAGothic"},
      {"ＭＳ Ｐ明朝", "IPAPMincho"},   {"ＭＳ Ｐゴシック", "IPAPGothic"},
      {"MS UI Gothic", "IPAPGothic"},  {"ＭＳ　ゴシック", "IPAGothic"},
      {"ms mincho", "IPAMincho"},      {"MS PGothic", "IPAPGothic"},
  };
  for (const Case& c : cases) {
    // Style files hold the names as CP932 bytes.
    const std::string cp932 = Utf8ToCp932(c.face);
    EXPECT_EQ(MapWindowsFaceName(Cp932ToUtf8(cp932)), c.family) << c.face;
    EXPECT_EQ(ResolveFace(cp932, false, false).Family, c.family) << c.face;
  }
  EXPECT_EQ(MapWindowsFaceName("Some Face"), "Some Face");
}

TEST(FaceResolver, VerticalMarkIsSplitOff) {
  bool vertical = false;
  EXPECT_EQ(StripVerticalMark(Utf8ToCp932("@ＭＳ 明朝"), &vertical), Utf8ToCp932("ＭＳ 明朝"));
  EXPECT_TRUE(vertical);
  EXPECT_EQ(StripVerticalMark("IPAGothic", &vertical), "IPAGothic");
  EXPECT_FALSE(vertical);
  EXPECT_EQ(StripVerticalMark("", &vertical), "");
  EXPECT_FALSE(vertical);
}

TEST(FaceResolver, MissingOrNonJapaneseFacesFallBackToAJapaneseFace) {
  for (const char* face : {"No Such Face", "", "DejaVu Sans", "ヒラギノ明朝"}) {
    const TResolvedFace resolved = ResolveFace(Utf8ToCp932(face), false, false);
    EXPECT_FALSE(resolved.File.empty()) << face;
    EXPECT_EQ(resolved.Family.rfind("IPA", 0), 0u) << face << " -> " << resolved.Family;
  }
  // Bold and italic of a face without such styles keep the face.
  EXPECT_EQ(ResolveFace(Utf8ToCp932("ＭＳ 明朝"), true, true).Family, "IPAMincho");
  TFontEngine engine;
  TFontDesc desc;
  desc.FaceName = Utf8ToCp932("@ＭＳ 明朝");
  desc.Weight = 700;
  desc.Italic = true;
  const TFont& font = engine.Font(desc);
  EXPECT_TRUE(font.Vertical());
  EXPECT_TRUE(font.SyntheticBold());
  EXPECT_TRUE(font.SyntheticItalic());
  EXPECT_EQ(font.CellHeight(), 16);
}

TEST(FaceResolver, ScreenFontListHasVerticalVariantsOfJapaneseFaces) {
  const auto names = InstalledScreenFonts();
  auto has = [&](const std::string& n) {
    return std::find(names.begin(), names.end(), n) != names.end();
  };
  EXPECT_TRUE(has("IPAGothic"));
  EXPECT_TRUE(has("@IPAGothic"));
  EXPECT_TRUE(has("@IPAMincho"));
  if (has("DejaVu Sans")) {
    EXPECT_FALSE(has("@DejaVu Sans"));
  }
  EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
}

TEST(FaceResolver, CellHeightIsTheRequestedHeight) {
  TFontEngine engine;
  for (int h : {1, 7, 22, 44, 97}) {
    TFontDesc desc;
    desc.Height = h;
    desc.FaceName = Utf8ToCp932("ＭＳ ゴシック");
    const TFont& font = engine.Font(desc);
    EXPECT_EQ(font.CellHeight(), h);
    EXPECT_GT(font.Ascent(), 0);
    EXPECT_LE(font.Ascent(), h);
    EXPECT_GE(font.StrikeTop(), 0);
    EXPECT_LE(font.StrikeTop() + font.StrikeThickness(), h);
  }
  // A hand-edited size cannot make a giant font; no size is no font at all.
  TFontDesc huge;
  huge.Height = 100000000;
  EXPECT_LE(engine.Font(huge).CellHeight(), 2048);
  TFontDesc zero;
  zero.Height = 0;
  EXPECT_GT(engine.Font(zero).CellHeight(), 0);
  TFontDesc negative;
  negative.Height = -20;  // an em height, as Windows reads it
  EXPECT_GE(engine.Font(negative).CellHeight(), 20);
}

}  // namespace
}  // namespace rpv
