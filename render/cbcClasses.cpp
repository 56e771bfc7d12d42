#include "render/cbcClasses.h"

#include "platform/FileIO.h"
#include "platform/IniFile.h"

namespace rpv {

namespace {

// Integer keys: a value outside the range a style can sensibly hold (hand
// edited, or damaged) is not valid and gives the default. The ranges are
// wider than the style editor's so that a deliberate hand-edit survives,
// yet narrow enough that no page measure can overflow.
int32_t ReadRanged(const TIniFile& ini, std::string_view section, std::string_view key,
                   int32_t def, int32_t lo, int32_t hi) {
  const int32_t v = ini.ReadInteger(section, key, def);
  return v < lo || v > hi ? def : v;
}

// 8-bit keys keep the low 8 bits of the stored integer.
uint8_t ReadByte(const TIniFile& ini, std::string_view section, std::string_view key,
                 uint8_t def) {
  return static_cast<uint8_t>(static_cast<uint32_t>(ini.ReadInteger(section, key, def)) & 0xFF);
}

uint8_t ReadByteRanged(const TIniFile& ini, std::string_view section, std::string_view key,
                       uint8_t def, uint8_t lo, uint8_t hi) {
  const uint8_t v = ReadByte(ini, section, key, def);
  return v < lo || v > hi ? def : v;
}

constexpr int32_t kMaxPixels = 10000;  // margins, gaps, spacing
constexpr int32_t kMaxPoints = 500;    // font sizes

}  // namespace

void TInfo::ReadStyle(const TIniFile& ini, std::string_view section) {
  const TInfo d;  // the built-in defaults
  const auto& s = section;
  PageMarginLeft = ReadRanged(ini, s, "PageMarginLeft", d.PageMarginLeft, 0, kMaxPixels);
  PageMarginTop = ReadRanged(ini, s, "PageMarginTop", d.PageMarginTop, 0, kMaxPixels);
  PageMarginRight = ReadRanged(ini, s, "PageMarginRight", d.PageMarginRight, 0, kMaxPixels);
  PageMarginBottom = ReadRanged(ini, s, "PageMarginBottom", d.PageMarginBottom, 0, kMaxPixels);
  ColumnSpace = ReadRanged(ini, s, "ColumnSpace", d.ColumnSpace, 0, kMaxPixels);
  // A hand-edited 0 would divide the page by zero columns.
  ColumnCount = std::clamp<uint8_t>(ReadByte(ini, s, "ColumnCount", d.ColumnCount), 1, 3);
  Spacing = ReadRanged(ini, s, "Spacing", d.Spacing, 0, kMaxPixels);
  BetweenChar = ReadRanged(ini, s, "BetweenChar", d.BetweenChar, -kMaxPixels, kMaxPixels);
  FontWeight = ReadRanged(ini, s, "FontWeight", d.FontWeight, 1, 1000);
  BackColor = ini.ReadInteger(s, "BackColor", d.BackColor);
  blnBackGround = ini.ReadBool(s, "blnBackGround", d.blnBackGround);
  strBackGround = ini.ReadString(s, "strBackGround", d.strBackGround);
  FontName = ini.ReadString(s, "FontName", d.FontName);
  FontSize = ReadRanged(ini, s, "FontSize", d.FontSize, 1, kMaxPoints);
  FontColor = ini.ReadInteger(s, "FontColor", d.FontColor);
  AntiAliasing = ReadByteRanged(ini, s, "AntiAliasing", d.AntiAliasing, 1, 2);
  RFontName = ini.ReadString(s, "RFontName", d.RFontName);
  RFontSize = ReadRanged(ini, s, "RFontSize", d.RFontSize, 1, kMaxPoints);
  RFontColor = ini.ReadInteger(s, "RFontColor", d.RFontColor);
  RAntiAliasing = ReadByteRanged(ini, s, "RAntiAliasing", d.RAntiAliasing, 1, 2);
  LinkColor = ini.ReadInteger(s, "LinkColor", d.LinkColor);
  Direction = ReadByte(ini, s, "Direction", d.Direction);
  if (Direction != kDirectionHorizontal && Direction != kDirectionVertical) Direction = d.Direction;
  RuleCharHead = ini.ReadString(s, "RuleCharHead", d.RuleCharHead);
  RuleCharEnd = ini.ReadString(s, "RuleCharEnd", d.RuleCharEnd);
  blnRuleCharHead = ini.ReadBool(s, "blnRuleCharHead", d.blnRuleCharHead);
  blnRuleCharEnd = ini.ReadBool(s, "blnRuleCharEnd", d.blnRuleCharEnd);
  blnHang = ini.ReadBool(s, "blnHang", d.blnHang);
  WordWrap = ini.ReadBool(s, "WordWrap", d.WordWrap);
  Tab = ReadByte(ini, s, "Tab", d.Tab);
  HR = SplitPatterns(ini.ReadString(s, "HR", style_default::HR));
  HtmlTag = ini.ReadInteger(s, "HtmlTag", d.HtmlTag);
  Blue = ini.ReadInteger(s, "Blue", d.Blue);
  blnTateYoko = ini.ReadBool(s, "blnTateYoko", d.blnTateYoko);
  strTateYoko = ini.ReadString(s, "strTateYoko", d.strTateYoko);
  bytHeader = ReadByteRanged(ini, s, "bytHeader", d.bytHeader, 0, 3);
  strHeader = ini.ReadString(s, "strHeader", d.strHeader);
  bytFooter = ReadByteRanged(ini, s, "bytFooter", d.bytFooter, 0, 3);
  strFooter = ini.ReadString(s, "strFooter", d.strFooter);
  Test = ini.ReadBool(s, "Test", d.Test);
}

void TInfo::WriteStyle(TIniFile& ini, std::string_view section) const {
  const auto& s = section;
  ini.WriteInteger(s, "PageMarginLeft", PageMarginLeft);
  ini.WriteInteger(s, "PageMarginTop", PageMarginTop);
  ini.WriteInteger(s, "PageMarginRight", PageMarginRight);
  ini.WriteInteger(s, "PageMarginBottom", PageMarginBottom);
  ini.WriteInteger(s, "ColumnSpace", ColumnSpace);
  ini.WriteInteger(s, "Spacing", Spacing);
  ini.WriteInteger(s, "BetweenChar", BetweenChar);
  ini.WriteInteger(s, "FontSize", FontSize);
  ini.WriteInteger(s, "ColumnCount", ColumnCount);
  ini.WriteString(s, "FontName", FontName);
  ini.WriteInteger(s, "FontWeight", FontWeight);
  ini.WriteInteger(s, "FontColor", FontColor);
  ini.WriteInteger(s, "BackColor", BackColor);
  ini.WriteBool(s, "blnBackGround", blnBackGround);
  ini.WriteString(s, "strBackGround", strBackGround);
  ini.WriteInteger(s, "RFontSize", RFontSize);
  ini.WriteString(s, "RFontName", RFontName);
  ini.WriteInteger(s, "RFontColor", RFontColor);
  ini.WriteInteger(s, "Direction", Direction);
  ini.WriteInteger(s, "AntiAliasing", AntiAliasing);
  ini.WriteInteger(s, "RAntiAliasing", RAntiAliasing);
  ini.WriteInteger(s, "LinkColor", LinkColor);
  ini.WriteString(s, "RuleCharHead", RuleCharHead);
  ini.WriteString(s, "RuleCharEnd", RuleCharEnd);
  ini.WriteBool(s, "blnRuleCharHead", blnRuleCharHead);
  ini.WriteBool(s, "blnRuleCharEnd", blnRuleCharEnd);
  ini.WriteBool(s, "blnHang", blnHang);
  ini.WriteBool(s, "WordWrap", WordWrap);
  ini.WriteString(s, "HR", JoinPatterns(HR));
  ini.WriteInteger(s, "Tab", Tab);
  ini.WriteInteger(s, "HtmlTag", HtmlTag);
  ini.WriteInteger(s, "Blue", Blue);
  ini.WriteBool(s, "blnTateYoko", blnTateYoko);
  ini.WriteString(s, "strTateYoko", strTateYoko);
  ini.WriteInteger(s, "bytHeader", bytHeader);
  ini.WriteString(s, "strHeader", strHeader);
  ini.WriteInteger(s, "bytFooter", bytFooter);
  ini.WriteString(s, "strFooter", strFooter);
}

void TInfo::ReadStyle(std::string_view fileName, std::string_view section) {
  const TIniFile ini{std::string(fileName)};
  ReadStyle(ini, section);
  // A first start creates the style file with every default in it.
  if (!FileExists(fileName)) WriteStyle(fileName, section);
}

bool TInfo::WriteStyle(std::string_view fileName, std::string_view section) const {
  TIniFile ini{std::string(fileName)};
  WriteStyle(ini, section);
  return ini.UpdateFile();
}

}  // namespace rpv
