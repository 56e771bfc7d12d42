#include "app/QtText.h"

#include "platform/Codepage.h"

namespace rpv {

QString ToQString(std::string_view cp932) {
  const std::string utf8 = Cp932ToUtf8(cp932);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string FromQString(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return Utf8ToCp932(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

std::string PathFromQString(const QString& path) {
  const QByteArray utf8 = path.toUtf8();
  return Utf8PathToCp932(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

std::string PatternFromQString(const QString& pattern) {
  const QByteArray utf8 = pattern.toUtf8();
  return Utf8PathToCp932(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())),
                         TUserArea::LookUp);
}

std::string Sjis(std::string_view utf8) { return Utf8ToCp932(utf8); }

}  // namespace rpv
