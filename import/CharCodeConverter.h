// Reading a document file in any of the Japanese encodings the reader knows
// and turning it into CP932, the program's own text encoding.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "render/cbcLineText.h"

namespace rpv {

// Encodings as DetectCharCode names them.
enum TCharCode : int {
  ccShiftJis = 0,
  ccJis = 1,      // ISO-2022-JP
  ccEuc = 2,      // EUC-JP; also the answer for text without any CP932 hint
  ccUtf8Bom = 3,  // UTF-8 starting with EF BB BF
  ccUtf8 = 4,     // UTF-8 without a byte-order mark
  ccUtf16Le = 5,  // FF FE
  ccUtf16Be = 6,  // FE FF
};

// No book comes near this; a larger file (or filter output) is refused rather
// than left to the kernel's out-of-memory killer.
inline constexpr size_t kMaxTextFileSize = size_t{512} * 1024 * 1024;

// The whole file as CP932. Throws TReadError (import/ReadError.h) with the
// message "\"<file name>\"は開けません。" when the file cannot be opened and
// "メモリを確保出来ませんでした。" when it cannot be held or converted. A file
// that shrinks while it is read gives empty text. The text is a line text, as
// the document keeps it (TSourceText::SetText adopts its buffer): a Shift_JIS
// file is read into it once, neither zero-filled first nor copied after.
TLineText ReadTextFile(std::string_view fileName);

// The CP932 text of a file's bytes, as ReadTextFile makes it: the text ends
// at the first zero byte (UTF-16: the first zero unit) and is converted from
// the detected encoding.
std::string BytesToSjis(std::string_view bytes);

// The encoding of a byte string, judged from its bytes alone.
int DetectCharCode(std::string_view text);

std::string EucToSjis(std::string_view text);
std::string JisToSjis(std::string_view text);
// One JIS X 0208 character given by its two 7-bit bytes, as two CP932 bytes.
std::string JisPairToSjis(unsigned char j1, unsigned char j2);

}  // namespace rpv
