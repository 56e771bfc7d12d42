// Shared by the document and line-building tests: CP932 literals and a
// temporary folder that goes with the test.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/Codepage.h"
#include "platform/FileIO.h"

namespace rpv::testing {

inline std::string Sj(std::string_view utf8) { return Utf8ToCp932(utf8); }

class TempFolder {
 public:
  TempFolder() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "rpv_book_XXXXXX").string();
    if (mkdtemp(tmpl.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
    path_ = tmpl;
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder with a trailing "/", as a (plain ASCII) CP932 path.
  std::string Dir() const { return path_ + "/"; }
  std::string Write(const std::string& name, std::string_view bytes) const {
    const std::string file = Dir() + name;
    EXPECT_TRUE(WriteFileAtomic(file, bytes));
    return file;
  }

 private:
  std::string path_;
};

}  // namespace rpv::testing
