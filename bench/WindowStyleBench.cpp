// Styles in the window, on the offscreen platform, with a 10 MB book (the
// sample book repeated) in a 1024 x 768 window:
//   - switching between a vertical and a horizontal style from the menu, up
//     to the new page painted;
//   - one redraw of the style editor's preview after a setting changed;
//   - opening the style editor (font list, controls, first preview), with
//     the installed fonts and with a list of 400 names;
//   - the installed font list alone (fontconfig plus the vertical-forms look-up).
#include <QAction>
#include <QSpinBox>

#include "WindowBenchSupport.h"
#include "dialogs/rpvSetUpStyle.h"
#include "platform/FaceResolver.h"
#include "render/BookClass.h"

namespace {

rpv::bench::TWindowFixture& Fixture() {
  static rpv::bench::TWindowFixture& fixture = rpv::bench::MakeWindowFixture(
      "rpv_style_bench", "[Vertical]\r\nDirection=27\r\n[Horizontal]\r\nDirection=0\r\n", true);
  static const bool inTheMiddle = fixture.form->GoToPage(fixture.form->Book->PageCount / 2);
  (void)inTheMiddle;
  return fixture;
}

void BM_SwitchStyle(benchmark::State& state) {
  auto& f = Fixture();
  int next = 1;
  for (auto _ : state) {
    f.form->StyleItems[static_cast<size_t>(next)]->trigger();
    next = 1 - next;
    // Up to the page at the reading position; the rest of the layout is
    // not timed.
    rpv::bench::WaitForPage(*f.form);
    benchmark::DoNotOptimize(f.form->TopLine);
    state.PauseTiming();
    rpv::bench::WaitForWholeLayout(*f.form);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_SwitchStyle)->Unit(benchmark::kMillisecond);

void BM_PreviewRedraw(benchmark::State& state) {
  auto& f = Fixture();
  rpv::TfrmStyleSetUp editor(f.form.get());
  editor.Open(f.ini, "Vertical", f.form->ClientWidth(), f.form->ClientHeight(), f.form->PageDpi(),
              f.form->Book.get(), f.form->Book->SourceLineOf(f.form->TopLine));
  int size = 16;
  for (auto _ : state) {
    size = size == 16 ? 17 : 16;
    editor.sedFontSize->setValue(size);
  }
}
BENCHMARK(BM_PreviewRedraw)->Unit(benchmark::kMillisecond);

void OpenEditor(benchmark::State& state, std::optional<std::vector<std::string>> fonts) {
  auto& f = Fixture();
  for (auto _ : state) {
    rpv::TfrmStyleSetUp editor(f.form.get(), fonts);
    editor.Open(f.ini, "Vertical", f.form->ClientWidth(), f.form->ClientHeight(),
                f.form->PageDpi(), f.form->Book.get(), f.form->Book->SourceLineOf(f.form->TopLine));
    benchmark::DoNotOptimize(editor.windowTitle());
  }
}

void BM_EditorOpen_InstalledFonts(benchmark::State& state) {
  state.counters["fonts"] = static_cast<double>(rpv::InstalledScreenFonts().size());
  OpenEditor(state, std::nullopt);
}
BENCHMARK(BM_EditorOpen_InstalledFonts)->Unit(benchmark::kMillisecond);

void BM_EditorOpen_400Names(benchmark::State& state) {
  std::vector<std::string> names;
  for (int i = 0; i < 400; ++i) names.push_back("Font family " + std::to_string(i));
  OpenEditor(state, names);
}
BENCHMARK(BM_EditorOpen_400Names)->Unit(benchmark::kMillisecond);

void BM_ScreenFontList(benchmark::State& state) {
  size_t n = 0;
  for (auto _ : state) n = rpv::InstalledScreenFonts().size();
  state.counters["fonts"] = static_cast<double>(n);
}
BENCHMARK(BM_ScreenFontList)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return rpv::bench::RunWindowBenchmarks(argc, argv); }
