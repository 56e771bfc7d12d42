// Characters beyond Shift_JIS in e-texts: character notes become their
// characters, and a Shift_JIS file's own user-defined codes become "〓".
#include <gtest/gtest.h>

#include "import/CharCodeConverter.h"
#include "import/CharacterNotes.h"
#include "platform/Codepage.h"
#include "tests/support/TestSupport.h"

using namespace rpv;
using test::S;
using test::U;

namespace {

std::string Replaced(std::string_view utf8) {
  const auto out = ReplaceCharacterNotes(S(utf8));
  return out ? U(*out) : "<unchanged>";
}

}  // namespace

TEST(CharacterNotes, NotesWithACodeBecomeTheirCharacter) {
  const test::TTempFolder home("rpv_notes_", test::TTempFolder::SetsHome);
  // Plane 1 (第3水準), plane 2 (第4水準), a bare plane-row-cell, a code
  // point, full-width digits, one that is a base and a combining mark.
  EXPECT_EQ(Replaced("※［＃「木＋内」、第3水準1-85-54］"), "枘");
  EXPECT_EQ(Replaced("水鉢を置いた※［＃「木＋靈」、第3水準1-86-29］子窓《れんじまど》"),
            "水鉢を置いた欞子窓《れんじまど》");
  EXPECT_EQ(Replaced("※［＃「麻－林／公」、第4水準2-94-57］"), "麽");
  EXPECT_EQ(Replaced("名※［＃二の字点、1-2-22］"), "名〻");
  EXPECT_EQ(Replaced("※［＃「口＋世」、U+546D、ページ数-行数］"), "呭");
  EXPECT_EQ(Replaced("※［＃「木＋内」、第３水準１－８５－５４］"), "枘");
  EXPECT_EQ(Replaced("※［＃半濁点付き平仮名か、1-4-87］"), "か\u309A");
  // Inside another annotation the note gives way to its character.
  EXPECT_EQ(Replaced("［＃「本ト麟太郎※［＃コト、1-2-24］」の注記付き終わり］"),
            "［＃「本ト麟太郎ヿ」の注記付き終わり］");
  // A note without a code, a code that names nothing, a ruby mark, other
  // annotations: as written.
  EXPECT_EQ(Replaced("※［＃「土へん＋竒」、ページ数-行数］"), "<unchanged>");
  EXPECT_EQ(Replaced("※［＃「x」、第3水準1-95-1］"), "<unchanged>");
  EXPECT_EQ(Replaced("※［＃始め二重山括弧、1-1-52］"), "<unchanged>");
  EXPECT_EQ(Replaced("［＃５字下げ］二［＃「二」は中見出し］"), "<unchanged>");
  EXPECT_EQ(Replaced("※［＃「木＋内」、第3水準1-85-54"), "<unchanged>") << "no closing bracket";
  // The character is the same code wherever it comes from.
  EXPECT_EQ(*ReplaceCharacterNotes(S("※［＃「木＋内」、U+6798］")), S("枘"));
}

TEST(CharacterNotes, AShiftJisFilesOwnUserDefinedCodesBecomeGeta) {
  // The writer's private characters: no font here has them, and the area
  // holds the program's own table.
  EXPECT_EQ(BytesToSjis("\x88\x9F\xF0\x40\x95\x5C\xF9\xFC" "a\xF5"), S("亜〓表〓a") + "\xF5");
  // The trail byte 0xF0 of another character is left alone.
  EXPECT_EQ(BytesToSjis("\x88\xF0\x40"), "\x88\xF0\x40");
}
