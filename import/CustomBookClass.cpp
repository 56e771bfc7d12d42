#include "import/CustomBookClass.h"

#include <algorithm>
#include <cstdint>
#include <memory>

#include "import/CharCodeConverter.h"
#include "import/LayoutJob.h"
#include "import/MbScan.h"
#include "import/Tools.h"

namespace rpv {

namespace {

// A font description holds 31 bytes of face name.
constexpr size_t kFaceNameBytes = 31;

std::string CutFaceName(std::string_view face) {
  size_t end = 0;
  while (end < face.size()) {
    const size_t len = mb::Len(face, end);
    if (end + len > kFaceNameBytes) break;
    end += len;
  }
  return std::string(face.substr(0, end));
}

// The face without its first "@" (only a whole character counts: 0x40 is
// also the trail byte of characters such as "　").
std::string WithoutFirstAt(std::string_view face) {
  for (size_t i = 0; i < face.size(); i += mb::Len(face, i)) {
    if (face[i] == '@') {
      std::string out(face);
      out.erase(i, 1);
      return out;
    }
  }
  return std::string(face);
}

int32_t Factor(uint8_t antiAliasing) { return antiAliasing > 0 ? antiAliasing : 1; }

}  // namespace

TBookFonts BuildBookFonts(const TInfo& style) {
  TBookFonts f;
  f.Body.Height = style.FontPixels() * Factor(style.AntiAliasing);
  f.Body.Weight = style.FontWeight;
  f.Body.Italic = false;
  f.Body.StrikeOut = false;
  f.Body.Escapement = style.Direction * 100;
  f.Body.FaceName = CutFaceName(style.FontName);

  f.Ruby = f.Body;
  f.Ruby.Height = style.RubyPixels() * Factor(style.RAntiAliasing);
  f.Ruby.FaceName = CutFaceName(style.RFontName);

  f.Upright = f.Body;
  f.Upright.Escapement = 0;
  f.Upright.FaceName = CutFaceName(WithoutFirstAt(style.FontName));

  f.Turned = f.Body;
  f.Turned.Escapement = 1800;
  return f;
}

// The fonts of the built-in style, so a document is usable before its first
// LoadStyle.
TCustomBook::TCustomBook() { MakeFonts(); }

TCustomBook::~TCustomBook() = default;

void TCustomBook::SetPageWidth(int32_t width) { Style.PageWidth = width; }

void TCustomBook::SetPageHeight(int32_t height) { Style.PageHeight = height; }

void TCustomBook::LoadFromFile(std::string_view fileName) {
  SetFileNames(fileName);
  SourceText.SetText(ReadTextFile(fileName));
  IsHtml = MatchesExtList(fileName, kHtmlExtensions);
}

void TCustomBook::SetFileNames(std::string_view fileName) {
  // The last separator that is a whole character ends the folder part.
  const char sep = kNativePathStyle.separator;
  size_t nameStart = 0;
  for (size_t i = 0; i < fileName.size(); i += mb::Len(fileName, i)) {
    if (fileName[i] == sep) nameStart = i + 1;
  }
  FileDir = std::string(fileName.substr(0, nameStart));
  FileName = std::string(fileName.substr(nameStart));
}

void TCustomBook::LoadStyle(std::string_view settingsFile, std::string_view section,
                            int32_t dpi) {
  Style.ReadStyle(settingsFile, section);
  Style.ScreenDpi = dpi;
  MakeFonts();
}

void TCustomBook::SetStyle(const TInfo& style, int32_t dpi) {
  const int32_t width = Style.PageWidth;
  const int32_t height = Style.PageHeight;
  Style = style;
  Style.PageWidth = width;
  Style.PageHeight = height;
  Style.ScreenDpi = dpi;
  MakeFonts();
}

void TCustomBook::MakeFonts() {
  const TBookFonts fonts = BuildBookFonts(Style);
  BodyFont = fonts.Body;
  RubyFont = fonts.Ruby;
  UprightFont = fonts.Upright;
  TurnedFont = fonts.Turned;
  TextColor = Style.FontColor;
}

int32_t TCustomBook::SourceLineOf(int32_t displayIndex) const {
  const int32_t count = DisplayLines.Count();
  if (count == 0 || displayIndex < 0) return -1;
  if (displayIndex < Style.LinesPerColumn()) return 0;
  // A position past the end (a stale one, after a rebuild) stands for the
  // last line.
  return DisplayLines.Item(std::min(displayIndex, count - 1))->SourceIndex;
}

int32_t TCustomBook::MinPageWidth() const {
  return Style.PageMarginLeft + Style.PageMarginRight + Style.FontSize * 10 + Style.Spacing;
}

int32_t TCustomBook::MinPageHeight() const {
  return Style.PageMarginTop + Style.PageMarginBottom + Style.FontSize * 10 * Style.Columns();
}

TFontSelection TCustomBook::ChooseFont(int flags) const {
  TFontSelection s;
  s.BrushColor = Style.BackColor;
  s.Transparent = (flags & sfTransparent) != 0;
  if (flags & sfRuby) {
    s.Font = RubyFont;
    s.TextColor = Style.RFontColor;
    return s;
  }
  s.Font = (flags & sfUpright) ? UprightFont : (flags & sfTurned) ? TurnedFont : BodyFont;
  s.TextColor = TextColor;
  return s;
}

TLayoutSettings TCustomBook::LayoutSettingsOf() const {
  TLayoutSettings s;
  s.Style = Style;
  s.IsHtml = IsHtml;
  s.DeleteBlankLines = DeleteBlankLines;
  s.FileDir = FileDir;
  s.FileName = FileName;
  return s;
}

std::unique_ptr<TLayoutJob> TCustomBook::StartLayout(int threads) {
  // The old lines go first: the new layout never holds both.
  DisplayLines.Clear();
  Anchors.clear();
  PageCount = 0;
  LayoutComplete = false;
  auto job = std::make_unique<TLayoutJob>(SourceText, LayoutSettingsOf(), threads);
  if (IsHtml && Style.HasHtmlTag(kHtmlTagAnalyse)) {
    Title = job->Title();
    Anchors = job->Anchors();
  }
  return job;
}

void TCustomBook::AddLayout(TLines& displayLines, bool complete) {
  while (displayLines.Count() > 0) DisplayLines.Append(displayLines.ReleaseFirst());
  LayoutComplete = complete;
  // Until the end is known, the pages whose lines are all there.
  const int64_t perPage = int64_t{std::max<int32_t>(1, Style.LinesPerColumn())} * Style.Columns();
  PageCount = complete ? TLayoutJob::PagesFor(DisplayLines.Count(), Style)
                       : static_cast<int32_t>(DisplayLines.Count() / perPage);
}

int32_t TCustomBook::BuildLines(int32_t sourceIndex) {
  if (SourceText.Empty()) return -1;
  const std::unique_ptr<TLayoutJob> job = StartLayout(LayoutThreads);
  // Batches keep the converters' tables small; the lines go straight into
  // the document's table.
  constexpr int32_t kBatch = 16384;
  while (job->Step(kBatch, DisplayLines)) {
  }
  TLines none;
  AddLayout(none, true);

  if (sourceIndex < 1) return 0;
  // Searched from the first display line: after blank-line removal or
  // removed annotation lines a source line can stand at a display index
  // below its own number.
  for (int32_t d = 0; d < DisplayLines.Count(); ++d) {
    if (DisplayLines.Item(d)->SourceIndex == sourceIndex) return d;
  }
  return 0;
}


}  // namespace rpv
