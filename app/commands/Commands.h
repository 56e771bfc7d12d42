// The viewer's command vocabulary: every key, mouse action and gesture of the
// main window runs one of these commands, named in ka.ini and ma.ini by its
// Japanese caption. Qt-free, so the binding logic tests without a display.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace rpv {

// In the order the settings dialog lists them; None ("なし") last.
enum class TCommand : uint8_t {
  PageBack,             // 一頁戻る
  PageForward,          // 一頁進む
  LineBack,             // 一行戻る
  LineForward,          // 一行進む
  GoHead,               // 最初の頁へ
  GoEnd,                // 最後の頁へ
  OpenWithDialog,       // ファイルを開く
  ReadClipboard,        // クリップボードから読み込み
  ReloadDocument,       // 再読込
  OpenPreviousHistory,  // 一つ前のファイル履歴を開く
  SetBookmark,          // 栞を挟む
  ReadBookmark,         // 栞から読む
  PageJump,             // ページジャンプ
  ShowFindDialog,       // 検索
  ChangeStyle,          // スタイルの変更
  ToggleFullScreen,     // フルスクリーン/ウィンドウ
  ToggleAutoPage,       // 自動頁送り
  ToggleAutoLine,       // 自動行送り
  ToggleBlankLines,     // 空行を削除
  StartEditor,          // 外部エディタの起動
  OpenOtherSettings,    // その他の設定
  None,                 // なし: no operation
};

inline constexpr int kCommandCount = 21;           // without None
inline constexpr int kCommandNameCount = kCommandCount + 1;

// The CP932 names of all commands and "なし", in TCommand order.
const std::array<std::string, kCommandNameCount>& CommandNames();
// The CP932 name of a command ("なし" for None).
const std::string& CommandName(TCommand command);
// The command whose name equals name byte for byte; None for any other text.
TCommand CommandFromName(std::string_view name);
// Stores into slot the command named name, or the no-operation.
inline void BindCommand(std::string_view name, TCommand& slot) { slot = CommandFromName(name); }

}  // namespace rpv
