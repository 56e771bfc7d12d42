#include "platform/PngWriter.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <new>
#include <vector>

#include "platform/FileIO.h"

namespace rpv {
namespace {

struct Sink {
  std::string* out;
  std::string message;
};

void WriteData(png_structp png, png_bytep data, png_size_t length) {
  auto* sink = static_cast<Sink*>(png_get_io_ptr(png));
  bool stored = true;
  try {
    sink->out->append(reinterpret_cast<const char*>(data), length);
  } catch (const std::bad_alloc&) {
    stored = false;
  }
  // Outside the handler: the jump must not leave a live exception behind.
  if (!stored) png_error(png, "out of memory");
}

void FlushData(png_structp) {}

void OnError(png_structp png, png_const_charp message) {
  auto* sink = static_cast<Sink*>(png_get_error_ptr(png));
  if (sink != nullptr && message != nullptr) sink->message = message;
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// Everything between setjmp and a longjmp out of libpng is plain data, so the
// jump skips no destructor. The row buffer belongs to the caller.
bool Encode(const TBitmap24& bitmap, Sink& sink, std::vector<png_byte>& row) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, OnError, OnWarning);
  if (png == nullptr) {
    sink.message = "cannot create the PNG writer";
    return false;
  }
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    sink.message = "cannot create the PNG header";
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &sink, WriteData, FlushData);
  png_set_IHDR(png, info, static_cast<png_uint_32>(bitmap.Width()),
               static_cast<png_uint_32>(bitmap.Height()), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  // Pages are mostly flat colour: the SUB filter and light compression give
  // nearly the smallest file in a third of the default time.
  png_set_filter(png, 0, PNG_FILTER_SUB);
  png_set_compression_level(png, 3);
  png_write_info(png, info);
  for (int y = 0; y < bitmap.Height(); ++y) {
    const uint8_t* src = bitmap.Row(y);
    for (int x = 0; x < bitmap.Width(); ++x) {
      row[3 * x] = src[3 * x + 2];
      row[3 * x + 1] = src[3 * x + 1];
      row[3 * x + 2] = src[3 * x];
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool EncodePng(const TBitmap24& bitmap, std::string& out, std::string* error) {
  out.clear();
  if (bitmap.Empty()) {
    if (error != nullptr) *error = "the picture is empty";
    return false;
  }
  Sink sink{&out, {}};
  std::vector<png_byte> row(static_cast<size_t>(bitmap.Width()) * 3);
  if (!Encode(bitmap, sink, row)) {
    if (error != nullptr) *error = sink.message.empty() ? "PNG encoding failed" : sink.message;
    out.clear();
    return false;
  }
  return true;
}

bool WritePng(const TBitmap24& bitmap, std::string_view cp932Path, std::string* error) {
  std::string data;
  if (!EncodePng(bitmap, data, error)) return false;
  if (!WriteFileAtomic(cp932Path, data)) {
    if (error != nullptr) *error = "cannot write " + std::string(cp932Path);
    return false;
  }
  return true;
}

}  // namespace rpv
