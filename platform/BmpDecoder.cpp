// The BMP decoder: Windows and OS/2 1.x headers, 1/4/8-bit palettes, 16/24/32
// bits (with bit-field masks), RLE8 and RLE4, bottom-up and top-down rows.
//
// Every byte read goes through a bounds check against the file, a palette
// index always lands in a 256-entry table (unused entries are black), and RLE
// runs are clipped to the picture, so no file can make us read or write out
// of bounds. Undrawn pixels of an RLE picture are black.
#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <new>

#include "platform/Picture.h"

namespace rpv {
namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr uint32_t kBiBitfields = 3;
constexpr uint32_t kBiAlphaBitfields = 6;

constexpr size_t kFileHeaderBytes = 14;
constexpr uint32_t kCoreHeaderBytes = 12;

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// One colour channel of a 16- or 32-bit pixel, widened to 8 bits.
class ChannelMask {
 public:
  ChannelMask() = default;
  explicit ChannelMask(uint32_t mask) {
    if (mask == 0) return;
    shift_ = std::countr_zero(mask);
    // Only the lowest contiguous run of ones counts; a mask with gaps is
    // nonsense and this keeps it harmless.
    bits_ = std::countr_one(mask >> shift_);
    max_ = bits_ >= 32 ? 0xFFFFFFFFu : (uint32_t{1} << bits_) - 1;
  }
  uint8_t Extract(uint32_t pixel) const {
    if (bits_ == 0) return 0;
    const uint32_t v = (pixel >> shift_) & max_;
    if (bits_ >= 8) return static_cast<uint8_t>(v >> (bits_ - 8));
    return static_cast<uint8_t>((v * 255 + max_ / 2) / max_);
  }

 private:
  int shift_ = 0;
  int bits_ = 0;
  uint32_t max_ = 0;
};

using Bgr = std::array<uint8_t, 3>;

struct BmpLayout {
  int width = 0;
  int height = 0;
  bool topDown = false;
  int bitCount = 0;
  uint32_t compression = kBiRgb;
  ChannelMask red, green, blue;
  bool defaultBgrx = false;  // 32-bit pixels that are plain B, G, R, unused
  std::array<Bgr, 256> palette{};
  size_t dataOffset = 0;
  size_t stride = 0;  // uncompressed rows only
};

bool ValidDepth(int bitCount, uint32_t compression) {
  switch (compression) {
    case kBiRgb:
      return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 ||
             bitCount == 24 || bitCount == 32;
    case kBiRle8: return bitCount == 8;
    case kBiRle4: return bitCount == 4;
    case kBiBitfields:
    case kBiAlphaBitfields: return bitCount == 16 || bitCount == 32;
    default: return false;  // embedded JPEG/PNG, OS/2 Huffman and RLE24
  }
}

// Reads and checks every header field; nullopt for anything malformed, too
// large, or (uncompressed) shorter than its pixel rows.
std::optional<BmpLayout> ParseLayout(std::string_view bytes) {
  const auto* b = reinterpret_cast<const uint8_t*>(bytes.data());
  const size_t size = bytes.size();
  if (size < kFileHeaderBytes + 4 || b[0] != 'B' || b[1] != 'M') return std::nullopt;
  const uint32_t headerBytes = U32(b + 14);
  if (size - kFileHeaderBytes < headerBytes) return std::nullopt;

  BmpLayout l;
  int64_t width = 0;
  int64_t height = 0;
  uint32_t colorsUsed = 0;
  size_t entryBytes = 4;
  if (headerBytes == kCoreHeaderBytes) {
    width = U16(b + 18);
    height = U16(b + 20);
    l.bitCount = U16(b + 24);
    entryBytes = 3;
  } else if (headerBytes == 40 || headerBytes == 52 || headerBytes == 56 || headerBytes == 64 ||
             headerBytes == 108 || headerBytes == 124) {
    width = static_cast<int32_t>(U32(b + 18));
    height = static_cast<int32_t>(U32(b + 22));
    l.bitCount = U16(b + 28);
    l.compression = U32(b + 30);
    colorsUsed = U32(b + 46);
    // The 64-byte OS/2 2.x header gives compression 3 and 4 other meanings
    // (Huffman, RLE24), which we do not read.
    if (headerBytes == 64 && l.compression > kBiRle4) return std::nullopt;
  } else {
    return std::nullopt;
  }
  if (!ValidDepth(l.bitCount, l.compression)) return std::nullopt;
  l.topDown = height < 0;
  if (height < 0) height = -height;
  if (!PictureSizeAllowed(width, height)) return std::nullopt;
  l.width = static_cast<int>(width);
  l.height = static_cast<int>(height);

  size_t headerEnd = kFileHeaderBytes + headerBytes;
  if (l.compression == kBiBitfields || l.compression == kBiAlphaBitfields) {
    size_t maskAt = kFileHeaderBytes + 40;
    if (headerBytes == 40) {
      // The masks follow a plain info header instead of being part of it.
      headerEnd += l.compression == kBiAlphaBitfields ? 16 : 12;
      if (headerEnd > size) return std::nullopt;
    }
    l.red = ChannelMask(U32(b + maskAt));
    l.green = ChannelMask(U32(b + maskAt + 4));
    l.blue = ChannelMask(U32(b + maskAt + 8));
  } else if (l.bitCount == 16) {
    l.red = ChannelMask(0x7C00);
    l.green = ChannelMask(0x03E0);
    l.blue = ChannelMask(0x001F);
  } else if (l.bitCount == 32) {
    l.defaultBgrx = true;
  }

  const uint32_t offBits = U32(b + 10);
  size_t paletteEntries = 0;
  if (l.bitCount <= 8) {
    paletteEntries = size_t{1} << l.bitCount;
    if (colorsUsed > 0 && colorsUsed < paletteEntries) paletteEntries = colorsUsed;
  }
  // Some writers leave the pixel offset at 0; the pixels then follow the
  // palette directly.
  l.dataOffset = offBits >= headerEnd ? offBits : headerEnd + paletteEntries * entryBytes;
  if (l.dataOffset >= size) return std::nullopt;
  // Palette entries run up to the pixels; a short palette leaves the rest
  // black rather than reading pixel bytes as colours.
  const size_t paletteRoom = l.dataOffset > headerEnd ? l.dataOffset - headerEnd : 0;
  paletteEntries = std::min(paletteEntries, paletteRoom / entryBytes);
  for (size_t i = 0; i < paletteEntries; ++i) {
    const uint8_t* e = b + headerEnd + i * entryBytes;
    l.palette[i] = {e[0], e[1], e[2]};
  }

  if (l.compression == kBiRgb || l.compression == kBiBitfields ||
      l.compression == kBiAlphaBitfields) {
    const uint64_t rowBits = static_cast<uint64_t>(l.width) * static_cast<uint64_t>(l.bitCount);
    l.stride = static_cast<size_t>((rowBits + 31) / 32 * 4);
    // The padding of the last row is often left off; its pixels are enough.
    const uint64_t need =
        static_cast<uint64_t>(l.stride) * static_cast<uint64_t>(l.height - 1) + (rowBits + 7) / 8;
    if (size - l.dataOffset < need) return std::nullopt;
  }
  return l;
}

void PutIndex(uint8_t* dst, const BmpLayout& l, unsigned index) {
  const Bgr& c = l.palette[index & 0xFF];
  dst[0] = c[0];
  dst[1] = c[1];
  dst[2] = c[2];
}

void PutMasked(uint8_t* dst, const BmpLayout& l, uint32_t pixel) {
  dst[0] = l.blue.Extract(pixel);
  dst[1] = l.green.Extract(pixel);
  dst[2] = l.red.Extract(pixel);
}

void DecodeRow(const uint8_t* src, uint8_t* dst, const BmpLayout& l) {
  const int w = l.width;
  switch (l.bitCount) {
    case 1:
      for (int x = 0; x < w; ++x) PutIndex(dst + 3 * x, l, (src[x >> 3] >> (7 - (x & 7))) & 1);
      break;
    case 4:
      for (int x = 0; x < w; ++x)
        PutIndex(dst + 3 * x, l, (src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F);
      break;
    case 8:
      for (int x = 0; x < w; ++x) PutIndex(dst + 3 * x, l, src[x]);
      break;
    case 16:
      for (int x = 0; x < w; ++x) PutMasked(dst + 3 * x, l, U16(src + 2 * x));
      break;
    case 24: std::memcpy(dst, src, static_cast<size_t>(w) * 3); break;
    case 32:
      if (l.defaultBgrx) {
        for (int x = 0; x < w; ++x) std::memcpy(dst + 3 * x, src + 4 * x, 3);
      } else {
        for (int x = 0; x < w; ++x) PutMasked(dst + 3 * x, l, U32(src + 4 * x));
      }
      break;
    default: break;
  }
}

void DecodeUncompressed(const uint8_t* data, const BmpLayout& l, TBitmap24& out) {
  for (int r = 0; r < l.height; ++r) {
    const uint8_t* src = data + l.dataOffset + l.stride * static_cast<size_t>(r);
    DecodeRow(src, out.Row(l.topDown ? r : l.height - 1 - r), l);
  }
}

// RLE8 and RLE4. Runs that reach past the right edge or below the picture
// are clipped. A stream that runs out before its last row is truncated and
// refused.
bool DecodeRle(const uint8_t* data, size_t size, const BmpLayout& l, TBitmap24& out) {
  const bool rle4 = l.compression == kBiRle4;
  const uint8_t* p = data + l.dataOffset;
  const uint8_t* const end = data + size;
  int64_t x = 0;  // may run past the width; writes are clipped
  int64_t y = 0;  // counted from the first row stored in the file
  const int64_t w = l.width;
  const int64_t h = l.height;

  // Writes count palette pixels at the pen, the i-th being colourIndex(i).
  auto put = [&](int64_t count, auto&& colourIndex) {
    if (y < h && x < w) {
      uint8_t* row = out.Row(static_cast<int>(l.topDown ? y : h - 1 - y));
      const int64_t n = std::min(count, w - x);
      for (int64_t i = 0; i < n; ++i) PutIndex(row + 3 * (x + i), l, colourIndex(i));
    }
    x += count;
  };

  while (end - p >= 2) {
    const uint8_t count = p[0];
    const uint8_t value = p[1];
    p += 2;
    if (count > 0) {  // encoded run
      if (rle4) {
        put(count, [value](int64_t i) -> unsigned { return (i & 1) ? value & 0x0F : value >> 4; });
      } else {
        put(count, [value](int64_t) -> unsigned { return value; });
      }
      continue;
    }
    switch (value) {
      case 0:  // end of line
        x = 0;
        if (++y >= h) return true;
        break;
      case 1: return true;  // end of bitmap
      case 2:               // move the pen
        if (end - p < 2) return false;
        x = std::min<int64_t>(x + p[0], w);
        y += p[1];
        p += 2;
        if (y >= h) return true;
        break;
      default: {  // literal pixels, padded to a 16-bit boundary
        const size_t bytesUsed = rle4 ? (value + 1u) / 2 : value;
        if (static_cast<size_t>(end - p) < bytesUsed) return false;
        const uint8_t* lit = p;
        if (rle4) {
          put(value, [lit](int64_t i) -> unsigned {
            return (lit[i >> 1] >> ((i & 1) ? 0 : 4)) & 0x0F;
          });
        } else {
          put(value, [lit](int64_t i) -> unsigned { return lit[i]; });
        }
        p += std::min(bytesUsed + (bytesUsed & 1), static_cast<size_t>(end - p));
        break;
      }
    }
  }
  // Out of data: a stream that reached the last row lacks only its closing
  // codes, and what they would leave undrawn is black either way.
  return y == h - 1;
}

}  // namespace

std::optional<TPictureSize> BmpSize(std::string_view bytes) {
  const auto layout = ParseLayout(bytes);
  if (!layout) return std::nullopt;
  return TPictureSize{layout->width, layout->height};
}

std::optional<TBitmap24> LoadBmp(std::string_view bytes) {
  const auto layout = ParseLayout(bytes);
  if (!layout) return std::nullopt;
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  // Within the limits a bitmap may still need 192 MiB: running out of
  // memory is a picture that cannot be loaded, not a reason to stop.
  try {
    TBitmap24 out(layout->width, layout->height);
    if (layout->compression == kBiRle8 || layout->compression == kBiRle4) {
      if (!DecodeRle(data, bytes.size(), *layout, out)) return std::nullopt;
    } else {
      DecodeUncompressed(data, *layout, out);
    }
    return out;
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

}  // namespace rpv
