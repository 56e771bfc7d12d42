// Linked into every test program: a program that is not given a program
// folder (RPV_HOME) gets a fresh one of its own for its run, so no test ever
// writes settings or the user-area table (gaiji.txt) beside the test
// program, nor reads what an earlier run left there.
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

class TDefaultHome {
 public:
  TDefaultHome() {
    if (const char* home = std::getenv("RPV_HOME"); home && *home) return;
    std::error_code ec;
    std::string pattern = (std::filesystem::temp_directory_path(ec) / "rpv-test-home-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) return;
    dir_ = pattern;
    ::setenv("RPV_HOME", dir_.c_str(), 1);
  }
  ~TDefaultHome() {
    std::error_code ec;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
  }
  TDefaultHome(const TDefaultHome&) = delete;
  TDefaultHome& operator=(const TDefaultHome&) = delete;

 private:
  std::string dir_;
};

const TDefaultHome kDefaultHome;

}  // namespace
