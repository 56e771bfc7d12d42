#include "render/BookClass.h"

#include <algorithm>
#include <utility>

#include "import/CharCodeConverter.h"
#include "import/HtmlAnalysis.h"
#include "import/Tools.h"
#include "platform/FileIO.h"
#include "platform/IniFile.h"
#include "platform/Font.h"
#include "platform/Picture.h"
#include "render/CanvasDevice.h"

namespace rpv {

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

TBookClass::TBookClass() {
  StyleFontColor = Style.FontColor;
  StyleBackColor = Style.BackColor;
  if (Style.blnBackGround) StyleBackground = Style.strBackGround;
}

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

TRunFont TBookClass::RunFont(TFontRole role) const {
  int flags = sfTransparent;
  switch (role) {
    case TFontRole::Ruby: flags |= sfRuby; break;
    case TFontRole::Upright: flags |= sfUpright; break;
    case TFontRole::Turned: flags |= sfTurned; break;
    case TFontRole::Body: break;
  }
  TFontSelection s = ChooseFont(flags);
  TRunFont f;
  f.Role = role;
  f.Desc = std::move(s.Font);
  f.Colour = static_cast<uint32_t>(s.TextColor) & 0xFFFFFF;
  f.Supersampling = std::max<int>(1, role == TFontRole::Ruby ? Style.RAntiAliasing : Style.AntiAliasing);
  f.Smooth = Style.AntiAliasing % 2 == 1 && SavedSmoothing;
  return f;
}

void TBookClass::DrawPage(int32_t firstLine) {
  if (PageBitmap.Width() != Style.PageWidth || PageBitmap.Height() != Style.PageHeight)
    PageBitmap.SetSize(Style.PageWidth, Style.PageHeight);
  TCanvasDevice device(canvas_);
  DrawPage(firstLine, device);
}

void TBookClass::DrawPage(int32_t firstLine, IPageDevice& device) {
  pictures_.NextPage();
  // The table describes the page on show, whatever it is.
  Links.Clear();
  device.Fill({0, 0, Style.PageWidth, Style.PageHeight}, static_cast<uint32_t>(Style.BackColor) & 0xFFFFFF);
  if (Style.blnBackGround || (Style.HasHtmlTag(kHtmlTagBody) && bodyBackground_)) DrawBackground(device);

  if (SourceText.Empty() || firstLine < 0 || DisplayLines.Count() == 0) {
    DrawNoDocument(device);
    return;
  }
  if (Style.bytHeader != 0) DrawHeaderFooter(device, firstLine, false);
  const int32_t perColumn = Style.LinesPerColumn();
  const int32_t count = DisplayLines.Count();
  for (int32_t j = 0; j < Style.Columns(); ++j) {
    const int32_t first = firstLine + j * perColumn;
    DrawColumn(device, j * (Style.TextAreaWidth() + Style.WidthReserve() + Style.ColumnSpace),
               j * (Style.TextAreaHeight() + Style.HangReserve() + Style.ColumnSpace), first);
    if (first >= count) break;
  }
  if (Style.bytFooter != 0) DrawHeaderFooter(device, firstLine, true);
}

void TBookClass::DrawBackground(IPageDevice& device) {
  const std::string& path = Style.strBackGround;
  if (path.empty() || !MatchesExtList(path, kPictureExtensions) || !FileExists(path)) return;
  const TBitmap24* picture = pictures_.Get(path);
  if (picture == nullptr) return;
  device.Tile({0, 0, Style.PageWidth, Style.PageHeight}, *picture, path);
}

void TBookClass::DrawNoDocument(IPageDevice& device) {
  // The message in the page's own text colour, whatever a link or colour tag
  // of the last page left.
  TextColor = Style.FontColor;
  const TRunFont font = RunFont(TFontRole::Body);
  TFont& face = fonts_.Font(font.Desc);
  const int aa = font.Supersampling;
  const int32_t w = face.Layout(kNoDocumentMessage).Advance / aa;
  const int32_t h = face.CellHeight() / aa;
  TGlyphRun run;
  run.Kind = TDrawKind::Message;
  run.Text = kNoDocumentMessage;
  run.Font = &font;
  if (Style.Direction == kDirectionVertical) {
    run.X = (Style.PageWidth - h) / 2 + h;
    run.Y = (Style.PageHeight - w) / 2;
    run.Orientation = TOrientation::Vertical;
  } else {
    run.X = (Style.PageWidth - w) / 2;
    run.Y = (Style.PageHeight - h) / 2;
  }
  run.Box = RunBox(run.X, run.Y, run.Orientation, w, h);
  device.Glyphs(run);
}

}  // namespace rpv
