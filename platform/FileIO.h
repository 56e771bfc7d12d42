// The file-system boundary. Paths inside the program are CP932 strings; this
// is the one place where they become native (UTF-8) paths.
#pragma once

#include <chrono>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Codepage.h"

namespace rpv {

// The native path of a CP932 path. A name whose bytes are not valid CP932
// (or hold a user-area code the table never gave out) yields an empty
// path, so it can never open a wrong file.
std::filesystem::path NativePath(std::string_view cp932Path, TUserArea area = TUserArea::LookUp);
// The CP932 form of a native path: characters CP932 lacks through the
// user-area table; with area Off, or when the table is full, they become
// bytes that NativePath refuses.
std::string FromNativePath(const std::filesystem::path& path, TUserArea area = TUserArea::Assign);

// Whole-file read; nullopt when the file cannot be opened or read.
std::optional<std::string> ReadWholeFile(std::string_view cp932Path);
// Writes a temporary file beside the target, flushes it to disk and renames
// it over the target, so a crash leaves either the old or the new file.
bool WriteFileAtomic(std::string_view cp932Path, std::string_view data);

// Removes what a killed WriteFileAtomic (or mkstemp) left of the named files
// in the folder: "<name>.tmp" followed by up to six letters or digits, when
// older than minAge (a younger one may be another process's save in
// progress). Returns how many were removed.
int RemoveStaleTemporaries(std::string_view cp932Folder, std::initializer_list<std::string_view> fileNames,
                           std::chrono::seconds minAge = std::chrono::seconds(60));

bool FileExists(std::string_view cp932Path);
bool DirectoryExists(std::string_view cp932Path);

}  // namespace rpv
