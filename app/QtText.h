// The one crossing between the program's CP932 strings and Qt's Unicode.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace rpv {

// CP932 bytes as a QString.
QString ToQString(std::string_view cp932);
// A QString as CP932 bytes: characters CP932 lacks through the user-area
// table, "?" only when the table is full.
std::string FromQString(const QString& text);
// A search pattern: a character the user-area table lacks is in no text, so
// it becomes bytes that match nothing (and it takes no code).
std::string PatternFromQString(const QString& pattern);
// A file path from Qt (file dialog, drop): as FromQString, but a character
// that gets no code makes a name that cannot be opened, never another file's.
std::string PathFromQString(const QString& path);
// A CP932 string from UTF-8 source text (messages and captions written in
// the sources).
std::string Sjis(std::string_view utf8);

}  // namespace rpv
