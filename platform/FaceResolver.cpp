#include "platform/FaceResolver.h"

#include <fontconfig/fontconfig.h>
#include <hb-ot.h>
#include <hb.h>

#include <algorithm>
#include <memory>
#include <set>

#include "platform/Codepage.h"

namespace rpv {
namespace {

struct PatternDeleter {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct FontSetDeleter {
  void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};
struct ObjectSetDeleter {
  void operator()(FcObjectSet* s) const { FcObjectSetDestroy(s); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;

bool EnsureFontconfig() {
  static const bool ok = FcInit() == FcTrue;
  return ok;
}

// Folds a face name for comparison: no blanks (ASCII or ideographic), full-
// width ASCII made half-width, letters in lower case. "ＭＳ 明朝", "ＭＳ明朝"
// and "ms 明朝" all fold alike.
std::u32string FoldName(std::string_view utf8) {
  std::u32string in = Cp932ToUtf32(Utf8ToCp932(utf8, TUserArea::Off), TUserArea::Off);
  std::u32string out;
  for (char32_t c : in) {
    if (c == U' ' || c == U'\u3000' || c == U'\t') continue;
    if (c >= U'\uFF01' && c <= U'\uFF5E') c = c - 0xFEE0;
    if (c >= U'A' && c <= U'Z') c = c - U'A' + U'a';
    out.push_back(c);
  }
  return out;
}

struct FaceAlias {
  const char32_t* folded;
  const char* family;
};

// Windows Japanese faces and the IPA face of the same design and spacing.
constexpr FaceAlias kAliases[] = {
    {U"ms明朝", "IPAMincho"},        {U"msmincho", "IPAMincho"},
    {U"msp明朝", "IPAPMincho"},      {U"mspmincho", "IPAPMincho"},
    {U"msゴシック", "IPAGothic"},    {U"msgothic", "IPAGothic"},
    {U"mspゴシック", "IPAPGothic"},  {U"mspgothic", "IPAPGothic"},
    {U"msuigothic", "IPAPGothic"},   {U"msuiゴシック", "IPAPGothic"},
    {U"メイリオ", "IPAGothic"},      {U"meiryo", "IPAGothic"},
    {U"meiryoui", "IPAPGothic"},     {U"游ゴシック", "IPAGothic"},
    {U"yugothic", "IPAGothic"},      {U"yugothicui", "IPAPGothic"},
    {U"游明朝", "IPAMincho"},        {U"yumincho", "IPAMincho"},
    {U"hg明朝e", "IPAMincho"},       {U"hgゴシックm", "IPAGothic"},
    {U"osaka", "IPAGothic"},
};

std::string FirstString(FcPattern* p, const char* object) {
  FcChar8* s = nullptr;
  if (FcPatternGetString(p, object, 0, &s) != FcResultMatch || s == nullptr) return {};
  return reinterpret_cast<const char*>(s);
}

bool CoversJapanese(FcPattern* p) {
  FcLangSet* langs = nullptr;
  if (FcPatternGetLangSet(p, FC_LANG, 0, &langs) != FcResultMatch || langs == nullptr)
    return false;
  return FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>("ja")) == FcLangEqual;
}

// True when the face has vertical glyph forms (an OpenType "vert" or
// "vrt2" substitution), which is what an "@" face draws with.
bool HasVerticalForms(FcPattern* p) {
  const std::string file = FirstString(p, FC_FILE);
  if (file.empty()) return false;
  int index = 0;
  FcPatternGetInteger(p, FC_INDEX, 0, &index);
  hb_blob_t* blob = hb_blob_create_from_file_or_fail(file.c_str());
  if (blob == nullptr) return false;
  hb_face_t* face = hb_face_create(blob, static_cast<unsigned>(index));
  hb_blob_destroy(blob);
  const hb_tag_t vert = hb_tag_from_string("vert", 4);
  const hb_tag_t vrt2 = hb_tag_from_string("vrt2", 4);
  bool found = false;
  hb_tag_t tags[64];
  unsigned offset = 0;
  for (;;) {
    unsigned count = 64;
    hb_ot_layout_table_get_feature_tags(face, HB_OT_TAG_GSUB, offset, &count, tags);
    for (unsigned i = 0; i < count; ++i) found = found || tags[i] == vert || tags[i] == vrt2;
    if (found || count < 64) break;
    offset += count;
  }
  hb_face_destroy(face);
  return found;
}

// What to ask fontconfig for: the family (when given), the characters
// (when given), Japanese, the weight and slant, with its substitutions done.
PatternPtr StylePattern(const std::string& family, const FcCharSet* chars, bool bold, bool italic) {
  PatternPtr pattern(FcPatternCreate());
  if (!pattern) return nullptr;
  if (!family.empty())
    FcPatternAddString(pattern.get(), FC_FAMILY,
                       reinterpret_cast<const FcChar8*>(family.c_str()));
  if (chars != nullptr) FcPatternAddCharSet(pattern.get(), FC_CHARSET, chars);
  FcPatternAddString(pattern.get(), FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
  FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  return pattern;
}

PatternPtr Match(const std::string& family, bool bold, bool italic) {
  const PatternPtr pattern = StylePattern(family, nullptr, bold, italic);
  if (!pattern) return nullptr;
  FcResult result = FcResultNoMatch;
  return PatternPtr(FcFontMatch(nullptr, pattern.get(), &result));
}

}  // namespace

std::string_view StripVerticalMark(std::string_view cp932Face, bool* vertical) {
  const bool v = !cp932Face.empty() && cp932Face.front() == '@';
  if (vertical != nullptr) *vertical = v;
  return v ? cp932Face.substr(1) : cp932Face;
}

std::string MapWindowsFaceName(std::string_view utf8Face) {
  const std::u32string folded = FoldName(utf8Face);
  for (const FaceAlias& alias : kAliases)
    if (folded == alias.folded) return alias.family;
  return std::string(utf8Face);
}

TResolvedFace ResolveFace(std::string_view cp932Face, bool bold, bool italic) {
  TResolvedFace face;
  if (!EnsureFontconfig()) return face;
  const std::string family = MapWindowsFaceName(Cp932ToUtf8(cp932Face));
  PatternPtr match = Match(family, bold, italic);
  // A face that lacks Japanese would show nothing but boxes for the book's
  // text; take the best Japanese face instead.
  if (match && !CoversJapanese(match.get())) {
    PatternPtr japanese = Match(std::string(), bold, italic);
    if (japanese && CoversJapanese(japanese.get())) match = std::move(japanese);
  }
  if (!match) return face;
  face.File = FirstString(match.get(), FC_FILE);
  face.Family = FirstString(match.get(), FC_FAMILY);
  int index = 0;
  if (FcPatternGetInteger(match.get(), FC_INDEX, 0, &index) == FcResultMatch) face.Index = index;
  return face;
}

TResolvedFace ResolveFaceWithChar(char32_t cp, bool bold, bool italic) {
  TResolvedFace face;
  if (!EnsureFontconfig()) return face;
  std::unique_ptr<FcCharSet, decltype(&FcCharSetDestroy)> chars(FcCharSetCreate(), &FcCharSetDestroy);
  if (!chars || !FcCharSetAddChar(chars.get(), cp)) return face;
  const PatternPtr pattern = StylePattern(std::string(), chars.get(), bold, italic);
  if (!pattern) return face;
  FcResult result = FcResultNoMatch;
  std::unique_ptr<FcFontSet, decltype(&FcFontSetDestroy)> sorted(
      FcFontSort(nullptr, pattern.get(), FcFalse, nullptr, &result), &FcFontSetDestroy);
  if (!sorted) return face;
  for (int i = 0; i < sorted->nfont; ++i) {
    FcPattern* p = sorted->fonts[i];
    FcCharSet* has = nullptr;
    FcBool outline = FcFalse;
    // Bitmap-only (colour emoji) faces cannot be drawn as outlines.
    if (FcPatternGetCharSet(p, FC_CHARSET, 0, &has) != FcResultMatch || !FcCharSetHasChar(has, cp) ||
        FcPatternGetBool(p, FC_OUTLINE, 0, &outline) != FcResultMatch || !outline)
      continue;
    face.File = FirstString(p, FC_FILE);
    face.Family = FirstString(p, FC_FAMILY);
    int index = 0;
    if (FcPatternGetInteger(p, FC_INDEX, 0, &index) == FcResultMatch) face.Index = index;
    if (!face.File.empty()) return face;
  }
  return {};
}

std::vector<std::string> InstalledScreenFonts() {
  std::vector<std::string> names;
  if (!EnsureFontconfig()) return names;
  PatternPtr pattern(FcPatternCreate());
  std::unique_ptr<FcObjectSet, ObjectSetDeleter> objects(
      FcObjectSetBuild(FC_FAMILY, FC_FILE, FC_INDEX, static_cast<char*>(nullptr)));
  if (!pattern || !objects) return names;
  std::unique_ptr<FcFontSet, FontSetDeleter> fonts(
      FcFontList(nullptr, pattern.get(), objects.get()));
  if (!fonts) return names;
  std::set<std::string> plain;
  std::set<std::string> vertical;
  std::set<std::string> checked;
  for (int i = 0; i < fonts->nfont; ++i) {
    const std::string family = FirstString(fonts->fonts[i], FC_FAMILY);
    if (family.empty()) continue;
    // Listing the fonts adds nothing to the user-area table.
    const std::string cp932 = Utf8ToCp932(family, TUserArea::Off);
    if (Cp932ToUtf8(cp932, TUserArea::Off) != family) continue;  // no faithful CP932 name
    // A bitmap console face of Windows that the style editor never offered.
    if (FoldName(family) == U"fixedsys") continue;
    plain.insert(cp932);
    // Only the first file of a family is opened to look for vertical forms.
    if (vertical.count("@" + cp932) == 0 && checked.insert(cp932).second &&
        HasVerticalForms(fonts->fonts[i]))
      vertical.insert("@" + cp932);
  }
  names.assign(plain.begin(), plain.end());
  names.insert(names.end(), vertical.begin(), vertical.end());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace rpv
