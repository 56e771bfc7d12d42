#include "import/MarkupWalker.h"

namespace rpv {

size_t TMarkupWalker::SpanEnd(size_t i) {
  constexpr size_t npos = std::string_view::npos;
  const bool left = mb::At(s_, i, tag::kLeftRubyOpen);
  if (left || mb::At(s_, i, tag::kRubyOpen)) {
    const size_t open = (left ? tag::kLeftRubyOpen : tag::kRubyOpen).size();
    const size_t c = rubyClose_.Find(i + open, [this](size_t from) {
      return mb::Find(s_, tag::kRubyClose, from);
    });
    if (c != npos) return c + tag::kRubyClose.size();
  }
  const size_t e =
      end_.Find(i + tag::kStart.size(), [this](size_t from) { return mb::Find(s_, tag::kEnd, from); });
  if (e == npos) return 0;
  const size_t end = e + tag::kEnd.size();
  return mb::At(s_, i, tag::kImageOpen) ? ImageSizeEnd(s_, i, end) : end;
}

std::string VisibleText(std::string_view s) {
  TMarkupWalker w(s);
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    const size_t e = w.TagEnd(i);
    if (e != 0) {
      i = e;
      continue;
    }
    const size_t len = mb::Len(s, i);
    out.append(s, i, len);
    i += len;
  }
  return out;
}

bool IsBlankVisible(std::string_view s) {
  const std::string v = VisibleText(s);
  for (size_t i = 0; i < v.size(); i += mb::Len(v, i)) {
    if (v[i] == ' ' || v[i] == '\t') continue;
    if (v.compare(i, 2, "\x81\x40") == 0) continue;
    return false;
  }
  return true;
}

}  // namespace rpv
