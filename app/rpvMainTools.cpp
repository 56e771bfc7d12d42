// The ツール menu of text filters, the external editor, the other-settings
// dialog and the ヘルプ menu: the window's links to programs outside it and
// to its secondary settings.
#include <QCoreApplication>
#include <QFileInfo>
#include <QMenu>
#include <QTimer>
#include <QUrl>
#include <filesystem>
#include <unistd.h>

#include "app/AppMessages.h"
#include "app/ChildWatcher.h"
#include "app/OtherSettings.h"
#include "app/ProductInfo.h"
#include "app/QtText.h"
#include "app/commands/EditorArguments.h"
#include "app/rpvMain.h"
#include "platform/Codepage.h"
#include "platform/DetachedProcess.h"
#include "platform/ExeDir.h"
#include "platform/FileIO.h"
#include "render/BookClass.h"

namespace rpv {
namespace {

constexpr std::string_view kToolIniName = "tool.ini";

// Where help.html may be: the settings folder (a copy the user keeps),
// beside the program (the build tree, a portable copy), and the data folder
// of an installation relative to the program (prefix/bin -> prefix/share).
std::string FindHelpFile(const std::string& exeDir) {
  const std::string name(kHelpFileName);
  const std::string exeFolder = ExecutableFolder();
  for (const std::string& candidate :
       {exeDir + name, exeFolder + name, exeFolder + "../share/rpv/" + name}) {
    if (FileExists(candidate)) return candidate;
  }
  return {};
}

// The running program itself (CP932), the target of the Send To entry.
std::string ProgramPath() {
  return FromNativePath(std::filesystem::path(QCoreApplication::applicationFilePath().toStdString()));
}

}  // namespace

void TfrmRPV::ConnectToolsAndHelp() {
  connect(mnuOEditor, &QAction::triggered, this, [this] { StartEditor(); });
  connect(mnuOOtherSetup, &QAction::triggered, this, [this] { OpenOtherSettings(); });
  connect(mnuHHelp, &QAction::triggered, this, [this] { mnuHHelpClick(); });
  connect(mnuHHomePage, &QAction::triggered, this, [this] { mnuHHomePageClick(); });
  connect(mnuHVersion, &QAction::triggered, this, [this] { mnuHVersionClick(); });
}

void TfrmRPV::BuildToolMenu() {
  mnuTool->clear();
  Book->Tools = LoadTools(ExeDir + std::string(kToolIniName));
  for (size_t i = 0; i < Book->Tools.size(); ++i) {
    const int index = static_cast<int>(i);
    QString caption = ToQString(Book->Tools[i].Name);
    caption.replace(QLatin1Char('&'), QLatin1String("&&"));
    QAction* item = mnuTool->addAction(caption);
    item->setObjectName(QStringLiteral("ToolItem%1").arg(index));
    item->setData(index);
    item->setCheckable(true);
    item->setChecked(Book->Tools[i].Enabled);
    connect(item, &QAction::triggered, this, [this, index] { mnuToolChildClick(index); });
  }
}

void TfrmRPV::mnuToolChildClick(int index) {
  if (!Book || index < 0 || static_cast<size_t>(index) >= Book->Tools.size()) return;
  const auto items = mnuTool->actions();
  if (index >= items.size()) return;
  // Qt has already flipped the tick.
  Book->Tools[static_cast<size_t>(index)].Enabled = items[index]->isChecked();
  // Read again through the changed filters, at the same place; without a
  // document the tick simply counts from the next one on.
  if (HasDocument()) ReloadDocument();
}

void TfrmRPV::StartEditor() {
  // Not while the page asked for is still being laid out.
  if (!Book || AwaitingPage()) return;
  const std::string& editor = Settings.EditorName;
  if (editor.empty()) return;
  const auto program = NativePath(editor);
  std::error_code ec;
  if (program.empty() || !std::filesystem::is_regular_file(program, ec) ||
      ::access(program.c_str(), X_OK) != 0) {
    return;  // nothing to start, and nothing to say
  }
  const int32_t line = TopLine + LineOffset;
  std::vector<std::string> argv{program.string()};
  for (const std::string& arg : EditorArguments(Settings.EditorOption, [&](std::string_view a) {
         return Book->FormatHeaderFooter(a, line);
       })) {
    argv.push_back(Cp932ToUtf8(arg));
  }
  const pid_t pid = SpawnDetached(argv);
  if (pid <= 0) return;
  TChildWatcher::Of(this, true)->Watch(pid);
}

void TfrmRPV::OpenOtherSettings() {
  tmrAuto->stop();
  ButtonDown = 0;
  TOtherSettings values = OtherSettingsFrom(Settings, FileExists(SendToShortcutPath()));
  if (Dialogs().OtherSettings(ExeDir, values)) {
    ApplyOtherSettings(values, Settings);
    if (!UpdateSendToShortcut(values.SendTo, ProgramPath()))
      Dialogs().ShowMessage(FormatS(Sjis(kMsgCannotWrite), SendToShortcutPath()));
    BuildBookmarkMenu();
    LoadKeyAssignments();
    LoadMouseAssignments();
  }
  tmrAuto->start();
  IdleCount = 0;
}

void TfrmRPV::mnuHHelpClick() {
  const std::string help = FindHelpFile(ExeDir);
  if (help.empty()) {
    // The desktop says nothing about a missing file, so the reader does.
    Dialogs().ShowMessage(FormatS(Sjis(kMsgCannotOpen), ExeDir + std::string(kHelpFileName)));
    return;
  }
  const QUrl url = QUrl::fromLocalFile(QString::fromStdString(NativePath(help).string()));
  Dialogs().OpenUrl(url.toEncoded().toStdString());
}

void TfrmRPV::mnuHHomePageClick() { Dialogs().OpenUrl(std::string(kHomePage)); }

void TfrmRPV::mnuHVersionClick() {
  tmrAuto->stop();
  ButtonDown = 0;
  Dialogs().ShowAbout(ProductName(), std::string(kProductVersion), Sjis(kAuthorName),
                      std::string(kAuthorMail), std::string(kHomePage));
  tmrAuto->start();
  IdleCount = 0;
}

}  // namespace rpv
