// Writes help.html, the reader's help page in Japanese, when the program is
// built: rpv_helpgen OUT.html. The menus are read from a real main window
// (made, never shown), and the commands, the default key and mouse
// bindings, the key names, the placeholders, the settings files and the
// renderer's usage come from the tables the program itself uses, so the
// page cannot drift from what the reader does.
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <array>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <string_view>

#include "app/AppMessages.h"
#include "app/OtherSettings.h"
#include "app/ProductInfo.h"
#include "app/RenderCommand.h"
#include "app/commands/Assignments.h"
#include "app/commands/PointerInput.h"
#include "app/rpvMain.h"
#include "platform/Codepage.h"

namespace rpv {
namespace {

std::string Esc(std::string_view s) {
  std::string out;
  for (const char c : s) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out.push_back(c);
    }
  }
  return out;
}

// A menu caption as the user sees it: "開く(&O)" reads 開く(O).
std::string Caption(const QString& text) {
  QString shown;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == QLatin1Char('&') && i + 1 < text.size()) ++i;
    shown += text[i];
  }
  return shown.toStdString();
}

// What each fixed menu item does, by its object name. An item the window
// gains later still appears on the page, with its caption alone.
const std::map<std::string, std::string>& ItemNotes() {
  static const std::map<std::string, std::string> notes{
      {"mnuFOpen", "ファイルを選んで開きます。テキスト、HTML、LZH・ZIP・RAR 書庫の中のファイルが読めます。"},
      {"mnuFClipBoard", "クリップボードの文字列を読みます。文字列が既存のファイルの名前ならそのファイルを開き、"
                        "そうでなければ文字列を clipbord.txt に書いて表示します。"},
      {"mnuFEnd", "終了します。読んでいた位置は次回のために記録されます。"},
      {"mnuMHead", "最初の頁へ移動します。"},
      {"mnuMEnd", "最後の頁へ移動します。"},
      {"mnuMPageJump", "頁番号を入力して、その頁へ移動します。"},
      {"mnuMFind", "文字列を検索します（前方・後方、大文字と小文字の区別）。"},
      {"mnuSAdd", "今の設定を元に新しいスタイルを追加します。"},
      {"mnuSList", "スタイルの名前の変更、並べ替え、削除をします。"},
      {"mnuSChage", "今のスタイル（向き、文字、色、余白、段組、ヘッダ・フッタなど）を変更します。"},
      {"mnuOScreenChange", "フルスクリーンとウィンドウを切り替えます。フルスクリーンでは、マウスを画面の上端に"
                           "動かすか Alt キーを押すとメニューが現れます。"},
      {"mnuOAuto", "一定の間隔で頁を送ります（間隔は「その他の設定」で）。"},
      {"mnuOAutoLine", "一定の間隔で一行ずつ送ります。"},
      {"mnuODelNewLine", "空行を取り除いて表示します。"},
      {"mnuOEditor", "今の文書を外部エディタで開きます（エディタと起動オプションは「その他の設定」で）。"},
      {"mnuOOtherSetup", "自動送りの間隔、外部エディタ、「送る」への登録、しおりの表示形式、キーとマウスの"
                         "割り当てを設定します。"},
      {"mnuHHelp", "このヘルプを開きます。"},
      {"mnuHHomePage", "ホームページをブラウザで開きます。"},
      {"mnuHVersion", "製品名とバージョンを表示します。"},
  };
  return notes;
}

// What a menu holds besides its fixed items, by the menu's object name.
const std::map<std::string, std::string>& MenuNotes() {
  static const std::map<std::string, std::string> notes{
      {"mnuF", "下に最近開いたファイルが10件まで並びます。選ぶと前に読んでいた位置から開きます。"},
      {"mnuB", "しおりを挟む、しおりの編集と、挟んだしおりの一覧です。しおりは bm.csv に保存されます。"
               "一覧の表示形式は「その他の設定」で選べます。"},
      {"mnuS", "下に info.ini のスタイルが10件まで並び、選ぶとそのスタイルで表示します。"},
      {"mnuTool", "tool.ini に書いたテキストフィルタが並びます。チェックを付けたフィルタを通して文書を読み直します"
                  "（下の「ツール（テキストフィルタ）」を参照）。"},
  };
  return notes;
}

// What each command does, in TCommand order.
constexpr std::array<std::string_view, kCommandCount> kCommandNotes{{
    "前の頁を表示します。", "次の頁を表示します。", "一行戻します。", "一行進めます。",
    "最初の頁へ移動します。", "最後の頁へ移動します。", "ファイルを選んで開きます。",
    "クリップボードから読み込みます。", "今の文書を同じ位置で読み直します。",
    "一つ前に読んでいたファイルを開きます。", "今の位置にしおりを挟みます。",
    "しおりを選んでその位置から読みます。", "頁番号を入力して移動します。", "文字列を検索します。",
    "今のスタイルを変更します。", "フルスクリーンとウィンドウを切り替えます。", "自動頁送りの入／切。",
    "自動行送りの入／切。", "空行の削除の入／切。", "外部エディタを起動します。",
    "「その他の設定」を開きます。",
}};

class TPage {
 public:
  void H2(std::string_view id, std::string_view title) {
    toc_ += "<li><a href=\"#" + std::string(id) + "\">" + Esc(title) + "</a></li>\n";
    body_ += "<h2 id=\"" + std::string(id) + "\">" + Esc(title) + "</h2>\n";
  }
  void Raw(std::string_view html) { body_ += html; }
  void P(std::string_view text) { body_ += "<p>" + Esc(text) + "</p>\n"; }
  void TableStart(std::initializer_list<std::string_view> heads) {
    body_ += "<table><tr>";
    for (const auto h : heads) body_ += "<th>" + Esc(h) + "</th>";
    body_ += "</tr>\n";
  }
  void Row(std::initializer_list<std::string_view> cells, bool firstIsCode = false) {
    body_ += "<tr>";
    bool first = true;
    for (const auto c : cells) {
      body_ += (first && firstIsCode) ? "<td><kbd>" + Esc(c) + "</kbd></td>" : "<td>" + Esc(c) + "</td>";
      first = false;
    }
    body_ += "</tr>\n";
  }
  void TableEnd() { body_ += "</table>\n"; }
  std::string Html(std::string_view title) const {
    return "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n<title>" + Esc(title) +
           "</title>\n<style>\n"
           "body{font-family:sans-serif;max-width:52em;margin:2em auto;padding:0 1em;line-height:1.6;color:#222}\n"
           "h1{border-bottom:3px solid #3d5a80}h2{border-bottom:1px solid #aaa;margin-top:2em}\n"
           "table{border-collapse:collapse;margin:.5em 0}th,td{border:1px solid #bbb;padding:.2em .6em;text-align:left}\n"
           "th{background:#eef1f6}kbd,code,pre{font-family:monospace;font-size:1em;background:#f4f4f4}pre{padding:.5em}\n"
           "</style>\n</head>\n<body>\n<h1>" + Esc(title) + "</h1>\n<ul class=\"toc\">\n" + toc_ + "</ul>\n" +
           body_ + "</body>\n</html>\n";
  }

 private:
  std::string toc_, body_;
};

std::string U(std::string_view cp932) { return Cp932ToUtf8(cp932); }

void WriteMenus(TPage& page, const QMenuBar& bar) {
  page.H2("menu", "メニュー");
  for (const QAction* top : bar.actions()) {
    const QMenu* menu = top->menu();
    if (!menu) continue;
    page.Raw("<h3>" + Esc(Caption(top->text())) + "</h3>\n");
    bool any = false;
    for (const QAction* item : menu->actions()) {
      if (item->isSeparator() || !item->isVisible() || item->text().isEmpty()) continue;
      if (!any) page.Raw("<dl>\n");
      any = true;
      const auto note = ItemNotes().find(item->objectName().toStdString());
      page.Raw("<dt>" + Esc(Caption(item->text())) + "</dt><dd>" +
               (note == ItemNotes().end() ? std::string() : Esc(note->second)) + "</dd>\n");
    }
    if (any) page.Raw("</dl>\n");
    if (const auto note = MenuNotes().find(menu->objectName().toStdString()); note != MenuNotes().end())
      page.P(note->second);
  }
}

void WriteCommands(TPage& page) {
  page.H2("commands", "コマンド");
  page.P("キー、マウスのボタン、ホイール、ドラッグのジェスチャーには、次のコマンドを一つずつ割り当てられます。");
  page.TableStart({"コマンド", "働き"});
  for (int i = 0; i < kCommandCount; ++i)
    page.Row({U(CommandNames()[static_cast<size_t>(i)]), kCommandNotes[static_cast<size_t>(i)]});
  page.Row({U(CommandNames().back()), "何もしません。"});
  page.TableEnd();
}

void WriteBindings(TPage& page) {
  page.H2("keys", "キー操作（標準の割り当て）");
  page.TableStart({"キー", "コマンド"});
  for (const std::string& line : DefaultKeyAssignments()) {
    std::string_view name, command;
    if (SplitAssignment(line, name, command)) page.Row({U(name), U(command)}, true);
  }
  page.TableEnd();
  page.P("このほか、割り当てに関係なく F6 キーで今の頁を組み直し、Ctrl+R で同じフォルダのファイル一覧から"
         "開くファイルを選べます。");

  page.H2("mouse", "マウス操作とジェスチャー（標準の割り当て）");
  page.TableStart({"マウスの操作", "コマンド"});
  for (const std::string& line : DefaultMouseAssignments()) {
    std::string_view name, command;
    if (SplitAssignment(line, name, command)) page.Row({U(name), U(command)});
  }
  page.TableEnd();
  page.P("ボタンを押したまま " + std::to_string(kGestureThreshold + 1) +
         " ピクセル以上動かして離すとドラッグのジェスチャーになります（" + std::to_string(kGestureThreshold) +
         " ピクセルまではクリック）。左右の動きが上下の動きより優先されます。ホイールは一刻み（" +
         std::to_string(kWheelNotch) +
         " 単位）ごとに一回コマンドを実行します。HTML のリンクの上で左ボタンを離すと、割り当てに関係なくリンク先を開きます。");

  page.H2("assign", "割り当ての変更（ka.ini と ma.ini）");
  page.P("割り当ては「その他の設定」の「キー」と「マウス」のページで変更できます。設定ファイルの " +
         std::string(kKeyAssignmentFile) + "（キー）と " + std::string(kMouseAssignmentFile) +
         "（マウス）に、一行に一つ「操作=コマンド」の形で保存されます。同じキーが二度あれば後の行が有効です。");
  std::string prefixes;
  for (const auto& held : {std::array{true, false, false}, std::array{false, true, false},
                           std::array{false, false, true}, std::array{true, true, false},
                           std::array{true, false, true}, std::array{false, true, true}}) {
    prefixes += std::string(CapturedKeyPrefix(held[0], held[1], held[2])) + "　";
  }
  std::string named;
  for (int code = 1; code < kKeyCodes; ++code) {
    const std::string name = CapturedKeyName(code);
    if (name.size() > 1 && name[0] != 'F') named += name + "　";
  }
  page.TableStart({"キー名の部分", "書き方"});
  page.Row({"修飾キー", prefixes + "（大文字・小文字を区別します）"});
  page.Row({"名前のあるキー", named});
  page.Row({"文字のキー", "A〜Z（大文字）、0〜9 など一文字"});
  page.Row({"ファンクションキー", "F1〜F24"});
  page.TableEnd();
  std::string actions;
  for (const std::string& action : MouseActionNames()) actions += U(action) + "　";
  page.P("マウスの操作の名前: " + actions);
}

void WriteNotation(TPage& page) {
  page.H2("notation", "文書の書き方");
  page.P("文字コードは Shift_JIS、EUC-JP、ISO-2022-JP、UTF-8、UTF-16 を自動で判別します。"
         "テキストファイルでは、スタイルで「ルビをふる」を選んでいるとき、次の記法が使えます。");
  page.TableStart({"書き方", "意味"});
  page.Row({"｜東京《とうきょう》", "ルビ。｜から《までが親文字です。"}, true);
  page.Row({"漢字《かんじ》", "｜を省くと、直前の漢字の並び（ひらがななどはその語）が親文字になります。"}, true);
  page.Row({"［＃「語」に傍点］", "直前の「語」に傍点を付けます。"}, true);
  page.Row({"［＃「語」はママ］", "直前の「語」に「ママ」のルビを付けます。"}, true);
  page.Row({"［＃ここから２字下げ］ … ［＃ここで字下げ終わり］", "間の行を２字下げます（全角数字一桁）。"}, true);
  page.Row({"［＃地付き］", "その後の文字を行末に寄せます。"}, true);
  page.Row({"［＃中央揃え］", "行頭に置くと、その行を中央に揃えます。"}, true);
  page.Row({"［＃改ページ］", "行頭に置くと次の頁から続けます。"}, true);
  page.Row({"［＃改丁］", "次の奇数頁から続けます。"}, true);
  page.Row({"［＃改段］", "次の段から続けます。"}, true);
  page.Row({"［＃注記］", "そのほかの注記は、文中では直前の文字の横に小さく、行頭ではそのまま表示します。"}, true);
  page.TableEnd();
  page.P("HTML ファイルは、太字・斜体・取り消し線・文字色・水平線・ルビ・画像（BMP、JPEG）・リンク・"
         "アンカー・本文の色と背景画像を表示します。");
}

void WriteToolsAndEditor(TPage& page) {
  page.H2("tools", "ツール（テキストフィルタ）");
  page.P("設定フォルダの tool.ini に、一つのフィルタを一つのセクションで書きます。セクション名がメニューの"
         "項目名、Command が実行するコマンドライン（シェルは通しません）、Boolean=1 で起動時からチェックが"
         "付きます。文書を読むたびに、チェックの付いたフィルタが上から順に、文書を標準入力から受け取り、"
         "標準出力に書いた文字列が新しい文書になります。起動できないフィルタや 0 以外で終了したフィルタは"
         "無視され、文書はそのまま表示されます。");
  page.Raw("<pre>[全角英数字を半角に]\nCommand=nkf -s -Z1\nBoolean=1\n\n"
           "[空白を詰める]\nCommand=sed -e \"s/ \\+/ /g\"\nBoolean=0\n</pre>\n");

  page.H2("editor", "外部エディタ");
  page.P("「その他の設定」で実行ファイルを外部エディタに選ぶと、外部エディタの起動で今の文書を開けます。"
         "起動オプションは空白で区切られ、\"（半角の二重引用符）で囲んだ部分は空白を含めて一つの引数に"
         "なります。区切った後で、それぞれの引数の次の記号が置き換わります（標準は \"%F\"）。"
         "シェルは通さないので、ファイル名にどんな文字があっても一つの引数のまま渡ります。");
  page.TableStart({"記号", "置き換わるもの"});
  for (const TPlaceholder& p : EditorPlaceholders())
    page.Row({p.Caption.substr(0, 2), p.Meaning}, true);
  page.Row({"%%", "% そのもの"}, true);
  page.TableEnd();

  page.H2("bookmarks", "しおりの表示形式");
  page.P("しおりメニューに並ぶ項目の書式です。「一覧表示」では全部のしおりを一つの一覧に、「ファイルごとに表示」では"
         "ファイルごとのサブメニューにまとめます。");
  page.TableStart({"記号", "置き換わるもの"});
  for (const TPlaceholder& p : BookmarkPlaceholders())
    page.Row({p.Caption.substr(0, 2), p.Meaning}, true);
  page.TableEnd();
}

void WriteSettingsAndCommandLine(TPage& page) {
  page.H2("settings", "設定ファイルの場所");
  page.P("設定ファイルは一つのフォルダにまとめて置かれます。環境変数 RPV_HOME があればそのフォルダ、"
         "なければプログラムのあるフォルダ（書き込めるとき）、それもだめなら ~/.config/rpv/ "
         "（XDG_CONFIG_HOME があれば $XDG_CONFIG_HOME/rpv/）です。");
  page.TableStart({"ファイル", "内容"});
  page.Row({std::string(kProgramIniName), "ウィンドウの位置と大きさ、オプション、しおりの表示形式、ファイルの履歴"}, true);
  page.Row({"info.ini", "スタイル（一つのスタイルが一つのセクション）"}, true);
  page.Row({std::string(kKeyAssignmentFile), "キーの割り当て"}, true);
  page.Row({std::string(kMouseAssignmentFile), "マウスの割り当て"}, true);
  page.Row({"tool.ini", "テキストフィルタ（プログラムは書き換えません）"}, true);
  page.Row({"bm.csv", "しおり"}, true);
  page.Row({"clipbord.txt", "クリップボードから読み込んだ文字列"}, true);
  page.Row({"archive/", "書庫から取り出したファイル"}, true);
  page.TableEnd();
  page.P("「送る」に登録すると、~/.local/share/applications/ に " + U(Utf8ToCp932(kProductName)) +
         ".desktop ができ、ファイルマネージャの「別のアプリケーションで開く」に現れます。");

  page.H2("commandline", "コマンドラインと描画専用モード");
  page.P("rpv ファイル名 でそのファイルを開きます。ファイル名がなければ、設定により最後に読んでいた文書を開きます。"
         "画面がなくても、次の形で頁を PNG 画像に描いたり（--render）、頁数を数えたり（--pages）できます。"
         "スタイルと tool.ini のフィルタはウィンドウと同じものが使われます。");
  page.Raw("<pre>" + Esc(RenderUsage()) + "</pre>\n");
}

std::string HelpPage(const QMenuBar& bar) {
  TPage page;
  page.P(std::string(kProductName) + " は、日本語のテキストファイルや HTML ファイルを、本のように一頁ずつ、"
         "縦書きまたは横書きで表示するリーダーです。");
  WriteMenus(page, bar);
  WriteCommands(page);
  WriteBindings(page);
  WriteNotation(page);
  WriteToolsAndEditor(page);
  WriteSettingsAndCommandLine(page);
  page.H2("version", "バージョン");
  page.P(std::string(kProductName) + " Version " + std::string(kProductVersion) + "　" +
         std::string(kHomePage));
  return page.Html(std::string(kProductName) + " ヘルプ");
}

}  // namespace
}  // namespace rpv

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: rpv_helpgen OUT.html\n");
    return 2;
  }
  QApplication app(argc, argv);
  const rpv::TfrmRPV window({});
  const std::string html = rpv::HelpPage(*window.mnuMain);
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out << html;
  out.close();
  if (!out) {
    std::fprintf(stderr, "rpv_helpgen: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
