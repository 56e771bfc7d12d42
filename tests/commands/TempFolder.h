// A fresh folder per test, removed afterwards; paths handed out as CP932.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/FileIO.h"

namespace rpv::test {

class TempFolder {
 public:
  TempFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::filesystem::temp_directory_path() /
           ("rpv_cmd_" + std::to_string(::getpid()) + "_" + info->test_suite_name() + "_" +
            info->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder with a trailing "/", CP932.
  std::string Dir() const { return FromNativePath(dir_) + "/"; }
  std::string Path(std::string_view name) const { return Dir() + std::string(name); }
  const std::filesystem::path& Native() const { return dir_; }

 private:
  std::filesystem::path dir_;
};

}  // namespace rpv::test
