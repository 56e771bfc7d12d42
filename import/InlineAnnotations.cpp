#include "import/InlineAnnotations.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "import/DisplayMarkup.h"
#include "import/EmittedText.h"
#include "import/HtmlAnalysis.h"
#include "import/MarkupWalker.h"
#include "import/MbScan.h"
#include "import/TextConvert.h"
#include "platform/Codepage.h"
#include "render/cbcLineText.h"

namespace rpv {
namespace {

constexpr auto npos = std::string_view::npos;
constexpr size_t kMostOpenRanges = 8;
using TStyle = TInlineAnnotator::TStyle;
using TKind = TStyle::TKind;

// The words of the notation (CP932).
constexpr std::string_view kFrom = "\x82\xB1\x82\xB1\x82\xA9\x82\xE7";  // ここから
constexpr std::string_view kHere = "\x82\xB1\x82\xB1\x82\xC5";  // ここで
constexpr std::string_view kEnd = "\x8F\x49\x82\xED\x82\xE8";  // 終わり
constexpr std::string_view kQuoteOpen = "\x81\x75";  // 「
constexpr std::string_view kQuoteClose = "\x81\x76";  // 」
constexpr std::string_view kWa = "\x82\xCD";  // は
constexpr std::string_view kNi = "\x82\xC9";  // に
constexpr std::string_view kNoHidariNi = "\x82\xCC\x8D\xB6\x82\xC9";  // の左に
constexpr std::string_view kHidariNi = "\x8D\xB6\x82\xC9";  // 左に
constexpr std::string_view kNoChuki = "\x82\xCC\x92\x8D\x8B\x4C";  // の注記
constexpr std::string_view kNoBouki = "\x82\xCC\x96\x54\x8B\x4C";  // の傍記
constexpr std::string_view kNoRuby = "\x82\xCC\x83\x8B\x83\x72";  // のルビ
constexpr std::string_view kTsuki = "\x95\x74\x82\xAB";  // 付き
constexpr std::string_view kChuki = "\x92\x8D\x8B\x4C";  // 注記
constexpr std::string_view kRuby = "\x83\x8B\x83\x72";  // ルビ
constexpr std::string_view kBold = "\x91\xBE\x8E\x9A";  // 太字
constexpr std::string_view kItalic = "\x8E\xCE\x91\xCC";  // 斜体
constexpr std::string_view kHeadBig = "\x91\xE5\x8C\xA9\x8F\x6F\x82\xB5";  // 大見出し
constexpr std::string_view kHeadMid = "\x92\x86\x8C\xA9\x8F\x6F\x82\xB5";  // 中見出し
constexpr std::string_view kHeadSmall = "\x8F\xAC\x8C\xA9\x8F\x6F\x82\xB5";  // 小見出し
constexpr std::string_view kSameLine = "\x93\xAF\x8D\x73";  // 同行
constexpr std::string_view kWindow = "\x91\x8B";  // 窓
constexpr std::string_view kTcy = "\x8F\x63\x92\x86\x89\xA1";  // 縦中横
constexpr std::string_view kBox = "\x8C\x72\x88\xCD\x82\xDD";  // 罫囲み
constexpr std::string_view kCaption = "\x83\x4C\x83\x83\x83\x76\x83\x56\x83\x87\x83\x93";  // キャプション
constexpr std::string_view kSmallRight = "\x8D\x73\x89\x45\x8F\xAC\x8F\x91\x82\xAB";  // 行右小書き
constexpr std::string_view kSmallLeft = "\x8D\x73\x8D\xB6\x8F\xAC\x8F\x91\x82\xAB";  // 行左小書き
constexpr std::string_view kSuper = "\x8F\xE3\x95\x74\x82\xAB\x8F\xAC\x95\xB6\x8E\x9A";  // 上付き小文字
constexpr std::string_view kSub = "\x89\xBA\x95\x74\x82\xAB\x8F\xAC\x95\xB6\x8E\x9A";  // 下付き小文字
constexpr std::string_view kWarichu = "\x8A\x84\x82\xE8\x92\x8D";  // 割り注
constexpr std::string_view kNewLine = "\x89\xFC\x8D\x73";  // 改行
constexpr std::string_view kMama = "\x83\x7D\x83\x7D";  // ママ
constexpr std::string_view kStep = "\x92\x69\x8A\x4B";  // 段階
constexpr std::string_view kBigger = "\x91\xE5\x82\xAB\x82\xC8\x95\xB6\x8E\x9A";  // 大きな文字
constexpr std::string_view kSmaller = "\x8F\xAC\x82\xB3\x82\xC8\x95\xB6\x8E\x9A";  // 小さな文字
constexpr std::string_view kDots = "\x96\x54\x93\x5F";  // 傍点
constexpr std::string_view kEnters = "\x93\xFC\x82\xE9";  // 入る
constexpr std::string_view kParenOpen = "\x81\x69";  // （
constexpr std::string_view kParenClose = "\x81\x6A";  // ）
constexpr std::string_view kComma = "\x81\x41";  // 、
constexpr std::string_view kYoko = "\x89\xA1";  // 横
constexpr std::string_view kTimes = "\x81\x7E";  // ×
constexpr std::string_view kTate = "\x8F\x63";  // 縦
constexpr std::string_view kWideSpace = "\x81\x40";  // 　
constexpr std::string_view kMarkDot = "\x81\x52";  // ヽ

// Emphasis kinds and the mark drawn per character. 白ゴマ (U+FE46) and
// 蛇の目 (U+25C9) have no CP932 form: they take codes of the user-defined
// area, and the nearest CP932 marks stand in when the table has no room.
struct TMarkKind {
  std::string_view name;
  std::string_view mark;
  char32_t wide = 0;  // the real mark, when CP932 lacks it
};
constexpr TMarkKind kMarkKinds[] = {
    {kDots, kMarkDot},
    {"\x94\x92\x83\x53\x83\x7D\x96\x54\x93\x5F", kComma, U'\uFE46'},  // 白ゴマ傍点: ﹆
    {"\x8A\xDB\x96\x54\x93\x5F", "\x81\x9C"},                   // 丸傍点: ●
    {"\x94\x92\x8A\xDB\x96\x54\x93\x5F", "\x81\x9B"},           // 白丸傍点: ○
    {"\x8D\x95\x8E\x4F\x8A\x70\x96\x54\x93\x5F", "\x81\xA3"},   // 黒三角傍点: ▲
    {"\x94\x92\x8E\x4F\x8A\x70\x96\x54\x93\x5F", "\x81\xA2"},   // 白三角傍点: △
    {"\x93\xF1\x8F\x64\x8A\xDB\x96\x54\x93\x5F", "\x81\x9D"},   // 二重丸傍点: ◎
    {"\x8E\xD6\x82\xCC\x96\xDA\x96\x54\x93\x5F", "\x81\x9D", U'\u25C9'},  // 蛇の目傍点: ◉
    {"\x82\xCE\x82\xC2\x96\x54\x93\x5F", kTimes},               // ばつ傍点: ×
};

// Side-line kinds and their stroke letter (DisplayMarkup.h).
struct TLineKind {
  std::string_view name;
  char stroke;
};
constexpr TLineKind kLineKinds[] = {
    {"\x96\x54\x90\xFC", 'S'},          // 傍線
    {"\x93\xF1\x8F\x64\x96\x54\x90\xFC", 'D'},  // 二重傍線
    {"\x8D\xBD\x90\xFC", 'C'},          // 鎖線
    {"\x94\x6A\x90\xFC", 'B'},          // 破線
    {"\x94\x67\x90\xFC", 'W'},          // 波線
};

// Kanbun return marks: 一 二 三 四 上 中 下 甲 乙 丙 丁 天 地 人 レ.
constexpr std::string_view kKaeriten =
    "\x88\xEA\x93\xF1\x8E\x4F\x8E\x6C\x8F\xE3\x92\x86\x89\xBA\x8D\x62\x89\xB3\x95\xB8\x92\x9A"
    "\x93\x56\x92\x6E\x90\x6C\x83\x8C";
constexpr std::string_view kRe = "\x83\x8C";  // レ

// Whether c (one double-byte character) is one of the return marks.
bool IsKaeritenChar(std::string_view c) {
  for (size_t i = 0; i < kKaeriten.size(); i += 2) {
    if (kKaeriten.substr(i, 2) == c) return true;
  }
  return false;
}

// ［＃二］, ［＃レ］, ［＃一レ］ ...: one mark, or one and レ.
bool IsKaeriten(std::string_view body) {
  if (body.size() == 2) return IsKaeritenChar(body);
  return body.size() == 4 && IsKaeritenChar(body.substr(0, 2)) && body.substr(2) == kRe &&
         body.substr(0, 2) != kRe;
}

// A decimal number in ASCII or full-width digits filling s, else nullopt.
std::optional<int> Number(std::string_view s) {
  if (s.empty()) return std::nullopt;
  int n = 0;
  for (size_t i = 0; i < s.size();) {
    int d = -1;
    if (s[i] >= '0' && s[i] <= '9') {
      d = s[i] - '0';
      ++i;
    } else if (i + 1 < s.size() && static_cast<unsigned char>(s[i]) == 0x82 &&
               static_cast<unsigned char>(s[i + 1]) >= 0x4F &&
               static_cast<unsigned char>(s[i + 1]) <= 0x58) {
      d = static_cast<unsigned char>(s[i + 1]) - 0x4F;
      i += 2;
    }
    if (d < 0 || n > 100000) return std::nullopt;
    n = n * 10 + d;
  }
  return n;
}

TStyle Wrap(std::string_view key, std::string open, std::string close) {
  TStyle s;
  s.Key = std::string(key);
  s.Open = std::move(open);
  s.Close = std::move(close);
  return s;
}

TStyle SizeWrap(std::string_view key, int step) {
  return Wrap(key, SizeTag(std::clamp(step, -3, 3)), SizeTag(0));
}

// 大見出し, 同行中見出し, 窓小見出し ...: bold and larger (a window heading
// stands inside its paragraph: bold only).
std::optional<TStyle> Heading(std::string_view name) {
  const std::string_view key = name;
  bool window = false;
  if (name.starts_with(kSameLine)) {
    name.remove_prefix(kSameLine.size());
  } else if (name.starts_with(kWindow)) {
    name.remove_prefix(kWindow.size());
    window = true;
  }
  int step = 0;
  if (name == kHeadBig) {
    step = 3;
  } else if (name == kHeadMid) {
    step = 2;
  } else if (name == kHeadSmall) {
    step = 1;
  } else {
    return std::nullopt;
  }
  std::string open(tag::kBoldOn);
  std::string close;
  if (!window) {
    open += SizeTag(step);
    close = SizeTag(0);
  }
  close += tag::kBoldOff;
  return Wrap(key, std::move(open), std::move(close));
}

// What an annotation name does: 太字, ２段階大きな文字, 左に傍線, 白丸傍点 ...
// (without the quoted text or the range and block words). left: the name
// followed "の左に".
std::optional<TStyle> ParseStyle(std::string_view name, bool left = false) {
  if (name.starts_with(kHidariNi)) {
    name.remove_prefix(kHidariNi.size());
    left = true;
  }
  // Built only for a name that is one of ours: most bodies are not.
  auto key = [&] { return (left ? std::string(kHidariNi) : std::string()).append(name); };
  for (const TMarkKind& m : kMarkKinds) {
    if (name != m.name) continue;
    TStyle s;
    s.Kind = TKind::Marks;
    s.Key = key();
    s.Mark = m.mark;
    if (m.wide != 0) {
      if (std::string wide = CodePointToCp932(m.wide); HasUserAreaCode(wide)) s.Mark = std::move(wide);
    }
    s.Left = left;
    return s;
  }
  for (const TLineKind& l : kLineKinds) {
    if (name == l.name)
      return Wrap(key(), SidelineTag(left ? 'L' : 'R', l.stroke),
                  std::string(tag::kSidelineOff));
  }
  if (left) return std::nullopt;
  if (name == kBold) return Wrap(name, std::string(tag::kBoldOn), std::string(tag::kBoldOff));
  if (name == kItalic) return Wrap(name, std::string(tag::kItalicOn), std::string(tag::kItalicOff));
  if (name == kTcy) return Wrap(name, std::string(tag::kTcyOn), std::string(tag::kTcyOff));
  if (name == kBox) return Wrap(name, std::string(tag::kBoxOn), std::string(tag::kBoxOff));
  if (name == kCaption) return SizeWrap(name, -1);
  if (name == kSmallRight || name == kSmallLeft || name == kSuper || name == kSub)
    return SizeWrap(name, -2);
  if (name == kWarichu) {
    TStyle s = SizeWrap(name, -2);
    s.Warichu = true;
    return s;
  }
  if (const size_t at = mb::Find(name, kStep); at != npos) {
    const std::optional<int> n = Number(name.substr(0, at));
    const std::string_view what = name.substr(at + kStep.size());
    if (n && *n > 0 && what == kBigger) return SizeWrap(kBigger, *n);
    if (n && *n > 0 && what == kSmaller) return SizeWrap(kSmaller, -*n);
    return std::nullopt;
  }
  return Heading(name);
}

TStyle NoteStyle(std::string_view key, std::string_view reading, bool left) {
  TStyle s;
  s.Kind = TKind::Note;
  s.Key = std::string(key);
  s.Reading = std::string(reading);
  s.Left = left;
  return s;
}

// "「Y」の注記" (or 傍記, ルビ) as its Y, else nullopt.
std::optional<std::string_view> QuotedNote(std::string_view name) {
  if (!name.starts_with(kQuoteOpen)) return std::nullopt;
  const size_t q = mb::Find(name, kQuoteClose, kQuoteOpen.size());
  if (q == npos || q == kQuoteOpen.size()) return std::nullopt;
  const std::string_view after = name.substr(q + kQuoteClose.size());
  if (after != kNoChuki && after != kNoBouki && after != kNoRuby) return std::nullopt;
  return name.substr(kQuoteOpen.size(), q - kQuoteOpen.size());
}

// The key a range of notes or ruby is known by: 注記付き, 左に注記付き,
// ルビ付き, 左にルビ付き.
std::string NoteRangeKey(bool left, bool ruby) {
  return (left ? std::string(kHidariNi) : std::string()) +
         std::string(ruby ? kRuby : kChuki) + std::string(kTsuki);
}

// The end of a range of notes: "「Y」の注記付き", "左に「Y」のルビ付き" ...
std::optional<TStyle> NoteRangeEnd(std::string_view name) {
  bool left = false;
  if (name.starts_with(kHidariNi)) {
    name.remove_prefix(kHidariNi.size());
    left = true;
  }
  if (!name.ends_with(kTsuki)) return std::nullopt;
  name.remove_suffix(kTsuki.size());
  const std::optional<std::string_view> y = QuotedNote(name);
  if (!y) return std::nullopt;
  return NoteStyle(NoteRangeKey(left, name.ends_with(kNoRuby)), *y, left);
}

// ［＃「cap」のキャプション付きの図（NAME、横W×縦H）入る］ and the plain forms
// (［＃挿絵（NAME）入る］ ...): the picture NAME of the book's folder at
// W × H pixels (its own size when none is given).
std::optional<std::string> Figure(std::string_view body, std::string_view fileDir) {
  if (!body.ends_with(kEnters)) return std::nullopt;
  body.remove_suffix(kEnters.size());
  if (!body.ends_with(kParenClose)) return std::nullopt;
  body.remove_suffix(kParenClose.size());
  size_t open = npos;
  for (size_t i = 0; i < body.size(); i += mb::Len(body, i)) {
    if (mb::At(body, i, kParenOpen)) open = i;
  }
  if (open == npos) return std::nullopt;
  const std::string_view inside = body.substr(open + kParenOpen.size());
  const size_t comma = mb::Find(inside, kComma);
  const std::string_view name = inside.substr(0, comma);
  // A file name: an extension, and nothing a tag could take for its end.
  if (name.find('.') == npos || name.find('{') != npos || name.find('}') != npos)
    return std::nullopt;
  std::string out = ImageTag(ResolveHtmlFile(fileDir, name));
  if (comma == npos) return out;
  std::string_view size = inside.substr(comma + kComma.size());
  const size_t times = mb::Find(size, kTimes);
  if (!size.starts_with(kYoko) || times == npos) return out;
  const std::optional<int> w = Number(size.substr(kYoko.size(), times - kYoko.size()));
  size = size.substr(times + kTimes.size());
  const std::optional<int> h = size.starts_with(kTate) ? Number(size.substr(kTate.size())) : std::nullopt;
  if (w && h && *w > 0 && *h > 0) out += ImageSizeSuffix(*h, *w);
  return out;
}

bool HasTags(std::string_view s) { return s.find(tag::kStart) != npos; }

std::string LeftGroup(std::string_view reading, std::string_view base) {
  return std::string(tag::kLeftRubyOpen).append(reading).append(tag::kRubyMid).append(base).append(
      tag::kRubyClose);
}

// Whether the text holds a ruby group with its reading on the usual side.
bool HasRightRuby(std::string_view s) {
  TMarkupWalker w(s);
  for (size_t i = 0; i < s.size(); i = w.Next(i)) {
    if (const auto m = w.Tag(i); m && m->Kind == TTagKind::Ruby && !m->Left) return true;
  }
  return false;
}

// The marks on every character of the text: one ruby group each; where a
// character already carries a reading on that side the mark stands on the
// other side as a side note instead.
std::string WithMarks(std::string_view s, std::string_view mark, bool left) {
  TMarkupWalker w(s);
  std::string out;
  size_t inRuby = 0;  // base characters of a usual-side group still to come
  for (size_t i = 0; i < s.size();) {
    if (const size_t e = w.TagEnd(i)) {
      const TTagMatch m = ReadTag(s, i, e);
      if (m.Kind == TTagKind::Ruby && !m.Left) inRuby = mb::Count(m.Arg2);
      out.append(s.substr(i, e - i));
      i = e;
      continue;
    }
    const size_t n = mb::Len(s, i);
    const std::string_view c = s.substr(i, n);
    if (!left && inRuby > 0) {
      out += SideNote(mark);
    } else {
      out.append(left ? tag::kLeftRubyOpen : tag::kRubyOpen).append(mark).append(tag::kRubyMid);
      out.append(c).append(tag::kRubyClose);
    }
    out.append(c);
    if (inRuby > 0) --inRuby;
    i += n;
  }
  return out;
}

// A note or ruby over the text. On the usual side over text that already
// has a reading there, it becomes a side note on the other side.
std::string WithNote(std::string_view s, std::string_view reading, bool left, int F, int R) {
  if (!HasTags(s)) {
    // Spread under a long note as ruby is; on the left the same groups
    // open with the left literal.
    std::string groups = MakeRuby(s, reading, F, R);
    if (!left) return groups;
    std::string out;
    TMarkupWalker w(groups);
    for (size_t i = 0; i < groups.size();) {
      const size_t next = w.Next(i);
      if (mb::At(groups, i, tag::kRubyOpen)) {
        out.append(tag::kLeftRubyOpen).append(groups, i + tag::kRubyOpen.size(), next - i - tag::kRubyOpen.size());
      } else {
        out.append(groups, i, next - i);
      }
      i = next;
    }
    return out;
  }
  if (left || !HasRightRuby(s)) {
    const std::string visible = VisibleText(s);
    return (left ? LeftGroup(reading, visible)
                 : std::string(tag::kRubyOpen).append(reading).append(tag::kRubyMid).append(visible).append(tag::kRubyClose)) +
           std::string(s);
  }
  // Before the first character, after the groups that stand for it.
  TMarkupWalker w(s);
  size_t i = 0;
  while (i < s.size() && w.TagEnd(i) != 0) i = w.TagEnd(i);
  return std::string(s.substr(0, i)) + SideNote(reading) + std::string(s.substr(i));
}

}  // namespace

TInlineAnnotator::TInlineAnnotator(int fontPixels, int rubyPixels, std::string_view fileDir)
    : fontPixels_(fontPixels), rubyPixels_(rubyPixels), fileDir_(fileDir) {}

std::string TInlineAnnotator::Transform(const TStyle& style, const std::string& tail) const {
  switch (style.Kind) {
    case TKind::Wrap:
      return style.Open + tail + style.Close;
    case TKind::Marks:
      return WithMarks(tail, style.Mark, style.Left);
    case TKind::Note:
      return WithNote(tail, style.Reading, style.Left, fontPixels_, rubyPixels_);
  }
  return tail;
}

void TInlineAnnotator::CloseRange(size_t k, std::string_view rest, TEmitted& out) {
  // The ranges opened after this one and still open end with it, innermost
  // first, so no switch stays on past the line; a range of notes whose note
  // has not come has nothing to add.
  while (open_.size() > k + 1) {
    if (open_.back().Style.Kind == TKind::Note) {
      open_.pop_back();
    } else {
      CloseRange(open_.size() - 1, {}, out);
    }
  }
  TOpenRange range = std::move(open_[k]);
  open_.pop_back();
  if (range.Style.Kind == TKind::Wrap) {
    out.Append(range.Style.Close);
    if (range.Style.Warichu && !mb::At(rest, 0, kParenClose)) out.Append(kParenClose);
    return;
  }
  const std::string tail = out.TakeTail(out.MarkOffset(range.Mark));
  out.Append(Transform(range.Style, tail));
  // Marks cost every later side note a step: none are kept beyond their use.
  if (std::none_of(open_.begin(), open_.end(),
                   [](const TOpenRange& r) { return r.Style.Kind != TKind::Wrap; }))
    out.ClearMarks();
}

TInlineResult TInlineAnnotator::Apply(std::string_view body, std::string_view rest, TEmitted& out) {
  if (IsKaeriten(body)) {
    out.Append(KaeritenTag(body));
    return TInlineResult::Done;
  }
  if (body.starts_with(kParenOpen) && body.ends_with(kParenClose) &&
      body.size() > kParenOpen.size() + kParenClose.size()) {
    out.Append(OkuriganaTag(body.substr(2, body.size() - 4)));
    return TInlineResult::Done;
  }
  if (body == kNewLine &&
      std::any_of(open_.begin(), open_.end(), [](const TOpenRange& r) { return r.Style.Warichu; })) {
    // Warichu runs its two small lines on as one: the break is a space.
    out.Append(kWideSpace);
    return TInlineResult::Done;
  }
  if (std::optional<std::string> figure = Figure(body, fileDir_)) {
    out.Append(*figure);
    return TInlineResult::Done;
  }
  // Blocks over whole lines.
  if (body.starts_with(kFrom)) {
    const std::optional<TStyle> s = ParseStyle(body.substr(kFrom.size()));
    if (!s || s->Kind != TKind::Wrap || s->Warichu) return TInlineResult::NotMine;
    events_.push_back({true, s->Key, s->Open, s->Close});
    return TInlineResult::BlockLine;
  }
  if (body.starts_with(kHere) && body.ends_with(kEnd)) {
    const std::string_view name = body.substr(kHere.size(), body.size() - kHere.size() - kEnd.size());
    const std::optional<TStyle> s = ParseStyle(name);
    if (!s && name != kBigger && name != kSmaller) return TInlineResult::NotMine;
    events_.push_back({false, std::string(name), {}, {}});
    return TInlineResult::BlockLine;
  }
  // The end of a range on this line.
  if (body.ends_with(kEnd)) {
    const std::string_view name = body.substr(0, body.size() - kEnd.size());
    std::optional<TStyle> s = NoteRangeEnd(name);
    const std::string key = s ? s->Key : std::string(name);
    for (size_t k = open_.size(); k-- > 0;) {
      if (open_[k].Style.Key != key) continue;
      if (s) open_[k].Style.Reading = s->Reading;
      CloseRange(k, rest, out);
      return TInlineResult::Done;
    }
  }
  // The quoted text before the annotation: 「X」は…, 「X」に…, 「X」の左に….
  if (body.starts_with(kQuoteOpen)) {
    const size_t q = mb::Find(body, kQuoteClose, kQuoteOpen.size());
    if (q == npos || q == kQuoteOpen.size()) return TInlineResult::NotMine;
    const std::string_view x = body.substr(kQuoteOpen.size(), q - kQuoteOpen.size());
    std::string_view how = body.substr(q + kQuoteClose.size());
    std::optional<TStyle> s;
    bool left = false;
    if (how.starts_with(kNoHidariNi)) {
      how.remove_prefix(kNoHidariNi.size());
      left = true;
    } else if (how.starts_with(kWa) || how.starts_with(kNi)) {
      how.remove_prefix(kWa.size());
    } else {
      how = {};
    }
    if (!how.empty()) {
      if (const std::optional<std::string_view> y = QuotedNote(how)) {
        s = NoteStyle({}, *y, left);
      } else if (how == kMama && !left) {
        s = NoteStyle({}, kMama, false);
      } else {
        s = ParseStyle(how, left);
      }
    }
    // Wordings not in the table that still name emphasis dots or the
    // as-written mark keep their old meaning.
    if (!s && mb::Contains(body, kDots)) {
      s = ParseStyle(kDots);
    } else if (!s && mb::Contains(body, kMama)) {
      s = NoteStyle({}, kMama, false);
    }
    if (!s) return TInlineResult::NotMine;
    const size_t at = out.FindVisibleTail(x);
    if (at == TEmitted::npos) {
      // The text is not where the annotation says: shown as a note.
      out.InsertBeforeLastVisible(SideNote(body));
      return TInlineResult::Done;
    }
    out.Append(Transform(*s, out.TakeTail(at)));
    return TInlineResult::Done;
  }
  // The start of a range.
  std::optional<TStyle> s;
  {
    std::string_view name = body;
    const bool left = name.starts_with(kHidariNi);
    if (left) name.remove_prefix(kHidariNi.size());
    if (name.ends_with(kTsuki) && (name.substr(0, name.size() - kTsuki.size()) == kChuki ||
                                   name.substr(0, name.size() - kTsuki.size()) == kRuby)) {
      s = NoteStyle(NoteRangeKey(left, name.starts_with(kRuby)), {}, left);
    } else {
      s = ParseStyle(body);
    }
  }
  // A line of nothing but range starts stays linear: past this many open at
  // once they are shown as they are.
  if (!s || open_.size() >= kMostOpenRanges) return TInlineResult::NotMine;
  if (s->Kind == TKind::Wrap) {
    if (s->Warichu && out.LastVisible() != kParenOpen) out.Append(kParenOpen);
    out.Append(s->Open);
    open_.push_back({std::move(*s), 0});
  } else {
    const size_t mark = out.PlaceMark();
    open_.push_back({std::move(*s), mark});
  }
  return TInlineResult::Done;
}

void TInlineAnnotator::Finish(TEmitted& out) {
  // Innermost first; a range of notes whose note never came has nothing to add.
  while (!open_.empty()) {
    if (open_.back().Style.Kind == TKind::Note) {
      open_.pop_back();
      continue;
    }
    CloseRange(open_.size() - 1, {}, out);
  }
}

void TStyleBlocks::Apply(const std::vector<TStyleBlockEvent>& events) {
  for (const TStyleBlockEvent& e : events) {
    if (e.Start) {
      open_.push_back(e);
      continue;
    }
    for (size_t k = open_.size(); k-- > 0;) {
      if (open_[k].Key == e.Key) {
        open_.erase(open_.begin() + static_cast<std::ptrdiff_t>(k));
        break;
      }
    }
  }
}

void TStyleBlocks::Dress(std::string& text) const {
  if (open_.empty()) return;
  std::string front;
  for (const TStyleBlockEvent& e : open_) front += e.Open;
  text.insert(0, front);
  for (size_t k = open_.size(); k-- > 0;) text += open_[k].Close;
}

void TStyleBlocks::Dress(TLineText& text) const {
  if (open_.empty()) return;
  std::string s(text.view());
  Dress(s);
  text.assign(s);
}

}  // namespace rpv
