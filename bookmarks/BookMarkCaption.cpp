// Text made from a bookmark: menu captions, the short file name and the
// date-time stamp.
#include <cstdio>
#include <ctime>

#include "bookmarks/BookMarkCsv.h"
#include "bookmarks/rpvBookMark.h"

namespace rpv {

std::string_view PathDelimiters() {
#ifdef _WIN32
  return "\\:";
#else
  return "/";
#endif
}

std::string ExtractShortName(std::string_view path, std::string_view delims) {
  // Walk whole characters: "表" (0x95 0x5C) must not count as a backslash.
  size_t start = 0;
  for (size_t i = 0; i < path.size();) {
    const size_t len = SjisCharLen(path, i);
    if (len == 1 && delims.find(path[i]) != std::string_view::npos) start = i + 1;
    i += len;
  }
  return std::string(path.substr(start));
}

std::string TBookMark::FormatCaption(std::string_view format) const {
  std::string out;
  const size_t n = format.size();
  for (size_t i = 0; i < n;) {
    const char c = format[i];
    if ((c != '%' && c != '\\') || i + 1 == n) {
      const size_t len = SjisCharLen(format, i);
      out.append(format.substr(i, len));
      i += len;
      continue;
    }
    // A pair is consumed whole, so "%%b" is "%b" and never the line.
    const char d = format[i + 1];
    // An unknown pair is kept as written, taking the whole character after
    // the "%" or backslash so its trail byte is never read as a backslash.
    auto keepAsWritten = [&] {
      out += c;
      const size_t len = SjisCharLen(format, i + 1);
      out.append(format.substr(i + 1, len));
      i += 1 + len;
    };
    if (c == '%') {
      switch (d) {
        case 'f': out += ShortName(); break;
        case 'F': out += FullPath; break;
        case 'b': out += std::to_string(Line); break;
        case 'd': {
          // The date part; a double-byte character is never cut in two.
          size_t end = 0;
          while (end < DateTime.size() && end + SjisCharLen(DateTime, end) <= 10)
            end += SjisCharLen(DateTime, end);
          out.append(DateTime, 0, end);
          break;
        }
        case 'D': out += DateTime; break;
        case 'c': out += Comment.empty() ? ShortName() : Comment; break;
        case '%': out += '%'; break;
        default: keepAsWritten(); continue;
      }
      i += 2;
    } else if (d == '\\' || d == 't') {
      out += d == 't' ? '\t' : '\\';
      i += 2;
    } else {
      keepAsWritten();
    }
  }
  return out;
}

std::string FormatBookMarkDateTime(int year, int month, int day, int hour, int minute,
                                   int second) {
  char buf[64];
  if (hour == 0 && minute == 0 && second == 0)
    std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", year, month, day);
  else
    std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %d:%02d:%02d", year, month, day, hour,
                  minute, second);
  return buf;
}

std::string NowBookMarkDateTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return FormatBookMarkDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                local.tm_hour, local.tm_min, local.tm_sec);
}

}  // namespace rpv
