// The named styles as sections of info.ini, without Qt: which new names are
// acceptable, the whole-section operations of the style list (rename,
// delete, reorder), and the fixed texts of the style menu and dialogs (UTF-8,
// made CP932 with Sjis() where used). Names and paths are CP932.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rpv {

inline constexpr std::string_view kStyleDialogCaption = "設定";
inline constexpr std::string_view kStyleNamePrompt = "登録名を入力してください";
inline constexpr std::string_view kMsgTooManyStyles = "登録できる数は10までです。";
inline constexpr std::string_view kMsgBadStyleName = "登録名が不正です。";
inline constexpr std::string_view kRenameCaption = "名前の変更";
inline constexpr std::string_view kRenamePrompt = "新しい名前を入力してください";
inline constexpr std::string_view kConfirmDeleteStyle = "\"%s\"を削除します。";
inline constexpr std::string_view kEditorCaption = "設定 - 行数：%1 文字数：%2";

// At most this many styles, the default included.
inline constexpr size_t kMaxStyles = 10;

// True when two style names are the same for the INI file: ASCII letters
// compared without case, never the trail byte of a double-byte character.
bool SameStyleName(std::string_view a, std::string_view b);

// The name with blanks around it removed (the INI file drops them too).
std::string TrimStyleName(std::string_view name);

// True when the (trimmed) name can become a new style next to `names`: not
// empty, not one of them in any letter case, no line break, and not ending
// on a lone lead byte (it would swallow the closing "]").
bool IsNewStyleName(std::string_view name, const std::vector<std::string>& names);

// Renames the first section headed exactly "[oldName]" (case-sensitive) in
// the file; the rest of the file keeps its bytes. A file without such a
// header is left alone. False when the file cannot be read or written.
bool RenameStyleSection(std::string_view file, std::string_view oldName,
                        std::string_view newName);

// Removes the section with every key in it. False when the file cannot be
// written.
bool DeleteStyleSection(std::string_view file, std::string_view name);

// Puts the sections named in `order` into that order, in the places they
// already take in the file; every other section and the lines before the
// first section stay where they are. False when the file cannot be read or
// written.
bool ReorderStyleSections(std::string_view file, const std::vector<std::string>& order);

}  // namespace rpv
