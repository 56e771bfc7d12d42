// The PNG decoder over libpng's simplified reading interface. libpng reports
// errors through its own setjmp inside png_image_* (the jump never leaves
// libpng's frames), so a malformed or truncated file just gives false and a
// message, and no C++ frame is jumped over.
//
// Every PNG colour type and depth is read as 8-bit BGR. A picture with
// transparency is composited over white, as a page of paper would show it:
// the renderer draws pictures opaque (BMP alpha is ignored too), and the
// colour under a fully transparent pixel is often arbitrary.
#include <new>
#include <png.h>

#include "platform/Picture.h"

namespace rpv {
namespace {

// The simplified reader's state, freed however the decoding ends.
struct PngImage {
  png_image image{};
  PngImage() { image.version = PNG_IMAGE_VERSION; }
  PngImage(const PngImage&) = delete;
  PngImage& operator=(const PngImage&) = delete;
  ~PngImage() { png_image_free(&image); }
};

bool IsPng(std::string_view bytes) {
  return bytes.size() >= 8 && png_sig_cmp(reinterpret_cast<png_const_bytep>(bytes.data()), 0, 8) == 0;
}

// Reads the header; false when libpng refuses it or the size is beyond the
// picture limits.
bool BeginRead(PngImage& png, std::string_view bytes) {
  if (!IsPng(bytes)) return false;
  if (png_image_begin_read_from_memory(&png.image, bytes.data(), bytes.size()) == 0) return false;
  return PictureSizeAllowed(png.image.width, png.image.height);
}

}  // namespace

std::optional<TPictureSize> PngSize(std::string_view bytes) {
  PngImage png;
  if (!BeginRead(png, bytes)) return std::nullopt;
  return TPictureSize{static_cast<int>(png.image.width), static_cast<int>(png.image.height)};
}

std::optional<TBitmap24> LoadPng(std::string_view bytes) {
  PngImage png;
  if (!BeginRead(png, bytes)) return std::nullopt;
  png.image.format = PNG_FORMAT_BGR;
  TBitmap24 bitmap;
  try {
    bitmap.SetSize(static_cast<int>(png.image.width), static_cast<int>(png.image.height));
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  const png_color white{255, 255, 255};
  // The stride is in components; for 8-bit BGR that is bytes.
  if (png_image_finish_read(&png.image, &white, bitmap.Row(0),
                            static_cast<png_int_32>(bitmap.Stride()), nullptr) == 0)
    return std::nullopt;
  return bitmap;
}

}  // namespace rpv
