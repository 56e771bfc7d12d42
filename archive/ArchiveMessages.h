// The archive code's fixed texts, as UTF-8 source text; ArchiveMessage()
// turns one into the program's CP932 with its "%s" filled in.
#pragma once

#include <string>
#include <string_view>

namespace rpv {

inline constexpr std::string_view kMsgLibraryMissing = "必要な\"DLL\"がありません";
// The extraction's own wording ends with an ASCII full stop.
inline constexpr std::string_view kMsgLibraryMissingRun = "必要な\"DLL\"がありません.";
inline constexpr std::string_view kMsgSelectFile = "SelectFile";
inline constexpr std::string_view kMsgExtractError = "Error";

inline constexpr std::string_view kMsgArchiveCannotOpen = "\"%s\"は開けません。";
inline constexpr std::string_view kMsgArchiveBroken = "\"%s\"は壊れているか、途中で切れています。";
inline constexpr std::string_view kMsgMemberUnsafe =
    "\"%s\"は書庫の外を指す名前なので取り出しません。";
inline constexpr std::string_view kMsgMemberNotRegular =
    "\"%s\"はフォルダかリンクなので取り出しません。";
inline constexpr std::string_view kMsgMemberEncrypted =
    "\"%s\"は暗号化されているので取り出せません。";
inline constexpr std::string_view kMsgOutOfMemory = "メモリを確保出来ませんでした。";
inline constexpr std::string_view kMsgCannotWriteFile = "\"%s\" に書き込めません。";

// The message (UTF-8 source text) in CP932, its first "%s" replaced by arg
// (CP932).
std::string ArchiveMessage(std::string_view utf8Format, std::string_view cp932Arg = {});

}  // namespace rpv
