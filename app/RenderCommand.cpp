#include "app/RenderCommand.h"

#include "archive/MemberName.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "import/DisplayMarkup.h"
#include "import/ReadError.h"
#include "platform/Codepage.h"
#include "platform/ExeDir.h"
#include "platform/FileIO.h"
#include "platform/IniFile.h"
#include "platform/PngWriter.h"
#include "archive/MemberName.h"
#include "archive/rpvArchiveUnit.h"
#include "render/BookClass.h"

namespace rpv {

namespace {

constexpr std::string_view kUsage =
    "usage: rpv --render OUT.png [--page N] [--size WxH] [--dpi D] [--style NAME] [--member NAME] FILE\n"
    "       rpv --pages [--size WxH] [--dpi D] [--style NAME] [--member NAME] FILE\n"
    "       rpv --text [--size WxH] [--dpi D] [--style NAME] [--member NAME] FILE\n";

// Pages larger than this are refused rather than allocated.
constexpr int kMaxSide = 16384;

struct TRenderArgs {
  std::optional<std::string> Out;  // UTF-8, as given
  bool Pages = false;
  bool Text = false;  // print the display lines as UTF-8
  int Page = 1;
  int Width = 1024;
  int Height = 768;
  int Dpi = 96;
  std::optional<std::string> Style;  // UTF-8
  std::optional<std::string> Member;  // UTF-8: the member of an archive FILE
  std::optional<std::string> File;   // UTF-8
};

// Thrown for a bad command line; the message says what is wrong.
struct TUsageError {
  std::string Message;
};

std::optional<int> ParseInt(std::string_view s) {
  int v = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return v;
}

int ParseRanged(std::string_view option, std::string_view s, int lo, int hi) {
  const auto v = ParseInt(s);
  if (!v || *v < lo || *v > hi) {
    throw TUsageError{std::string(option) + " wants a whole number from " + std::to_string(lo) +
                      " to " + std::to_string(hi) + ", not \"" + std::string(s) + "\""};
  }
  return *v;
}

TRenderArgs ParseArgs(int argc, const char* const* argv) {
  TRenderArgs a;
  for (int k = 1; k < argc; ++k) {
    std::string_view arg = argv[k];
    std::string_view value;
    bool inlineValue = false;
    if (arg.starts_with("--")) {
      if (const size_t eq = arg.find('='); eq != std::string_view::npos) {
        value = arg.substr(eq + 1);
        arg = arg.substr(0, eq);
        inlineValue = true;
      }
    }
    auto next = [&]() -> std::string_view {
      if (inlineValue) return value;
      if (k + 1 >= argc) throw TUsageError{std::string(arg) + " needs a value"};
      return argv[++k];
    };
    if (arg == "--render") {
      a.Out = std::string(next());
      if (a.Out->empty()) throw TUsageError{"--render needs a file name"};
    } else if (arg == "--pages") {
      if (inlineValue) throw TUsageError{"--pages takes no value"};
      a.Pages = true;
    } else if (arg == "--text") {
      if (inlineValue) throw TUsageError{"--text takes no value"};
      a.Text = true;
    } else if (arg == "--page") {
      a.Page = ParseRanged("--page", next(), 1, 1 << 30);
    } else if (arg == "--dpi") {
      a.Dpi = ParseRanged("--dpi", next(), 24, 2400);
    } else if (arg == "--style") {
      a.Style = std::string(next());
    } else if (arg == "--member") {
      a.Member = std::string(next());
      if (a.Member->empty()) throw TUsageError{"--member needs a member name"};
    } else if (arg == "--size") {
      const std::string_view s = next();
      const size_t x = s.find_first_of("xX");
      if (x == std::string_view::npos) throw TUsageError{"--size wants WIDTHxHEIGHT, not \"" + std::string(s) + "\""};
      a.Width = ParseRanged("--size width", s.substr(0, x), 1, kMaxSide);
      a.Height = ParseRanged("--size height", s.substr(x + 1), 1, kMaxSide);
    } else if (arg.starts_with("-") && arg.size() > 1) {
      throw TUsageError{"unknown option " + std::string(arg)};
    } else {
      if (a.File) throw TUsageError{"only one FILE, got \"" + *a.File + "\" and \"" + std::string(arg) + "\""};
      a.File = std::string(arg);
    }
  }
  if (!a.Out && !a.Pages && !a.Text) throw TUsageError{"say --render OUT.png, --pages or --text"};
  if (!a.File) throw TUsageError{"no FILE to lay out"};
  return a;
}

bool SameNameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto up = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    if (up(a[i]) != up(b[i])) return false;
  }
  return true;
}

// Why writing the page to `out` would destroy something, or empty when it is
// safe: the renderer never replaces its own input (swapped arguments) nor an
// existing file that is not a PNG picture (a book, a note).
std::string RefuseTarget(const std::string& outUtf8, const std::string& inUtf8) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path out(outUtf8);
  if (!fs::exists(out, ec)) return {};
  if (fs::equivalent(out, fs::path(inUtf8), ec))
    return "will not write the page over its own input " + inUtf8;
  constexpr std::string_view kPngSignature = "\x89PNG\r\n\x1A\n";
  std::string head(kPngSignature.size(), '\0');
  std::ifstream f(out, std::ios::binary);
  if (!fs::is_regular_file(out, ec) || !f.read(head.data(), static_cast<std::streamsize>(head.size())) ||
      head != kPngSignature)
    return outUtf8 + " exists and is not a PNG picture; will not write over it";
  return {};
}

// The member of the archive (in the window's "archive" folder, as the window
// would extract it) replaces file. Without a member, or with one the
// archive lacks, problem lists the members.
bool ExtractArchiveMember(std::string& file, const std::optional<std::string>& member,
                          const std::string& home, std::string& problem) {
  bool told = false;
  const TMessageSink show = [&told](const std::string& text) {
    std::fprintf(stderr, "rpv: %s\n", Cp932ToUtf8(text).c_str());
    told = true;
  };
  if (member) {
    // Spelt as the listing spells members ("caf[U+00E9].txt" or "café.txt").
    std::string wanted = MemberNameFromUtf8(*member);
    if (ExtractMember(file, ArchiveFolder(home), wanted, show)) {
      file = wanted;
      return true;
    }
    if (told) {
      problem = "cannot extract " + *member + " from " + Cp932ToUtf8(file);
      return false;
    }
  }
  TArchiveListing listing = ListArchiveMembers(file, show);
  if (!listing.Complete && listing.Names.empty()) {
    problem = "cannot list the members of " + Cp932ToUtf8(file);
    return false;
  }
  SortMemberNames(listing.Names);
  problem = member ? "no member " + *member + " in " + Cp932ToUtf8(file)
                   : Cp932ToUtf8(file) + " is an archive: name the book with --member NAME";
  problem += listing.Names.empty() ? " (it holds no files)" : "; its members:";
  for (const std::string& name : listing.Names) problem += "\n  " + Cp932ToUtf8(name);
  return false;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "rpv: %s\n", message.c_str());
  return 1;
}

}  // namespace

std::string_view RenderUsage() { return kUsage; }

bool IsRenderCommand(int argc, const char* const* argv) {
  for (int k = 1; k < argc; ++k) {
    const std::string_view arg = argv[k];
    if (arg == "--render" || arg.starts_with("--render=") || arg == "--pages" || arg == "--text")
      return true;
  }
  return false;
}

int RunRenderCommand(int argc, const char* const* argv) {
  TRenderArgs args;
  try {
    args = ParseArgs(argc, argv);
  } catch (const TUsageError& e) {
    std::fprintf(stderr, "rpv: %s\n%s", e.Message.c_str(), std::string(kUsage).c_str());
    return 2;
  }

  try {
    const std::string home = ExeDir();
    const std::string infoPath = home + "info.ini";
    // A first start creates info.ini holding the default style.
    if (!FileExists(infoPath)) TInfo().ReadStyle(infoPath, "Default");
    std::vector<std::string> styles = TIniFile(infoPath).ReadSections();
    if (styles.empty()) styles.push_back("Default");
    std::string style = styles.front();
    if (args.Style) {
      const std::string wanted = Utf8ToCp932(*args.Style);
      bool found = false;
      for (const std::string& s : styles) {
        if (SameNameNoCase(s, wanted)) {
          style = s;
          found = true;
          break;
        }
      }
      if (!found) {
        std::string known;
        for (const std::string& s : styles) known += (known.empty() ? "" : ", ") + Cp932ToUtf8(s);
        return Fail("no style \"" + *args.Style + "\" in " + Cp932ToUtf8(infoPath) +
                    " (styles: " + known + ")");
      }
    }

    std::string file = Utf8PathToCp932(*args.File);
    if (Cp932ToUtf8(file) != *args.File || !FileExists(file))
      return Fail("cannot open " + *args.File);
    if (args.Out) {
      if (const std::string why = RefuseTarget(*args.Out, *args.File); !why.empty()) return Fail(why);
    }
    if (ArchiverForPath(file)) {
      std::string problem;
      if (!ExtractArchiveMember(file, args.Member, home, problem)) return Fail(problem);
    } else if (args.Member) {
      return Fail(*args.File + " is no archive (lzh, zip, rar): --member does not apply");
    }

    TBookClass book;
    book.Tools = LoadTools(home + "tool.ini");
    book.LoadStyle(infoPath, style, args.Dpi);
    book.SetPageWidth(args.Width);
    book.SetPageHeight(args.Height);
    try {
      book.LoadFromFile(file);
    } catch (const TReadError& e) {
      return Fail(Cp932ToUtf8(e.what()));
    }
    if (!book.FilterMessage.empty()) std::fprintf(stderr, "rpv: %s\n", Cp932ToUtf8(book.FilterMessage).c_str());
    book.BuildLines(0);

    if (args.Pages) std::printf("%d\n", static_cast<int>(book.PageCount));
    if (args.Text) {
      for (int32_t d = 0; d < book.DisplayLines.Count(); ++d) {
        const std::string line = Cp932ToUtf8(LineAsText(book.DisplayLines.Item(d)->Text));
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
      }
    }
    if (args.Out) {
      const int last = std::max<int>(1, book.PageCount);
      if (args.Page > last) {
        return Fail("page " + std::to_string(args.Page) + " is beyond the last page (" +
                    std::to_string(last) + ")");
      }
      book.DrawPage(static_cast<int32_t>((args.Page - 1) * static_cast<int64_t>(book.LinesPerPage())));
      std::string error;
      if (!WritePng(book.PageBitmap, Utf8PathToCp932(*args.Out), &error))
        return Fail(error.empty() ? "cannot write " + *args.Out : Cp932ToUtf8(error));
    }
    return 0;
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
}

}  // namespace rpv
