// Books in archives:
//   - a 10 MB book inside a ZIP, from choosing it in the member chooser to
//     its first page painted in a 1024 x 768 window (offscreen platform):
//     extraction, then the same open as any file;
//   - the member list of a ZIP of 5,000 members (what the chooser shows).
#include <memory>
#include <string>
#include <vector>

#include "bench/WindowBenchSupport.h"
#include "archive/qt/ArchiveForm.h"
#include "archive/rpvArchiveUnit.h"
#include "platform/ExeDir.h"
#include "platform/FileIO.h"
#include "render/BookClass.h"
#include "tests/support/ArchiveBuilder.h"

namespace {

// The chooser answered at once with the book, extracted as its Open does.
class TChoosingDialogs : public rpv::bench::TSilentDialogs {
 public:
  std::optional<std::string> ChooseArchiveMember(const std::string& archivePath, int32_t,
                                                 int32_t) override {
    std::string member = "novels/book.txt";
    if (!rpv::ExtractMember(archivePath, rpv::ArchiveFolder(rpv::ExeDir()), member,
                            [this](const std::string& t) { ShowMessage(t); }))
      return std::nullopt;
    return member;
  }
};

struct TArchiveFixture {
  rpv::bench::TWindowFixture& window;
  std::string zip, bigList;
};

TArchiveFixture& Fixture() {
  static TArchiveFixture fixture = [] {
    auto& w = rpv::bench::MakeWindowFixture("rpv_archive_bench", "", false,
                                            std::make_unique<TChoosingDialogs>());
    TArchiveFixture f{w, w.Path("book.zip"), w.Path("many.zip")};
    rpv::WriteFileAtomic(f.zip, rpv::test::MakeZip({{"novels/book.txt",
                                                     rpv::ReadWholeFile(w.book).value_or(""), ""}}));
    std::vector<rpv::test::TZipMember> many;
    for (int i = 0; i < 5000; ++i)
      many.push_back({"巻" + std::to_string(i / 100) + "/第" + std::to_string(i) + "話.txt", "x", ""});
    rpv::WriteFileAtomic(f.bigList, rpv::test::MakeZip(many, "zip:hdrcharset=CP932"));
    return f;
  }();
  return fixture;
}

void BM_ChooseToFirstPage(benchmark::State& state) {
  auto& f = Fixture();
  for (auto _ : state) {
    f.window.form->OpenDocument(f.zip, 0, "");
    rpv::bench::WaitForPage(*f.window.form);
    benchmark::DoNotOptimize(f.window.form->TopLine);
    state.PauseTiming();
    rpv::bench::WaitForWholeLayout(*f.window.form);
    state.ResumeTiming();
  }
  state.counters["pages"] = f.window.form->Book->PageCount;
}
BENCHMARK(BM_ChooseToFirstPage)->Unit(benchmark::kMillisecond)->Iterations(5);

// The extraction alone, to see its share.
void BM_ExtractBook(benchmark::State& state) {
  auto& f = Fixture();
  for (auto _ : state) {
    std::string member = "novels/book.txt";
    benchmark::DoNotOptimize(rpv::ExtractMember(f.zip, rpv::ArchiveFolder(rpv::ExeDir()), member, {}));
  }
}
BENCHMARK(BM_ExtractBook)->Unit(benchmark::kMillisecond);

void BM_List5000Members(benchmark::State& state) {
  auto& f = Fixture();
  for (auto _ : state) {
    auto listing = rpv::ListArchiveMembers(f.bigList, {});
    rpv::SortMemberNames(listing.Names);
    if (listing.Names.size() != 5000) state.SkipWithError("not 5000 members");
  }
}
BENCHMARK(BM_List5000Members)->Unit(benchmark::kMillisecond);

// The chooser filled with them (listing, sorting, the Qt list).
void BM_Chooser5000Members(benchmark::State& state) {
  auto& f = Fixture();
  for (auto _ : state) {
    rpv::TArchiveForm form(f.window.form.get(), [](const std::string&) {});
    form.ArchivePath = f.bigList;
    benchmark::DoNotOptimize(form.FormShow());
  }
}
BENCHMARK(BM_Chooser5000Members)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return rpv::bench::RunWindowBenchmarks(argc, argv); }
