// Builders for the picture tests: BMP files assembled byte by byte, JPEG
// files made with libjpeg's compressor.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace rpv::testdata {

// A Windows colour value (red in the low byte), as TBitmap24::Pixel gives.
constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

inline void PutU16(std::string& s, uint32_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}
inline void PutU32(std::string& s, uint32_t v) {
  PutU16(s, v & 0xFFFF);
  PutU16(s, v >> 16);
}
inline void SetU16(std::string& s, size_t at, uint32_t v) {
  s[at] = static_cast<char>(v & 0xFF);
  s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
inline void SetU32(std::string& s, size_t at, uint32_t v) {
  SetU16(s, at, v & 0xFFFF);
  SetU16(s, at + 2, v >> 16);
}

struct BmpShape {
  uint32_t headerBytes = 40;  // 12 (OS/2 core), 40, 52, 56, 108, 124
  int32_t width = 0;
  int32_t height = 0;  // negative: top-down
  uint16_t bitCount = 24;
  uint32_t compression = 0;
  uint32_t colorsUsed = 0;
  std::vector<uint32_t> masks;  // inside a V2+ header, after a 40-byte one
  std::string palette;          // raw entries
  std::string pixels;           // raw pixel data
  bool zeroOffset = false;      // leave the pixel offset 0, as some writers do
};

inline std::string MakeBmp(const BmpShape& s) {
  std::string info;
  PutU32(info, s.headerBytes);
  if (s.headerBytes == 12) {
    PutU16(info, static_cast<uint32_t>(s.width));
    PutU16(info, static_cast<uint32_t>(s.height));
    PutU16(info, 1);
    PutU16(info, s.bitCount);
  } else {
    PutU32(info, static_cast<uint32_t>(s.width));
    PutU32(info, static_cast<uint32_t>(s.height));
    PutU16(info, 1);
    PutU16(info, s.bitCount);
    PutU32(info, s.compression);
    PutU32(info, static_cast<uint32_t>(s.pixels.size()));
    PutU32(info, 2835);
    PutU32(info, 2835);
    PutU32(info, s.colorsUsed);
    PutU32(info, 0);
    if (s.headerBytes > 40) {
      for (size_t i = 0; i < 4 && i < s.masks.size(); ++i) PutU32(info, s.masks[i]);
      info.resize(s.headerBytes, '\0');
    } else {
      for (uint32_t m : s.masks) PutU32(info, m);
    }
  }
  const size_t offset = 14 + info.size() + s.palette.size();
  std::string file = "BM";
  PutU32(file, static_cast<uint32_t>(offset + s.pixels.size()));
  PutU32(file, 0);
  PutU32(file, s.zeroOffset ? 0 : static_cast<uint32_t>(offset));
  return file + info + s.palette + s.pixels;
}

// Palette entries B, G, R (and a fourth zero byte unless core).
inline std::string MakePalette(const std::vector<uint32_t>& colours, bool core = false) {
  std::string p;
  for (uint32_t c : colours) {
    p += static_cast<char>((c >> 16) & 0xFF);
    p += static_cast<char>((c >> 8) & 0xFF);
    p += static_cast<char>(c & 0xFF);
    if (!core) p += '\0';
  }
  return p;
}

// Packs rows of palette indexes (top row first) into padded rows in file
// order: bottom-up unless topDown.
inline std::string PackIndexed(const std::vector<std::vector<int>>& rows, int bitCount,
                               bool topDown = false) {
  std::string out;
  const size_t h = rows.size();
  for (size_t r = 0; r < h; ++r) {
    const auto& row = rows[topDown ? r : h - 1 - r];
    std::string bytes((row.size() * static_cast<size_t>(bitCount) + 7) / 8, '\0');
    for (size_t x = 0; x < row.size(); ++x) {
      const size_t bit = x * static_cast<size_t>(bitCount);
      const int shift = 8 - bitCount - static_cast<int>(bit % 8);
      bytes[bit / 8] = static_cast<char>(static_cast<uint8_t>(bytes[bit / 8]) | (row[x] << shift));
    }
    bytes.resize((bytes.size() + 3) & ~size_t{3}, '\0');
    out += bytes;
  }
  return out;
}

// Packs rows of little-endian pixel values of bytesPerPixel bytes.
inline std::string PackDirect(const std::vector<std::vector<uint32_t>>& rows, int bytesPerPixel,
                              bool topDown = false) {
  std::string out;
  const size_t h = rows.size();
  for (size_t r = 0; r < h; ++r) {
    const auto& row = rows[topDown ? r : h - 1 - r];
    std::string bytes;
    for (uint32_t v : row)
      for (int i = 0; i < bytesPerPixel; ++i) bytes += static_cast<char>((v >> (8 * i)) & 0xFF);
    bytes.resize((bytes.size() + 3) & ~size_t{3}, '\0');
    out += bytes;
  }
  return out;
}

struct JpegShape {
  int width = 32;
  int height = 16;
  int components = 3;  // 1 grey, 3 RGB, 4 CMYK
  J_COLOR_SPACE inSpace = JCS_RGB;
  J_COLOR_SPACE fileSpace = JCS_YCbCr;
  bool adobeMarker = true;  // only matters for CMYK/YCCK
  bool progressive = false;
  int quality = 95;
  std::vector<jpeg_scan_info> scans;  // a custom scan script when not empty
};

// Encodes a picture whose sample at (x, y, channel) comes from sample().
inline std::string MakeJpeg(const JpegShape& s,
                            const std::function<uint8_t(int x, int y, int c)>& sample) {
  jpeg_compress_struct c{};
  jpeg_error_mgr err{};
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &buffer, &size);
  c.image_width = static_cast<JDIMENSION>(s.width);
  c.image_height = static_cast<JDIMENSION>(s.height);
  c.input_components = s.components;
  c.in_color_space = s.inSpace;
  jpeg_set_defaults(&c);
  jpeg_set_colorspace(&c, s.fileSpace);
  if (s.components == 4) c.write_Adobe_marker = s.adobeMarker ? TRUE : FALSE;
  jpeg_set_quality(&c, s.quality, TRUE);
  if (s.progressive) jpeg_simple_progression(&c);
  if (!s.scans.empty()) {
    c.scan_info = s.scans.data();
    c.num_scans = static_cast<int>(s.scans.size());
  }
  jpeg_start_compress(&c, TRUE);
  std::vector<JSAMPLE> row(static_cast<size_t>(s.width) * static_cast<size_t>(s.components));
  while (c.next_scanline < c.image_height) {
    const int y = static_cast<int>(c.next_scanline);
    for (int x = 0; x < s.width; ++x)
      for (int ch = 0; ch < s.components; ++ch)
        row[static_cast<size_t>(x * s.components + ch)] = sample(x, y, ch);
    JSAMPROW p = row.data();
    jpeg_write_scanlines(&c, &p, 1);
  }
  jpeg_finish_compress(&c);
  std::string out(reinterpret_cast<const char*>(buffer), size);
  jpeg_destroy_compress(&c);
  std::free(buffer);
  return out;
}

// The offset of a header segment's length field (just after its marker), or
// npos; only segments before the first scan are searched.
inline size_t FindSegment(const std::string& jpeg, uint8_t marker) {
  size_t i = 2;
  while (i + 4 <= jpeg.size() && static_cast<uint8_t>(jpeg[i]) == 0xFF) {
    const auto m = static_cast<uint8_t>(jpeg[i + 1]);
    if (m == marker) return i + 2;
    if (m == 0xDA) break;
    i += 2 + (static_cast<size_t>(static_cast<uint8_t>(jpeg[i + 2])) << 8) +
         static_cast<uint8_t>(jpeg[i + 3]);
  }
  return std::string::npos;
}

// Rewrites the height and width of the frame header (baseline or progressive).
inline void SetJpegSize(std::string& jpeg, uint32_t width, uint32_t height) {
  size_t at = FindSegment(jpeg, 0xC0);
  if (at == std::string::npos) at = FindSegment(jpeg, 0xC2);
  if (at == std::string::npos) std::abort();
  jpeg[at + 3] = static_cast<char>(height >> 8);
  jpeg[at + 4] = static_cast<char>(height & 0xFF);
  jpeg[at + 5] = static_cast<char>(width >> 8);
  jpeg[at + 6] = static_cast<char>(width & 0xFF);
}

}  // namespace rpv::testdata
