#include "archive/Archiver.h"

#include <archive.h>
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "archive/ArchiveMessages.h"
#include "archive/MemberName.h"
#include "platform/Codepage.h"
#include "platform/FileIO.h"

namespace rpv {
namespace {

constexpr std::array<TArchiverKind, 3> kKinds{{
    {".lzh", "Unlha32.dll", "Unlha", "e -y \"%s\" \"%s\" \"%s\"", TArchiveFormat::Lzh},
    {".zip", "Unzip32.dll", "UnZip", "-o -j \"%s\" \"%s\" \"%s\"", TArchiveFormat::Zip},
    {".rar", "Unrar32.dll", "Unrar", "-e -o \"%s\" \"%s\" \"%s\"", TArchiveFormat::Rar},
}};

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool SameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

bool EndsWithNoCase(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && SameNoCase(s.substr(s.size() - tail.size()), tail);
}

bool SwitchedOff(const TArchiverKind& kind) {
  const char* off = std::getenv("RPV_ARCHIVERS_OFF");
  if (!off) return false;
  std::string_view list(off);
  while (!list.empty()) {
    const size_t semi = list.find(';');
    std::string_view item = list.substr(0, semi);
    list = semi == std::string_view::npos ? std::string_view{} : list.substr(semi + 1);
    if (!item.empty() && item.front() == '.') item.remove_prefix(1);
    if (SameNoCase(item, kind.Extension.substr(1)) || SameNoCase(item, kind.LibraryName)) return true;
  }
  return false;
}

// The three quoted arguments after the switches. Splitting at "\" \""
// lets a lone quote stand inside a name (a POSIX file name may hold one).
struct TCommandLine {
  std::string Switches;
  std::string Archive, Folder, Member;
};

bool ParseCommand(std::string_view line, TCommandLine& out) {
  const size_t quote = line.find('"');
  if (quote == std::string_view::npos || quote == 0 || line.size() < quote + 2 ||
      line.back() != '"' || line[quote - 1] != ' ')
    return false;
  out.Switches = std::string(line.substr(0, quote - 1));
  const std::string_view inner = line.substr(quote + 1, line.size() - quote - 2);
  constexpr std::string_view kGap = "\" \"";
  const size_t first = inner.find(kGap);
  if (first == std::string_view::npos) return false;
  const size_t second = inner.find(kGap, first + kGap.size());
  if (second == std::string_view::npos || inner.find(kGap, second + kGap.size()) != std::string_view::npos)
    return false;
  out.Archive = std::string(inner.substr(0, first));
  out.Folder = std::string(inner.substr(first + kGap.size(), second - first - kGap.size()));
  out.Member = std::string(inner.substr(second + kGap.size()));
  return !out.Archive.empty() && !out.Folder.empty() && !out.Member.empty();
}

int Failure(int code, std::string& output, std::string_view format, std::string_view arg) {
  output = ArchiveMessage(format, arg);
  return code;
}

// Writes the member the reader stands on as folder + its bare name: first
// to a temporary name in the folder, renamed when complete, so a failure
// never leaves a partial copy and never touches a file of the same name.
int WriteMember(TArchiveReader& reader, const TMemberInfo& info, const std::string& folder,
                std::string& output, const TArchiverOptions& options) {
  if (!IsSafeMemberName(info.FileName))
    return Failure(kArchiverUnsafeName, output, kMsgMemberUnsafe, info.FileName);
  if (info.Encrypted) return Failure(kArchiverEncrypted, output, kMsgMemberEncrypted, info.FileName);
  if (info.Size >= 0 && static_cast<uint64_t>(info.Size) > options.MemberLimit)
    return Failure(kArchiverTooLarge, output, kMsgOutOfMemory, {});

  const std::string target = folder + MemberBareName(info.FileName);
  const std::filesystem::path nativeFolder = NativePath(folder);
  const std::filesystem::path nativeTarget = NativePath(target);
  std::error_code ec;
  if (!nativeFolder.empty()) std::filesystem::create_directory(nativeFolder, ec);
  if (nativeFolder.empty() || nativeTarget.empty() || !std::filesystem::is_directory(nativeFolder, ec))
    return Failure(kArchiverCannotWrite, output, kMsgCannotWriteFile, target);

  std::string temp = (nativeFolder / ".rpv-extract-XXXXXX").string();
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return Failure(kArchiverCannotWrite, output, kMsgCannotWriteFile, target);
  TCopyResult result = reader.CopyData(fd, options.MemberLimit);
  if (::close(fd) != 0 && result == TCopyResult::Done) result = TCopyResult::WriteFailed;
  if (result == TCopyResult::Done && std::rename(temp.c_str(), nativeTarget.c_str()) != 0)
    result = TCopyResult::WriteFailed;
  if (result == TCopyResult::Done) return kArchiverOk;
  ::unlink(temp.c_str());
  switch (result) {
    case TCopyResult::TooLarge:
      return Failure(kArchiverTooLarge, output, kMsgOutOfMemory, {});
    case TCopyResult::Encrypted:
      return Failure(kArchiverEncrypted, output, kMsgMemberEncrypted, info.FileName);
    case TCopyResult::Broken:
      return Failure(kArchiverBroken, output, kMsgArchiveBroken, info.FileName);
    default:
      return Failure(kArchiverCannotWrite, output, kMsgCannotWriteFile, target);
  }
}

}  // namespace

std::string ArchiveMessage(std::string_view utf8Format, std::string_view cp932Arg) {
  std::string out = Utf8ToCp932(utf8Format);
  if (const size_t at = out.find("%s"); at != std::string::npos) out.replace(at, 2, cp932Arg);
  return out;
}

const TArchiverKind* ArchiverForPath(std::string_view archivePath) {
  for (const TArchiverKind& kind : kKinds) {
    if (EndsWithNoCase(archivePath, kind.Extension)) return &kind;
  }
  return nullptr;
}

std::unique_ptr<TArchiverLibrary> TArchiverLibrary::Load(std::string_view libraryName) {
  for (const TArchiverKind& kind : kKinds) {
    if (SameNoCase(libraryName, kind.LibraryName)) {
      if (SwitchedOff(kind)) return nullptr;
      return std::unique_ptr<TArchiverLibrary>(new TArchiverLibrary(kind));
    }
  }
  return nullptr;
}

bool TArchiverLibrary::HasFunction(std::string_view name) const {
  if (name.size() < kind_.Prefix.size() || name.substr(0, kind_.Prefix.size()) != kind_.Prefix)
    return false;
  const std::string_view rest = name.substr(kind_.Prefix.size());
  return rest.empty() || rest == "GetVersion" || rest == "OpenArchive" || rest == "FindFirst" ||
         rest == "FindNext" || rest == "CloseArchive";
}

std::string TArchiverLibrary::Version() const {
  const int v = archive_version_number();  // 3006002 for 3.6.2
  return std::to_string(v / 1000000) + "." + std::to_string(v / 1000 % 1000) + "." +
         std::to_string(v % 1000);
}

std::unique_ptr<TArchiveReader> TArchiverLibrary::OpenArchive(std::string_view archivePath) const {
  auto reader = std::make_unique<TArchiveReader>(kind_.Format);
  reader->Open(archivePath);
  return reader;
}

int TArchiverLibrary::Command(std::string_view commandLine, std::string& output,
                              const TArchiverOptions& options) const {
  output.clear();
  TCommandLine cmd;
  const std::string_view switches =
      kind_.CommandTemplate.substr(0, kind_.CommandTemplate.find(" \""));
  if (!ParseCommand(commandLine, cmd) || cmd.Switches != switches) return kArchiverBadCommand;

  // A name with a folder part must match exactly; a bare name (reopening a
  // copy whose archive folder is not known) also matches the first member
  // of that file name in any folder, when no member has it exactly.
  const bool bareWanted = MemberBareName(cmd.Member) == cmd.Member;
  size_t index = 0;
  size_t bareIndex = 0;
  bool sawNonRegular = false;
  {
    auto reader = OpenArchive(cmd.Archive);
    if (reader->Unreadable()) return Failure(kArchiverCannotOpen, output, kMsgArchiveCannotOpen, cmd.Archive);
    TMemberInfo info;
    while (reader->Next(info)) {
      ++index;
      const bool exact = info.FileName == cmd.Member;
      if (!exact && !(bareWanted && MemberBareName(info.FileName) == cmd.Member)) continue;
      if (!info.Regular) {
        sawNonRegular = true;
        continue;
      }
      if (exact) return WriteMember(*reader, info, cmd.Folder, output, options);
      if (bareIndex == 0) bareIndex = index;
    }
    if (reader->Broken() && bareIndex == 0)
      return Failure(kArchiverBroken, output, kMsgArchiveBroken, cmd.Archive);
  }
  if (bareIndex != 0) {
    auto reader = OpenArchive(cmd.Archive);
    TMemberInfo info;
    for (size_t k = 0; k < bareIndex; ++k) {
      if (!reader->Next(info)) return Failure(kArchiverBroken, output, kMsgArchiveBroken, cmd.Archive);
    }
    return WriteMember(*reader, info, cmd.Folder, output, options);
  }
  if (sawNonRegular) return Failure(kArchiverNotRegular, output, kMsgMemberNotRegular, cmd.Member);
  return kArchiverNotFound;
}

}  // namespace rpv
