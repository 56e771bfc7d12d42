// The shell and process operations of Tools.h over their platform stand-ins.
#include <system_error>

#include "import/Tools.h"
#include "platform/Codepage.h"
#include "platform/CommandLine.h"
#include "platform/DesktopEntry.h"
#include "platform/FileIO.h"
#include "platform/Process.h"
#include "platform/XdgDirs.h"

namespace rpv {

std::string SpecialFolderPath(int index) {
  std::filesystem::path folder;
  switch (((index % 128) + 128) % 128) {
    case 0: folder = XdgUserDir("DESKTOP", "Desktop"); break;
    case 1: folder = XdgDataHome() / "applications"; break;
    case 2: folder = XdgUserDir("DOCUMENTS", "Documents"); break;
    case 3: folder = XdgConfigHome() / "autostart"; break;
    // Entries here appear in the file manager's "Open With" menu, the
    // nearest thing to the Windows Send To menu.
    case 4: folder = XdgDataHome() / "applications"; break;
    case 5: folder = XdgDataHome() / "Trash"; break;
    case 6: folder = XdgDataHome() / "applications"; break;
    case 7: folder = XdgDataHome() / "fonts"; break;
    case 8: folder = XdgConfigHome(); break;
    default: return {};  // favourites and unused indexes have no folder here
  }
  return EnsureTrailingSep(FromNativePath(folder));
}

bool CreateShortcut(std::string_view target, std::string_view description,
                    std::string_view linkFile) {
  const auto nativeLink = NativePath(linkFile);
  const auto nativeTarget = NativePath(target);
  if (nativeLink.empty() || nativeTarget.empty()) return false;

  DesktopEntry entry;
  entry.name = nativeLink.stem().string();
  entry.comment = Cp932ToUtf8(description);
  entry.program = nativeTarget.string();
  entry.workingDir = nativeTarget.parent_path().string();
  entry.mimeTypes = {"text/plain",
                     "text/html",
                     "application/zip",
                     "application/x-lha",
                     "application/x-lzh-compressed",
                     "application/vnd.rar"};

  std::error_code ec;
  std::filesystem::create_directories(nativeLink.parent_path(), ec);
  return WriteFileAtomic(linkFile, DesktopEntryText(entry));
}

std::optional<std::string> RunFilter(std::string_view commandLine, std::string_view input,
                                     const std::function<void()>& onTick, const ProcessLimits& limits) {
  auto result = RunProcess(SplitCommandLine(Cp932ToUtf8(commandLine)), input, onTick, 50, limits);
  if (!result) return std::nullopt;
  switch (result->stopped) {
    case ProcessResult::TStop::Time:
      throw TFilterStopped(Utf8ToCp932("フィルタ \"") + std::string(commandLine) +
                           Utf8ToCp932("\" が " + std::to_string(limits.time.count() / 1000) +
                                       " 秒以内に終わらないため止めました。"));
    case ProcessResult::TStop::Output:
      throw TFilterStopped(Utf8ToCp932("フィルタ \"") + std::string(commandLine) +
                           Utf8ToCp932("\" の出力が大きすぎるため止めました。"));
    case ProcessResult::TStop::None: break;
  }
  // A filter that reports failure has not produced the text: keep the old.
  if (result->exitCode != 0) return std::nullopt;
  return std::move(result->output);
}

}  // namespace rpv
