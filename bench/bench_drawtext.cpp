// Drawing a page of vertical text character by character with DrawTextAA at
// factor 2, as the column renderer does, once every glyph is cached.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "platform/Codepage.h"
#include "platform/FileIO.h"
#include "platform/FontEngine.h"
#include "render/class/BMPTools.h"

namespace {

// 2 000 double-byte characters of the sample book (the text repeated as
// needed), ASCII and line ends left out.
std::vector<std::string> SampleCharacters(size_t count) {
  const auto text = rpv::ReadWholeFile(RPV_SOURCE_DIR "/samples/sample.sjis.txt");
  std::vector<std::string> chars;
  if (!text) return chars;
  while (chars.size() < count) {
    for (size_t i = 0; i < text->size() && chars.size() < count;) {
      const size_t n = rpv::CharLen(*text, i);
      if (n == 2) chars.push_back(text->substr(i, 2));
      i += n;
    }
  }
  return chars;
}

void DrawVerticalPage(benchmark::State& state, int factor, bool smooth) {
  const std::vector<std::string> chars = SampleCharacters(2000);
  rpv::TFontEngine engine;
  rpv::TBitmap24 page(1600, 1200);
  rpv::TCanvas canvas(page, engine);
  canvas.Font.Height = 22 * factor;
  canvas.Font.Escapement = 2700;
  canvas.Font.FaceName = rpv::Utf8ToCp932("@ＭＳ 明朝");
  canvas.FontColor = rpv::RGBColour(20, 20, 20);
  canvas.BrushStyle = rpv::TBrushStyle::Clear;
  canvas.Smooth = smooth;
  constexpr int kPitch = 47;
  constexpr int kLength = 1100;
  auto drawPage = [&] {
    int x = page.Width() - 10, pen = 10;
    for (const std::string& ch : chars) {
      const int w = canvas.TextWidth(ch) / factor;
      if (pen + w > kLength) {
        pen = 10;
        x -= kPitch;
      }
      rpv::DrawTextAA(canvas, x, pen, 27, factor, ch);
      pen += w;
    }
  };
  drawPage();  // rasterise and lay out every glyph once
  for (auto _ : state) {
    // The page composer fills the page before it draws the columns; that
    // fill is not text drawing.
    state.PauseTiming();
    canvas.BrushColor = rpv::RGBColour(250, 246, 236);
    canvas.BrushStyle = rpv::TBrushStyle::Solid;
    canvas.FillRect({0, 0, page.Width(), page.Height()});
    canvas.BrushStyle = rpv::TBrushStyle::Clear;
  canvas.Smooth = smooth;
    state.ResumeTiming();
    drawPage();
    benchmark::DoNotOptimize(page.Row(0));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(chars.size()));
}

void BM_DrawTextAA_Vertical2000_Factor2(benchmark::State& state) {
  DrawVerticalPage(state, 2, false);
}
void BM_DrawTextAA_Vertical2000_Factor1Smooth(benchmark::State& state) {
  DrawVerticalPage(state, 1, true);
}

BENCHMARK(BM_DrawTextAA_Vertical2000_Factor2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawTextAA_Vertical2000_Factor1Smooth)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
