#include "app/OtherSettings.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "app/AppMessages.h"
#include "app/ProductInfo.h"
#include "import/Tools.h"
#include "platform/Codepage.h"
#include "platform/FileIO.h"

namespace rpv {
namespace {

// "Send To" is index 4 of the shell's special folders.
constexpr int kSendToFolder = 4;

int32_t SecondsOf(uint32_t ms) {
  return std::clamp<int32_t>(static_cast<int32_t>(std::min<uint32_t>(ms / 1000, kIntervalMaxSeconds)),
                             kIntervalMinSeconds, kIntervalMaxSeconds);
}

uint32_t MillisecondsOf(int32_t seconds) {
  return static_cast<uint32_t>(std::clamp(seconds, kIntervalMinSeconds, kIntervalMaxSeconds)) * 1000u;
}

}  // namespace

TOtherSettings OtherSettingsFrom(const TProgramSettings& settings, bool sendToExists) {
  TOtherSettings v;
  v.AutoPSeconds = SecondsOf(settings.AutoInterval);
  v.AutoLSeconds = SecondsOf(settings.AutoLInterval);
  v.EditorName = settings.EditorName;
  v.EditorOption = settings.EditorOption;
  v.SendTo = sendToExists;
  v.Last = settings.blnLast;
  v.DeleteArchive = (settings.EndOpt & kEndOptDeleteArchive) != 0;
  v.GroupedBookmarks = settings.BookMarkType != 0;
  v.Format1 = settings.Format1;
  v.Format2Main = settings.Format2Main;
  v.Format2Sub = settings.Format2Sub;
  return v;
}

void ApplyOtherSettings(const TOtherSettings& v, TProgramSettings& settings) {
  settings.AutoInterval = MillisecondsOf(v.AutoPSeconds);
  settings.AutoLInterval = MillisecondsOf(v.AutoLSeconds);
  settings.EditorName = v.EditorName;
  settings.EditorOption = v.EditorOption;
  settings.blnLast = v.Last;
  settings.EndOpt = v.DeleteArchive ? kEndOptDeleteArchive : 0;
  settings.BookMarkType = v.GroupedBookmarks ? 1 : 0;
  settings.Format1 = v.Format1;
  settings.Format2Main = v.Format2Main;
  settings.Format2Sub = v.Format2Sub;
}

std::string SendToShortcutPath() {
  return SpecialFolderPath(kSendToFolder) + Utf8ToCp932(kProductName) +
         std::string(kShortcutExtension);
}

bool UpdateSendToShortcut(bool wanted, const std::string& program) {
  const std::string link = SendToShortcutPath();
  if (wanted) return CreateShortcut(program, Utf8ToCp932(kSendToDescription), link);
  std::error_code ec;
  std::filesystem::remove(NativePath(link), ec);
  return !ec;
}

const std::array<TPlaceholder, 9>& EditorPlaceholders() {
  static const std::array<TPlaceholder, 9> list{{
      {"%p　現在のページ番号", "画面の頁の番号"},
      {"%P　ページ数", "全体の頁数"},
      {"%f　ファイル名", "文書のファイル名"},
      {"%F　フルパス", "文書のフルパス（書庫の中のファイルは取り出した写し）"},
      {"%l　現在の頁の先頭行", "画面の先頭の表示行の番号（1から）"},
      {"%L　行数", "表示行の数"},
      {"%g　現在の頁付近の論理行", "画面の先頭の行が元の文書の何行目か（1から）"},
      {"%t　HTMLファイルのタイトル/ファイル名", "HTML文書のタイトル、ほかはファイル名"},
      {"%a　テキストファイルの一行目/HTMLファイルのタイトル", "テキストは一行目、HTMLはタイトル"},
  }};
  return list;
}

const std::array<TPlaceholder, 6>& BookmarkPlaceholders() {
  static const std::array<TPlaceholder, 6> list{{
      {"%f　ファイル名", "しおりの文書のファイル名"},
      {"%F　フルパス", "しおりの文書のフルパス"},
      {"%b　しおりの位置", "しおりの行（元の文書の行番号）"},
      {"%d　日付", "しおりを挟んだ日付"},
      {"%D　日付（時間あり）", "しおりを挟んだ日付と時刻"},
      {"%c　コメント", "しおりのコメント"},
  }};
  return list;
}

}  // namespace rpv
