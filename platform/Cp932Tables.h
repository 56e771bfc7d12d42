// The CP932 conversion tables, data built into the program: the build
// generates their definitions from glibc's "CP932" converter
// (tools/Cp932TableGen.cpp, run by cmake/Cp932Tables.cmake), and a test checks
// them against that converter again. Used by platform/Codepage.cpp; 0 means
// "no character" in every table (U+0000 and byte 0 are handled by the caller).
#pragma once

#include <cstdint>

namespace rpv::cp932 {

// Lead bytes 0x81-0x9F and 0xE0-0xFC.
inline constexpr int kLeadCount = 60;
constexpr int LeadIndex(unsigned char lead) { return lead < 0xA0 ? lead - 0x81 : lead - 0xE0 + 31; }

// Code point of each single byte (lead bytes: 0).
extern const char16_t kSingleByte[256];
// Code point of each pair, [LeadIndex(lead)][trail].
extern const char16_t kDoubleByte[kLeadCount][256];
// Encoding, by pages of 256 code points: kPages[kPageIndex[cp >> 8]][cp & 0xFF]
// is the code (a byte below 0x100, else lead << 8 | trail); page 0 is empty.
extern const uint8_t kPageIndex[256];
extern const uint16_t kPages[][256];

}  // namespace rpv::cp932
