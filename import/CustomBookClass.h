// The document: the text of the loaded file, the style in force, the font
// descriptions built from that style, the source and display line tables and
// the link table. It loads files and styles, rebuilds its display lines and
// maps between display lines, source lines and pages. The page class derives
// from it and overrides the five virtual operations; the column renderer
// (DrawColumn) is added to this class by the rendering code.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "import/HtmlConvert.h"
#include "import/ReadingPosition.h"
#include "import/SourceText.h"
#include "platform/FontDesc.h"
#include "render/cbcClasses.h"

namespace rpv {

class TLayoutJob;
struct TLayoutSettings;

// Flags of SelectFont. None of sfRuby, sfUpright, sfTurned means the body
// font. Used as 0 (page fill), 8 (body text), 9 (ruby and notes), 12 (upright
// text, header and footer) and 24 (turned text).
inline constexpr int sfRuby = 1;
inline constexpr int sfUpright = 4;
inline constexpr int sfTransparent = 8;
inline constexpr int sfTurned = 16;

// What SelectFont hands a canvas: the font, the text colour, and the brush
// and pen colour with whether the brush is transparent.
struct TFontSelection {
  TFontDesc Font;
  int32_t TextColor = 0;
  int32_t BrushColor = 0;
  bool Transparent = false;
};

// The four font descriptions a style gives.
struct TBookFonts {
  TFontDesc Body;
  TFontDesc Ruby;
  TFontDesc Upright;
  TFontDesc Turned;
};

// The fonts of a style at its supersampling size: body, ruby, the body set
// upright (escapement 0, first "@" of the face removed) and turned by 180
// degrees. Face names are cut to the 31 bytes a font description holds,
// never inside a double-byte character.
TBookFonts BuildBookFonts(const TInfo& style);

// The extensions that mark a file as HTML.
inline constexpr std::string_view kHtmlExtensions = "htm;html;shtm;shtml;cgi";

class TCustomBook {
 public:
  // Create: everything empty, no blank-line removal, the default style.
  TCustomBook();
  virtual ~TCustomBook();
  TCustomBook(const TCustomBook&) = delete;
  TCustomBook& operator=(const TCustomBook&) = delete;

  // The page area in page-bitmap pixels.
  virtual void SetPageWidth(int32_t width);
  virtual void SetPageHeight(int32_t height);
  // Reads the file in any supported character code and splits it into source
  // lines; notes whether its extension marks it as HTML. Does not rebuild the
  // lines: BuildLines follows. A read error (TReadError) passes to the caller
  // with FileDir and FileName already changed and the old text kept.
  virtual void LoadFromFile(std::string_view fileName);
  // FileDir and FileName of a path (what LoadFromFile sets first).
  void SetFileNames(std::string_view fileName);
  // Reads the style section (defaults where keys are missing), sets the
  // screen resolution, builds the four fonts and resets TextColor.
  virtual void LoadStyle(std::string_view settingsFile, std::string_view section, int32_t dpi);
  // The same from a style in memory (the style editor's preview): its
  // stored settings replace the book's, the page size stays.
  void SetStyle(const TInfo& style, int32_t dpi);

  // Rebuilds the display lines, Anchors and PageCount from SourceText.
  // Returns the first display line of the given source line, 0 when the
  // index is below 1 or the line has no display line, -1 when there is no
  // text (the tables are then left as they were).
  int32_t BuildLines(int32_t sourceIndex);
  // The same in steps, for a layout that runs beside the reader: empties
  // the line table and returns the job that lays the text out (threads as
  // TLayoutJob takes them). The job reads SourceText, which must not change
  // while it lives. Its lines come back through AddLayout, in order.
  std::unique_ptr<TLayoutJob> StartLayout(int threads);
  // Appends finished lines (moving them out of the given table); complete
  // says the job is done. PageCount counts the pages whose lines are all
  // there until then.
  void AddLayout(TLines& displayLines, bool complete);
  // What a layout copies from the document.
  TLayoutSettings LayoutSettingsOf() const;
  // The source line a reading position at the display line stands for: -1
  // without display lines or for a negative index, 0 within the first column.
  int32_t SourceLineOf(int32_t displayIndex) const;
  // The exact reading position of a display line: its source line and the
  // visible characters of that line before it (ReadingPosition.h). A
  // picture's blank lines stand for the line after them. {-1, 0} without
  // display lines or for a negative index.
  TReadingPosition PositionAt(int32_t displayIndex) const;
  // The display line holding the position's character: -1 without display
  // lines, 0 for a position before the start; a source line that has no
  // display line gives the next line that has; an offset past its line's
  // end gives that line's last display line.
  int32_t DisplayLineAt(const TReadingPosition& position) const;
  // The smallest page area the window keeps.
  int32_t MinPageWidth() const;
  int32_t MinPageHeight() const;
  // SelectFont's choice for the flags, as data for a canvas to apply.
  TFontSelection ChooseFont(int flags) const;

  int32_t TextColor = 0;  // next body text colour; FontColor after LoadStyle
  TFontDesc BodyFont;
  TFontDesc RubyFont;
  TFontDesc UprightFont;
  TFontDesc TurnedFont;
  int32_t PageCount = 0;
  // False while a layout started by StartLayout has lines still to come.
  bool LayoutComplete = true;
  // Threads BuildLines lays out with (the caller's counted; 0: the cores).
  int LayoutThreads = 0;
  bool IsHtml = false;
  std::string Title;          // HTML title; see the header and footer
  TLinkItems Links;           // link areas of the page last drawn
  bool DeleteBlankLines = false;
  TInfo Style;
  TSourceText SourceText;     // the file text, one item per line
  // What the pages show. The source lines (logical lines after conversion)
  // are not kept apart: those of one SourceIndex are its display lines put
  // together, which cutting makes of their whole text.
  TLines DisplayLines;
  std::vector<TAnchor> Anchors;  // named anchors of an HTML document, in order
  std::string FileDir;        // ends with the path separator (empty: no folder)
  std::string FileName;       // without folder

 private:
  // The four fonts from Style; TextColor back to FontColor.
  void MakeFonts();
};

}  // namespace rpv
