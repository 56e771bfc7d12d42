#include <gtest/gtest.h>
#include <iconv.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <set>

#include "import/CharCodeConverter.h"
#include "import/ReadError.h"
#include "platform/Codepage.h"
#include "platform/FileIO.h"
#include "tests/support/TestSupport.h"

using namespace rpv;
namespace fs = std::filesystem;

namespace {

using test::S;

std::optional<std::string> Iconv(std::string_view in, const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out(in.size() * 4 + 16, '\0');
  char* inPtr = const_cast<char*>(in.data());
  size_t inLeft = in.size();
  char* outPtr = out.data();
  size_t outLeft = out.size();
  size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  if (r != static_cast<size_t>(-1)) r = iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
  iconv_close(cd);
  if (r == static_cast<size_t>(-1)) return std::nullopt;
  out.resize(out.size() - outLeft);
  return out;
}

std::string Sample() {
  return ReadWholeFile(Utf8ToCp932(RPV_SOURCE_DIR "/samples/sample.sjis.txt")).value();
}

}  // namespace

TEST(CharCode, SampleInEveryEncodingReadsBackToTheSameBytes) {
  const test::TTempFolder dir("rpv_cc_");
  const std::string sample = Sample();
  EXPECT_EQ(DetectCharCode(sample), ccShiftJis);
  EXPECT_EQ(ReadTextFile(dir.Write("sjis.txt", sample)), sample);

  struct Case {
    const char* name;
    const char* iconvName;
    std::string prefix;
    int code;
  };
  const Case cases[] = {
      {"euc", "EUC-JP-MS", "", ccEuc},
      {"jis", "ISO-2022-JP", "", ccJis},
      {"utf8", "UTF-8", "", ccUtf8},
      {"utf8bom", "UTF-8", "\xEF\xBB\xBF", ccUtf8Bom},
      {"utf16le", "UTF-16LE", "\xFF\xFE", ccUtf16Le},
      {"utf16be", "UTF-16BE", "\xFE\xFF", ccUtf16Be},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // Characters the encoding cannot carry are left out of the original.
    std::string carried;
    std::set<std::string> dropped;
    for (size_t i = 0; i < sample.size(); i += CharLen(sample, i)) {
      const std::string ch = sample.substr(i, CharLen(sample, i));
      if (Iconv(ch, c.iconvName, "CP932"))
        carried += ch;
      else
        dropped.insert(ch);
    }
    EXPECT_LE(dropped.size(), 2u);
    EXPECT_GT(carried.size(), sample.size() * 9 / 10);
    const std::string encoded = c.prefix + Iconv(carried, c.iconvName, "CP932").value();
    EXPECT_EQ(DetectCharCode(encoded.substr(0, encoded.find('\0'))), c.code);
    EXPECT_EQ(ReadTextFile(dir.Write(c.name, encoded)), carried);
  }
}

TEST(CharCode, DetectionRules) {
  EXPECT_EQ(DetectCharCode(""), ccEuc);
  EXPECT_EQ(DetectCharCode("plain ascii"), ccEuc);
  // Without any byte 0x81-0x9F, half-width katakana Shift_JIS looks like EUC.
  EXPECT_EQ(DetectCharCode("\xB1\xB2\xB3"), ccEuc);
  EXPECT_EQ(DetectCharCode(S("漢字")), ccShiftJis);
  // The UTF-8 ideographic space wins over any other reading.
  EXPECT_EQ(DetectCharCode(S("漢字") + "\xE3\x80\x80"), ccUtf8);
  EXPECT_EQ(DetectCharCode("\x1B$B$\"\x1B(B"), ccJis);
  EXPECT_EQ(DetectCharCode("\x1B$@$\""), ccJis);
  EXPECT_EQ(DetectCharCode("\x1B&@\x1B$B$\""), ccJis);
  EXPECT_EQ(DetectCharCode("\x1B$(D+!"), ccJis);
  EXPECT_EQ(DetectCharCode("\x1B(Bonly"), ccEuc);

  // UTF-8 without a mark: well-formed throughout and not only ASCII.
  EXPECT_EQ(DetectCharCode("日本語のテキスト"), ccUtf8);
  EXPECT_EQ(DetectCharCode("caf\xC3\xA9"), ccUtf8);
  EXPECT_EQ(DetectCharCode("\xF0\x9F\x98\x80"), ccUtf8);
  const std::string euc = Iconv("日本語のテキスト", "EUC-JP", "UTF-8").value();
  EXPECT_EQ(DetectCharCode(euc), ccEuc);
  // One malformed sequence anywhere and it is not UTF-8.
  EXPECT_EQ(DetectCharCode("日本語\xC0\xAF"), ccShiftJis);      // overlong
  EXPECT_EQ(DetectCharCode("日本語\xED\xA0\x80"), ccShiftJis);  // surrogate
  EXPECT_EQ(DetectCharCode("日本語\xF4\x90\x80\x80"), ccShiftJis);
  EXPECT_EQ(DetectCharCode("日本語\xE6\x97"), ccShiftJis);  // truncated
  EXPECT_EQ(DetectCharCode("caf\xC3"), ccEuc);

  EXPECT_EQ(DetectCharCode("\xFF\xFE"
                           "A"),
            ccUtf16Le);
  EXPECT_EQ(DetectCharCode("\xFE\xFF"), ccUtf16Be);
  EXPECT_EQ(DetectCharCode("\xEF\xBB\xBF"), ccUtf8Bom);
}

TEST(CharCode, JisPairMapping) {
  EXPECT_EQ(JisPairToSjis(0x24, 0x22), S("あ"));
  EXPECT_EQ(JisPairToSjis(0x30, 0x21), S("亜"));
  EXPECT_EQ(JisPairToSjis(0x49, 0x3D), S("表"));
  EXPECT_EQ(JisPairToSjis(0x21, 0x7E), S("◇"));
  EXPECT_EQ(JisPairToSjis(0x74, 0x26), S("熙"));
  // Every JIS X 0208 position lands on a distinct, well-formed CP932 code.
  std::set<std::string> seen;
  for (int j1 = 0x21; j1 <= 0x7E; ++j1) {
    for (int j2 = 0x21; j2 <= 0x7E; ++j2) {
      const std::string s =
          JisPairToSjis(static_cast<unsigned char>(j1), static_cast<unsigned char>(j2));
      ASSERT_EQ(s.size(), 2u);
      const auto lead = static_cast<unsigned char>(s[0]);
      const auto trail = static_cast<unsigned char>(s[1]);
      ASSERT_TRUE(IsLeadByte(lead)) << j1 << " " << j2;
      ASSERT_TRUE(trail >= 0x40 && trail <= 0xFC && trail != 0x7F) << j1 << " " << j2;
      seen.insert(s);
    }
  }
  EXPECT_EQ(seen.size(), 94u * 94u);
}

TEST(CharCode, EucAndJisConversionEdges) {
  const std::string a = S("あ");
  EXPECT_EQ(EucToSjis("x\xA4\xA2y"), "x" + a + "y");
  // A first byte at the very end pairs with zero rather than reading on.
  EXPECT_EQ(EucToSjis("\xA4").size(), 2u);
  // The single-shift byte stays; the katakana byte after it starts a pair.
  EXPECT_EQ(EucToSjis("\x8E\xB1"
                      "A")
                .substr(0, 1),
            "\x8E");
  EXPECT_EQ(EucToSjis("\xFF\xA0"), "\xFF\xA0");

  // A double-byte segment without a closing escape runs to the end.
  EXPECT_EQ(JisToSjis("\x1B$B$\"$\""), a + a);
  EXPECT_EQ(JisToSjis("a\x1B$B$\"\x1B(Bb"), "a" + a + "b");
  EXPECT_EQ(JisToSjis("\x1B(Jz"), "z");
  // Two escapes in a row: the second one is not swallowed as text.
  EXPECT_EQ(JisToSjis("\x1B&@\x1B$B$\"\x1B(B"), a);
  EXPECT_EQ(JisToSjis("\x1B$B\x1B(Bq"), "q");
  // Truncated escapes and an odd segment end without reading past the text.
  EXPECT_EQ(JisToSjis("\x1B$B$"), JisPairToSjis('$', 0));
  EXPECT_EQ(JisToSjis("\x1B$"), "");
  EXPECT_EQ(JisToSjis("\x1B"), "");
  EXPECT_EQ(JisToSjis("ab\x1B("), "ab");
  // ESC $ ( D is taken as a three-byte escape: its "D" starts the first pair.
  EXPECT_EQ(JisToSjis("\x1B$(D+!").size(), 4u);
}

TEST(CharCode, FileEdgeCases) {
  const test::TTempFolder dir("rpv_cc_", test::TTempFolder::SetsHome);
  EXPECT_EQ(ReadTextFile(dir.Write("empty", "")), "");
  // The text ends at a zero byte (codes 0-4).
  EXPECT_EQ(ReadTextFile(dir.Write("zero", S("漢字") + std::string("\0tail", 5))), S("漢字"));
  // UTF-16 without a mark is not UTF-16: it ends at its first zero byte.
  EXPECT_EQ(ReadTextFile(dir.Write("nomark", std::string("A\0B\0", 4))), "A");
  // UTF-16 runs to its first zero unit; a lone surrogate becomes "?".
  EXPECT_EQ(ReadTextFile(
                dir.Write("le", std::string("\xFF\xFE\x42\x30\x00\xD8\x61\x00\x00\x00z\x00", 12))),
            S("あ") + "?a");
  EXPECT_EQ(ReadTextFile(dir.Write("be", std::string("\xFE\xFF\x30\x42\xDC\x00\x00", 7))),
            S("あ") + "?");
  EXPECT_EQ(ReadTextFile(dir.Write("lebare", "\xFF\xFE")), "");
  // Characters CP932 lacks come through the user-area table.
  EXPECT_EQ(Cp932ToUtf8(ReadTextFile(dir.Write("emoji",
                                               "\xEF\xBB\xBF"
                                               "a\xF0\x9F\x98\x80\xEA\xB0\x80"))),
            "a\xF0\x9F\x98\x80\xEA\xB0\x80");
  // Invalid UTF-8 after a mark still converts.
  EXPECT_EQ(ReadTextFile(dir.Write("badbom",
                                   "\xEF\xBB\xBF"
                                   "x\x80y")),
            "x?y");
}

TEST(CharCode, ErrorsCarryTheirMessages) {
  const test::TTempFolder dir("rpv_cc_");
  const std::string missing = FromNativePath(dir.Native() / "無い.txt");
  try {
    ReadTextFile(missing);
    FAIL() << "no error for a missing file";
  } catch (const TReadError& e) {
    EXPECT_EQ(std::string(e.what()), "\"" + missing + S("\"は開けません。"));
  }
  EXPECT_THROW(ReadTextFile(FromNativePath(dir.Native())), TReadError);
  EXPECT_THROW(ReadTextFile("\x81"), TReadError);  // not a CP932 name

  // A file beyond any book is refused before it is read (sparse, so cheap).
  const fs::path huge = dir.Native() / "huge";
  { std::ofstream(huge) << ""; }
  fs::resize_file(huge, std::uintmax_t{600} * 1024 * 1024);
  try {
    ReadTextFile(FromNativePath(huge));
    FAIL() << "no error for a huge file";
  } catch (const TReadError& e) {
    EXPECT_EQ(std::string(e.what()), S("メモリを確保出来ませんでした。"));
  }
}

TEST(CharCode, ArbitraryBytesNeverCrash) {
  const test::TTempFolder home("rpv_cc_fuzz_", test::TTempFolder::SetsHome);
  std::mt19937 rng(12345);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 300; ++round) {
    std::string data(static_cast<size_t>(round * 7 % 500), '\0');
    for (char& c : data) c = static_cast<char>(byte(rng));
    // Give some rounds the heads that lead to each converter.
    static const char* const heads[] = {"",       "\xFF\xFE",    "\xFE\xFF", "\xEF\xBB\xBF",
                                        "\x1B$B", "\xE3\x80\x80"};
    data.insert(0, heads[round % 6]);
    const std::string sjis = BytesToSjis(data);
    EXPECT_LE(sjis.size(), data.size() * 2 + 2);
    // Without zeros the byte-level converters see everything.
    std::string noZero = data;
    for (char& c : noZero)
      if (c == 0) c = 1;
    (void)EucToSjis(noZero);
    (void)JisToSjis(noZero);
    (void)DetectCharCode(noZero);
  }
}
