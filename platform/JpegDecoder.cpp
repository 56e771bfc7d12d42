// The JPEG decoder over libjpeg (libjpeg-turbo's libjpeg API).
//
// libjpeg reports fatal errors through error_exit, which by default prints
// and calls exit(); ours jumps back to the caller with longjmp instead. To
// keep that jump well-defined in C++, everything with a destructor lives in
// JpegJob, owned by a frame outside the one that calls setjmp, and the frames
// the jump crosses are libjpeg's own C frames and our trivial callbacks.
//
// Refused besides what libjpeg itself rejects: sizes beyond the picture
// limits, colour spaces other than grey, YCbCr, RGB, CMYK and YCCK, files with
// more than kMaxScans scans (each progressive scan is a pass over the whole
// picture, so a file of thousands of tiny scans would take minutes), and
// files whose compressed data ends before the picture does (a truncated file,
// or a header claiming more rows than the data holds). A file that lacks only
// its end marker, or a progressive file cut between two scans, still loads.
#include <algorithm>
#include <csetjmp>
#include <new>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

#include "platform/Picture.h"

namespace rpv {
namespace {

constexpr int kMaxScans = 100;
// Working memory libjpeg may take besides our bitmap; a progressive picture
// at the pixel limit keeps all its coefficients (2 bytes each) in memory.
constexpr long kMaxWorkBytes = 512L * 1024 * 1024;

struct JpegJob {
  jpeg_decompress_struct cinfo{};
  jpeg_error_mgr err{};
  jpeg_progress_mgr progress{};
  std::jmp_buf jump{};
  TBitmap24 bitmap;
  std::vector<JSAMPLE> cmykRow;

  JpegJob() = default;
  JpegJob(const JpegJob&) = delete;
  JpegJob& operator=(const JpegJob&) = delete;
  // Safe on a never-created object too: jpeg_destroy only frees what the
  // memory manager holds.
  ~JpegJob() { jpeg_destroy_decompress(&cinfo); }
};

JpegJob& JobOf(j_common_ptr c) { return *static_cast<JpegJob*>(c->client_data); }

[[noreturn]] void OnError(j_common_ptr c) { std::longjmp(JobOf(c).jump, 1); }

void OnMessage(j_common_ptr c, int level) {
  // Warnings (level -1) mostly mean recoverable damage, which libjpeg
  // patches over. This one means the entropy-coded data stopped before the
  // picture was complete: the rest would be made up, so we refuse.
  if (level < 0 && c->err->msg_code == JWRN_HIT_MARKER) std::longjmp(JobOf(c).jump, 1);
}

void OnOutputMessage(j_common_ptr) {}  // no console output from a GUI program

void OnProgress(j_common_ptr c) {
  const auto* d = reinterpret_cast<j_decompress_ptr>(c);
  if (d->input_scan_number > kMaxScans) std::longjmp(JobOf(c).jump, 1);
}

bool SupportedColourSpace(const jpeg_decompress_struct& d) {
  switch (d.jpeg_color_space) {
    case JCS_GRAYSCALE:
    case JCS_YCbCr:
    case JCS_RGB:
    case JCS_CMYK:
    case JCS_YCCK: return true;
    default: return false;
  }
}

void Prepare(JpegJob& job, std::string_view bytes) {
  job.cinfo.err = jpeg_std_error(&job.err);
  job.err.error_exit = OnError;
  job.err.emit_message = OnMessage;
  job.err.output_message = OnOutputMessage;
  job.cinfo.client_data = &job;
  jpeg_create_decompress(&job.cinfo);
  job.cinfo.mem->max_memory_to_use = kMaxWorkBytes;
  job.progress.progress_monitor = OnProgress;
  job.cinfo.progress = &job.progress;
  jpeg_mem_src(&job.cinfo, reinterpret_cast<const unsigned char*>(bytes.data()),
               static_cast<unsigned long>(bytes.size()));
}

// Reads the headers; false when they are malformed or out of limits.
// Returns by longjmp on a libjpeg error, so it owns nothing.
bool RunHeader(JpegJob& job, std::string_view bytes) {
  if (setjmp(job.jump) != 0) return false;
  Prepare(job, bytes);
  jpeg_read_header(&job.cinfo, TRUE);
  return SupportedColourSpace(job.cinfo) &&
         PictureSizeAllowed(job.cinfo.image_width, job.cinfo.image_height);
}

// Adobe's writers store CMYK inverted (0 = full ink); others store it plain.
void CmykToBgr(const JSAMPLE* src, uint8_t* dst, int width, bool inverted) {
  for (int x = 0; x < width; ++x, src += 4, dst += 3) {
    unsigned c = src[0], m = src[1], y = src[2], k = src[3];
    if (!inverted) {
      c = 255 - c;
      m = 255 - m;
      y = 255 - y;
      k = 255 - k;
    }
    dst[0] = static_cast<uint8_t>((y * k + 127) / 255);
    dst[1] = static_cast<uint8_t>((m * k + 127) / 255);
    dst[2] = static_cast<uint8_t>((c * k + 127) / 255);
  }
}

// Decodes every row into job.bitmap. Like RunHeader, it may be left by
// longjmp and so keeps no local that needs destroying.
bool RunDecode(JpegJob& job, std::string_view bytes) {
  if (setjmp(job.jump) != 0) return false;
  Prepare(job, bytes);
  jpeg_decompress_struct& d = job.cinfo;
  jpeg_read_header(&d, TRUE);
  if (!SupportedColourSpace(d) || !PictureSizeAllowed(d.image_width, d.image_height))
    return false;
  const bool cmyk = d.jpeg_color_space == JCS_CMYK || d.jpeg_color_space == JCS_YCCK;
  d.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_start_decompress(&d);
  const int width = static_cast<int>(d.output_width);
  const int height = static_cast<int>(d.output_height);
  if (d.output_components != (cmyk ? 4 : 3) || !PictureSizeAllowed(width, height)) return false;

  job.bitmap.SetSize(width, height);
  if (cmyk) job.cmykRow.resize(static_cast<size_t>(width) * 4);
  while (d.output_scanline < d.output_height) {
    const int y = static_cast<int>(d.output_scanline);
    uint8_t* dst = job.bitmap.Row(y);
    JSAMPROW row = cmyk ? job.cmykRow.data() : dst;
    if (jpeg_read_scanlines(&d, &row, 1) != 1) return false;
    if (cmyk) {
      CmykToBgr(job.cmykRow.data(), dst, width, d.saw_Adobe_marker);
    } else {
      for (int x = 0; x < width; ++x) std::swap(dst[3 * x], dst[3 * x + 2]);
    }
  }
  // Not jpeg_finish_decompress: it would only read on to the end marker,
  // and damage after the last row should not cost a complete picture.
  return true;
}

}  // namespace

std::optional<TPictureSize> JpegSize(std::string_view bytes) {
  JpegJob job;
  if (!RunHeader(job, bytes)) return std::nullopt;
  return TPictureSize{static_cast<int>(job.cinfo.image_width),
                      static_cast<int>(job.cinfo.image_height)};
}

std::optional<TBitmap24> LoadJpeg(std::string_view bytes) {
  // A picture within the limits may still need 192 MiB: running out of
  // memory is a picture that cannot be loaded, not a reason to stop.
  try {
    JpegJob job;
    if (!RunDecode(job, bytes)) return std::nullopt;
    return std::move(job.bitmap);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

}  // namespace rpv
