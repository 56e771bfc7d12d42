#include "import/BookHtml.h"

#include "import/CustomBookClass.h"

namespace rpv {

void ConvertHtmlInto(TCustomBook& book, std::string_view text) {
  // Until the HTML converter is in, the text is taken line by line.
  book.Title.clear();
  TSourceText lines;
  lines.SetText(std::string(text));
  for (size_t i = 0; i < lines.Count(); ++i) {
    TLine& line = *book.SourceLines.Item(book.SourceLines.Add());
    line.Text.assign(lines[i]);
    line.SourceIndex = static_cast<int32_t>(i);
  }
}

}  // namespace rpv
