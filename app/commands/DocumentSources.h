// The decisions behind the ways a document is chosen, as pure functions the
// window carries out: following a link of an HTML page, reading the
// clipboard, and the open dialog's filter and folder.
// Qt-free; file existence is asked through a callback so tests can stage it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "import/Tools.h"

namespace rpv {

using TFileExists = std::function<bool(std::string_view cp932Path)>;

// ---- Links -------------------------------------------------------------------

// Targets handed to the desktop (mail program, web browser) instead of being
// opened by the reader: "mailto:", "http://" and "https://", letter case as
// written.
bool IsShellLinkTarget(std::string_view target);

// The target as the pop-up shows it and the follower uses it: a shell
// target unchanged, anything else made a path and resolved against the
// document's folder (".." and "." resolved).
std::string ResolveLinkTarget(std::string_view target, std::string_view currentDir,
                              const PathStyle& style = kNativePathStyle);

struct TLinkAction {
  enum class TKind {
    None,   // nothing exists there: ignored without a message
    Shell,  // hand Target to the desktop
    Open,   // OpenDocument(Target, -1, no archive), then the anchor if any
  };
  TKind Kind = TKind::None;
  std::string Target;
  // After "#": show the page of the source line that carries the anchor.
  bool HasAnchor = false;
  std::string Anchor;
};

// What following a link does. A folder link (ending in a separator) opens
// its index.html, else its index.htm; "file#anchor" opens the file and then
// the anchor; a target whose file part names no file does nothing (so a
// bare "#anchor" does nothing).
TLinkAction ResolveLinkAction(std::string_view target, std::string_view currentDir,
                              const TFileExists& fileExists,
                              const PathStyle& style = kNativePathStyle);

// ---- Clipboard -----------------------------------------------------------------

inline constexpr std::string_view kClipboardFile = "clipbord.txt";

struct TClipboardAction {
  enum class TKind {
    None,      // no text on the clipboard
    OpenFile,  // the text is the path of an existing file: open it at 0
    SaveText,  // write FileText to Path (clipbord.txt) and open it at 0
  };
  TKind Kind = TKind::None;
  std::string Path;
  std::string FileText;
};

// hasText: the clipboard holds text at all; text: that text in CP932.
TClipboardAction DecideClipboard(bool hasText, std::string_view text, std::string_view exeDir,
                                 const TFileExists& fileExists);
// The text as lines, each ended by CR LF (CR LF, LF and CR all end a line;
// a final line break adds no empty line).
std::string TextAsCrLfLines(std::string_view text);

// ---- Open dialog ----------------------------------------------------

// The description|patterns pairs of the open dialog (CP932).
std::string_view OpenDialogFilter();
// The same as the name filters of a file dialog: "description (patterns)"
// with the patterns space-separated; "*.*" becomes "*", since on this
// system a file name need not contain a dot.
std::vector<std::string> OpenDialogNameFilters(std::string_view filter = OpenDialogFilter());
// The folder the open dialog starts in: the archive's folder when the
// document on screen came from an archive, else the document's folder.
std::string OpenDialogFolder(std::string_view historyArchive, std::string_view currentDir,
                             const PathStyle& style = kNativePathStyle);

}  // namespace rpv
