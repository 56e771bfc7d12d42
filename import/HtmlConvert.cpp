#include "import/HtmlConvert.h"

#include <initializer_list>
#include <utility>

#include "import/Colours.h"
#include "import/DisplayMarkup.h"
#include "import/HtmlAnalysis.h"
#include "import/HtmlEntities.h"
#include "import/MarkupWalker.h"
#include "import/MbScan.h"
#include "import/TextConvert.h"
#include "import/Tools.h"
#include "platform/FileIO.h"
#include "platform/Picture.h"
#include "render/cbcClasses.h"

namespace rpv {
namespace {

constexpr auto npos = std::string_view::npos;

constexpr bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

class THtmlConverter {
 public:
  THtmlConverter(const TInfo& style, std::string_view fileDir, std::string_view fileName,
                 std::string_view text, TLines& lines, std::vector<TAnchor>& anchors,
                 std::string& title)
      : style_(style), fileDir_(fileDir), fileName_(fileName), text_(text), lines_(lines),
        anchors_(anchors), title_(title) {}

  void Run() {
    title_.clear();
    anchors_.clear();
    lines_.Clear();
    AddLine();
    while (pos_ < text_.size()) Step();
  }

 private:
  enum class Target { Body, Title, RubyBase, RubyReading, Form, Ignored };

  // The byte at i; zero past the end, so look-ahead needs no bounds checks.
  char At(size_t i) const { return i < text_.size() ? text_[i] : '\0'; }

  void Step() {
    const char c = text_[pos_];
    if (c == '&') {
      const TEntity e = MatchEntity(text_, pos_);
      Append(e.Text);
      pos_ += e.Length;
    } else if (c == '<') {
      Tag();
    } else if (c == '\r' || c == '\n') {
      if (pre_) NewLine();
      pos_ += (c == '\r' && At(pos_ + 1) == '\n') ? 2 : 1;
    } else if ((c == ' ' || c == '\t') && !pre_) {
      // A run of blanks is one space, except right after a line break of the
      // file or between two tags.
      const char before = pos_ > 0 ? text_[pos_ - 1] : '\0';
      size_t end = pos_;
      while (end < text_.size() && IsBlank(text_[end])) ++end;
      const bool drop = before == '\r' || before == '\n' || (before == '>' && At(end) == '<');
      if (!drop) Append(" ");
      pos_ = end;
    } else {
      const size_t n = mb::Len(text_, pos_);
      Append(text_.substr(pos_, n));
      pos_ += n;
    }
  }

  // ---- primitive actions ----

  void Append(std::string_view s) {
    switch (target_) {
      case Target::Body:
        current_->Text.append(s);
        if (!currentVisible_) currentVisible_ = !VisibleText(s).empty();
        break;
      case Target::Title: title_.append(s); break;
      case Target::RubyBase: rubyBase_.append(s); break;
      case Target::RubyReading: rubyReading_.append(s); break;
      case Target::Form:
      case Target::Ignored: break;
    }
  }

  void AddLine() {
    const int index = lines_.Add();
    current_ = lines_.Item(index);
    current_->SourceIndex = index;
    current_->Align = pendingAlign_;
    currentVisible_ = false;
  }

  void NewLine() {
    if (target_ == Target::Body) AddLine();
  }

  void SkipTag() {
    const size_t gt = text_.find('>', pos_ + 1);
    pos_ = gt == npos ? text_.size() : gt + 1;
  }

  void Block() {
    if (currentVisible_) {
      NewLine();
    } else {
      current_->Align = pendingAlign_;
    }
    SkipTag();
  }

  void AlignedBlock() {
    const std::string align = ReadTagAttribute(text_, pos_, "align");
    pendingAlign_ = align == "center" ? 2 : align == "right" ? 1 : 0;
    Block();
  }

  void EndBlock() {
    pendingAlign_ = 0;
    NewLine();
    SkipTag();
  }

  void Break() {
    NewLine();
    SkipTag();
  }

  // ---- tag recognition ----

  // "<name" at the position, letter case ignored, followed by a blank or ">".
  bool Is(std::string_view name) const {
    if (!mb::MatchesNoCase(text_, pos_, name)) return false;
    const char next = At(pos_ + name.size());
    return IsBlank(next) || next == '>';
  }
  bool IsAny(std::initializer_list<std::string_view> names) const {
    for (const auto n : names) {
      if (Is(n)) return true;
    }
    return false;
  }
  // "<h1" … "<h6" (or "</h1" …) with no delimiter test.
  bool IsHeading(std::string_view prefix) const {
    const char digit = At(pos_ + prefix.size());
    return mb::MatchesNoCase(text_, pos_, prefix) && digit >= '1' && digit <= '6';
  }

  void Tag() {
    const bool images = style_.HasHtmlTag(kHtmlTagImg);
    const bool fonts = style_.HasHtmlTag(kHtmlTagFont);
    if (Is("<br")) {
      Break();
    } else if (Is("<div")) {
      AlignedBlock();
    } else if (Is("</div")) {
      EndBlock();
    } else if (Is("<p")) {
      AlignedBlock();
    } else if (Is("</p")) {
      EndBlock();
    } else if (Is("<table")) {
      EndBlock();
    } else if (Is("</table")) {
      Break();
    } else if (IsAny({"<tr", "</tr", "<td", "</td", "<th", "</th"})) {
      Block();
    } else if (Is("<hr")) {
      Block();
      Append(tag::kHtmlRule);
      NewLine();
    } else if (Is("<center")) {
      pendingAlign_ = 2;
      Block();
    } else if (Is("</center")) {
      EndBlock();
    } else if (Is("<title")) {
      SwitchTo(Target::Title);
    } else if (Is("</title")) {
      SwitchTo(Target::Body);
    } else if (Is("<pre")) {
      SkipTag();
      pre_ = true;
    } else if (Is("</pre")) {
      SkipTag();
      pre_ = false;
    } else if (Is("<form")) {
      SwitchTo(Target::Form);
    } else if (Is("</form")) {
      SwitchTo(Target::Body);
    } else if (target_ != Target::Form && Is("<textarea")) {
      SwitchTo(Target::Ignored);
    } else if (target_ != Target::Form && Is("</textarea")) {
      SwitchTo(Target::Body);
    } else if (Is("<style")) {
      SwitchTo(Target::Ignored);
    } else if (Is("</style")) {
      SwitchTo(Target::Body);
    } else if (Is("<ruby")) {
      rubyBase_.clear();
      SwitchTo(Target::RubyBase);
    } else if (Is("</ruby")) {
      SwitchTo(Target::Body);
      Append(MakeRuby(rubyBase_, rubyReading_, style_));
      // A stray second "</ruby>" must not repeat this group.
      rubyBase_.clear();
      rubyReading_.clear();
    } else if (Is("<rt")) {
      rubyReading_.clear();
      SwitchTo(Target::RubyReading);
    } else if (Is("<rp")) {
      SwitchTo(Target::Ignored);
    } else if (images && Is("<img")) {
      Image();
    } else if (Is("<li")) {
      Block();
      Append("\x81\x45");  // "・"
    } else if (IsAny({"</li", "<ul", "</ul", "<dt"})) {
      Block();
    } else if (IsAny({"<b", "<strong"})) {
      Inline(tag::kBoldOn);
    } else if (IsAny({"</b", "</strong"})) {
      Inline(tag::kBoldOff);
    } else if (IsHeading("<h")) {
      AlignedBlock();
      Append(tag::kBoldOn);
    } else if (IsHeading("</h")) {
      Append(tag::kBoldOff);
      EndBlock();
    } else if (IsAny({"<em", "<i"})) {
      Inline(tag::kItalicOn);
    } else if (IsAny({"</em", "</i"})) {
      Inline(tag::kItalicOff);
    } else if (Is("<s")) {
      Inline(tag::kStrikeOn);
    } else if (Is("</s")) {
      Inline(tag::kStrikeOff);
    } else if (fonts && Is("<font")) {
      Colour();
      SkipTag();
    } else if (fonts && Is("</font")) {
      Inline(tag::kColourOff);
    } else if (Is("<a")) {
      Anchor(false);
    } else if (Is("<area")) {
      Anchor(true);
    } else if (Is("</a")) {
      Inline(tag::kLinkEnd);
    } else if (Is("<frame")) {
      Frame();
    } else if (text_.compare(pos_, 4, "<!--") == 0) {
      Comment();
    } else if (style_.Test) {
      // Unrecognised and shown: the "<" is text, the rest is read on.
      Append("<");
      ++pos_;
    } else {
      SkipTag();
    }
  }

  void SwitchTo(Target t) {
    target_ = t;
    SkipTag();
  }

  void Inline(std::string_view markup) {
    Append(markup);
    SkipTag();
  }

  void Comment() {
    const size_t end = commentEnd_.Find(pos_ + 4, [&](size_t from) {
      return text_.find("-->", from);
    });
    // Without an end only the "<" goes; the rest is read as text.
    pos_ = end == npos ? pos_ + 1 : end + 3;
  }

  void Image() {
    const std::string src = ReadTagAttribute(text_, pos_, "src");
    Block();
    if (mb::MatchesNoCase(src, 0, "http")) {
      Append("[" + src + "]");
    } else {
      const std::string path = ResolveHtmlFile(fileDir_, src);
      if (!src.empty() && FileExists(path) && MatchesExtList(path, kPictureExtensions)) {
        Append(ImageTag(path));
      } else {
        Append("[" + FileNamePart(path) + "]");
      }
    }
    NewLine();  // an image always stands on a line of its own
  }

  void Colour() {
    const std::string value = ReadTagAttribute(text_, pos_, "color");
    std::string colour = HtmlHexToColourText(value);
    if (!colour.empty()) {
      // Text in the page's own background colour would vanish; the BODY tag
      // may change the background, so only without it.
      if (!style_.HasHtmlTag(kHtmlTagBody) && StringToColor(colour) == style_.BackColor) {
        colour = ColorToString(style_.FontColor);
      }
      Append(ColourTag(colour));
      return;
    }
    static constexpr std::pair<std::string_view, std::string_view> kNames[] = {
        {"blue", "{H\\K}$00ff0000{K\\E}"},   {"fuchsia", "{H\\K}$00ff00ff{K\\E}"},
        {"red", "{H\\K}$000000ff{K\\E}"},    {"yellow", "{H\\K}$0000ffff{K\\E}"},
        {"skyblue", "{H\\K}$00ebce87{K\\E}"},
    };
    for (const auto& [name, markup] : kNames) {
      if (value == name) Append(markup);
    }
  }

  // "a" (area = false) or "area": a link, or else a named anchor.
  void Anchor(bool area) {
    std::string href = ReadTagAttribute(text_, pos_, "href");
    if (href.empty()) {
      const std::string name = ReadTagAttribute(text_, pos_, "name");
      if (!name.empty()) anchors_.push_back(TAnchor{name, current_->SourceIndex});
      SkipTag();
      return;
    }
    if (href[0] == '#') href.insert(0, fileName_);
    Append(LinkStart(href));
    if (area) {
      // An area has no text of its own: its target stands for it.
      Append(href);
      Append(tag::kLinkEnd);
    }
    SkipTag();
    if (area) NewLine();
  }

  void Frame() {
    const std::string src = ReadTagAttribute(text_, pos_, "src");
    std::string label = ReadTagAttribute(text_, pos_, "name");
    if (label.empty()) label = src;
    NewLine();
    Append(LinkStart(src));
    Append(label);
    Append(tag::kLinkEnd);
    SkipTag();
  }

  const TInfo& style_;
  std::string_view fileDir_;
  std::string_view fileName_;
  std::string_view text_;
  TLines& lines_;
  std::vector<TAnchor>& anchors_;
  std::string& title_;

  size_t pos_ = 0;
  Target target_ = Target::Body;
  uint8_t pendingAlign_ = 0;
  bool pre_ = false;
  TLine* current_ = nullptr;
  bool currentVisible_ = false;  // the current line shows something
  std::string rubyBase_;
  std::string rubyReading_;
  TForwardSearch commentEnd_;
};

}  // namespace

void ConvertHtml(const TInfo& style, std::string_view fileDir, std::string_view fileName,
                 std::string_view text, TLines& sourceLines, std::vector<TAnchor>& anchors,
                 std::string& title) {
  THtmlConverter(style, fileDir, fileName, text, sourceLines, anchors, title).Run();
}

}  // namespace rpv
