// Shared pieces of the window tests: the application object, a fresh
// program folder per test, and dialogs answered from a script.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/UserDialogs.h"
#include "app/rpvMain.h"
#include "archive/rpvArchiveUnit.h"
#include "platform/ExeDir.h"
#include "platform/Codepage.h"
#include "platform/FileIO.h"
#include "tests/support/TestSupport.h"

namespace rpv::test {

// One QApplication for the whole test program (offscreen unless a display
// is asked for), made on first use and destroyed when the tests end, before
// Qt's own globals go.
QApplication& App();

// Everything a window put to the user, and the answers it gets.
class TScriptedDialogs : public IUserDialogs {
 public:
  struct TLog {
    std::vector<std::string> Messages;       // ShowMessage texts (UTF-8)
    std::vector<std::string> Confirmations;  // ConfirmOkCancel texts (UTF-8)
    std::vector<std::string> ConfirmTitles;  // their titles (UTF-8)
    std::vector<std::string> Prompts;        // InputQuery initial values (UTF-8)
    std::deque<bool> ConfirmAnswers;         // default: Cancel
    std::deque<std::optional<std::string>> InputAnswers;  // UTF-8; default: Cancel
    std::vector<std::string> Chooser;  // archives the member chooser was shown for (UTF-8)
    std::deque<std::optional<std::string>> MemberAnswers;  // member to choose (UTF-8); default: Esc
    int FindShown = 0;
    int FindOptions = -1;
    FindHandler Find;
    // Stands in for the bookmark manager (gets the path, UTF-8); default:
    // closed with Cancel.
    std::function<bool(const std::string&)> EditBookMarks;
  };

  explicit TScriptedDialogs(std::shared_ptr<TLog> log) : log_(std::move(log)) {}

  void ShowMessage(const std::string& text) override {
    log_->Messages.push_back(Cp932ToUtf8(text));
  }
  bool ConfirmOkCancel(const std::string& title, const std::string& text) override {
    log_->ConfirmTitles.push_back(Cp932ToUtf8(title));
    log_->Confirmations.push_back(Cp932ToUtf8(text));
    if (log_->ConfirmAnswers.empty()) return false;
    const bool answer = log_->ConfirmAnswers.front();
    log_->ConfirmAnswers.pop_front();
    return answer;
  }
  std::optional<std::string> InputQuery(const std::string&, const std::string&,
                                        const std::string& initial) override {
    log_->Prompts.push_back(Cp932ToUtf8(initial));
    if (log_->InputAnswers.empty()) return std::nullopt;
    auto answer = log_->InputAnswers.front();
    log_->InputAnswers.pop_front();
    if (!answer) return std::nullopt;
    return Utf8ToCp932(*answer);
  }
  void ShowFind(int options, FindHandler onFind) override {
    ++log_->FindShown;
    if (log_->FindOptions < 0) log_->FindOptions = options;
    log_->Find = std::move(onFind);
  }
  void SetApplicationTitle(const std::string&) override {}
  bool EditBookMarks(const std::string& path) override {
    return log_->EditBookMarks && log_->EditBookMarks(Cp932ToUtf8(path));
  }
  // The chooser as the user answers it: the member named in the script is
  // extracted as the chooser's Open does.
  std::optional<std::string> ChooseArchiveMember(const std::string& archivePath, int32_t,
                                                 int32_t) override {
    log_->Chooser.push_back(Cp932ToUtf8(archivePath));
    if (log_->MemberAnswers.empty()) return std::nullopt;
    const auto answer = log_->MemberAnswers.front();
    log_->MemberAnswers.pop_front();
    if (!answer) return std::nullopt;
    std::string member = Utf8ToCp932(*answer);
    if (!ExtractMember(archivePath, ArchiveFolder(ExeDir()), member,
                       [this](const std::string& text) { ShowMessage(text); }))
      return std::nullopt;
    return member;
  }

 private:
  std::shared_ptr<TLog> log_;
};

// A fresh program folder (RPV_HOME) for one test, removed afterwards.
class TTempHome : public TTempFolder {
 public:
  TTempHome() : TTempFolder("rpv_app_", SetsHome) {}
};

// info.ini with a horizontal [Default] style without header, footer, ruby
// band or margins, so the page height alone decides the lines per page.
// Lets a real window system (Xvfb) map, expose and paint for about ms
// milliseconds before a screenshot.
inline void Settle(int ms = 300) {
  for (int i = 0; i < ms / 20; ++i) {
    QTest::qWait(20);
    QCoreApplication::processEvents();
  }
}

inline std::string PlainPageStyle() {
  return "[Default]\r\nDirection=0\r\nFontName=" + Utf8ToCp932("ＭＳ ゴシック") +
         "\r\nFontSize=12\r\nSpacing=4\r\nPageMarginLeft=0\r\nPageMarginTop=0\r\n"
         "PageMarginRight=0\r\nPageMarginBottom=0\r\nbytHeader=0\r\nbytFooter=0\r\n"
         "Blue=0\r\nColumnCount=1\r\n";
}

// A window over the scripted dialogs; FormCreate is left to the test.
inline std::unique_ptr<TfrmRPV> MakeWindow(std::vector<std::string> args,
                                           const std::shared_ptr<TScriptedDialogs::TLog>& log) {
  App();
  return std::make_unique<TfrmRPV>(std::move(args), std::make_unique<TScriptedDialogs>(log));
}

// Sizes the window so that a page holds exactly `lines` lines and returns
// the page height that does it, or 0 (window not resized) when no height
// between 60 and 2000 pixels does.
int FitPageToLines(TfrmRPV& form, int lines);

}  // namespace rpv::test
