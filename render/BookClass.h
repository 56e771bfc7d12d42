// The page class: the document as the window owns it. On top of the
// document base (file, style, fonts, line tables) it keeps an off-screen page
// bitmap the size of the view and draws whole pages into it: background
// colour and tiled picture (also from an HTML BODY tag), the columns through
// the column renderer, header and footer, and the page shown when no
// document is open. Pages are drawn through a page device (render/
// PageDevice.h): the canvas over the page bitmap, or a recording in tests.
// It also runs a newly loaded text through the user's filter tools and
// searches the text.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "import/CustomBookClass.h"
#include "import/Tools.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/FontEngine.h"
#include "render/PageDevice.h"
#include "render/PictureCache.h"

namespace rpv {

// One text filter of tool.ini: the menu caption, the command line that reads
// the document on standard input and writes the new text on standard output,
// and whether it runs on every load.
struct TTool {
  std::string Name;
  std::string Command;
  bool Enabled = false;
};

// The filters of a tool.ini file, one a section in file order (Command,
// Boolean). A missing file gives none.
std::vector<TTool> LoadTools(std::string_view toolIniPath);

// A file's text as LoadFromFile makes it (read, converted, filtered),
// made without a document so that it can be read on another thread.
struct TBookText {
  std::string Path;
  TSourceText Text;
  std::string FilterMessage;  // why a filter was stopped; empty when none was
};

// Bits of FindText's options, as the find dialog gives them.
inline constexpr int kFindDown = 0x1;
inline constexpr int kFindMatchCase = 0x20;

// The message of the page shown without a document: "ファイルを開いてください".
inline constexpr std::string_view kNoDocumentMessage =
    "\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xF0\x8A\x4A\x82\xA2\x82\xC4\x82\xAD\x82\xBE\x82\xB3"
    "\x82\xA2";

class TBookClass : public TCustomBook {
 public:
  TBookClass();

  // Store the page size in the style and resize the page bitmap.
  void SetPageWidth(int32_t width) override;
  void SetPageHeight(int32_t height) override;
  // The inherited load, then every enabled tool with a command, in order,
  // filters the text. A tool that cannot be started leaves the text as it
  // was and the next one runs; the output of one that ran replaces the
  // text, also when it is empty.
  void LoadFromFile(std::string_view fileName) override;
  // The first half of LoadFromFile, touching no document: reads the file
  // and runs the enabled tools over it. Throws what reading throws. Safe on
  // any thread; `cancelled` (may be null) is checked between the tools.
  static TBookText ReadBookText(const std::string& path, const std::vector<TTool>& tools,
                                const std::atomic<bool>* cancelled = nullptr,
                                const ProcessLimits& limits = {kFilterTimeLimit,
                                                               kMaxTextFileSize});
  // The second half: the text becomes the document's (BuildLines follows).
  void AdoptText(TBookText&& text);
  // The inherited load; remembers the style's own colours and background.
  void LoadStyle(std::string_view settingsFile, std::string_view section, int32_t dpi) override;
  // The same for a style in memory (the style editor's preview).
  void UseStyle(const TInfo& style, int32_t dpi);

  // The inherited build, with the result lowered to the first line of its
  // page; then (BODY tag honoured) the page colours and background of an
  // HTML document's BODY tag, or the style's own for any other document.
  int32_t BuildLines(int32_t sourceIndex);
  // The same build; returns the first line of the page holding the
  // position's character (-1 without text).
  int32_t BuildLines(const TReadingPosition& position);
  // The page colours and background of an HTML document's BODY tag (when
  // the style honours it), else the style's own: what BuildLines sets
  // besides the lines, for a layout made in steps.
  void ApplyBodyColours();
  // The first line of the page holding the display line.
  int32_t PageTopOf(int32_t displayLine) const;

  // Draws the page whose first display line is given into PageBitmap; a
  // negative first line, or no text, gives the page without a document.
  void DrawPage(int32_t firstLine);
  // The same page drawn on the device (PageBitmap is left alone). Links
  // describe this page afterwards.
  void DrawPage(int32_t firstLine, IPageDevice& device);
  // The column renderer: one column of display lines from firstLine, the
  // column moved by columnX (horizontal writing) or columnY (vertical).
  // Adds the link rectangles of the column to Links.
  void DrawColumn(IPageDevice& device, int32_t columnX, int32_t columnY, int32_t firstLine);
  // The header or footer template with its placeholders filled in for the
  // page whose first display line is given.
  std::string FormatHeaderFooter(std::string_view templ, int32_t firstLine);
  void DrawHeaderFooter(IPageDevice& device, int32_t firstLine, bool footer);

  // The display line to show for the next match of pattern (options:
  // kFindDown, kFindMatchCase) from the page at topLine; -1 when none.
  int32_t FindText(std::string_view pattern, int32_t topLine, int options) const;
  // The next match of pattern (options: kFindDown, kFindMatchCase) that
  // starts at or after `from` (downward), or the last one that starts
  // before it (upward); every source line is searched whole, so matches in
  // the rest of a long paragraph are found too. Nothing when none is left.
  std::optional<TTextMatch> FindMatch(std::string_view pattern, const TReadingPosition& from,
                                      int options) const;
  // The source line of the first anchor of that name; -1 when there is none.
  int32_t AnchorLine(std::string_view name) const;

  int32_t CurrentBackColor() const { return Style.BackColor; }
  int32_t CurrentFontColor() const { return Style.FontColor; }
  int32_t LinesPerPage() const { return Style.LinesPerColumn() * Style.Columns(); }
  int32_t LineCount() const { return DisplayLines.Count(); }

  // What text in the role's font is drawn with now: ChooseFont's font and
  // colour, the style's supersampling for the role, and smoothing off for a
  // supersampling style (its glyphs are reduced from sharp black-and-white
  // ones; smooth ones would be blurred twice), else SavedSmoothing.
  TRunFont RunFont(TFontRole role) const;

  TBitmap24 PageBitmap;           // the page; PageWidth x PageHeight
  // The user's font smoothing, for styles that do not supersample: on, as
  // a desktop that smooths screen fonts.
  bool SavedSmoothing = true;
  std::string StyleBackground;    // the loaded style's background picture, if on
  int32_t StyleFontColor = 0xFFFFFF;
  int32_t StyleBackColor = 0;
  std::vector<TTool> Tools;       // filled by the window from tool.ini
  // Text that DrawPage shows inverted (the last find's match), if any.
  std::optional<TTextMatch> FindMark;
  // Runs about every 50 ms while a filter works, so a window stays alive.
  std::function<void()> OnFilterTick;
  // Bounds of each filter run (tests make them small).
  ProcessLimits FilterLimits{kFilterTimeLimit, kMaxTextFileSize};
  // Set by LoadFromFile when a filter was stopped at a limit and the
  // document was therefore left unfiltered: the CP932 message for the user.
  // Empty otherwise.
  std::string FilterMessage;

 private:
  friend class TColumnPainter;

  // What a newly loaded style sets besides the fields and fonts.
  void StyleLoaded();
  // Every enabled tool with a command filters the text, in order. Returns
  // why a tool was stopped at a limit (the text is then as the file holds
  // it), else empty.
  static std::string RunTools(TSourceText& text, const std::vector<TTool>& tools,
                              const std::function<void()>& tick,
                              const std::atomic<bool>* cancelled, const ProcessLimits& limits);
  void DrawBackground(IPageDevice& device);
  void DrawNoDocument(IPageDevice& device);

  TFontEngine fonts_;
  TCanvas canvas_{PageBitmap, fonts_};
  TPictureCache pictures_;
  bool bodyBackground_ = false;  // the background picture came from BODY
};

}  // namespace rpv
