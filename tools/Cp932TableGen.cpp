// Writes the C++ source of the reader's CP932 tables (platform/Cp932Tables.h)
// from glibc's "CP932" converter. The build runs it, so the tables are data
// inside the program and the reader never asks iconv at start-up.
//
//   Cp932TableGen OUTPUT.cpp
//
// Decoding: every single byte and every lead/trail pair is decoded once.
// Encoding: every BMP code point is encoded once; the encoder, not the
// inverse of the decoder, decides, because it knows which of CP932's
// duplicate codes (NEC and IBM extensions) is preferred and it accepts the
// JIS forms of several characters (U+2014, U+301C, U+2212, ...). The one
// addition to glibc: U+00A0 (no-break space) is a space.
#include <iconv.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr bool IsLeadByte(int b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
constexpr int LeadIndex(int lead) { return lead < 0xA0 ? lead - 0x81 : lead - 0xE0 + 31; }
constexpr int kLeadCount = 60;

class TConverter {
 public:
  TConverter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~TConverter() {
    if (ok()) iconv_close(cd_);
  }
  TConverter(const TConverter&) = delete;
  TConverter& operator=(const TConverter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // The converted bytes of one small input, or an empty string when the
  // converter refuses it.
  std::string Convert(const std::string& in) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::string source = in;
    char* inPtr = source.data();
    size_t inLeft = source.size();
    std::array<char, 16> out{};
    char* outPtr = out.data();
    size_t outLeft = out.size();
    if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0)
      return {};
    return std::string(out.data(), out.size() - outLeft);
  }

 private:
  iconv_t cd_;
};

char32_t DecodeUtf32Le(const std::string& s) {
  if (s.size() != 4) return 0;
  const auto* u = reinterpret_cast<const unsigned char*>(s.data());
  return static_cast<char32_t>(u[0] | (u[1] << 8) | (u[2] << 16) | (u[3] << 24));
}

void WriteRow(std::ostream& out, const uint16_t* values, int count) {
  char buf[16];
  for (int i = 0; i < count; ++i) {
    std::snprintf(buf, sizeof buf, "0x%04X,", values[i]);
    out << ((i % 16 == 0) ? "\n    " : " ") << buf;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: Cp932TableGen OUTPUT.cpp\n";
    return 2;
  }
  TConverter decoder("UTF-32LE", "CP932");
  TConverter encoder("CP932", "UTF-32LE");
  if (!decoder.ok() || !encoder.ok()) {
    std::cerr << "Cp932TableGen: glibc's iconv has no CP932 converter (are the gconv modules installed?)\n";
    return 1;
  }

  // Code points are all in the BMP; a code above it would not fit the table.
  auto decode = [&](const std::string& bytes) -> uint16_t {
    const char32_t cp = DecodeUtf32Le(decoder.Convert(bytes));
    return cp < 0x10000 ? static_cast<uint16_t>(cp) : 0;
  };
  std::vector<uint16_t> single(256, 0);
  for (int b = 1; b < 0x100; ++b) {
    if (!IsLeadByte(b)) single[b] = decode(std::string(1, static_cast<char>(b)));
  }
  std::vector<std::vector<uint16_t>> pairs(kLeadCount, std::vector<uint16_t>(256, 0));
  for (int lead = 0; lead < 0x100; ++lead) {
    if (!IsLeadByte(lead)) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;
      pairs[LeadIndex(lead)][trail] = decode({static_cast<char>(lead), static_cast<char>(trail)});
    }
  }

  // Encoding in pages of 256 code points; page 0 of the output is all zero
  // and stands for every page without a CP932 character.
  std::vector<int> pageOf(256, 0);
  std::vector<std::vector<uint16_t>> pages{std::vector<uint16_t>(256, 0)};
  for (int page = 0; page < 256; ++page) {
    std::vector<uint16_t> codes(256, 0);
    bool any = false;
    for (int low = 0; low < 256; ++low) {
      const char32_t cp = static_cast<char32_t>(page << 8 | low);
      if (cp == 0 || (cp >= 0xD800 && cp <= 0xDFFF)) continue;
      const std::string in{static_cast<char>(low), static_cast<char>(page), 0, 0};
      const std::string code = encoder.Convert(in);
      const auto* o = reinterpret_cast<const unsigned char*>(code.data());
      if (code.size() == 1) codes[low] = o[0];
      else if (code.size() == 2) codes[low] = static_cast<uint16_t>(o[0] << 8 | o[1]);
      // glibc refuses the no-break space, common in text from the web;
      // Windows' converter writes a space, and so does the reader.
      if (cp == 0xA0) codes[low] = 0x20;
      any = any || codes[low] != 0;
    }
    if (!any) continue;
    if (pages.size() > 255) {
      std::cerr << "Cp932TableGen: too many pages for an 8-bit page index\n";
      return 1;
    }
    pageOf[page] = static_cast<int>(pages.size());
    pages.push_back(std::move(codes));
  }

  std::ostringstream out;
  out << "// Generated by tools/Cp932TableGen.cpp from glibc's CP932 converter while\n"
         "// building; do not edit.\n"
         "#include \"platform/Cp932Tables.h\"\n\n"
         "namespace rpv::cp932 {\n\n"
         "const char16_t kSingleByte[256] = {";
  WriteRow(out, single.data(), 256);
  out << "\n};\n\nconst char16_t kDoubleByte[kLeadCount][256] = {";
  for (const auto& row : pairs) {
    out << "\n  {";
    WriteRow(out, row.data(), 256);
    out << "\n  },";
  }
  out << "\n};\n\nconst uint8_t kPageIndex[256] = {";
  for (int page = 0; page < 256; ++page) out << ((page % 16 == 0) ? "\n    " : " ") << pageOf[page] << ",";
  out << "\n};\n\nconst uint16_t kPages[" << pages.size() << "][256] = {";
  for (const auto& page : pages) {
    out << "\n  {";
    WriteRow(out, page.data(), 256);
    out << "\n  },";
  }
  out << "\n};\n\n}  // namespace rpv::cp932\n";

  // Written whole or not at all, so a failed run never leaves half a table.
  const std::string path = argv[1];
  const std::string tmp = path + ".tmp";
  {
    std::ofstream file(tmp, std::ios::binary | std::ios::trunc);
    file << out.str();
    if (!file.flush()) {
      std::cerr << "Cp932TableGen: cannot write " << tmp << "\n";
      return 1;
    }
  }
  if (std::rename(tmp.c_str(), path.c_str()) != 0) {
    std::cerr << "Cp932TableGen: cannot write " << path << "\n";
    return 1;
  }
  return 0;
}
