// The header and footer of a page: the template with its placeholders
// filled in, drawn in the upright font across the band above or below the
// text area, also in vertical writing.
#include <algorithm>
#include <string>

#include "import/MbScan.h"
#include "render/BookClass.h"
#include "platform/Font.h"

namespace rpv {

namespace {
constexpr std::string_view kUnknownCount = "\x81\x63";  // "…"
}  // namespace

std::string TBookClass::FormatHeaderFooter(std::string_view templ, int32_t firstLine) {
  if (!IsHtml || Title.empty()) Title = FileName;
  const int32_t perColumn = Style.LinesPerColumn();
  std::string out;
  out.reserve(templ.size() + 32);
  for (size_t i = 0; i < templ.size();) {
    const size_t len = mb::Len(templ, i);
    if (templ[i] != '%' || i + 1 >= templ.size()) {
      out.append(templ.substr(i, len));
      i += len;
      continue;
    }
    switch (templ[i + 1]) {
      case 'p': out += std::to_string(firstLine / perColumn / Style.Columns() + 1); break;
      // Counts of the whole book are "…" until its layout is complete.
      case 'P': out += LayoutComplete ? std::to_string(PageCount) : kUnknownCount; break;
      case 'f': out += FileName; break;
      case 'F': out += FileDir + FileName; break;
      case 'l': out += std::to_string(firstLine + 1); break;
      case 'L': out += LayoutComplete ? std::to_string(DisplayLines.Count()) : kUnknownCount; break;
      case 'g': out += std::to_string(SourceLineOf(firstLine) + 1); break;
      case 't': out += Title; break;
      case 'a':
        if (IsHtml) out += Title;
        else if (!SourceText.Empty()) out += SourceText[0];
        break;
      case '%': out += '%'; break;
      default:
        // Not a placeholder: the "%" stays and the next character is
        // copied as it is on the next step.
        out += '%';
        i += 1;
        continue;
    }
    i += 2;
  }
  return out;
}

void TBookClass::DrawHeaderFooter(IPageDevice& device, int32_t firstLine, bool footer) {
  // Header and footer are horizontal text in every direction, in the page's
  // own text colour.
  TextColor = Style.FontColor;
  const TRunFont font = RunFont(TFontRole::Upright);
  const std::string text = FormatHeaderFooter(footer ? Style.strFooter : Style.strHeader, firstLine);
  int32_t y = Style.PageMarginTop;
  if (footer) {
    if (Style.Direction == kDirectionVertical) {
      y = Style.PageMarginTop + Style.HeaderHeight() +
          (Style.TextAreaHeight() + Style.HangReserve()) * Style.Columns() +
          Style.ColumnSpace * (Style.Columns() - 1);
    } else {
      y = Style.PageMarginTop + Style.HeaderHeight() + Style.TextAreaHeight() +
          Style.RubyBandHeight();
    }
  }
  TFont& face = fonts_.Font(font.Desc);
  const int aa = font.Supersampling;
  const int32_t w = face.Layout(text).Advance / aa;
  int32_t x = Style.PageMarginLeft;
  switch (footer ? Style.bytFooter : Style.bytHeader) {
    case 2:
      x = Style.PageMarginLeft +
          (Style.PageWidth - Style.PageMarginLeft - Style.PageMarginRight - w) / 2;
      break;
    case 3: x = Style.PageWidth - Style.PageMarginRight - w; break;
    default: break;
  }
  TGlyphRun run;
  run.Kind = footer ? TDrawKind::Footer : TDrawKind::Header;
  run.Text = text;
  run.X = x;
  run.Y = y;
  run.Font = &font;
  run.Box = RunBox(x, y, TOrientation::Horizontal, w, face.CellHeight() / aa);
  device.Glyphs(run);
}

}  // namespace rpv
