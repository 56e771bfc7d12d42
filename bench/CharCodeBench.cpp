// Throughput of encoding detection and conversion to CP932 over a 10 MB
// book in each encoding the reader accepts.
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <string>

#include "import/CharCodeConverter.h"
#include "platform/Codepage.h"
#include "platform/FileIO.h"

namespace {

std::string Convert(const std::string& in, const char* to) {
  iconv_t cd = iconv_open(to, "CP932");
  std::string out(in.size() * 4 + 16, '\0');
  char* inPtr = const_cast<char*>(in.data());
  size_t inLeft = in.size();
  char* outPtr = out.data();
  size_t outLeft = out.size();
  iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

// The sample book repeated to about 10 MB of CP932.
const std::string& Book() {
  static const std::string book = [] {
    const std::string sample =
        rpv::ReadWholeFile(RPV_SOURCE_DIR "/samples/sample.sjis.txt").value_or("abc\r\n");
    std::string text;
    while (text.size() < 10 * 1024 * 1024) text += sample;
    return text;
  }();
  return book;
}

void Run(benchmark::State& state, const std::string& bytes) {
  for (auto _ : state) {
    std::string sjis = rpv::BytesToSjis(bytes);
    benchmark::DoNotOptimize(sjis);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(bytes.size()));
}

void BM_ShiftJis(benchmark::State& s) { Run(s, Book()); }
void BM_EucJp(benchmark::State& s) {
  static const auto b = Convert(Book(), "EUC-JP-MS");
  Run(s, b);
}
void BM_Jis(benchmark::State& s) {
  static const auto b = Convert(Book(), "ISO-2022-JP");
  Run(s, b);
}
void BM_Utf8(benchmark::State& s) {
  static const auto b = Convert(Book(), "UTF-8");
  Run(s, b);
}
void BM_Utf8NoIdeographicSpace(benchmark::State& s) {
  // Without U+3000 the detector has to validate the whole text.
  static const auto b = [] {
    std::string t = Book();
    for (size_t i = 0; i + 1 < t.size(); i += rpv::CharLen(t, i)) {
      if (t[i] == '\x81' && t[i + 1] == '\x40') t[i + 1] = '\x41';
    }
    return Convert(t, "UTF-8");
  }();
  Run(s, b);
}
void BM_Utf16Le(benchmark::State& s) {
  static const auto b = "\xFF\xFE" + Convert(Book(), "UTF-16LE");
  Run(s, b);
}
// Validation of a whole UTF-8 text without an ideographic space.
void BM_DetectUtf8(benchmark::State& state) {
  static const auto b = [] {
    std::string t = Convert(Book(), "UTF-8");
    for (size_t i = 0; (i = t.find("\xE3\x80\x80", i)) != std::string::npos;) t.replace(i, 3, "  ");
    return t;
  }();
  for (auto _ : state) benchmark::DoNotOptimize(rpv::DetectCharCode(b));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(b.size()));
}

BENCHMARK(BM_ShiftJis)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EucJp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Jis)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Utf8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Utf8NoIdeographicSpace)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Utf16Le)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DetectUtf8)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
