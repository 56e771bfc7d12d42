#include "import/DisplayMarkup.h"

#include <array>
#include <utility>

#include "import/MbScan.h"
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

bool IsTagStartNoCase(std::string_view s, size_t pos) { return mb::MatchesNoCase(s, pos, tag::kStart); }

size_t SkipZeroWidth(std::string_view s, size_t pos) {
  const size_t end = s.find(tag::kEnd, pos + tag::kStart.size());
  return end == std::string_view::npos ? pos + 1 : end + tag::kEnd.size();
}

std::optional<TTagMatch> MatchTag(std::string_view line, size_t pos, bool voicedMarks) {
  if (!At(line, pos, tag::kStart)) return std::nullopt;

  // Ruby group: two arguments.
  if (At(line, pos, tag::kRubyOpen)) {
    const size_t argStart = pos + tag::kRubyOpen.size();
    const size_t close = mb::Find(line, tag::kRubyClose, argStart);
    const size_t mid = mb::Find(line, tag::kRubyMid, argStart);
    if (close == std::string_view::npos || mid == std::string_view::npos || mid > close) {
      return std::nullopt;
    }
    TTagMatch m{TTagKind::Ruby, line.substr(argStart, mid - argStart), {}, 0};
    const size_t baseStart = mid + tag::kRubyMid.size();
    m.Arg2 = line.substr(baseStart, close - baseStart);
    m.End = close + tag::kRubyClose.size();
    return m;
  }

  static constexpr std::array<Simple, 9> kSimple{{
      {tag::kSpreadSpace, TTagKind::SpreadSpace},
      {tag::kBoldOn, TTagKind::BoldOn},
      {tag::kBoldOff, TTagKind::BoldOff},
      {tag::kItalicOn, TTagKind::ItalicOn},
      {tag::kItalicOff, TTagKind::ItalicOff},
      {tag::kStrikeOn, TTagKind::StrikeOn},
      {tag::kStrikeOff, TTagKind::StrikeOff},
      {tag::kColourOff, TTagKind::ColourOff},
      {tag::kLinkEnd, TTagKind::LinkEnd},
  }};
  static constexpr std::array<WithArg, 6> kWithArg{{
      {tag::kNoteOpen, tag::kNoteClose, TTagKind::Note},
      {tag::kColourOpen, tag::kColourClose, TTagKind::Colour},
      {tag::kRuleOpen, tag::kRuleClose, TTagKind::Rule},
      {tag::kVoicedOpen, tag::kVoicedClose, TTagKind::Voiced},
      {tag::kImageOpen, tag::kImageClose, TTagKind::Image},
      {tag::kLinkOpen, tag::kLinkClose, TTagKind::LinkStart},
  }};

  // The literals are distinct after "{H\", so the order of the tests only
  // matters for what the renderer may draw; it is the renderer's order.
  for (const auto& s : kSimple) {
    if (At(line, pos, s.literal)) return TTagMatch{s.kind, {}, {}, pos + s.literal.size()};
  }
  for (const auto& w : kWithArg) {
    if (!At(line, pos, w.open)) continue;
    if (w.kind == TTagKind::Voiced && !voicedMarks) return std::nullopt;
    const size_t argStart = pos + w.open.size();
    const size_t close = mb::Find(line, w.close, argStart);
    if (close == std::string_view::npos) return std::nullopt;
    TTagMatch m{w.kind, line.substr(argStart, close - argStart), {}, close + w.close.size()};
    if (w.kind == TTagKind::Image) {
      size_t p = m.End;
      const auto h = ReadSizeField(line, p, tag::kImageHeight);
      const auto wd = h ? ReadSizeField(line, p, tag::kImageWidth) : std::nullopt;
      if (h && wd) {
        m.ImageHeight = *h;
        m.ImageWidth = *wd;
        m.End = p;
      }
    }
    return m;
  }
  return std::nullopt;
}

namespace {

bool IsAsciiAlnum(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsBangOrQuery(unsigned char c) { return c == '!' || c == '?'; }

// Whether a run of single bytes ends before p: at the line end or a
// double-byte character, complete tags skipped.
bool RunEndsAt(std::string_view line, size_t p) {
  while (p < line.size() && line[p] == '{') {
    const auto m = MatchTag(line, p, true);
    if (!m) break;
    p = m->End;
  }
  return p >= line.size() || IsLeadByte(static_cast<unsigned char>(line[p]));
}

}  // namespace

size_t UprightCell(std::string_view line, size_t p, bool afterSingle) {
  if (afterSingle || p >= line.size()) return 0;
  const auto c = static_cast<unsigned char>(line[p]);
  if (IsLeadByte(c) && mb::Len(line, p) == 2) return 0;
  const auto next = p + 1 < line.size() ? static_cast<unsigned char>(line[p + 1]) : 0;
  if (IsBangOrQuery(c) && IsBangOrQuery(next)) return 2;
  if (IsAsciiAlnum(c) && IsAsciiAlnum(next) && RunEndsAt(line, p + 2)) return 2;
  if (IsAsciiAlnum(c) && RunEndsAt(line, p + 1)) return 1;
  return 0;
}

void BalanceStyleTags(TLine& line, TLine& next) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 3> kPairs{{
      {tag::kBoldOn, tag::kBoldOff},
      {tag::kItalicOn, tag::kItalicOff},
      {tag::kStrikeOn, tag::kStrikeOff},
  }};
  for (const auto& [on, off] : kPairs) {
    // The last opening literal decides: a span closed and opened again on
    // the same line is still open at its end.
    const size_t lastOn = line.Text.rfind(on);
    if (lastOn == std::string::npos) continue;
    if (line.Text.find(off, lastOn) != std::string::npos) continue;
    line.Text.append(off);
    next.Text.insert(0, on);
  }
}

void BalanceStyleTags(TLines& displayLines) {
  const int count = displayLines.Count();
  for (int i = 0; i + 1 < count; ++i) BalanceStyleTags(*displayLines.Item(i), *displayLines.Item(i + 1));
}

}  // namespace rpv
