// The side record of bookmark page tops: one bm.csv-style line per entry,
// "path","line","date-time","archive","offset", with bm.csv's quoting rules.
#include "bookmarks/BookMarkPositions.h"

#include <filesystem>
#include <set>
#include <vector>

#include "bookmarks/BookMarkCsv.h"
#include "platform/FileIO.h"

namespace rpv {
namespace {

// A real record is a few hundred bytes per bookmark; anything bigger is not
// one and is not worth reading.
constexpr uintmax_t kMaxRecordSize = 16u << 20;

}  // namespace

TBookMarkPositions::TKey TBookMarkPositions::KeyOf(const TBookMark& mark) {
  return {mark.FullPath, mark.Line, mark.DateTime, mark.Archive};
}

void TBookMarkPositions::Load(std::string_view path) {
  offsets_.clear();
  std::error_code ec;
  const auto size = std::filesystem::file_size(NativePath(path), ec);
  if (ec || size > kMaxRecordSize) return;
  const auto text = ReadWholeFile(path);
  if (!text || text->size() > kMaxRecordSize) return;
  size_t pos = 0;
  while (pos < text->size()) {
    size_t end = text->find('\n', pos);
    if (end == std::string::npos) end = text->size();
    std::string_view line(text->data() + pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::vector<std::string> fields = SplitBookMarkLine(line);
    if (fields.size() != 5) continue;
    const auto lineNumber = ParseWholeNumber(fields[1]);
    const auto offset = ParseWholeNumber(fields[4]);
    if (!lineNumber || !offset || *offset < 0) continue;
    offsets_[TKey{std::move(fields[0]), *lineNumber, std::move(fields[2]), std::move(fields[3])}] =
        *offset;
  }
}

bool TBookMarkPositions::Save(std::string_view path, const TBookMarks& marks) {
  std::set<TKey> live;
  for (int i = 0; i < marks.Count(); ++i) live.insert(KeyOf(*marks.Items(i)));
  std::erase_if(offsets_, [&](const auto& entry) { return !live.contains(entry.first); });
  std::string text;
  for (const auto& [key, offset] : offsets_) {
    const auto& [fullPath, line, dateTime, archive] = key;
    text += QuoteBookMarkField(fullPath) + ",\"" + std::to_string(line) + "\"," +
            QuoteBookMarkField(dateTime) + ',' + QuoteBookMarkField(archive) + ",\"" +
            std::to_string(offset) + "\"\r\n";
  }
  return WriteFileAtomic(path, text);
}

int32_t TBookMarkPositions::Lookup(const TBookMark& mark) const {
  const auto found = offsets_.find(KeyOf(mark));
  return found == offsets_.end() ? 0 : found->second;
}

void TBookMarkPositions::Set(const TBookMark& mark, int32_t offset) {
  if (offset >= 0) offsets_[KeyOf(mark)] = offset;
  else offsets_.erase(KeyOf(mark));
}

}  // namespace rpv
