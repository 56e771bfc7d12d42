// PNG export of a 24-bit bitmap through libpng. Failures are reported, never
// fatal: the target is written through a temporary file, so a failed write
// leaves any earlier file untouched.
#pragma once

#include <string>
#include <string_view>

#include "platform/Bitmap.h"

namespace rpv {

// Encodes the bitmap as an 8-bit RGB PNG. Returns false with a message in
// *error (when given) if the bitmap is empty or libpng fails.
bool EncodePng(const TBitmap24& bitmap, std::string& out, std::string* error = nullptr);

// Encodes and writes to a CP932 path.
bool WritePng(const TBitmap24& bitmap, std::string_view cp932Path, std::string* error = nullptr);

}  // namespace rpv
