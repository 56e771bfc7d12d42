#include "render/BookClass.h"

#include <algorithm>
#include <utility>

#include "import/CharCodeConverter.h"
#include "import/HtmlAnalysis.h"
#include "import/Tools.h"
#include "platform/FileIO.h"
#include "platform/FontSmoothing.h"
#include "platform/IniFile.h"
#include "render/class/BMPTools.h"

namespace rpv {

namespace {
constexpr std::string_view kPictureExtensions = "bmp;jpg;jpeg";
}  // namespace

std::vector<TTool> LoadTools(std::string_view toolIniPath) {
  std::vector<TTool> tools;
  if (!FileExists(toolIniPath)) return tools;
  const TIniFile ini{std::string(toolIniPath)};
  for (const std::string& section : ini.ReadSections()) {
    TTool tool;
    tool.Name = section;
    tool.Command = ini.ReadString(section, "Command", "");
    tool.Enabled = ini.ReadBool(section, "Boolean", false);
    tools.push_back(std::move(tool));
  }
  return tools;
}

TBookClass::TBookClass() : SavedSmoothing(FontSmoothing()) {
  StyleFontColor = Style.FontColor;
  StyleBackColor = Style.BackColor;
  if (Style.blnBackGround) StyleBackground = Style.strBackGround;
}

TBookClass::~TBookClass() { SetFontSmoothing(SavedSmoothing); }

void TBookClass::SetPageWidth(int32_t width) {
  TCustomBook::SetPageWidth(width);
  PageBitmap.SetSize(Style.PageWidth, Style.PageHeight);
}

void TBookClass::SetPageHeight(int32_t height) {
  TCustomBook::SetPageHeight(height);
  PageBitmap.SetSize(Style.PageWidth, Style.PageHeight);
}

void TBookClass::LoadFromFile(std::string_view fileName) {
  pictures_.Clear();
  bodyBackground_ = false;
  TCustomBook::LoadFromFile(fileName);
  FilterMessage = RunTools(SourceText, Tools, OnFilterTick, nullptr, FilterLimits);
}

std::string TBookClass::RunTools(TSourceText& text, const std::vector<TTool>& tools,
                                 const std::function<void()>& tick,
                                 const std::atomic<bool>* cancelled, const ProcessLimits& limits) {
  struct TCancelled {};
  // A cancelled read gives up the filter that runs: the runner kills its
  // child when the tick throws.
  const std::function<void()> onTick = [&] {
    if (cancelled && *cancelled) throw TCancelled{};
    if (tick) tick();
  };
  std::string unfiltered;
  for (const TTool& tool : tools) {
    if (cancelled && *cancelled) return {};
    if (!tool.Enabled || tool.Command.empty()) continue;
    if (unfiltered.empty()) unfiltered = text.Text();
    // A tool that cannot be started gives nothing; the text stays as the
    // tools before it left it. One stopped at a limit leaves the book as the
    // file holds it: a half-filtered text would mislead.
    try {
      if (auto out = RunFilter(tool.Command, text.Text(), onTick, limits)) text.SetText(std::move(*out));
    } catch (const TFilterStopped& e) {
      text.SetText(std::move(unfiltered));
      return e.what();
    } catch (const TCancelled&) {
      return {};
    }
  }
  return {};
}

TBookText TBookClass::ReadBookText(const std::string& path, const std::vector<TTool>& tools,
                                   const std::atomic<bool>* cancelled,
                                   const ProcessLimits& limits) {
  TBookText book{path, {}, {}};
  book.Text.SetText(ReadTextFile(path));
  book.FilterMessage = RunTools(book.Text, tools, {}, cancelled, limits);
  return book;
}

void TBookClass::AdoptText(TBookText&& text) {
  pictures_.Clear();
  bodyBackground_ = false;
  SetFileNames(text.Path);
  SourceText = std::move(text.Text);
  FilterMessage = std::move(text.FilterMessage);
  IsHtml = MatchesExtList(text.Path, kHtmlExtensions);
}

void TBookClass::LoadStyle(std::string_view settingsFile, std::string_view section, int32_t dpi) {
  pictures_.Clear();
  bodyBackground_ = false;
  TCustomBook::LoadStyle(settingsFile, section, dpi);
  StyleLoaded();
}

void TBookClass::UseStyle(const TInfo& style, int32_t dpi) {
  pictures_.Clear();
  bodyBackground_ = false;
  TCustomBook::SetStyle(style, dpi);
  StyleLoaded();
}

void TBookClass::StyleLoaded() {
  StyleFontColor = Style.FontColor;
  StyleBackColor = Style.BackColor;
  if (Style.blnBackGround) StyleBackground = Style.strBackGround;
  // Supersampled text is reduced from sharp black-and-white glyphs; smooth
  // glyphs would be blurred twice.
  SetFontSmoothing(Style.AntiAliasing % 2 == 1 ? SavedSmoothing : false);
  PageBitmap.SetSize(Style.PageWidth, Style.PageHeight);
}

int32_t TBookClass::BuildLines(int32_t sourceIndex) {
  int32_t top = TCustomBook::BuildLines(sourceIndex);
  top = PageTopOf(top);
  ApplyBodyColours();
  return top;
}

void TBookClass::ApplyBodyColours() {
  if (!Style.HasHtmlTag(kHtmlTagBody)) return;
  // Only an HTML document has a BODY tag; any other document gets the
  // style's own colours and background back.
  THtmlBody body;
  if (IsHtml && !SourceText.Empty()) body = ReadHtmlBody(SourceText.Text());
  Style.FontColor = body.Text != kColorNone ? body.Text : StyleFontColor;
  Style.BackColor = body.BgColor != kColorNone ? body.BgColor : StyleBackColor;
  const std::string picture = BodyBackgroundPath(FileDir, body.Background);
  bodyBackground_ = !picture.empty();
  Style.strBackGround = bodyBackground_ ? picture : StyleBackground;
  TextColor = Style.FontColor;
}

int32_t TBookClass::BuildLines(const TReadingPosition& position) {
  // Built with source line 0, which costs no search; the position's line is
  // looked up once, by DisplayLineAt.
  if (BuildLines(0) < 0) return -1;
  return PageTopOf(DisplayLineAt(position));
}

int32_t TBookClass::PageTopOf(int32_t displayLine) const {
  const int32_t perPage = LinesPerPage();
  if (Style.LinesPerColumn() <= 0 || perPage <= 0 || displayLine <= 0) return displayLine;
  return displayLine - displayLine % perPage;
}

void TBookClass::SelectFont(int flags) {
  const TFontSelection s = ChooseFont(flags);
  canvas_.Font = s.Font;
  canvas_.FontColor = static_cast<uint32_t>(s.TextColor) & 0xFFFFFF;
  canvas_.BrushColor = static_cast<uint32_t>(s.BrushColor) & 0xFFFFFF;
  canvas_.BrushStyle = s.Transparent ? TBrushStyle::Clear : TBrushStyle::Solid;
}

void TBookClass::DrawPage(int32_t firstLine) {
  if (PageBitmap.Width() != Style.PageWidth || PageBitmap.Height() != Style.PageHeight)
    PageBitmap.SetSize(Style.PageWidth, Style.PageHeight);
  pictures_.NextPage();
  // The table describes the page on show, whatever it is.
  Links.Clear();
  SelectFont(0);
  canvas_.FillRect({0, 0, Style.PageWidth, Style.PageHeight});
  if (Style.blnBackGround || (Style.HasHtmlTag(kHtmlTagBody) && bodyBackground_)) DrawBackground();

  if (SourceText.Empty() || firstLine < 0 || DisplayLines.Count() == 0) {
    DrawNoDocument();
    return;
  }
  if (Style.bytHeader != 0) DrawHeaderFooter(firstLine, false);
  const int32_t perColumn = Style.LinesPerColumn();
  const int32_t count = DisplayLines.Count();
  for (int32_t j = 0; j < Style.Columns(); ++j) {
    const int32_t first = firstLine + j * perColumn;
    DrawColumn(j * (Style.TextAreaWidth() + Style.WidthReserve() + Style.ColumnSpace),
               j * (Style.TextAreaHeight() + Style.HangReserve() + Style.ColumnSpace), first);
    if (first >= count) break;
  }
  if (Style.bytFooter != 0) DrawHeaderFooter(firstLine, true);
}

void TBookClass::DrawBackground() {
  const std::string& path = Style.strBackGround;
  if (path.empty() || !MatchesExtList(path, kPictureExtensions) || !FileExists(path)) return;
  const TBitmap24* picture = pictures_.Get(path);
  if (picture == nullptr) return;
  const int32_t w = picture->Width();
  const int32_t h = picture->Height();
  for (int32_t r = 0; r <= Style.PageHeight / h; ++r)
    for (int32_t k = 0; k <= Style.PageWidth / w; ++k) canvas_.Draw(k * w, r * h, *picture);
}

void TBookClass::DrawNoDocument() {
  // The message in the page's own text colour, whatever a link or colour tag
  // of the last page left.
  TextColor = Style.FontColor;
  SelectFont(sfTransparent);
  const int aa = std::max<int>(1, Style.AntiAliasing);
  const TSize extent = canvas_.TextExtent(kNoDocumentMessage);
  const int32_t w = extent.cx / aa;
  const int32_t h = extent.cy / aa;
  if (Style.Direction == kDirectionVertical) {
    DrawTextAA(canvas_, (Style.PageWidth - h) / 2 + h, (Style.PageHeight - w) / 2, Style.Direction,
               aa, kNoDocumentMessage);
  } else {
    DrawTextAA(canvas_, (Style.PageWidth - w) / 2, (Style.PageHeight - h) / 2, Style.Direction, aa,
               kNoDocumentMessage);
  }
}

}  // namespace rpv
