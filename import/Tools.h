// Text, path, shell and process helpers used throughout document import.
// Strings are CP932 byte strings; positions are 1-based, 0 meaning "not
// found".
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <optional>
#include <string>
#include <string_view>

#include "import/CharCodeConverter.h"
#include "platform/Process.h"

namespace rpv {

// ---- Text operations -------------------------------------------------------

// Byte-wise, case-sensitive search for sub in s from position from (a
// from below 1 counts as 1). An empty sub matches at from while from is at
// most length + 1.
int32_t PosFrom(std::string_view sub, std::string_view s, int32_t from);
// The same, but a match never starts on the trail byte of a double-byte
// character. 0 when from <= 0 or from > length of s.
int32_t AnsiPosFrom(std::string_view sub, std::string_view s, int32_t from);
// s repeated n times (empty for n <= 0).
std::string RepeatString(std::string_view s, int32_t n);
// The first n bytes of src, fewer when a zero byte or the end of src comes
// first.
std::string CopyBytes(std::string_view src, int32_t n);
// Only the full-width digits of s, each as its ASCII digit.
std::string WideDigitsToAscii(std::string_view s);

// ---- Path operations -------------------------------------------------------

// How paths are spelt. The program uses kNativePathStyle; the other style
// exists so the Windows rules stay testable on every platform.
struct PathStyle {
  char separator;
  // Windows: a path is absolute when it has a drive part ("C:" or a
  // "\\server\share" root). Otherwise: when it begins with the separator.
  bool drives;
};
inline constexpr PathStyle kWindowsPathStyle{'\\', true};
inline constexpr PathStyle kPosixPathStyle{'/', false};
#ifdef _WIN32
inline constexpr PathStyle kNativePathStyle = kWindowsPathStyle;
#else
inline constexpr PathStyle kNativePathStyle = kPosixPathStyle;
#endif

// The extension of the file name (with its dot, ASCII letters in lower case)
// contains one of the ";"-separated items. True for an empty list; false for
// a name without extension.
bool MatchesExtList(std::string_view fileName, std::string_view list,
                    const PathStyle& style = kNativePathStyle);
std::string EnsureLeadingSep(std::string_view s, const PathStyle& style = kNativePathStyle);
std::string DropLeadingSep(std::string_view s, const PathStyle& style = kNativePathStyle);
// s + separator unless s is empty or already ends with a separator character
// (the 0x5C trail byte of a double-byte character is not one).
std::string EnsureTrailingSep(std::string_view s, const PathStyle& style = kNativePathStyle);
// True when path is absolute under style (drive part, or leading separator).
bool IsAbsolutePath(std::string_view path, const PathStyle& style = kNativePathStyle);
// Resolves "." and ".." segments; the result always has a root.
std::string ExpandRelativePath(std::string_view path, const PathStyle& style = kNativePathStyle);
// path itself when absolute, else path joined to baseDir and expanded.
std::string ResolvePath(std::string_view baseDir, std::string_view path,
                        const PathStyle& style = kNativePathStyle);

// ---- Shell and process operations -----------------------------------------

// The folder of a shell special folder index (taken modulo 128), with a
// trailing separator; empty for an index that has no folder on this system.
// 0 desktop, 1 programs menu, 2 documents, 3 startup, 4 send-to, 5 recycle
// bin, 6 start menu, 7 fonts, 8 application data, 9 favourites.
std::string SpecialFolderPath(int index);
// What a shortcut file's name ends with on this system.
inline constexpr std::string_view kShortcutExtension = ".desktop";
// Writes (or replaces, atomically) a shortcut file that starts target, in
// target's folder, with the description. False when it cannot be written.
bool CreateShortcut(std::string_view target, std::string_view description,
                    std::string_view linkFile);
// A filter may run this long before it is stopped (a program that never
// ends, or waits for input from elsewhere).
inline constexpr std::chrono::milliseconds kFilterTimeLimit = std::chrono::seconds(30);

// Raised when a filter reached a limit and was stopped; what() is the CP932
// message for the user naming the command.
class TFilterStopped : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Runs a command line (program and arguments, split as a shell splits simple
// words but without a shell) as a filter: input goes to its standard input,
// and what it writes to its standard output is returned. nullopt when the
// program cannot be started or exits with a status other than 0 (a failed
// filter leaves the text as it was). onTick runs about every 50 ms while the
// child runs, so a window can process its events; it may throw to cancel (the
// filter is killed and reaped). A filter that runs longer than limits.time, or
// writes more than limits.output bytes (the size a document file may have), is
// killed and TFilterStopped raised.
std::optional<std::string> RunFilter(std::string_view commandLine, std::string_view input,
                                     const std::function<void()>& onTick = {},
                                     const ProcessLimits& limits = {kFilterTimeLimit,
                                                                    kMaxTextFileSize});

}  // namespace rpv
