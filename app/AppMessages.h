// The window's fixed texts, as UTF-8 source text; Sjis() turns them into the
// program's CP932 strings where they are used.
#pragma once

#include <string>
#include <string_view>

namespace rpv {

inline constexpr std::string_view kProductName = "【瑠頁～るぺい～】";
inline constexpr std::string_view kWindowFontName = "ＭＳ Ｐゴシック";

inline constexpr std::string_view kMsgCannotOpen = "\"%s\"は開けません。";
inline constexpr std::string_view kMsgCannotWrite = "\"%s\" に書き込めません。";
inline constexpr std::string_view kMsgOpenNeighbour = "\"%s\"を開きます。";

inline constexpr std::string_view kPageJumpCaption = "ページジャンプ";
inline constexpr std::string_view kPageJumpPrompt = "移動する頁を入力して下さい。";
inline constexpr std::string_view kMsgPageOutOfRange = "存在するページの範囲外です。";
inline constexpr std::string_view kMsgNotANumber = "数字を入力して下さい。";

// Extensions of archives, and of the files the neighbour offer lists.
inline constexpr std::string_view kArchiveExtensions = "lzh;zip;rar";
inline constexpr std::string_view kReadableExtensions = "txt;htm;html;shtm;shtml";

// The format with its first "%s" replaced by the argument (CP932 both).
inline std::string FormatS(std::string_view format, std::string_view arg) {
  std::string out(format);
  if (const size_t at = out.find("%s"); at != std::string::npos) out.replace(at, 2, arg);
  return out;
}

}  // namespace rpv
