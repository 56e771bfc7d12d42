#include "import/DisplayMarkup.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include "import/MarkupWalker.h"
#include "import/MbScan.h"
#include "platform/Codepage.h"
#include "render/cbcClasses.h"

namespace rpv {
namespace {

std::string Wrap(std::string_view open, std::string_view arg, std::string_view close) {
  std::string out;
  out.reserve(open.size() + arg.size() + close.size());
  out.append(open).append(arg).append(close);
  return out;
}

using mb::At;

// Reads `delim` digits `delim` at pos; the value, and pos moved past it.
std::optional<int> ReadSizeField(std::string_view s, size_t& pos, std::string_view delim) {
  if (!At(s, pos, delim)) return std::nullopt;
  size_t i = pos + delim.size();
  int value = 0;
  size_t digits = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
    if (++digits > 9) return std::nullopt;
    value = value * 10 + (s[i] - '0');
    ++i;
  }
  if (digits == 0 || !At(s, i, delim)) return std::nullopt;
  pos = i + delim.size();
  return value;
}

struct Simple {
  std::string_view literal;
  TTagKind kind;
};

// Argument tags: opening literal, closing literal, kind.
struct WithArg {
  std::string_view open;
  std::string_view close;
  TTagKind kind;
};

}  // namespace

std::string SideNote(std::string_view note) { return Wrap(tag::kNoteOpen, note, tag::kNoteClose); }
std::string ColourTag(std::string_view colourText) {
  return Wrap(tag::kColourOpen, colourText, tag::kColourClose);
}
std::string RuleTag(std::string_view unit) { return Wrap(tag::kRuleOpen, unit, tag::kRuleClose); }
std::string VoicedTag(std::string_view mark) {
  return Wrap(tag::kVoicedOpen, mark, tag::kVoicedClose);
}
std::string ImageTag(std::string_view path) { return Wrap(tag::kImageOpen, path, tag::kImageClose); }
std::string ImageSizeSuffix(int height, int width) {
  std::string out;
  out.append(tag::kImageHeight).append(std::to_string(height)).append(tag::kImageHeight);
  out.append(tag::kImageWidth).append(std::to_string(width)).append(tag::kImageWidth);
  return out;
}
std::string LinkStart(std::string_view target) {
  return Wrap(tag::kLinkOpen, target, tag::kLinkClose);
}

std::string SizeTag(int step) { return Wrap(tag::kSizeOpen, std::to_string(step), tag::kSizeClose); }
std::string SidelineTag(char side, char stroke) {
  return Wrap(tag::kSidelineOpen, std::string{side, stroke}, tag::kSidelineClose);
}
std::string KaeritenTag(std::string_view mark) {
  return Wrap(tag::kKaeritenOpen, mark, tag::kKaeritenClose);
}
std::string OkuriganaTag(std::string_view kana) {
  return Wrap(tag::kOkuriganaOpen, kana, tag::kOkuriganaClose);
}

double SizeStepScale(int step) { return 1.0 + 0.15 * std::clamp(step, -3, 3); }

int32_t SizeStepPixels(int32_t pixels, int step) {
  if (step == 0) return pixels;
  const auto scaled = static_cast<int32_t>(std::lround(pixels * SizeStepScale(step)));
  return pixels > 0 ? std::max<int32_t>(1, scaled) : scaled;
}

namespace {

// A size step as written in the tag: an optional "-" and one digit.
std::optional<int> ReadStep(std::string_view s) {
  const bool minus = !s.empty() && s[0] == '-';
  if (minus) s.remove_prefix(1);
  if (s.size() != 1 || s[0] < '0' || s[0] > '9') return std::nullopt;
  const int v = std::min(s[0] - '0', 3);
  return minus ? -v : v;
}

}  // namespace

size_t TcyCloseEnd(TMarkupWalker& walker, size_t from, TForwardSearch& memo) {
  const std::string_view text = walker.Text();
  const size_t close = memo.Find(from, [&](size_t f) {
    for (size_t i = f; i < text.size(); i = walker.Next(i)) {
      if (const auto m = walker.Tag(i); m && m->Kind == TTagKind::TcyOff) return i;
    }
    return std::string_view::npos;
  });
  return close == std::string_view::npos ? 0 : walker.TagEnd(close);
}

size_t ImageSizeEnd(std::string_view line, size_t pos, size_t end) {
  // The closing literal must be the span's own, on a character boundary.
  const std::string_view span = line.substr(0, end);
  if (mb::Find(span, tag::kImageClose, pos + tag::kImageOpen.size()) != end - tag::kImageClose.size())
    return end;
  size_t p = end;
  if (ReadSizeField(line, p, tag::kImageHeight) && ReadSizeField(line, p, tag::kImageWidth)) return p;
  return end;
}

TTagMatch ReadTag(std::string_view line, size_t pos, size_t end) {
  TTagMatch unknown{TTagKind::Unknown, {}, {}, end};
  // Closing literals are looked for inside the span only.
  const std::string_view span = line.substr(0, end);

  // Ruby group: two arguments, closed by the span's end.
  const bool left = At(span, pos, tag::kLeftRubyOpen);
  if (left || At(span, pos, tag::kRubyOpen)) {
    const size_t argStart = pos + (left ? tag::kLeftRubyOpen : tag::kRubyOpen).size();
    const size_t close = mb::Find(span, tag::kRubyClose, argStart);
    const size_t mid = mb::Find(span, tag::kRubyMid, argStart);
    if (close == std::string_view::npos || close + tag::kRubyClose.size() != end ||
        mid == std::string_view::npos || mid > close)
      return unknown;
    const size_t baseStart = mid + tag::kRubyMid.size();
    TTagMatch m{TTagKind::Ruby, span.substr(argStart, mid - argStart),
                span.substr(baseStart, close - baseStart), end};
    m.Left = left;
    return m;
  }

  static constexpr std::array<Simple, 14> kSimple{{
      {tag::kSpreadSpace, TTagKind::SpreadSpace},
      {tag::kBoldOn, TTagKind::BoldOn},
      {tag::kBoldOff, TTagKind::BoldOff},
      {tag::kItalicOn, TTagKind::ItalicOn},
      {tag::kItalicOff, TTagKind::ItalicOff},
      {tag::kStrikeOn, TTagKind::StrikeOn},
      {tag::kStrikeOff, TTagKind::StrikeOff},
      {tag::kColourOff, TTagKind::ColourOff},
      {tag::kLinkEnd, TTagKind::LinkEnd},
      {tag::kSidelineOff, TTagKind::SidelineOff},
      {tag::kTcyOn, TTagKind::TcyOn},
      {tag::kTcyOff, TTagKind::TcyOff},
      {tag::kBoxOn, TTagKind::BoxOn},
      {tag::kBoxOff, TTagKind::BoxOff},
  }};
  static constexpr std::array<WithArg, 10> kWithArg{{
      {tag::kNoteOpen, tag::kNoteClose, TTagKind::Note},
      {tag::kColourOpen, tag::kColourClose, TTagKind::Colour},
      {tag::kRuleOpen, tag::kRuleClose, TTagKind::Rule},
      {tag::kVoicedOpen, tag::kVoicedClose, TTagKind::Voiced},
      {tag::kImageOpen, tag::kImageClose, TTagKind::Image},
      {tag::kLinkOpen, tag::kLinkClose, TTagKind::LinkStart},
      {tag::kSizeOpen, tag::kSizeClose, TTagKind::Size},
      {tag::kSidelineOpen, tag::kSidelineClose, TTagKind::SidelineOn},
      {tag::kKaeritenOpen, tag::kKaeritenClose, TTagKind::Kaeriten},
      {tag::kOkuriganaOpen, tag::kOkuriganaClose, TTagKind::Okurigana},
  }};

  for (const auto& s : kSimple) {
    if (pos + s.literal.size() == end && At(span, pos, s.literal)) return TTagMatch{s.kind, {}, {}, end};
  }
  for (const auto& w : kWithArg) {
    if (!At(span, pos, w.open)) continue;
    const size_t argStart = pos + w.open.size();
    const size_t close = mb::Find(span, w.close, argStart);
    if (close == std::string_view::npos) return unknown;
    TTagMatch m{w.kind, span.substr(argStart, close - argStart), {}, end};
    size_t p = close + w.close.size();
    if (w.kind == TTagKind::Image && p != end) {
      const auto h = ReadSizeField(span, p, tag::kImageHeight);
      const auto wd = h ? ReadSizeField(span, p, tag::kImageWidth) : std::nullopt;
      if (h && wd) {
        m.ImageHeight = *h;
        m.ImageWidth = *wd;
      }
    }
    if (p != end) return unknown;
    if (w.kind == TTagKind::Size) {
      const auto step = ReadStep(m.Arg);
      if (!step) return unknown;
      m.Step = *step;
    }
    if (w.kind == TTagKind::SidelineOn &&
        (m.Arg.size() != 2 || (m.Arg[0] != 'R' && m.Arg[0] != 'L') ||
         std::string_view("SDCBW").find(m.Arg[1]) == std::string_view::npos))
      return unknown;
    return m;
  }
  return unknown;
}

namespace {

bool IsAsciiAlnum(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsBangOrQuery(unsigned char c) { return c == '!' || c == '?'; }

// Whether a run of single bytes ends before p: at the line end or a
// double-byte character other than a sideways Latin letter, tag spans
// skipped.
bool RunEndsAt(TMarkupWalker& walker, size_t p) {
  const std::string_view line = walker.Text();
  while (const size_t e = walker.TagEnd(p)) p = e;
  return p >= line.size() ||
         (IsLeadByte(static_cast<unsigned char>(line[p])) && !IsSidewaysUserChar(line.substr(p, 2)));
}

}  // namespace

bool SetAsSingleByte(std::string_view ch) { return ch.size() == 1 || IsSidewaysUserChar(ch); }

size_t UprightCell(TMarkupWalker& walker, size_t p, bool afterSingle) {
  const std::string_view line = walker.Text();
  if (afterSingle || p >= line.size()) return 0;
  const auto c = static_cast<unsigned char>(line[p]);
  if (IsLeadByte(c) && mb::Len(line, p) == 2) return 0;
  const auto next = p + 1 < line.size() ? static_cast<unsigned char>(line[p + 1]) : 0;
  if (IsBangOrQuery(c) && IsBangOrQuery(next)) return 2;
  if (IsAsciiAlnum(c) && IsAsciiAlnum(next) && RunEndsAt(walker, p + 2)) return 2;
  if (IsAsciiAlnum(c) && RunEndsAt(walker, p + 1)) return 1;
  return 0;
}

std::string LineAsText(std::string_view line) {
  static constexpr std::string_view kReadingOpen = "\x81\x73";   // 《
  static constexpr std::string_view kReadingClose = "\x81\x74";  // 》
  static constexpr std::string_view kNoteOpen = "\x81\x6D\x81\x94";  // ［＃
  static constexpr std::string_view kNoteClose = "\x81\x6E";     // ］
  TMarkupWalker walker(line);
  std::string out;
  // The groups whose base is being written, with their base characters
  // still to come: a reading is written once its base is complete, so a
  // base with readings on both sides gets both after it.
  struct TPending {
    std::string reading;
    size_t left;
  };
  std::vector<TPending> pending;
  auto baseCharacter = [&] {
    for (TPending& p : pending) {
      if (p.left > 0) --p.left;
    }
    while (!pending.empty() && pending.front().left == 0) {
      out.append(kReadingOpen).append(pending.front().reading).append(kReadingClose);
      pending.erase(pending.begin());
    }
  };
  for (size_t i = 0; i < line.size();) {
    if (const size_t e = walker.TagEnd(i)) {
      const TTagMatch m = ReadTag(line, i, e);
      if (m.Kind == TTagKind::Ruby) {
        const size_t count = mb::Count(m.Arg2);
        if (count == 0) {
          out.append(kReadingOpen).append(VisibleText(m.Arg)).append(kReadingClose);
        } else {
          pending.push_back({VisibleText(m.Arg), count});
        }
      } else if (m.Kind == TTagKind::SpreadSpace) {
        if (!pending.empty()) baseCharacter();  // the copy's space
      } else if (m.Kind == TTagKind::Note) {
        out.append(kNoteOpen).append(VisibleText(m.Arg)).append(kNoteClose);
      } else if (m.Kind == TTagKind::Kaeriten || m.Kind == TTagKind::Okurigana) {
        out.append(m.Arg);
      }
      i = e;
      continue;
    }
    const size_t len = mb::Len(line, i);
    out.append(line.substr(i, len));
    i += len;
    baseCharacter();
  }
  for (const TPending& p : pending) out.append(kReadingOpen).append(p.reading).append(kReadingClose);
  return out;
}

void BalanceStyleTags(TLine& line, TLine& next) {
  // Most lines hold no switch at all (ruby groups are the usual tags): a
  // byte scan says so before the line is walked.
  {
    const std::string_view t = line.Text.view();
    bool any = false;
    for (size_t p = t.find(tag::kStart); p != std::string_view::npos && !any;
         p = t.find(tag::kStart, p + 1)) {
      const char c = p + 3 < t.size() ? t[p + 3] : '\0';
      any = std::string_view("LIRZNXT").find(c) != std::string_view::npos;
    }
    if (!any) return;
  }
  // The state at the line's end, as the renderer reaches it: the last
  // switch of each kind decides, so a span closed and opened again on the
  // same line is still open.
  bool bold = false, italic = false, strike = false, box = false, tcy = false;
  int step = 0;
  std::string sideline;  // the open side-line tag, or empty
  const std::string_view text = line.Text.view();
  TMarkupWalker walker(text);
  for (size_t i = 0; i < text.size();) {
    const size_t e = walker.TagEnd(i);
    if (e == 0) {
      i += mb::Len(text, i);
      continue;
    }
    const TTagMatch m = ReadTag(text, i, e);
    switch (m.Kind) {
      case TTagKind::BoldOn: bold = true; break;
      case TTagKind::BoldOff: bold = false; break;
      case TTagKind::ItalicOn: italic = true; break;
      case TTagKind::ItalicOff: italic = false; break;
      case TTagKind::StrikeOn: strike = true; break;
      case TTagKind::StrikeOff: strike = false; break;
      case TTagKind::BoxOn: box = true; break;
      case TTagKind::BoxOff: box = false; break;
      case TTagKind::TcyOn: tcy = true; break;
      case TTagKind::TcyOff: tcy = false; break;
      case TTagKind::Size: step = m.Step; break;
      case TTagKind::SidelineOn: sideline.assign(text.substr(i, e - i)); break;
      case TTagKind::SidelineOff: sideline.clear(); break;
      default: break;
    }
    i = e;
  }
  // Closed in this order at the end; opened again, each in front of the
  // last, at the start of the next line.
  std::string closing;
  std::string opening;
  auto carry = [&](bool open, std::string_view on, std::string_view off) {
    if (!open) return;
    closing.append(off);
    opening.insert(0, on);
  };
  carry(bold, tag::kBoldOn, tag::kBoldOff);
  carry(italic, tag::kItalicOn, tag::kItalicOff);
  carry(strike, tag::kStrikeOn, tag::kStrikeOff);
  carry(step != 0, SizeTag(step), SizeTag(0));
  carry(!sideline.empty(), sideline, tag::kSidelineOff);
  carry(box, tag::kBoxOn, tag::kBoxOff);
  carry(tcy, tag::kTcyOn, tag::kTcyOff);
  if (closing.empty()) return;
  line.Text.append(closing);
  next.Text.insert(0, opening);
}

void BalanceStyleTags(TLines& displayLines) {
  const int count = displayLines.Count();
  for (int i = 0; i + 1 < count; ++i) BalanceStyleTags(*displayLines.Item(i), *displayLines.Item(i + 1));
}

}  // namespace rpv
