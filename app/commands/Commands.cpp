#include "app/commands/Commands.h"

#include "platform/Codepage.h"

namespace rpv {

const std::array<std::string, kCommandNameCount>& CommandNames() {
  // Written here in UTF-8 for legibility; the program and its files use CP932.
  static const std::array<std::string, kCommandNameCount> names = [] {
    constexpr std::array<std::string_view, kCommandNameCount> utf8{
        "一頁戻る", "一頁進む", "一行戻る", "一行進む", "最初の頁へ", "最後の頁へ",
        "ファイルを開く", "クリップボードから読み込み", "再読込", "一つ前のファイル履歴を開く",
        "栞を挟む", "栞から読む", "ページジャンプ", "検索", "スタイルの変更",
        "フルスクリーン/ウィンドウ", "自動頁送り", "自動行送り", "空行を削除",
        "外部エディタの起動", "その他の設定", "なし"};
    std::array<std::string, kCommandNameCount> out;
    for (size_t i = 0; i < utf8.size(); ++i) out[i] = Utf8ToCp932(utf8[i]);
    return out;
  }();
  return names;
}

const std::string& CommandName(TCommand command) {
  const auto index = static_cast<size_t>(command);
  const auto& names = CommandNames();
  return index < names.size() ? names[index] : names.back();
}

TCommand CommandFromName(std::string_view name) {
  const auto& names = CommandNames();
  for (int i = 0; i < kCommandCount; ++i)
    if (names[static_cast<size_t>(i)] == name) return static_cast<TCommand>(i);
  return TCommand::None;
}

}  // namespace rpv
