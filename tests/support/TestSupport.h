// Pieces every test program needs: CP932 text written as UTF-8 literals, and
// a fresh folder per test (optionally the program folder, RPV_HOME) that is
// removed afterwards.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Codepage.h"
#include "platform/FileIO.h"

namespace rpv::test {

// UTF-8 test text as the program's CP932.
inline std::string S(std::string_view utf8) { return Utf8ToCp932(utf8); }
// CP932 program text as UTF-8, for readable comparisons.
inline std::string U(std::string_view cp932) { return Cp932ToUtf8(cp932); }

// Sets (or, given nullopt, removes) an environment variable for the life of
// the object, then puts back what was there before.
class TEnvVar {
 public:
  TEnvVar(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      ::setenv(name, value->c_str(), 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~TEnvVar() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }
  TEnvVar(const TEnvVar&) = delete;
  TEnvVar& operator=(const TEnvVar&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// A folder under the system's temporary folder named after the prefix, the
// process and the running test, emptied on creation and removed with
// everything in it on destruction. With SetsHome it is also the program
// folder (RPV_HOME) while it lives.
class TTempFolder {
 public:
  enum THome { KeepsHome, SetsHome };

  explicit TTempFolder(std::string_view prefix, THome home = KeepsHome) {
    std::string name = std::string(prefix) + std::to_string(::getpid());
    if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info()) {
      name += std::string("_") + info->test_suite_name() + "_" + info->name();
    }
    // Parameterised tests have "/" in their names; keep the folder one level.
    std::replace(name.begin(), name.end(), '/', '_');
    dir_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    if (home == SetsHome) home_.emplace("RPV_HOME", dir_.string());
  }
  ~TTempFolder() {
    home_.reset();
    // A test may have taken away the write permission to check failures.
    std::error_code ec;
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(dir_, ec);
  }
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;

  const std::filesystem::path& Native() const { return dir_; }
  // The folder with a trailing "/", CP932.
  std::string Dir() const { return FromNativePath(dir_) + "/"; }
  // The CP932 path of a file in the folder; name is CP932 too.
  std::string Path(std::string_view name) const { return Dir() + std::string(name); }
  // Writes a file (name CP932) and returns its path.
  std::string Write(std::string_view name, std::string_view bytes) const {
    const std::string path = Path(name);
    EXPECT_TRUE(WriteFileAtomic(path, bytes)) << path;
    return path;
  }
  // A file's bytes, "<missing>" when it cannot be read.
  std::string Read(std::string_view name) const {
    return ReadWholeFile(Path(name)).value_or("<missing>");
  }

 private:
  std::filesystem::path dir_;
  std::optional<TEnvVar> home_;
};

}  // namespace rpv::test
