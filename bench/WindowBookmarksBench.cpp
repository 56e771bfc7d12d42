// The bookmark menu and the bookmark manager with many bookmarks (10,000,
// and 100,000 for the look at bad input), on the offscreen platform:
//   - BuildBookmarkMenu in the flat form and grouped by file (20 a file);
//   - the manager opened on bm.csv, filled, shown and its grid painted;
//   - moving a block of 100 rows up and deleting one in the middle.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMenu>
#include <QTableView>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

#include "app/rpvMain.h"
#include "bench/WindowBenchSupport.h"
#include "bookmarks/qt/rpvBookMarkForm.h"
#include "bookmarks/rpvBookMark.h"
#include "platform/FileIO.h"

namespace {

// A program folder holding bm.csv with `count` visible bookmarks, 20 to a
// file, and a window that has read it.
struct TFixture {
  std::filesystem::path home;
  std::string csv;
  rpv::bench::TSilentDialogs dialogs;
  std::unique_ptr<rpv::TfrmRPV> form;

  explicit TFixture(int count) {
    home = std::filesystem::temp_directory_path() /
           ("rpv_bookmark_bench_" + std::to_string(::getpid()) + "_" + std::to_string(count));
    std::filesystem::create_directories(home);
    ::setenv("RPV_HOME", home.c_str(), 1);
    rpv::TBookMarks marks;
    for (int i = 0; i < count; ++i) {
      rpv::TBookMark& m = *marks.Items(marks.Add());
      m.FullPath = "/home/reader/books/volume" + std::to_string(i / 20) + ".txt";
      m.Line = i + 1;
      m.DateTime = "2004/05/06 9:05:03";
      m.Comment = i % 3 == 0 ? "comment " + std::to_string(i) : "";
      m.Visible = true;
    }
    csv = rpv::FromNativePath(home / "bm.csv");
    marks.SaveToFile(csv);
    rpv::WriteFileAtomic(rpv::FromNativePath(home / "rpv.ini"),
                         "[General]\r\nLeft=0\r\nTop=0\r\nWidth=800\r\nHeight=600\r\nblnLast=0\r\n");
    form = std::make_unique<rpv::TfrmRPV>(std::vector<std::string>{},
                                          std::make_unique<rpv::bench::TSilentDialogs>());
    form->FormCreate();
    form->tmrAuto->stop();
  }
  ~TFixture() {
    form.reset();
    std::error_code ec;
    std::filesystem::remove_all(home, ec);
  }
};

// Closed by main while the application exists.
std::unique_ptr<TFixture>& FixtureHolder() {
  static std::unique_ptr<TFixture> fixture;
  return fixture;
}

TFixture& Fixture(int count) {
  auto& fixture = FixtureHolder();
  if (!fixture || fixture->form->BookMarks->Count() != count) {
    fixture.reset();
    fixture = std::make_unique<TFixture>(count);
  }
  return *fixture;
}

void BM_BuildBookmarkMenu(benchmark::State& state) {
  auto& f = Fixture(static_cast<int>(state.range(0)));
  f.form->Settings.BookMarkType = static_cast<uint8_t>(state.range(1));
  for (auto _ : state) {
    f.form->BuildBookmarkMenu();
    // The replaced items go at the next turn of the event loop.
    QCoreApplication::processEvents();
  }
  state.counters["items"] = static_cast<double>(f.form->mnuB->actions().size());
}
BENCHMARK(BM_BuildBookmarkMenu)
    ->ArgNames({"marks", "type"})
    ->Args({10000, 0})
    ->Args({10000, 1})
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Unit(benchmark::kMillisecond);

void BM_ManagerOpenAndFill(benchmark::State& state) {
  auto& f = Fixture(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    rpv::TfrmBookMark manager(f.form.get(), f.dialogs);
    manager.Open(f.csv);
    manager.show();
    manager.sgdBSList->viewport()->repaint();
    benchmark::DoNotOptimize(manager.Store().Count());
  }
}
BENCHMARK(BM_ManagerOpenAndFill)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ManagerMoveBlockUp(benchmark::State& state) {
  auto& f = Fixture(10000);
  rpv::TfrmBookMark manager(f.form.get(), f.dialogs);
  manager.Open(f.csv);
  manager.show();
  manager.SelectRows({5000, 5099});
  for (auto _ : state) {
    manager.MoveUp();
    manager.sgdBSList->viewport()->repaint();
  }
  benchmark::DoNotOptimize(manager.Selection());
}
BENCHMARK(BM_ManagerMoveBlockUp)->Unit(benchmark::kMillisecond)->Iterations(200);

void BM_ManagerDeleteRow(benchmark::State& state) {
  auto& f = Fixture(10000);
  rpv::TfrmBookMark manager(f.form.get(), f.dialogs);
  manager.Open(f.csv);
  manager.show();
  for (auto _ : state) {
    manager.SelectRows({5000, 5000});
    manager.DeleteRows();
    manager.sgdBSList->viewport()->repaint();
  }
  state.counters["left"] = manager.Store().Count();
}
BENCHMARK(BM_ManagerDeleteRow)->Unit(benchmark::kMillisecond)->Iterations(200);

}  // namespace

int main(int argc, char** argv) {
  return rpv::bench::RunWindowBenchmarks(argc, argv, [] { FixtureHolder().reset(); });
}
