// Page and line steps, page jump, find, automatic advance, blank-line
// removal and the offer of the neighbouring file of the folder.
//
// Steps only move TopLine/LineOffset and repaint; nothing here lays the
// document out again except blank-line removal.
#include <QCursor>
#include <QTimer>
#include <algorithm>
#include <charconv>
#include <filesystem>
#include <limits>
#include <system_error>

#include "app/AppMessages.h"
#include "app/LayoutRunner.h"
#include "app/PageView.h"
#include "app/QtText.h"
#include "app/rpvMain.h"
#include "bookmarks/rpvBookMark.h"
#include "import/Tools.h"
#include "platform/Codepage.h"
#include "platform/FileIO.h"
#include "render/BookClass.h"

namespace rpv {

static_assert(kFindOptionDown == kFindDown && kFindOptionMatchCase == kFindMatchCase,
              "the find dialog hands its options to FindText unchanged");

namespace {

// A whole number as an input box gives it: blanks around it and a sign are
// allowed, anything else (or a number beyond 32 bits) is not a number.
std::optional<int32_t> ParsePageNumber(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  int32_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// ASCII letters in lower case; the trail byte of a double-byte character
// is left alone.
std::string FoldCase(std::string_view s) {
  std::string out(s);
  for (size_t i = 0; i < out.size(); i += CharLen(out, i)) {
    if (out[i] >= 'A' && out[i] <= 'Z') out[i] = static_cast<char>(out[i] + ('a' - 'A'));
  }
  return out;
}

// A file of the folder: its CP932 name as far as the user-area table
// already knows it, and its own name.
struct TFolderFile {
  std::string Name;
  std::filesystem::path Native;
};

// The readable files of a folder, sorted without regard to letter case.
// Listing gives no name a new user-area code; only the file offered gets
// one (a folder of names in another script must not fill the table).
std::vector<TFolderFile> ReadableFilesOf(const std::string& folder) {
  std::vector<TFolderFile> files;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(NativePath(folder), ec), end; !ec && it != end;
       it.increment(ec)) {
    std::error_code typeError;
    if (it->is_directory(typeError)) continue;
    std::string name = FromNativePath(it->path().filename(), TUserArea::LookUp);
    if (MatchesExtList(name, kReadableExtensions)) files.push_back({std::move(name), it->path().filename()});
  }
  std::stable_sort(files.begin(), files.end(), [](const TFolderFile& a, const TFolderFile& b) {
    return FoldCase(a.Name) < FoldCase(b.Name);
  });
  return files;
}

}  // namespace

bool TfrmRPV::SetTopLine(int32_t line) {
  if (awaitingPage_ || line < 0 || line >= Book->LineCount()) return false;
  TopLine = line;
  LineOffset = 0;
  return true;
}

void TfrmRPV::PageBack() {
  if (LineOffset > 0) {
    LineOffset = 0;
    RedrawPage();
  } else if (SetTopLine(TopLine - Book->LinesPerPage())) {
    RedrawPage();
  } else {
    OfferNeighbourFile(1);
  }
}

void TfrmRPV::PageForward() {
  // The next page is shown whole, so all of its lines must be there.
  if (!WaitForLines(int64_t{TopLine} + 2 * int64_t{Book->LinesPerPage()})) return;
  if (SetTopLine(TopLine + Book->LinesPerPage())) {
    RedrawPage();
  } else if (IdleCount < Settings.AutoInterval) {
    // A person stepping past the end; the timer (whose count has reached
    // the interval) stops here silently.
    OfferNeighbourFile(0);
  }
}

void TfrmRPV::LineBack() {
  const int32_t perPage = Book->LinesPerPage();
  if (LineOffset >= 1) {
    --LineOffset;
    RedrawPage();
  } else if (SetTopLine(TopLine - perPage)) {
    LineOffset = perPage - 1;
    RedrawPage();
  }
}

void TfrmRPV::LineForward() {
  const int32_t perPage = Book->LinesPerPage();
  if (!WaitForLines(int64_t{TopLine} + LineOffset + 1 + perPage)) return;
  if (LineOffset + 1 < perPage) {
    if (TopLine + perPage >= Book->LineCount()) return;  // the last page
    ++LineOffset;
    RedrawPage();
  } else if (SetTopLine(TopLine + perPage)) {
    RedrawPage();
  }
}

void TfrmRPV::GoHead() {
  if (SetTopLine(0)) RedrawPage();
}

void TfrmRPV::GoEnd() {
  const int32_t perPage = Book->LinesPerPage();
  if (perPage <= 0 || !WaitForWholeLayout()) return;
  if (SetTopLine(((Book->LineCount() - 1) / perPage) * perPage)) RedrawPage();
}

bool TfrmRPV::GoToPage(int32_t page) {
  const int64_t line = int64_t{Book->LinesPerPage()} * (int64_t{page} - 1);
  if (line < 0 || line > std::numeric_limits<int32_t>::max()) return false;
  // A page beyond what is laid out yet is waited for. A wait given up
  // counts as done: the page is not out of range, the reader stopped.
  if (!WaitForLines(line + Book->LinesPerPage())) return true;
  if (!SetTopLine(static_cast<int32_t>(line))) return false;
  RedrawPage();
  return true;
}

void TfrmRPV::ShowPageOfLine(int32_t line) {
  const int32_t perPage = Book->LinesPerPage();
  if (perPage <= 0) return;
  if (SetTopLine((line / perPage) * perPage)) RedrawPage();
}

void TfrmRPV::PageJump() {
  if (!HasDocument()) return;
  const std::string caption = Sjis(kPageJumpCaption);
  const std::string prompt = Sjis(kPageJumpPrompt);
  std::optional<std::string> text = Dialogs().InputQuery(caption, prompt, "");
  while (text) {
    const std::optional<int32_t> page = ParsePageNumber(*text);
    if (!page) {
      Dialogs().ShowMessage(Sjis(kMsgNotANumber));
      return;
    }
    if (GoToPage(*page)) return;
    Dialogs().ShowMessage(Sjis(kMsgPageOutOfRange));
    text = Dialogs().InputQuery(caption, prompt, *text);
  }
}

void TfrmRPV::ShowFindDialog() {
  if (!HasDocument()) return;
  Dialogs().ShowFind(kFindOptionDown, [this](const std::string& pattern, int options) {
    return dlgFindFind(pattern, options);
  });
}

bool TfrmRPV::dlgFindFind(const std::string& pattern, int options) {
  if (!Book || TopLine < 0) return false;
  // Searching needs the whole book, and the page of a match its lines.
  if (!WaitForWholeLayout()) return false;
  // On from the match still marked, so a second search finds the next one
  // in the same paragraph; else from the first character in view.
  const int32_t first = TopLine + LineOffset;
  TReadingPosition from = Book->PositionAt(first);
  if (const auto& mark = Book->FindMark) {
    from = mark->Start;
    if (options & kFindOptionDown) from.Offset += std::max(mark->Length, 1);
  }
  const std::optional<TTextMatch> match = Book->FindMatch(pattern, from, options);
  if (!match) return false;
  // The page holding the match, unless the view already shows it.
  const int32_t line = Book->DisplayLineAt(match->Start);
  if ((line < first || line >= first + Book->LinesPerPage()) && SetTopLine(Book->PageTopOf(line)))
    ReadingPosition = Book->PositionAt(TopLine);
  IdleCount = 0;
  Book->FindMark = match;
  RepaintPage();
  return true;
}

void TfrmRPV::ToggleAutoPage() {
  mnuOAuto->setChecked(!mnuOAuto->isChecked());
  if (mnuOAuto->isChecked()) mnuOAutoLine->setChecked(false);
  IdleCount = 0;
}

void TfrmRPV::ToggleAutoLine() {
  mnuOAutoLine->setChecked(!mnuOAutoLine->isChecked());
  if (mnuOAutoLine->isChecked()) mnuOAuto->setChecked(false);
  IdleCount = 0;
}

void TfrmRPV::ToggleBlankLines() {
  mnuODelNewLine->setChecked(!mnuODelNewLine->isChecked());
  Book->DeleteBlankLines = mnuODelNewLine->isChecked();
  Relayout();
}

void TfrmRPV::tmrAutoTimer() {
  if (!Book) return;
  IdleCount += static_cast<uint32_t>(tmrAuto->interval());
  if (mnuOAutoLine->isChecked()) {
    if (IdleCount < Settings.AutoLInterval) return;
    LineForward();
  } else {
    if (IdleCount < Settings.AutoInterval) return;
    if (mnuOAuto->isChecked()) PageForward();
  }
  // An unmoved pointer is hidden until it moves again.
  if (QCursor::pos() == LastMovePos) pageView_->setCursor(Qt::BlankCursor);
  IdleCount = 0;
}

void TfrmRPV::OfferNeighbourFile(int mode) {
  if (TopLine < 0) return;
  const TFileHistory current = History[0];
  if (MatchesExtList(current.Archive, kArchiveExtensions)) {
    // The member chooser of the archive offers its neighbours.
    OpenDocument(current.Archive, -1, "");
    return;
  }
  const std::vector<TFolderFile> files = ReadableFilesOf(CurrentDir);
  const std::string mine = FoldCase(ExtractShortName(current.FullPath, PathDelimiters()));
  int index = -1;
  for (size_t i = 0; i < files.size(); ++i) {
    if (FoldCase(files[i].Name) == mine) {
      index = static_cast<int>(i);
      break;
    }
  }
  const int count = static_cast<int>(files.size());
  int offer = -1;
  if (mode == 0 && index < count - 1) offer = index + 1;
  else if (mode == 1 && index > 0) offer = index - 1;
  if (mode == 2) {
    std::string list;
    for (const TFolderFile& file : files) list += file.Name + "\n";
    Dialogs().ShowMessage(list);
    return;
  }
  if (offer < 0) return;
  const std::string name = FromNativePath(files[static_cast<size_t>(offer)].Native);
  if (Dialogs().ConfirmOkCancel(appTitle_, FormatS(Sjis(kMsgOpenNeighbour), name)))
    OpenDocument(CurrentDir + name, -1, "");
}

}  // namespace rpv
