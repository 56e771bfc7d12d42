// Bookmarks ("しおり"): the record, the ordered store persisted in bm.csv, the
// menu-caption formatter and the grouping used by the per-file bookmark menu.
// All text is CP932 bytes, as everywhere in the reader.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace rpv {

// Base of the errors the store raises; what() is a CP932 message meant to be
// shown to the user as it is.
class EBookMarkError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A field of a bm.csv line that does not convert (line number not a whole
// number, visible flag not a number or True/False).
class EConvertError : public EBookMarkError {
 public:
  // lineNumber is 1-based; 0 when the line did not come from a file.
  EConvertError(std::string reason, int lineNumber);
  // The message without the line number, e.g. "'abc' は整数ではありません".
  const std::string& Reason() const { return reason_; }
  int LineNumber() const { return lineNumber_; }

 private:
  std::string reason_;
  int lineNumber_;
};

// bm.csv could not be read or written.
class EInOutError : public EBookMarkError {
 public:
  using EBookMarkError::EBookMarkError;
};

// The message for a bm.csv at path that failed to load: conversion errors
// gain the file's name (in-out errors already carry it).
std::string LoadErrorMessage(std::string_view path, const EBookMarkError& error);

class TBookMark {
 public:
  std::string FullPath;
  // 1-based source line at the top of the page when the bookmark was set.
  int32_t Line = 0;
  // Local time as text; only shown and substituted, never parsed.
  std::string DateTime;
  std::string Comment;
  // Listed in the bookmark menu.
  bool Visible = false;
  // The archive the document was extracted from; empty for a plain file.
  std::string Archive;

  // FullPath after its last path separator.
  std::string ShortName() const;
  // Fills all six fields from one bm.csv line (without its line end).
  // Throws EConvertError (line number 0); the record is left unchanged then.
  void LoadFromLine(std::string_view line);
  // The bm.csv line of this record, without the line end.
  std::string SaveToLine() const;
  // Menu caption from a template: %f %F %b %d %D %c %% and \\ \t.
  std::string FormatCaption(std::string_view format) const;

  bool operator==(const TBookMark&) const = default;
};

// The ordered bookmark list (index 0 first: file order, menu order, newest
// first unless the user reordered it). Items keep their address while they
// stay in the list.
class TBookMarks {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  // nullptr for an index outside 0 .. Count() - 1.
  TBookMark* Items(int index);
  const TBookMark* Items(int index) const;

  // Appends an empty bookmark; returns its index.
  int Add();
  // Inserts an empty bookmark before index (clamped to 0 .. Count()).
  TBookMark& Insert(int index);
  // Removes the bookmark; an index outside the list does nothing.
  void Delete(int index);
  // Removes the bookmarks first .. last (clamped to the list) at once.
  void DeleteRange(int first, int last);
  // Moves the bookmark at oldIndex into the slot before newIndex, counted
  // before the removal: old < new ends at new - 1, old > new ends at new.
  void Move(int newIndex, int oldIndex);
  void Clear() { items_.clear(); }

  // Replaces the file with the whole list. The old file stays intact unless
  // the new one is completely written. Throws EInOutError.
  void SaveToFile(std::string_view path) const;
  // Replaces the list with the file's bookmarks. A missing file leaves the
  // list unchanged; so does a failed load, which throws EConvertError
  // (naming the line) or EInOutError.
  void LoadFromFile(std::string_view path);

  // The whole file text, as SaveToFile writes it.
  std::string SaveToText() const;
  // Replaces the list with the bookmarks of a whole file text; on error the
  // list is unchanged.
  void LoadFromText(std::string_view text);

 private:
  std::vector<std::unique_ptr<TBookMark>> items_;
};

// One group of the per-file bookmark menu.
struct TSubItem {
  // Store index of the group's first bookmark.
  int32_t BookMarkIndex = 0;
  // Store indexes of all members, as decimal text, in store order.
  std::vector<std::string> Indexes;
};

class TMenuItems {
 public:
  // Appends a group whose first bookmark is bookMarkIndex, with no members
  // yet; returns its index.
  int Add(int32_t bookMarkIndex);
  int Count() const { return static_cast<int>(items_.size()); }
  // nullptr for an index outside 0 .. Count() - 1.
  TSubItem* Items(int index);
  const TSubItem* Items(int index) const;
  void Clear() { items_.clear(); }

  // Rebuilds the groups from the visible bookmarks: one group per FullPath
  // (exact bytes), groups in order of first appearance, members in store
  // order.
  void GroupByFile(const TBookMarks& marks);

 private:
  std::vector<std::unique_ptr<TSubItem>> items_;
};

// The last component of a path, where delims lists the separator bytes. A
// separator byte that is the trail byte of a double-byte character does not
// count.
std::string ExtractShortName(std::string_view path, std::string_view delims);
// The separators of this platform ("\\:" on Windows, "/" elsewhere).
std::string_view PathDelimiters();

// A moment as bookmark date-time text in the Japanese regional format:
// "2004/05/06 9:05:03", or only the date at exactly midnight.
std::string FormatBookMarkDateTime(int year, int month, int day, int hour, int minute,
                                   int second);
// The current local time as bookmark date-time text.
std::string NowBookMarkDateTime();

}  // namespace rpv
