// Picture loading: BMP through our own decoder, JPEG through libjpeg, PNG
// through libpng. Every
// result is a 24-bit bitmap (BGR rows, top row first) or nullopt, meaning
// "not loaded": callers then show the file's name in brackets instead.
//
// Nothing here trusts the file: every read is bounds-checked, sizes are
// checked before anything is allocated, and a malformed, truncated or
// oversized picture is refused rather than shown with made-up parts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/Bitmap.h"

namespace rpv {

// Largest side and largest area a picture may have. 64 Mi pixels is a
// 192 MiB bitmap, far beyond any page; anything bigger is a broken or
// hostile header, not a book illustration.
inline constexpr int kMaxPictureSide = 65535;
inline constexpr int64_t kMaxPicturePixels = int64_t{64} * 1024 * 1024;
// Files larger than this are not even read: no valid picture within the
// pixel limit needs more (a 32-bit BMP of 64 Mi pixels is 256 MiB).
inline constexpr uint64_t kMaxPictureFileBytes = uint64_t{320} * 1024 * 1024;

// The extensions of the files offered as pictures (HTML images, background
// pictures), as MatchesExtList takes them.
inline constexpr std::string_view kPictureExtensions = "bmp;jpg;jpeg;png";

struct TPictureSize {
  int Width = 0;
  int Height = 0;
  friend bool operator==(const TPictureSize&, const TPictureSize&) = default;
};

enum class TPictureFormat { Unknown, Bmp, Jpeg, Png };

// The format by the file's first bytes ("BM", FF D8 FF, or the PNG
// signature), never by its extension: a JPEG named .bmp still loads.
TPictureFormat SniffPictureFormat(std::string_view bytes);

// Decoders over a file's bytes.
std::optional<TBitmap24> LoadBmp(std::string_view bytes);
std::optional<TBitmap24> LoadJpeg(std::string_view bytes);
// Any PNG as 8-bit BGR; transparency is composited over white.
std::optional<TBitmap24> LoadPng(std::string_view bytes);
std::optional<TBitmap24> DecodePicture(std::string_view bytes);

// Size only, from the headers, without decoding pixels. A BMP is checked as
// fully as by LoadBmp except for RLE streams; a JPEG only as far as its
// headers (a PNG too), so a picture whose size is known may still fail to
// load later.
std::optional<TPictureSize> BmpSize(std::string_view bytes);
std::optional<TPictureSize> JpegSize(std::string_view bytes);
std::optional<TPictureSize> PngSize(std::string_view bytes);
std::optional<TPictureSize> DecodePictureSize(std::string_view bytes);

// The same for a file named by a CP932 path. A missing, unreadable or
// oversized file is "not loaded" like a malformed one.
std::optional<TBitmap24> LoadPicture(std::string_view cp932Path);
std::optional<TPictureSize> LoadPictureSize(std::string_view cp932Path);

// Shared by the decoders: both sides positive and within the limits above.
bool PictureSizeAllowed(int64_t width, int64_t height);

}  // namespace rpv
