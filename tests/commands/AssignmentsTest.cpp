#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <random>

#include "app/commands/Assignments.h"
#include "platform/Codepage.h"
#include "tests/support/TestSupport.h"

using namespace rpv;

namespace {

using test::S;

constexpr int kVkUp = 38, kVkDown = 40, kVkRight = 39, kVkLeft = 37, kVkHome = 36, kVkEnd = 35;
constexpr int kVkF2 = 113, kVkF5 = 116, kVkEnter = 13;

TKeyModifiers Mods(bool ctrl, bool shift, bool alt, bool other = false) {
  return TKeyModifiers{ctrl, shift, alt, other};
}
const TKeyModifiers kNone{}, kCtrl = Mods(true, false, false), kShift = Mods(false, true, false),
                    kAlt = Mods(false, false, true);

}  // namespace

TEST(CommandVocabulary, NamesRoundTripAndNothingElseBinds) {
  const auto& names = CommandNames();
  ASSERT_EQ(names.size(), 22u);
  EXPECT_EQ(names.front(), S("一頁戻る"));
  EXPECT_EQ(names[6], S("ファイルを開く"));
  EXPECT_EQ(names[20], S("その他の設定"));
  EXPECT_EQ(names.back(), S("なし"));
  for (int i = 0; i < kCommandCount; ++i) {
    const auto command = static_cast<TCommand>(i);
    EXPECT_EQ(CommandFromName(CommandName(command)), command) << i;
  }
  EXPECT_EQ(CommandFromName(S("なし")), TCommand::None);
  // Exact byte comparison: no trimming, no UTF-8, no prefix matches.
  EXPECT_EQ(CommandFromName(S("一頁進む ")), TCommand::None);
  EXPECT_EQ(CommandFromName("一頁進む"), TCommand::None);
  EXPECT_EQ(CommandFromName(S("一頁")), TCommand::None);
  EXPECT_EQ(CommandFromName(""), TCommand::None);

  TCommand slot = TCommand::GoEnd;
  BindCommand(S("検索"), slot);
  EXPECT_EQ(slot, TCommand::ShowFindDialog);
  BindCommand("garbage", slot);
  EXPECT_EQ(slot, TCommand::None);
}

TEST(KeyNames, PrefixesAreTestedLongestFirstAndOnlyInTheirOwnCase) {
  EXPECT_EQ(ParseKeyName("Ctrl+Shift+F").Table, 4);
  EXPECT_EQ(ParseKeyName("Ctrl+Shift+F").Code, 'F');
  EXPECT_EQ(ParseKeyName("Ctrl+Alt+Enter").Table, 5);
  EXPECT_EQ(ParseKeyName("Ctrl+Alt+Enter").Code, kVkEnter);
  EXPECT_EQ(ParseKeyName("Shift+Alt+Home").Table, 6);
  EXPECT_EQ(ParseKeyName("Ctrl+O").Table, 1);
  EXPECT_EQ(ParseKeyName("Shift+Space").Table, 2);
  EXPECT_EQ(ParseKeyName("Shift+Space").Code, 32);
  EXPECT_EQ(ParseKeyName("Alt+Enter").Table, 3);
  // Ctrl+Alt+Shift is not a prefix: "Ctrl+" is, and leaves "Alt+Shift+X".
  EXPECT_EQ(ParseKeyName("Ctrl+Alt+Shift+X").Table, 5);
  EXPECT_EQ(ParseKeyName("Ctrl+Alt+Shift+X").Code, 0);
  EXPECT_EQ(ParseKeyName("Alt+Shift+X").Table, 3);
  EXPECT_EQ(ParseKeyName("Alt+Shift+X").Code, 0);

  // Lower-case prefixes are not prefixes, and the whole name is no key.
  for (const char* name : {"ctrl+O", "CTRL+O", "shift+F5", "alt+Enter"}) {
    EXPECT_EQ(ParseKeyName(name).Table, 0) << name;
    EXPECT_EQ(ParseKeyName(name).Code, 0) << name;
  }
  // A prefix elsewhere in the name is not removed.
  EXPECT_EQ(ParseKeyName("XCtrl+O").Code, 0);
}

TEST(KeyNames, CharactersFunctionKeysAndNamedKeys) {
  EXPECT_EQ(KeyNameToCode("A"), 65);
  EXPECT_EQ(KeyNameToCode("Z"), 90);
  EXPECT_EQ(KeyNameToCode("0"), 48);
  EXPECT_EQ(KeyNameToCode("9"), 57);
  EXPECT_EQ(KeyNameToCode("F"), 70);  // one character: the letter F
  EXPECT_EQ(KeyNameToCode("F1"), 112);
  EXPECT_EQ(KeyNameToCode("F5"), kVkF5);
  EXPECT_EQ(KeyNameToCode("F12"), 123);
  EXPECT_EQ(KeyNameToCode("F24"), 135);
  EXPECT_EQ(KeyNameToCode("F05"), kVkF5);
  EXPECT_EQ(KeyNameToCode("F123"), 123);  // characters past the third are ignored
  EXPECT_EQ(KeyNameToCode("F1 "), 112);
  // Names that start with F but give no function key name nothing.
  for (const char* name : {"Fx", "F0", "F25", "F99", "Foo", "F+1"})
    EXPECT_EQ(KeyNameToCode(name), 0) << name;

  EXPECT_EQ(KeyNameToCode("Up"), kVkUp);
  EXPECT_EQ(KeyNameToCode("Down"), kVkDown);
  EXPECT_EQ(KeyNameToCode("Right"), kVkRight);
  EXPECT_EQ(KeyNameToCode("Left"), kVkLeft);
  EXPECT_EQ(KeyNameToCode("Home"), kVkHome);
  EXPECT_EQ(KeyNameToCode("End"), kVkEnd);
  EXPECT_EQ(KeyNameToCode("PageUp"), 33);
  EXPECT_EQ(KeyNameToCode("PageDown"), 34);
  EXPECT_EQ(KeyNameToCode("BackSpace"), 8);
  EXPECT_EQ(KeyNameToCode("Space"), 32);
  EXPECT_EQ(KeyNameToCode("Enter"), kVkEnter);
  for (const char* name : {"up", "UP", "Esc", "Escape", "Tab", "Delete", "Insert", "", "Space "})
    EXPECT_EQ(KeyNameToCode(name), 0) << name;
  // A double-byte character is two bytes, so not one character.
  EXPECT_EQ(KeyNameToCode(S("あ")), 0);
  // Any single byte is its own code.
  EXPECT_EQ(KeyNameToCode("\xFF"), 255);
}

TEST(KeyTables, ExactModifierSetsChooseTheTable) {
  EXPECT_EQ(ModifierTable(kNone), 0);
  EXPECT_EQ(ModifierTable(kCtrl), 1);
  EXPECT_EQ(ModifierTable(kShift), 2);
  EXPECT_EQ(ModifierTable(kAlt), 3);
  EXPECT_EQ(ModifierTable(Mods(true, true, false)), 4);
  EXPECT_EQ(ModifierTable(Mods(true, false, true)), 5);
  EXPECT_EQ(ModifierTable(Mods(false, true, true)), 6);
  EXPECT_EQ(ModifierTable(Mods(true, true, true)), 0);
  EXPECT_EQ(ModifierTable(Mods(true, false, false, true)), 0);
  EXPECT_EQ(ModifierTable(Mods(false, false, false, true)), 0);

  TKeyAssignments keys;
  keys.Load({"F5=" + S("再読込"), "Ctrl+F5=" + S("検索"), "Ctrl+Shift+F5=" + S("栞を挟む")});
  EXPECT_EQ(keys.ForKey(kVkF5, kNone), TCommand::ReloadDocument);
  EXPECT_EQ(keys.ForKey(kVkF5, kCtrl), TCommand::ShowFindDialog);
  EXPECT_EQ(keys.ForKey(kVkF5, Mods(true, true, false)), TCommand::SetBookmark);
  EXPECT_EQ(keys.ForKey(kVkF5, kShift), TCommand::None);
  // All three held: the table without a prefix.
  EXPECT_EQ(keys.ForKey(kVkF5, Mods(true, true, true)), TCommand::ReloadDocument);
  // A mouse button held as well: the same.
  EXPECT_EQ(keys.ForKey(kVkF5, Mods(true, false, false, true)), TCommand::ReloadDocument);
}

TEST(KeyTables, DefaultsLaterLinesAndKeyCodeZero) {
  TKeyAssignments keys;
  keys.Load(DefaultKeyAssignments());
  EXPECT_EQ(DefaultKeyAssignments().size(), 17u);
  EXPECT_EQ(keys.ForKey(kVkUp, kNone), TCommand::PageBack);
  EXPECT_EQ(keys.ForKey(kVkDown, kNone), TCommand::PageForward);
  EXPECT_EQ(keys.ForKey(kVkRight, kNone), TCommand::PageBack);
  EXPECT_EQ(keys.ForKey(kVkLeft, kNone), TCommand::PageForward);
  EXPECT_EQ(keys.ForKey(kVkHome, kNone), TCommand::GoHead);
  EXPECT_EQ(keys.ForKey(kVkEnd, kNone), TCommand::GoEnd);
  EXPECT_EQ(keys.ForKey('O', kCtrl), TCommand::OpenWithDialog);
  EXPECT_EQ(keys.ForKey('V', kCtrl), TCommand::ReadClipboard);
  EXPECT_EQ(keys.ForKey(kVkF5, kNone), TCommand::ReloadDocument);
  EXPECT_EQ(keys.ForKey('S', kCtrl), TCommand::SetBookmark);
  EXPECT_EQ(keys.ForKey('L', kCtrl), TCommand::ReadBookmark);
  EXPECT_EQ(keys.ForKey('G', kCtrl), TCommand::PageJump);
  EXPECT_EQ(keys.ForKey('F', kCtrl), TCommand::ShowFindDialog);
  EXPECT_EQ(keys.ForKey(kVkEnter, kAlt), TCommand::ToggleFullScreen);
  EXPECT_EQ(keys.ForKey('A', kCtrl), TCommand::ToggleAutoPage);
  EXPECT_EQ(keys.ForKey('D', kCtrl), TCommand::ToggleBlankLines);
  EXPECT_EQ(keys.ForKey(kVkF2, kNone), TCommand::StartEditor);
  EXPECT_EQ(keys.ForKey('O', kNone), TCommand::None);
  EXPECT_EQ(keys.ForKey(kVkEnter, kNone), TCommand::None);

  // The later of two lines for a key wins, in either direction.
  keys.Load({"F5=" + S("再読込"), "F5=" + S("検索")});
  EXPECT_EQ(keys.ForKey(kVkF5, kNone), TCommand::ShowFindDialog);
  keys.Load({"F5=" + S("検索"), "F5=" + S("なし")});
  EXPECT_EQ(keys.ForKey(kVkF5, kNone), TCommand::None);
  // Loading starts from empty tables.
  keys.Load({});
  EXPECT_EQ(keys.ForKey(kVkUp, kNone), TCommand::None);

  // Unknown names bind code 0, which no key reaches: not even a key the
  // window could not translate (it reports code 0).
  keys.Load({"Escape=" + S("一頁進む"), "ctrl+O=" + S("一頁進む"), "=" + S("一頁進む")});
  for (int table = 0; table < kKeyTables; ++table)
    for (int code = 0; code < kKeyCodes; ++code)
      ASSERT_EQ(keys.At(table, code), TCommand::None) << table << " " << code;
  EXPECT_EQ(keys.At(-1, 65), TCommand::None);
  EXPECT_EQ(keys.At(7, 65), TCommand::None);
  EXPECT_EQ(keys.At(0, 256), TCommand::None);
}

TEST(AssignmentFiles, LinesNamesAndCommands) {
  EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\r\n"), (std::vector<std::string>{"a"}));
  EXPECT_EQ(SplitLines("a\n\nb"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(SplitLines("\r\n\r\n"), (std::vector<std::string>{"", ""}));
  EXPECT_TRUE(SplitLines("").empty());

  std::string_view name, command;
  ASSERT_TRUE(SplitAssignment("Ctrl+=x=y", name, command));
  EXPECT_EQ(name, "Ctrl+");  // the first "=" splits; the key "=" cannot be named
  EXPECT_EQ(command, "x=y");
  ASSERT_TRUE(SplitAssignment("=", name, command));
  EXPECT_EQ(name, "");
  EXPECT_EQ(command, "");
  EXPECT_FALSE(SplitAssignment("F5", name, command));
}

TEST(AssignmentFiles, MissingFilesGiveTheDefaultsAndFilesAreReadAsWritten) {
  test::TTempFolder temp("rpv_cmd_");
  const std::string ka = temp.Path("ka.ini");
  EXPECT_EQ(ReadAssignmentLines(ka, DefaultKeyAssignments()), DefaultKeyAssignments());

  // The dialog's writer and this reader agree, CR LF and CP932 included.
  const std::vector<std::string> lines{"F5=" + S("検索"), "Ctrl+Shift+F=" + S("再読込")};
  ASSERT_TRUE(WriteAssignmentLines(ka, lines));
  EXPECT_EQ(ReadWholeFile(ka).value(), lines[0] + "\r\n" + lines[1] + "\r\n");
  EXPECT_EQ(ReadAssignmentLines(ka, DefaultKeyAssignments()), lines);

  // An empty file is an empty assignment list, not the defaults.
  ASSERT_TRUE(WriteFileAtomic(ka, ""));
  EXPECT_TRUE(ReadAssignmentLines(ka, DefaultKeyAssignments()).empty());

  // Edited as UTF-8 (with or without a mark), the names still match.
  ASSERT_TRUE(WriteFileAtomic(ka, "\xEF\xBB\xBF" "F5=検索\nUp=一行戻る\n"));
  TKeyAssignments keys;
  keys.Load(ReadAssignmentLines(ka, DefaultKeyAssignments()));
  EXPECT_EQ(keys.ForKey(kVkF5, kNone), TCommand::ShowFindDialog);
  EXPECT_EQ(keys.ForKey(kVkUp, kNone), TCommand::LineBack);
  ASSERT_TRUE(WriteFileAtomic(ka, "F5=検索"));
  keys.Load(ReadAssignmentLines(ka, DefaultKeyAssignments()));
  EXPECT_EQ(keys.ForKey(kVkF5, kNone), TCommand::ShowFindDialog);

  // A folder or a FIFO by that name counts as missing (and never blocks).
  const std::string ma = temp.Path("ma.ini");
  std::filesystem::create_directory(NativePath(ma));
  EXPECT_EQ(ReadAssignmentLines(ma, DefaultMouseAssignments()), DefaultMouseAssignments());
  std::filesystem::remove(NativePath(ma));
  ASSERT_EQ(::mkfifo(NativePath(ma).c_str(), 0600), 0);
  EXPECT_EQ(ReadAssignmentLines(ma, DefaultMouseAssignments()), DefaultMouseAssignments());
}

TEST(AssignmentFiles, GarbageNeverCrashesAndFallsBackSensibly) {
  test::TTempFolder temp("rpv_cmd_");
  const std::string ka = temp.Path("ka.ini");

  // Binary noise, with valid lines around it: the valid ones still bind.
  std::mt19937 rng(1234);
  std::string noise;
  for (int i = 0; i < 200000; ++i) noise += static_cast<char>(rng() & 0xFF);
  const std::string text = "F5=" + S("検索") + "\r\n" + noise + "\r\nHome=" + S("最後の頁へ") +
                           "\r\n" + std::string(300000, 'X') + "=" + S("再読込") + "\r\n" +
                           std::string(1000, '=') + "\r\nCtrl+" + std::string("\0\0", 2) + "=" +
                           S("一頁進む") + "\r\nUnknownKey=" + S("一頁進む") + "\r\nF2=Nonsense\r\n";
  ASSERT_TRUE(WriteFileAtomic(ka, text));
  TKeyAssignments keys;
  keys.Load(ReadAssignmentLines(ka, DefaultKeyAssignments()));
  EXPECT_EQ(keys.ForKey(kVkF5, kNone), TCommand::ShowFindDialog);
  EXPECT_EQ(keys.ForKey(kVkHome, kNone), TCommand::GoEnd);
  EXPECT_EQ(keys.ForKey(kVkF2, kNone), TCommand::None);
  EXPECT_EQ(keys.ForKey(kVkUp, kNone), TCommand::None);  // not a default: the file exists
  for (int table = 0; table < kKeyTables; ++table) EXPECT_EQ(keys.At(table, 0), TCommand::None);

  TMouseAssignments mouse;
  mouse.Load(ReadAssignmentLines(ka, DefaultMouseAssignments()));
  for (int slot = -1; slot <= kMouseSlots; ++slot) EXPECT_EQ(mouse.At(slot), TCommand::None);

  // A file too big to be an assignment list is ignored like a missing one.
  {
    std::ofstream out(NativePath(ka), std::ios::binary | std::ios::trunc);
    const std::string line = "F5=" + S("検索") + "\r\n";
    for (uintmax_t written = 0; written <= kMaxAssignmentFileBytes; written += line.size())
      out << line;
  }
  EXPECT_EQ(ReadAssignmentLines(ka, DefaultKeyAssignments()), DefaultKeyAssignments());
}

TEST(MouseAssignments, ActionNamesDefaultsAndUnknownNames) {
  EXPECT_EQ(MouseActionIndex(S("左クリック")), kSlotLeftClick);
  EXPECT_EQ(MouseActionIndex(S("ホイールダウン")), kSlotWheelDown);
  EXPECT_EQ(MouseActionIndex(S("中ボタンを押しながら左に移動")), kSlotDragLeft + 2);
  EXPECT_EQ(MouseActionIndex(S("右ボタンを押しながら右に移動")), kSlotDragRight + 1);
  EXPECT_EQ(MouseActionIndex(S("左ボタンを押しながら上に移動")), kSlotDragUp);
  EXPECT_EQ(MouseActionIndex(S("中ボタンを押しながら下に移動")), 16);
  EXPECT_EQ(MouseActionIndex(S("左クリック ")), kUnknownMouseAction);
  EXPECT_EQ(MouseActionIndex("Left"), kUnknownMouseAction);
  EXPECT_EQ(MouseActionIndex(""), kUnknownMouseAction);

  TMouseAssignments mouse;
  EXPECT_EQ(DefaultMouseAssignments().size(), 17u);
  mouse.Load(DefaultMouseAssignments());
  EXPECT_EQ(mouse.At(kSlotRightClick), TCommand::PageBack);
  EXPECT_EQ(mouse.At(kSlotLeftClick), TCommand::PageForward);
  EXPECT_EQ(mouse.At(kSlotMiddleClick), TCommand::None);
  EXPECT_EQ(mouse.At(kSlotWheelUp), TCommand::PageBack);
  EXPECT_EQ(mouse.At(kSlotWheelDown), TCommand::PageForward);
  EXPECT_EQ(mouse.At(kSlotDragLeft), TCommand::GoEnd);
  EXPECT_EQ(mouse.At(kSlotDragRight + 1), TCommand::GoHead);
  for (const int slot : {6, 7, 8, 10, 11, 12, 13, 14, 15, 16})
    EXPECT_EQ(mouse.At(slot), TCommand::None) << slot;

  // Every action name of the defaults is recognised.
  std::string_view name, command;
  for (const auto& line : DefaultMouseAssignments()) {
    ASSERT_TRUE(SplitAssignment(line, name, command));
    EXPECT_NE(MouseActionIndex(name), kUnknownMouseAction);
  }

  // An unknown action binds only the slot no event runs.
  mouse.Load({S("左クリック=検索"), S("左クリク=再読込"), "Wheel=" + S("一頁進む")});
  EXPECT_EQ(mouse.At(kSlotLeftClick), TCommand::ShowFindDialog);
  for (int slot = 1; slot < kMouseSlots; ++slot) EXPECT_EQ(mouse.At(slot), TCommand::None) << slot;
}
