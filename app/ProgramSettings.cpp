#include "app/ProgramSettings.h"

#include <algorithm>

#include "platform/Codepage.h"
#include "platform/IniFile.h"

namespace rpv {
namespace {

constexpr std::string_view kGeneral = "General";
constexpr std::string_view kBookMarks = "BookMarks";
// The character offset of a history entry's reading position.
constexpr std::string_view kOffsetKey = "BookMarkOffset";
// The keys of an FH section that TFileHistory has fields for.
constexpr std::string_view kEntryKeys[] = {"FullPath", "BookMark", "Archive", kOffsetKey};

}  // namespace

TProgramSettings::TProgramSettings()
    : Format1(Utf8ToCp932("%c(%d) %b行目")), Format2Sub(Utf8ToCp932("%d %b行目")) {}

void TProgramSettings::Read(const TIniFile& ini) {
  FullScreen = ini.ReadBool(kGeneral, "FullScreen", FullScreen);
  Height = ini.ReadInteger(kGeneral, "Height", Height);
  Left = ini.ReadInteger(kGeneral, "Left", Left);
  Top = ini.ReadInteger(kGeneral, "Top", Top);
  Width = ini.ReadInteger(kGeneral, "Width", Width);
  // Hand-edited extremes (Width=2147483647) would overflow the window's
  // rectangle arithmetic; no screen is this large, and the window fits the
  // rest to the real screens.
  for (int32_t* v : {&Left, &Top}) *v = std::clamp(*v, -kPlacementLimit, kPlacementLimit);
  for (int32_t* v : {&Width, &Height}) *v = std::clamp(*v, 0, kPlacementLimit);
  WindowState = ini.ReadInteger(kGeneral, "WindowState", WindowState);
  EditorName = ini.ReadString(kGeneral, "EditorName", EditorName);
  EditorOption = ini.ReadString(kGeneral, "EditorOption", EditorOption);
  blnLast = ini.ReadBool(kGeneral, "blnLast", blnLast);
  AutoEnabled = ini.ReadBool(kGeneral, "AutoEnabled", AutoEnabled);
  // Negative values wrap as they always did: the intervals are unsigned.
  AutoInterval = static_cast<uint32_t>(
      ini.ReadInteger(kGeneral, "AutoInterval", static_cast<int32_t>(AutoInterval)));
  AutoLInterval = static_cast<uint32_t>(
      ini.ReadInteger(kGeneral, "AutoLInterval", static_cast<int32_t>(AutoLInterval)));
  EndOpt = ini.ReadInteger(kGeneral, "EndOpt", EndOpt);
  StyleName = ini.ReadString(kGeneral, "StyleName", StyleName);
  BookMarkType = static_cast<uint8_t>(ini.ReadInteger(kBookMarks, "Type", BookMarkType));
  Format1 = ini.ReadString(kBookMarks, "Format1", Format1);
  Format2Main = ini.ReadString(kBookMarks, "Format2Main", Format2Main);
  Format2Sub = ini.ReadString(kBookMarks, "Format2Sub", Format2Sub);
}

void TProgramSettings::Write(TIniFile& ini, bool writePlacement) const {
  ini.WriteBool(kGeneral, "FullScreen", FullScreen);
  ini.WriteInteger(kGeneral, "WindowState", WindowState);
  if (writePlacement) {
    ini.WriteInteger(kGeneral, "Height", Height);
    ini.WriteInteger(kGeneral, "Left", Left);
    ini.WriteInteger(kGeneral, "Top", Top);
    ini.WriteInteger(kGeneral, "Width", Width);
  }
  ini.WriteString(kGeneral, "EditorName", EditorName);
  ini.WriteString(kGeneral, "EditorOption", EditorOption);
  ini.WriteBool(kGeneral, "blnLast", blnLast);
  ini.WriteBool(kGeneral, "AutoEnabled", AutoEnabled);
  ini.WriteInteger(kGeneral, "AutoInterval", static_cast<int32_t>(AutoInterval));
  ini.WriteInteger(kGeneral, "AutoLInterval", static_cast<int32_t>(AutoLInterval));
  ini.WriteInteger(kGeneral, "EndOpt", EndOpt);
  ini.WriteString(kGeneral, "StyleName", StyleName);
  ini.WriteInteger(kBookMarks, "Type", BookMarkType);
  ini.WriteString(kBookMarks, "Format1", Format1);
  ini.WriteString(kBookMarks, "Format2Main", Format2Main);
  ini.WriteString(kBookMarks, "Format2Sub", Format2Sub);
}

TReadingPosition TFileHistoryList::ReadingPositionOf(std::string_view path) const {
  TReadingPosition position;
  for (const auto& entry : items_)
    if (entry.FullPath == path) position = entry.Position();
  return position;
}

void TFileHistoryList::Add(std::string_view path, const TReadingPosition& position,
                           std::string_view archive) {
  int k = kHistoryCount - 1;
  for (int i = 0; i < kHistoryCount; ++i)
    if (items_[static_cast<size_t>(i)].FullPath == path) k = i;
  // The entry keeps the other keys it had when it only moves to the front.
  auto others = items_[static_cast<size_t>(k)].FullPath == path
                    ? std::move(items_[static_cast<size_t>(k)].OtherKeys)
                    : std::vector<std::pair<std::string, std::string>>{};
  for (int j = k; j >= 1; --j) items_[static_cast<size_t>(j)] = items_[static_cast<size_t>(j - 1)];
  items_[0] = TFileHistory{};
  items_[0].FullPath = std::string(path);
  items_[0].Archive = std::string(archive);
  items_[0].OtherKeys = std::move(others);
  items_[0].SetPosition(position);
  if (std::find(added_.begin(), added_.end(), path) == added_.end()) added_.emplace_back(path);
}

TFileHistoryList TFileHistoryList::MergedWith(const TFileHistoryList& onDisk) const {
  TFileHistoryList merged;
  merged.added_ = added_;
  size_t count = 0;
  auto take = [&](const TFileHistory& entry) {
    if (count == merged.items_.size() || entry.FullPath.empty()) return;
    for (size_t i = 0; i < count; ++i)
      if (merged.items_[i].FullPath == entry.FullPath) return;
    merged.items_[count++] = entry;
  };
  for (const auto& entry : items_)
    if (std::find(added_.begin(), added_.end(), entry.FullPath) != added_.end()) take(entry);
  for (const auto& entry : onDisk.items_) take(entry);
  for (const auto& entry : items_) take(entry);
  return merged;
}

std::string TFileHistoryList::SectionName(int index) { return "FH" + std::to_string(index); }

void TFileHistoryList::Read(const TIniFile& ini) {
  for (int n = 0; n < kHistoryCount; ++n) {
    const std::string section = SectionName(n);
    auto& entry = items_[static_cast<size_t>(n)];
    entry.FullPath = ini.ReadString(section, "FullPath", "");
    entry.BookMark = ini.ReadInteger(section, "BookMark", -1);
    entry.Archive = ini.ReadString(section, "Archive", "");
    entry.Offset = std::max(0, ini.ReadInteger(section, kOffsetKey, 0));
    entry.OtherKeys.clear();
    for (const std::string& key : ini.ReadSection(section)) {
      if (std::any_of(std::begin(kEntryKeys), std::end(kEntryKeys),
                      [&](std::string_view known) { return IniNamesEqual(key, known); }))
        continue;
      entry.OtherKeys.emplace_back(key, ini.ReadString(section, key, ""));
    }
  }
}

void TFileHistoryList::Write(TIniFile& ini) const {
  for (int n = 0; n < kHistoryCount; ++n) {
    const std::string section = SectionName(n);
    const auto& entry = items_[static_cast<size_t>(n)];
    ini.EraseSection(section);
    ini.WriteString(section, "FullPath", entry.FullPath);
    ini.WriteInteger(section, "BookMark", entry.BookMark);
    ini.WriteString(section, "Archive", entry.Archive);
    ini.WriteInteger(section, kOffsetKey, entry.Offset);
    for (const auto& [key, value] : entry.OtherKeys) ini.WriteString(section, key, value);
  }
}

}  // namespace rpv
