// The ways a document is chosen besides the command line: the open dialog,
// the clipboard, dropped files, the history and links of HTML pages.
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>

#include "app/AppMessages.h"
#include "app/PageView.h"
#include "app/QtText.h"
#include "app/commands/DocumentSources.h"
#include "app/rpvMain.h"
#include "platform/FileIO.h"
#include "render/BookClass.h"

namespace rpv {
namespace {

bool ExistingFile(std::string_view path) { return FileExists(path); }

// The local files among dropped URLs, in their order, as CP932 paths.
std::vector<std::string> DroppedFiles(const QMimeData* data) {
  std::vector<std::string> paths;
  if (!data || !data->hasUrls()) return paths;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) paths.push_back(PathFromQString(url.toLocalFile()));
  return paths;
}

}  // namespace

void TfrmRPV::OpenWithDialog() {
  const std::string folder = OpenDialogFolder(History[0].Archive, CurrentDir);
  const auto chosen = Dialogs().OpenFileName(folder, OpenDialogNameFilters());
  if (chosen) OpenDocument(*chosen, -1, "");
}

void TfrmRPV::ReadClipboard() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  const bool hasText = data && data->hasText();
  const std::string text = hasText ? FromQString(data->text()) : std::string();
  const TClipboardAction action = DecideClipboard(hasText, text, ExeDir, ExistingFile);
  switch (action.Kind) {
    case TClipboardAction::TKind::None: return;
    case TClipboardAction::TKind::OpenFile: break;
    case TClipboardAction::TKind::SaveText:
      // An unwritten file must not open the text of an earlier paste.
      if (!WriteFileAtomic(action.Path, action.FileText)) {
        Dialogs().ShowMessage(FormatS(Sjis(kMsgCannotWrite), action.Path));
        return;
      }
      break;
  }
  OpenDocument(action.Path, 0, "");
}

void TfrmRPV::ReloadDocument() {
  const TFileHistory entry = History[0];
  OpenDocument(entry.FullPath, ReadingPosition, entry.Archive);
}

void TfrmRPV::OpenPreviousHistory() {
  const TFileHistory entry = History[1];
  OpenDocument(entry.FullPath, entry.Position(), entry.Archive);
}

void TfrmRPV::OpenDroppedFiles(const std::vector<std::string>& paths) {
  if (!paths.empty()) OpenDocument(paths.front(), -1, "");
}

void TfrmRPV::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedFiles(event->mimeData()).empty()) event->acceptProposedAction();
}

void TfrmRPV::dropEvent(QDropEvent* event) {
  const std::vector<std::string> paths = DroppedFiles(event->mimeData());
  if (paths.empty()) return;
  event->acceptProposedAction();
  OpenDroppedFiles(paths);
}

void TfrmRPV::FollowLink(const std::string& target) {
  const TLinkAction action = ResolveLinkAction(target, CurrentDir, ExistingFile);
  switch (action.Kind) {
    case TLinkAction::TKind::None: break;
    case TLinkAction::TKind::Shell: Dialogs().OpenUrl(action.Target); break;
    case TLinkAction::TKind::Open:
      OpenDocument(action.Target, -1, "");
      if (action.HasAnchor && Book) {
        const int32_t line = Book->AnchorLine(action.Anchor);
        if (line >= 0) ShowAtPosition(line);
      }
      break;
  }
  pageView_->setCursor(Qt::ArrowCursor);
  RefreshLinkPopUp();
}

}  // namespace rpv
