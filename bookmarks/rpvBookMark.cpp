#include "bookmarks/rpvBookMark.h"

#include <algorithm>
#include <filesystem>
#include <unordered_map>
#include <utility>

#include "bookmarks/BookMarkCsv.h"
#include "platform/Codepage.h"
#include "platform/FileIO.h"

namespace rpv {
namespace {

// A bookmark file is a few hundred bytes a bookmark; anything this large is
// not one, and reading it could exhaust memory.
constexpr size_t kMaxFileSize = 16u << 20;
// Longest offending text quoted in a message, so a damaged file cannot
// produce a message box taller than the screen.
constexpr size_t kMaxQuotedText = 100;

std::string QuoteForMessage(std::string_view text) {
  if (text.size() <= kMaxQuotedText) return std::string(text);
  size_t end = 0;
  while (end < text.size()) {
    const size_t len = SjisCharLen(text, end);
    if (end + len > kMaxQuotedText) break;
    end += len;
  }
  return std::string(text.substr(0, end)) + "...";
}

std::string ConvertReason(std::string_view text, const char* utf8Tail) {
  return "'" + QuoteForMessage(text) + "'" + Utf8ToCp932(utf8Tail);
}

std::string WithLineNumber(const std::string& reason, int lineNumber) {
  if (lineNumber <= 0) return reason;
  return std::to_string(lineNumber) + Utf8ToCp932(" 行目: ") + reason;
}

}  // namespace

EConvertError::EConvertError(std::string reason, int lineNumber)
    : EBookMarkError(WithLineNumber(reason, lineNumber)),
      reason_(std::move(reason)),
      lineNumber_(lineNumber) {}

std::string LoadErrorMessage(std::string_view path, const EBookMarkError& error) {
  if (dynamic_cast<const EConvertError*>(&error) == nullptr) return error.what();
  return "\"" + std::string(path) + "\" " + error.what();
}

// ---- TBookMark ----

std::string TBookMark::ShortName() const { return ExtractShortName(FullPath, PathDelimiters()); }

void TBookMark::LoadFromLine(std::string_view line) {
  std::vector<std::string> fields = SplitBookMarkLine(line);
  fields.resize(6);
  const auto lineNumber = ParseWholeNumber(fields[1]);
  if (!lineNumber) throw EConvertError(ConvertReason(fields[1], " は整数ではありません"), 0);
  const auto visible = ParseBooleanText(fields[4]);
  if (!visible) throw EConvertError(ConvertReason(fields[4], " は正しい論理型ではありません"), 0);
  FullPath = std::move(fields[0]);
  Line = *lineNumber;
  DateTime = std::move(fields[2]);
  Comment = std::move(fields[3]);
  Visible = *visible;
  Archive = std::move(fields[5]);
}

std::string TBookMark::SaveToLine() const {
  // Quotes are doubled in every text field, not only in the comment: a
  // POSIX path may hold a quote, and would otherwise make the line
  // unreadable. Text without quotes is written exactly as before.
  std::string line = QuoteBookMarkField(FullPath);
  line += ",\"" + std::to_string(Line) + "\",";
  line += QuoteBookMarkField(DateTime);
  line += ',';
  line += QuoteBookMarkField(Comment);
  line += Visible ? ",\"-1\"," : ",\"0\",";
  line += QuoteBookMarkField(Archive);
  return line;
}

// ---- TBookMarks ----

TBookMark* TBookMarks::Items(int index) {
  return (index >= 0 && index < Count()) ? items_[static_cast<size_t>(index)].get() : nullptr;
}

const TBookMark* TBookMarks::Items(int index) const {
  return (index >= 0 && index < Count()) ? items_[static_cast<size_t>(index)].get() : nullptr;
}

int TBookMarks::Add() {
  items_.push_back(std::make_unique<TBookMark>());
  return Count() - 1;
}

TBookMark& TBookMarks::Insert(int index) {
  index = std::clamp(index, 0, Count());
  return **items_.insert(items_.begin() + index, std::make_unique<TBookMark>());
}

void TBookMarks::Delete(int index) {
  if (index >= 0 && index < Count()) items_.erase(items_.begin() + index);
}

void TBookMarks::DeleteRange(int first, int last) {
  first = std::max(first, 0);
  last = std::min(last, Count() - 1);
  if (first > last) return;
  items_.erase(items_.begin() + first, items_.begin() + last + 1);
}

void TBookMarks::Move(int newIndex, int oldIndex) {
  if (newIndex == oldIndex || oldIndex < 0 || oldIndex >= Count()) return;
  newIndex = std::clamp(newIndex, 0, Count());
  std::unique_ptr<TBookMark> moving = std::move(items_[static_cast<size_t>(oldIndex)]);
  items_.erase(items_.begin() + oldIndex);
  // The slot was counted before the removal.
  if (oldIndex < newIndex) --newIndex;
  items_.insert(items_.begin() + newIndex, std::move(moving));
}

std::string TBookMarks::SaveToText() const {
  std::string text;
  for (const auto& item : items_) {
    text += item->SaveToLine();
    text += "\r\n";
  }
  return text;
}

void TBookMarks::LoadFromText(std::string_view text) {
  // Built aside and swapped in whole, so a bad line loses nothing that was
  // already in memory.
  std::vector<std::unique_ptr<TBookMark>> loaded;
  int lineNumber = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    const size_t next = end == std::string_view::npos ? text.size() : end + 1;
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    if (next != end && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    ++lineNumber;
    // Empty lines at the end (an editor's or a converter's trailing newline)
    // hold no bookmark; an empty line with bookmarks after it is still an error.
    if (line.empty() && text.find_first_not_of("\r\n", next) == std::string_view::npos) break;
    auto mark = std::make_unique<TBookMark>();
    try {
      mark->LoadFromLine(line);
    } catch (const EConvertError& e) {
      throw EConvertError(e.Reason(), lineNumber);
    }
    loaded.push_back(std::move(mark));
    pos = next;
  }
  items_.swap(loaded);
}

void TBookMarks::SaveToFile(std::string_view path) const {
  if (!WriteFileAtomic(path, SaveToText()))
    throw EInOutError("\"" + std::string(path) + "\"" + Utf8ToCp932(" に書き込めません。"));
}

void TBookMarks::LoadFromFile(std::string_view path) {
  if (!FileExists(path)) return;
  std::error_code ec;
  const auto size = std::filesystem::file_size(NativePath(path), ec);
  if (!ec && size > kMaxFileSize)
    throw EInOutError("\"" + std::string(path) + "\"" +
                      Utf8ToCp932(" は大きすぎるため読み込めません。"));
  const auto text = ReadWholeFile(path);
  if (!text || text->size() > kMaxFileSize)
    throw EInOutError("\"" + std::string(path) + "\"" + Utf8ToCp932(" を読み込めません。"));
  LoadFromText(*text);
}

// ---- TMenuItems ----

int TMenuItems::Add(int32_t bookMarkIndex) {
  auto item = std::make_unique<TSubItem>();
  item->BookMarkIndex = bookMarkIndex;
  items_.push_back(std::move(item));
  return Count() - 1;
}

TSubItem* TMenuItems::Items(int index) {
  return (index >= 0 && index < Count()) ? items_[static_cast<size_t>(index)].get() : nullptr;
}

const TSubItem* TMenuItems::Items(int index) const {
  return (index >= 0 && index < Count()) ? items_[static_cast<size_t>(index)].get() : nullptr;
}

void TMenuItems::GroupByFile(const TBookMarks& marks) {
  Clear();
  // Looked up by path rather than by walking the groups: a file of many
  // bookmarks of different files would otherwise take quadratic time.
  std::unordered_map<std::string_view, size_t> groupOfPath;
  for (int i = 0; i < marks.Count(); ++i) {
    const TBookMark& mark = *marks.Items(i);
    if (!mark.Visible) continue;
    const auto [at, added] = groupOfPath.try_emplace(mark.FullPath, items_.size());
    if (added) Add(i);
    items_[at->second]->Indexes.push_back(std::to_string(i));
  }
}

}  // namespace rpv
