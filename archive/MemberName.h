// Names of archive members as the reader shows and stores them: CP932 text,
// folder parts kept as the archive spells them ("/" or "\"). Characters
// CP932 lacks get a visible substitute, so no member is ever dropped or
// confused with another; the bare file name is where an extracted copy lands.
#pragma once

#include <string>
#include <string_view>

namespace rpv {

// The CP932 name of a member whose name the archive gives as Unicode
// (UTF-8). A character without a CP932 form, a control character and a
// character that would turn into a separator byte (U+00A5 becomes 0x5C in
// CP932) is written as "[U+XXXX]".
std::string MemberNameFromUtf8(std::string_view utf8);
// The same for a name the archive gives as raw CP932 bytes: bytes that are
// no CP932 character become "[U+FFFD]".
std::string MemberNameFromCp932(std::string_view cp932);

// The file name part: after the last "/" or "\" that is a whole character
// (the second byte of 表 or ソ is 0x5C and never splits a name).
std::string MemberBareName(std::string_view name);

// False for names that point outside the folder they are extracted into:
// absolute ("/x", "\x"), with a drive part ("C:"), with a ".." part, or
// whose bare name is empty, "." or "..".
bool IsSafeMemberName(std::string_view name);

}  // namespace rpv
