// Picks the decoder (BMP, JPEG, PNG) by content and reads picture files with a size cap.
#include "platform/Picture.h"

#include <filesystem>
#include <new>
#include <string>
#include <system_error>

#include "platform/FileIO.h"

namespace rpv {

bool PictureSizeAllowed(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
         width * height <= kMaxPicturePixels;
}

TPictureFormat SniffPictureFormat(std::string_view bytes) {
  if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') return TPictureFormat::Bmp;
  if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xD8 && static_cast<unsigned char>(bytes[2]) == 0xFF)
    return TPictureFormat::Jpeg;
  if (bytes.substr(0, 8) == std::string_view("\x89PNG\r\n\x1A\n", 8)) return TPictureFormat::Png;
  return TPictureFormat::Unknown;
}

std::optional<TBitmap24> DecodePicture(std::string_view bytes) {
  switch (SniffPictureFormat(bytes)) {
    case TPictureFormat::Bmp: return LoadBmp(bytes);
    case TPictureFormat::Jpeg: return LoadJpeg(bytes);
    case TPictureFormat::Png: return LoadPng(bytes);
    case TPictureFormat::Unknown: break;
  }
  return std::nullopt;
}

std::optional<TPictureSize> DecodePictureSize(std::string_view bytes) {
  switch (SniffPictureFormat(bytes)) {
    case TPictureFormat::Bmp: return BmpSize(bytes);
    case TPictureFormat::Jpeg: return JpegSize(bytes);
    case TPictureFormat::Png: return PngSize(bytes);
    case TPictureFormat::Unknown: break;
  }
  return std::nullopt;
}

namespace {

std::optional<std::string> ReadPictureFile(std::string_view cp932Path) {
  const std::filesystem::path native = NativePath(cp932Path);
  if (native.empty()) return std::nullopt;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(native, ec)) return std::nullopt;
  const auto size = std::filesystem::file_size(native, ec);
  if (ec || size > kMaxPictureFileBytes) return std::nullopt;
  try {
    return ReadWholeFile(cp932Path);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

}  // namespace

std::optional<TBitmap24> LoadPicture(std::string_view cp932Path) {
  const auto bytes = ReadPictureFile(cp932Path);
  if (!bytes) return std::nullopt;
  return DecodePicture(*bytes);
}

std::optional<TPictureSize> LoadPictureSize(std::string_view cp932Path) {
  const auto bytes = ReadPictureFile(cp932Path);
  if (!bytes) return std::nullopt;
  return DecodePictureSize(*bytes);
}

}  // namespace rpv
