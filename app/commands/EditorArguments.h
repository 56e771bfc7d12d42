// The argument list of the external editor. EditorOption is a template such
// as "\"%F\" -n%g": it is cut into arguments first and each argument is
// expanded afterwards, so whatever a placeholder brings in (a file name
// with blanks, quotes or semicolons) stays inside its one argument and no
// shell ever reads it.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace rpv {

// Blanks (space, tab) separate arguments; ASCII double quotes group and are
// dropped ("a b"c is the one argument a bc, "" an empty one). An unclosed
// quote runs to the end. Byte-wise on CP932: neither byte can be the trail
// byte of a double-byte character.
std::vector<std::string> SplitEditorOption(std::string_view option);

// Each argument of the split option passed through expand (the document's
// placeholder expansion).
std::vector<std::string> EditorArguments(
    std::string_view option, const std::function<std::string(std::string_view)>& expand);

}  // namespace rpv
