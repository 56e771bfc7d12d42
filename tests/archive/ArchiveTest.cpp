// The archiver over libarchive as the reader uses it: listing the corpus
// archives (Shift_JIS, Unicode and RAR names, links, folders), extracting
// members under their bare names, and refusing what must not be written.
#include <archive.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "archive/MemberName.h"
#include "archive/rpvArchiveUnit.h"
#include "tests/support/ArchiveBuilder.h"
#include "tests/support/TestSupport.h"

namespace rpv::test {
namespace {

const std::filesystem::path kCorpus = std::filesystem::path(RPV_SOURCE_DIR) / "../shared/corpus";

class Archive : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kCorpus / "archives"))
      GTEST_SKIP() << "no corpus at " << kCorpus << ": the archive tests need it";
  }
  static std::string Corpus(const std::string& name) { return FromNativePath(kCorpus / "archives" / name); }
  std::vector<std::string> Members(const std::string& path) {
    std::vector<std::string> out;
    for (const std::string& name : ListArchiveMembers(path, Show()).Names) out.push_back(U(name));
    return out;
  }
  TMessageSink Show() {
    return [this](const std::string& text) { messages_.push_back(U(text)); };
  }
  // Extracts member (UTF-8) into the folder; the copy's path (UTF-8), or
  // empty on failure.
  std::string Extract(const std::string& archivePath, const std::string& member,
                      const TArchiverOptions& options = {}) {
    std::string m = S(member);
    if (!ExtractMember(archivePath, folder_, m, Show(), options)) return {};
    return U(m);
  }
  // The names in the extraction folder (hidden temporary files included).
  std::vector<std::string> Extracted() const {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(NativePath(folder_), ec))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  TTempFolder temp_{"rpv_archive_"};
  std::string folder_ = temp_.Dir() + "archive/";
  std::vector<std::string> messages_;
};

using Names = std::vector<std::string>;

TEST(MemberName, SplitsOnlyAtWholeSeparatorsAndKnowsUnsafeNames) {
  // 表 and ソ end in 0x5C: never a separator.
  EXPECT_EQ(U(MemberBareName(S("表だよ/一覧表.txt"))), "一覧表.txt");
  EXPECT_EQ(U(MemberBareName(S("ソフト\\表.txt"))), "表.txt");
  EXPECT_EQ(U(MemberBareName(S("表"))), "表");
  for (const char* bad : {"../x.txt", "a/../../x.txt", "..\\x.txt", "/etc/x.txt", "\\x.txt",
                          "C:x.txt", "c:\\x.txt", "dir/", "a/..", "."})
    EXPECT_FALSE(IsSafeMemberName(S(bad))) << bad;
  for (const char* good : {"x.txt", "a/b/x.txt", "表\\ソ.txt", "..x.txt", "a..b/c"})
    EXPECT_TRUE(IsSafeMemberName(S(good))) << good;
  // No CP932 form, control characters, and a yen sign that CP932 would
  // turn into a backslash: visible substitutes, never a lost or split name.
  EXPECT_EQ(U(MemberNameFromUtf8("👋🌎.txt")), "[U+1F44B][U+1F30E].txt");
  EXPECT_EQ(U(MemberNameFromUtf8("a\nb\xff.txt")), "a[U+000A]b[U+FFFD].txt");
  EXPECT_EQ(U(MemberBareName(MemberNameFromUtf8("x¥y.txt"))), "x[U+00A5]y.txt");
  EXPECT_EQ(U(MemberNameFromCp932(S("漢字") + "\x81")), "漢字[U+FFFD]");
}

TEST_F(Archive, ListsOnlyTheRegularFilesWithTheirNames) {
  EXPECT_EQ(Members(Corpus("lha_filename_cp932.lzh")), (Names{"漢字.txt", "表.txt"}));
  for (const char* lha : {"lha_header2.lzh", "lha_lh6.lzh", "lha_lh7.lzh"})
    EXPECT_EQ(Members(Corpus(lha)), (Names{"file1", "file2"})) << lha;
  EXPECT_EQ(Members(Corpus("zip_filename_cp932.zip")),
            (Names{"表だよ/一覧表.txt", "表だよ/漢字.txt"}));
  EXPECT_EQ(Members(Corpus("rar.rar")), (Names{"test.txt", "testdir/test.txt"}));
  EXPECT_EQ(Members(Corpus("rar_unicode.rar")),
            (Names{"表だよ/新しいフォルダ/新規テキスト ドキュメント.txt",
                   "表だよ/漢字長いファイル名long-filename-in-漢字.txt",
                   "abcdefghijklmnopqrsテスト.txt"}));
  EXPECT_EQ(Members(Corpus("rar5_compressed.rar")), (Names{"test.bin"}));
  EXPECT_EQ(Members(Corpus("rar5_unicode.rar")), (Names{"[U+1F44B][U+1F30E].txt"}));
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(ListArchive(Corpus("lha_filename_cp932.lzh"), Show()), S("漢字.txt\r\n表.txt\r\n"));

  const std::string expected = std::to_string(ARCHIVE_VERSION_NUMBER / 1000000) + "." +
                               std::to_string(ARCHIVE_VERSION_NUMBER / 1000 % 1000) + "." +
                               std::to_string(ARCHIVE_VERSION_NUMBER % 1000);
  EXPECT_EQ(ArchiverVersion(Corpus("RAR.RAR"), Show()), "libarchive ver" + expected);
  EXPECT_EQ(ArchiverVersion("book.txt", Show()), "");

  // A format switched off is a missing library, with the Part's two texts.
  TEnvVar off("RPV_ARCHIVERS_OFF", "lzh;Unrar32.dll");
  EXPECT_EQ(ArchiverVersion(Corpus("lha_lh6.lzh"), Show()), "");
  EXPECT_TRUE(ListArchiveMembers(Corpus("rar.rar"), Show()).Names.empty());
  EXPECT_EQ(Extract(Corpus("rar.rar"), "test.txt"), "");
  EXPECT_EQ(ArchiverVersion(Corpus("zip_filename_cp932.zip"), Show()).empty(), false);
  EXPECT_EQ(messages_, (Names{"必要な\"DLL\"がありません", "必要な\"DLL\"がありません",
                              "必要な\"DLL\"がありません."}));
  EXPECT_TRUE(Extracted().empty());
}

TEST_F(Archive, ExtractsMembersUnderTheirBareNames) {
  const std::string dir = U(folder_);
  EXPECT_EQ(Extract(Corpus("lha_filename_cp932.lzh"), "表.txt"), dir + "表.txt");
  EXPECT_EQ(temp_.Read("archive/" + S("表.txt")).size(), 4u);
  EXPECT_EQ(Extract(Corpus("lha_lh7.lzh"), "file1"), dir + "file1");
  EXPECT_EQ(temp_.Read("archive/file1").size(), 60u);
  EXPECT_EQ(Extract(Corpus("lha_lh6.lzh"), "file2"), dir + "file2");
  EXPECT_EQ(Extract(Corpus("zip_filename_cp932.zip"), "表だよ/一覧表.txt"), dir + "一覧表.txt");
  // A bare name (reopening a copy) finds the member in its folder.
  EXPECT_EQ(Extract(Corpus("zip_filename_cp932.zip"), "漢字.txt"), dir + "漢字.txt");
  EXPECT_EQ(Extract(Corpus("rar5_compressed.rar"), "test.bin"), dir + "test.bin");
  EXPECT_EQ(temp_.Read("archive/test.bin").size(), 1200u);
  EXPECT_EQ(Extract(Corpus("rar_unicode.rar"), "abcdefghijklmnopqrsテスト.txt"),
            dir + "abcdefghijklmnopqrsテスト.txt");
  // A name CP932 lacks lands under its substitute.
  EXPECT_EQ(Extract(Corpus("rar5_unicode.rar"), "[U+1F44B][U+1F30E].txt"),
            dir + "[U+1F44B][U+1F30E].txt");
  EXPECT_EQ(temp_.Read("archive/[U+1F44B][U+1F30E].txt").size(), 13u);

  // Two members of one bare name overwrite each other's copy; the one
  // chosen last is on disk.
  temp_.Write("archive/test.txt", "an older file of the same name");
  ASSERT_EQ(Extract(Corpus("rar.rar"), "testdir/test.txt"), dir + "test.txt");
  const std::string second = temp_.Read("archive/test.txt");
  ASSERT_EQ(Extract(Corpus("rar.rar"), "test.txt"), dir + "test.txt");
  EXPECT_EQ(temp_.Read("archive/test.txt").size(), 20u);
  EXPECT_EQ(second.size(), 20u);

  // Links are never created nor followed; a missing member says nothing
  // (the caller decides).
  EXPECT_EQ(Extract(Corpus("rar.rar"), "testlink"), "");
  EXPECT_EQ(Extract(Corpus("lha_header2.lzh"), "dir2/symlink1"), "");
  const std::string hardLink = "[U+24BD][U+24D0][U+24E1][U+24D3] [U+24C1][U+24D8][U+24DD][U+24DA].txt";
  EXPECT_EQ(Extract(Corpus("rar5_unicode.rar"), hardLink), "");
  EXPECT_EQ(Extract(Corpus("rar.rar"), "nothing.txt"), "");
  EXPECT_EQ(messages_, (Names{"\"testlink\"はフォルダかリンクなので取り出しません。",
                              "\"dir2/symlink1\"はフォルダかリンクなので取り出しません。",
                              "\"" + hardLink + "\"はフォルダかリンクなので取り出しません。"}));
  for (const std::string& name : Extracted()) EXPECT_NE(name[0], '.') << "left behind: " << name;
}

TEST_F(Archive, MadeArchivesWithFoldersNamesAndBadMembers) {
  const std::string bocchan = *ReadWholeFile(FromNativePath(kCorpus / "bocchan.sjis.txt"));
  const std::string zip = temp_.Write(
      "books.zip",
      MakeZip({{"books/坊っちゃん/bocchan.txt", bocchan, ""},
               {"../evil.txt", "x", ""},
               {"/abs.txt", "x", ""},
               {"C:\\drive.txt", "x", ""},
               {"ソフト\\表.txt", "backslash folder", ""},
               {"link.txt", "", "/etc/passwd"}},
              "zip:hdrcharset=CP932"));
  // libarchive turns a ZIP's "\" folder separators into "/" (a whole
  // character: ソ and 表 stay whole).
  EXPECT_EQ(Members(zip), (Names{"books/坊っちゃん/bocchan.txt", "../evil.txt", "/abs.txt",
                                 "C:/drive.txt", "ソフト/表.txt"}));
  EXPECT_EQ(Extract(zip, "books/坊っちゃん/bocchan.txt"), U(folder_) + "bocchan.txt");
  EXPECT_EQ(temp_.Read("archive/bocchan.txt"), bocchan);
  EXPECT_EQ(Extract(zip, "ソフト/表.txt"), U(folder_) + "表.txt");
  for (const char* bad : {"../evil.txt", "/abs.txt", "C:/drive.txt", "link.txt"}) EXPECT_EQ(Extract(zip, bad), "");
  EXPECT_EQ(messages_, (Names{"\"../evil.txt\"は書庫の外を指す名前なので取り出しません。",
                              "\"/abs.txt\"は書庫の外を指す名前なので取り出しません。",
                              "\"C:/drive.txt\"は書庫の外を指す名前なので取り出しません。",
                              "\"link.txt\"はフォルダかリンクなので取り出しません。"}));
  EXPECT_EQ(Extracted(), (Names{"bocchan.txt", "表.txt"}));
  EXPECT_FALSE(std::filesystem::exists(temp_.Native() / "evil.txt"));
  messages_.clear();

  // UTF-8 flagged names are Unicode.
  // (A "%s" in the archive's path is no place of the command line.)
  const std::string flagged =
      temp_.Write("utf8%s.zip", MakeZip({{"本/こころ.txt", "k", ""}}, "zip:hdrcharset=UTF-8"));
  EXPECT_EQ(Members(flagged), (Names{"本/こころ.txt"}));
  EXPECT_EQ(Extract(flagged, "本/こころ.txt"), U(folder_) + "こころ.txt");

  // Truncated: what was read is offered, the damage is told.
  const std::string whole = *ReadWholeFile(zip);
  const std::string cut = temp_.Write("cut.zip", whole.substr(0, whole.size() / 2));
  const TArchiveListing listing = ListArchiveMembers(cut, Show());
  EXPECT_FALSE(listing.Complete);
  EXPECT_EQ(Extract(cut, "books/坊っちゃん/bocchan.txt"), "");
  const std::string garbage = temp_.Write("garbage.zip", "PK\x03\x04 but nothing else");
  EXPECT_EQ(Extract(garbage, "x.txt"), "");
  EXPECT_EQ(messages_.size(), 3u);
  for (const std::string& m : messages_) EXPECT_NE(m.find("は壊れているか、途中で切れています。"), std::string::npos) << m;
  messages_.clear();

  // Encrypted: a message, no password prompt, nothing written.
  const std::string locked = temp_.Write(
      "locked.zip", MakeZip({{"secret.txt", "secret text", ""}}, "zip:encryption=zipcrypt", "pw"));
  EXPECT_EQ(Extract(locked, "secret.txt"), "");
  EXPECT_EQ(messages_, (Names{"\"secret.txt\"は暗号化されているので取り出せません。"}));
  messages_.clear();
  EXPECT_EQ(Extracted(), (Names{"bocchan.txt", "こころ.txt", "表.txt"}));
}

TEST_F(Archive, StopsAtTheLimitAndOnAFullDiskWithoutPartialCopies) {
  // A member that claims 100 bytes and expands to 3 MB.
  std::string bomb = MakeZip({{"bomb.txt", std::string(3 << 20, 'a'), ""}}, "zip:compression=deflate");
  ClaimZipSize(bomb, 100);
  const std::string path = temp_.Write("bomb.zip", bomb);
  TArchiverOptions small;
  small.MemberLimit = 1 << 20;
  EXPECT_EQ(Extract(path, "bomb.txt", small), "");
  // A member that says it is too large is refused before a byte is written.
  const std::string big = temp_.Write("big.zip", MakeZip({{"big.txt", std::string(2 << 20, 'b'), ""}}));
  EXPECT_EQ(Extract(big, "big.txt", small), "");
  EXPECT_EQ(messages_, (Names{"メモリを確保出来ませんでした。", "メモリを確保出来ませんでした。"}));
  EXPECT_TRUE(Extracted().empty());
  messages_.clear();

  // A full disk (a file size limit fails the write the same way): the old
  // copy of the same name stays, no temporary file is left.
  temp_.Write("archive/big.txt", "old copy");
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit tiny = old;
  tiny.rlim_cur = 64 * 1024;
  setrlimit(RLIMIT_FSIZE, &tiny);
  const std::string result = Extract(big, "big.txt");
  setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_EQ(result, "");
  EXPECT_EQ(messages_, (Names{"\"" + U(folder_) + "big.txt\" に書き込めません。"}));
  EXPECT_EQ(Extracted(), (Names{"big.txt"}));
  EXPECT_EQ(temp_.Read("archive/big.txt"), "old copy");
}

}  // namespace
}  // namespace rpv::test
