// What the reader does with archives: the version text of the archiver, the
// member list, running an extraction command and extracting one member into
// the program's "archive" folder. Messages go to the caller's sink (the
// window's message box, or standard error of the headless renderer); all
// strings are CP932. The Qt member chooser is archive/qt/ArchiveForm.h.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/Archiver.h"

namespace rpv {

using TMessageSink = std::function<void(const std::string& text)>;

// The folder extracted members land in: exeDir + "archive/".
std::string ArchiveFolder(std::string_view exeDir);

// "libarchive ver3.6.2": the archiver actually used and its version; empty
// for another extension, or when the library is missing (then the message
// "必要な\"DLL\"がありません" is shown).
std::string ArchiverVersion(std::string_view archivePath, const TMessageSink& show);

struct TArchiveListing {
  std::vector<std::string> Names;  // regular members, in archive order
  bool Complete = false;           // false: missing library, unreadable or broken (told)
};
// The members offered to the reader: regular files only, never folders or
// links. A broken or unreadable archive is told and gives what was read.
TArchiveListing ListArchiveMembers(std::string_view archivePath, const TMessageSink& show);
// The same as text: each name followed by CR LF.
std::string ListArchive(std::string_view archivePath, const TMessageSink& show);

// Runs the command function of the library. A missing library shows
// "必要な\"DLL\"がありません."; a failure the archiver explains is shown too.
bool RunArchiver(std::string_view commandLine, std::string_view libraryName,
                 std::string_view functionName, const TMessageSink& show,
                 const TArchiverOptions& options = {});

// Extracts member (its full name in the archive, or a bare file name) into
// destFolder (with trailing separator) under its bare file name, replacing a
// file of that name. False for another extension or any failure.
bool ExtractFromArchive(std::string_view archivePath, std::string_view destFolder,
                        std::string_view member, const TMessageSink& show,
                        const TArchiverOptions& options = {});

// ExtractFromArchive, and on success member := destFolder + its bare name.
bool ExtractMember(std::string_view archivePath, std::string_view destFolder, std::string& member,
                   const TMessageSink& show, const TArchiverOptions& options = {});

// The chooser's order: ASCII letters without regard to case, then bytes.
void SortMemberNames(std::vector<std::string>& names);

}  // namespace rpv
