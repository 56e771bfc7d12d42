#include "archive/rpvArchiveUnit.h"

#include <algorithm>
#include <utility>

#include "archive/ArchiveMessages.h"
#include "archive/MemberName.h"
#include "platform/Codepage.h"

namespace rpv {
namespace {

void Tell(const TMessageSink& show, const std::string& text) {
  if (show) show(text);
}

// The library for the archive, loaded; null (and the message shown) when it
// is missing, null silently for another extension.
std::unique_ptr<TArchiverLibrary> LoadFor(std::string_view archivePath, const TMessageSink& show) {
  const TArchiverKind* kind = ArchiverForPath(archivePath);
  if (!kind) return nullptr;
  auto library = TArchiverLibrary::Load(kind->LibraryName);
  if (!library) Tell(show, ArchiveMessage(kMsgLibraryMissing));
  return library;
}

char FoldAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

}  // namespace

std::string ArchiveFolder(std::string_view exeDir) { return std::string(exeDir) + "archive/"; }

std::string ArchiverVersion(std::string_view archivePath, const TMessageSink& show) {
  const auto library = LoadFor(archivePath, show);
  if (!library || !library->HasFunction(std::string(library->Kind().Prefix) + "GetVersion")) return {};
  return std::string(TArchiverLibrary::Name()) + " ver" + library->Version();
}

TArchiveListing ListArchiveMembers(std::string_view archivePath, const TMessageSink& show) {
  TArchiveListing listing;
  const auto library = LoadFor(archivePath, show);
  if (!library) return listing;
  const auto reader = library->OpenArchive(archivePath);
  TMemberInfo info;
  while (reader->Next(info)) {
    if (info.Regular) listing.Names.push_back(info.FileName);
  }
  if (reader->Unreadable()) {
    Tell(show, ArchiveMessage(kMsgArchiveCannotOpen, archivePath));
  } else if (reader->Broken()) {
    Tell(show, ArchiveMessage(kMsgArchiveBroken, archivePath));
  } else {
    listing.Complete = true;
  }
  return listing;
}

std::string ListArchive(std::string_view archivePath, const TMessageSink& show) {
  std::string text;
  for (const std::string& name : ListArchiveMembers(archivePath, show).Names) text += name + "\r\n";
  return text;
}

bool RunArchiver(std::string_view commandLine, std::string_view libraryName,
                 std::string_view functionName, const TMessageSink& show,
                 const TArchiverOptions& options) {
  const auto library = TArchiverLibrary::Load(libraryName);
  if (!library) {
    Tell(show, ArchiveMessage(kMsgLibraryMissingRun));
    return false;
  }
  if (!library->HasFunction(functionName)) return false;
  std::string output;
  const int result = library->Command(commandLine, output, options);
  if (result != kArchiverOk && !output.empty()) Tell(show, output);
  return result == kArchiverOk;
}

bool ExtractFromArchive(std::string_view archivePath, std::string_view destFolder,
                        std::string_view member, const TMessageSink& show,
                        const TArchiverOptions& options) {
  const TArchiverKind* kind = ArchiverForPath(archivePath);
  if (!kind) return false;
  // Filled from the template's own text, so a "%s" inside a path is never
  // taken for the next place.
  std::string command;
  std::string_view rest = kind->CommandTemplate;
  for (const std::string_view arg : {archivePath, destFolder, member}) {
    const size_t at = rest.find("%s");
    command.append(rest.substr(0, at)).append(arg);
    rest = rest.substr(at + 2);
  }
  command.append(rest);
  return RunArchiver(command, kind->LibraryName, kind->Prefix, show, options);
}

bool ExtractMember(std::string_view archivePath, std::string_view destFolder, std::string& member,
                   const TMessageSink& show, const TArchiverOptions& options) {
  if (!ExtractFromArchive(archivePath, destFolder, member, show, options)) return false;
  member = std::string(destFolder) + MemberBareName(member);
  return true;
}

void SortMemberNames(std::vector<std::string>& names) {
  // Letters fold one byte at a time, never inside a double-byte character
  // (a trail byte may look like a letter).
  auto folded = [](const std::string& s) {
    std::string out = s;
    for (size_t i = 0; i < out.size();) {
      const size_t len = CharLen(out, i);
      if (len == 1) out[i] = FoldAscii(out[i]);
      i += len;
    }
    return out;
  };
  std::vector<std::pair<std::string, std::string>> keyed;
  keyed.reserve(names.size());
  for (std::string& name : names) keyed.emplace_back(folded(name), std::move(name));
  std::sort(keyed.begin(), keyed.end());
  for (size_t i = 0; i < names.size(); ++i) names[i] = std::move(keyed[i].second);
}

}  // namespace rpv
