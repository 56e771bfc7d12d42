// The ツール menu of filters, the external editor and the ヘルプ menu of the
// window.
#include <signal.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QThread>
#include <QTimer>
#include <filesystem>

#include "AppTestSupport.h"
#include "app/ChildWatcher.h"
#include "platform/ExeDir.h"
#include "render/BookClass.h"

namespace rpv::test {
namespace {

struct TToolsLog {
  std::vector<std::string> Urls;
  std::vector<std::string> About;  // UTF-8
};

class TToolsDialogs : public TScriptedDialogs {
 public:
  TToolsDialogs(std::shared_ptr<TLog> log, std::shared_ptr<TToolsLog> tools)
      : TScriptedDialogs(std::move(log)), tools_(std::move(tools)) {}
  void OpenUrl(const std::string& url) override { tools_->Urls.push_back(url); }
  void ShowAbout(const std::string& product, const std::string& version, const std::string&,
                 const std::string&, const std::string& url) override {
    tools_->About = {U(product), version, url};
  }

 private:
  std::shared_ptr<TToolsLog> tools_;
};

std::string Numbered(int n) {
  std::string text;
  for (int i = 0; i < n; ++i) text += "line" + std::to_string(i) + "\r\n";
  return text;
}

// Processes events until done() holds or 10 s pass.
bool WaitFor(const std::function<bool()>& done) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < 10000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QThread::msleep(10);
  }
  return done();
}

class ToolsWindow : public ::testing::Test {
 protected:
  void Start(std::vector<std::string> args) {
    App();
    form_ = std::make_unique<TfrmRPV>(std::move(args), std::make_unique<TToolsDialogs>(log_, tools_));
    form_->FormCreate();
  }
  std::string Text() const { return form_->Book->SourceText.Text(); }

  TTempHome home_;
  std::shared_ptr<TScriptedDialogs::TLog> log_ = std::make_shared<TScriptedDialogs::TLog>();
  std::shared_ptr<TToolsLog> tools_ = std::make_shared<TToolsLog>();
  std::unique_ptr<TfrmRPV> form_;
};

TEST_F(ToolsWindow, TickedFiltersRunOnEveryLoadAndTheReloadKeepsThePlace) {
  home_.Write("info.ini", PlainPageStyle());
  home_.Write("tool.ini",
              "[Upper]\r\nCommand=tr a-z A-Z\r\nBoolean=1\r\n"
              "[Mark & sign]\r\nCommand=sed -e \"s/^/#/\"\r\nBoolean=0\r\n"
              "[Broken]\r\nCommand=sh -c \"echo partial; exit 1\"\r\nBoolean=1\r\n"
              "[Missing]\r\nCommand=/no/such/filter\r\nBoolean=1\r\n");
  const std::string book = home_.Write("book.txt", Numbered(60));
  Start({book});
  const auto items = form_->mnuTool->actions();
  ASSERT_EQ(items.size(), 4);
  EXPECT_EQ(items[0]->text(), QStringLiteral("Upper"));
  EXPECT_EQ(items[1]->text(), QStringLiteral("Mark && sign"));
  EXPECT_TRUE(items[0]->isChecked());
  EXPECT_FALSE(items[1]->isChecked());
  // The failing and the missing filter leave the text as Upper made it.
  EXPECT_EQ(Text().substr(0, 7), "LINE0\r\n");
  ASSERT_GT(FitPageToLines(*form_, 10), 0);
  form_->GoToPage(3);
  const int32_t source = form_->Book->SourceLineOf(form_->TopLine);
  ASSERT_GT(source, 0);

  items[1]->trigger();  // on: both run, in file order
  EXPECT_TRUE(items[1]->isChecked());
  EXPECT_TRUE(form_->Book->Tools[1].Enabled);
  EXPECT_EQ(Text().substr(0, 8), "#LINE0\r\n");
  EXPECT_EQ(form_->Book->SourceLineOf(form_->TopLine), source);
  form_->ReloadDocument();  // and on every later load
  EXPECT_EQ(Text().substr(0, 8), "#LINE0\r\n");

  items[0]->trigger();  // off
  EXPECT_EQ(Text().substr(0, 8), "#line0\r\n");
  EXPECT_EQ(form_->Book->SourceLineOf(form_->TopLine), source);
  EXPECT_TRUE(log_->Messages.empty());
}

TEST_F(ToolsWindow, TheEditorGetsExactlyTheExpandedArgumentsAndIsReaped) {
  home_.Write("info.ini", PlainPageStyle());
  const std::string record = home_.Path("argv.txt");
  // Records each argument on a line of its own, then ends.
  const std::string editor = home_.Write(
      "editor.sh", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$RPV_TEST_ARGV\"\n");
  ::chmod(NativePath(editor).c_str(), 0755);
  TEnvVar argvFile("RPV_TEST_ARGV", NativePath(record).string());
  const std::string book = home_.Write("a\"; rm -rf ~; \".txt", Numbered(60));
  Start({book});
  ASSERT_GT(FitPageToLines(*form_, 10), 0);
  form_->GoToPage(2);
  form_->Settings.EditorName = editor;
  form_->Settings.EditorOption = "\"%F\" -n%g \"%p of %P\" %% %x";
  form_->RunCommand(TCommand::StartEditor);
  ASSERT_TRUE(WaitFor([&] { return FileExists(record) && !ReadWholeFile(record)->empty(); }));
  const std::string expected = NativePath(book).string() + "\n-n11\n2 of 6\n%\n%x\n";
  EXPECT_TRUE(WaitFor([&] { return ReadWholeFile(record).value_or("") == expected; }))
      << ReadWholeFile(record).value_or("");

  // The ended editor does not stay a zombie.
  auto* watcher = TChildWatcher::Of(form_.get(), false);
  ASSERT_NE(watcher, nullptr);
  EXPECT_TRUE(WaitFor([&] { return watcher->Pending().empty(); }));

  // Not executable, or not there: nothing starts, nothing is said.
  std::filesystem::remove(NativePath(record));
  ::chmod(NativePath(editor).c_str(), 0644);
  form_->StartEditor();
  form_->Settings.EditorName = home_.Path("no-such-editor");
  form_->StartEditor();
  QThread::msleep(200);
  EXPECT_FALSE(FileExists(record));
  EXPECT_TRUE(watcher->Pending().empty());
  EXPECT_TRUE(log_->Messages.empty());
}

TEST_F(ToolsWindow, HelpHomePageAndVersion) {
  Start({});
  form_->mnuHHelp->trigger();
  if (!FileExists(ExecutableFolder() + "help.html")) {
    ASSERT_EQ(log_->Messages.size(), 1u);  // no help.html anywhere
    EXPECT_NE(log_->Messages[0].find("help.html"), std::string::npos);
  }
  home_.Write("help.html", "<html></html>");
  form_->mnuHHelp->trigger();
  ASSERT_FALSE(tools_->Urls.empty());
  EXPECT_EQ(tools_->Urls.back(), "file://" + NativePath(home_.Path("help.html")).string());
  form_->mnuHHomePage->trigger();
  EXPECT_EQ(tools_->Urls.back().rfind("https://", 0), 0u);
  form_->mnuHVersion->trigger();
  EXPECT_EQ(tools_->About, (std::vector<std::string>{"【瑠頁～るぺい～】", "3.0.0", tools_->Urls.back()}));
  EXPECT_TRUE(form_->tmrAuto->isActive());
}

// help.html is made at build time from the window's menus and the binding
// tables: every item and every default binding is on it.
TEST(HelpPage, ListsEveryMenuItemAndEveryDefaultBinding) {
  const auto help = ReadWholeFile(FromNativePath(std::string(RPV_BINARY_DIR) + "/app/help.html"));
  if (!help) GTEST_SKIP() << "help.html was not built";
  App();
  const TfrmRPV form({});
  int items = 0;
  for (const QAction* top : form.mnuMain->actions()) {
    for (const QAction* item : top->menu()->actions()) {
      if (item->isSeparator() || !item->isVisible()) continue;
      const std::string caption = QString(item->text()).remove(QLatin1Char('&')).toStdString();
      EXPECT_NE(help->find(caption), std::string::npos) << caption;
      ++items;
    }
  }
  EXPECT_GT(items, 15);
  for (const auto* list : {&DefaultKeyAssignments(), &DefaultMouseAssignments()}) {
    for (const std::string& line : *list) {
      std::string_view name, command;
      ASSERT_TRUE(SplitAssignment(line, name, command));
      const std::string row = "<td>" + U(command) + "</td>";
      EXPECT_NE(help->find(U(name) + (list == &DefaultKeyAssignments() ? "</kbd></td>" : "</td>") + row),
                std::string::npos)
          << U(line);
    }
  }
}

}  // namespace
}  // namespace rpv::test
