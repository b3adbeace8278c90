// Writing: stored forms, what survives a rewrite, atomic replacement and failures.
#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <thread>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/text_encoding.h"
#include "settings/ini_file.h"
#include "settings/settings_keys.h"
#include "support/fixtures.h"

namespace snapfolio {
namespace {

namespace fs = std::filesystem;
using test::namesIn;
using test::readFile;
using test::runningAsRoot;
using test::TempDir;
using test::writeFile;

class IniWrite : public testing::Test {
 protected:
  TempDir dir_;
  std::string path_ = (dir_ / "Snapfolio.ini").string();
};

TEST_F(IniWrite, StoredFormsAndKeptLines) {
  writeFile(path_, "; kept comment\n[Snapfolio]\nTOP=1\n\n[OutStyl]\nX = keep me\n");
  TIniFile ini(path_);
  ini.WriteInteger("snapfolio", "top", -5);  // existing key, other letter case
  ini.WriteInteger("Snapfolio", "LEFT", 7);  // new key: after the section's last key
  ini.WriteBool("Pict1Options", "GAZOU1", false);
  ini.WriteBool("Pict1Options", "ATADJ1", true);
  ini.WriteFloat("OutStyl", "TIMBGCOL1", 16777215);
  ini.WriteFloat("OutStyl", "TIMFTCOL1", 0.25);
  ini.WriteString("OutStyl", "ALBMTITL", " 夏 ");
  ini.WriteString("OutStyl", "HTMLFIL", "a\r\nb");
  EXPECT_EQ(readFile(path_),
            "; kept comment\n[Snapfolio]\nTOP=-5\nLEFT=7\n\n[OutStyl]\nX = keep me\n"
            "TIMBGCOL1=16777215\nTIMFTCOL1=0.25\nALBMTITL=\" 夏 \"\nHTMLFIL=a  b\n"
            "[Pict1Options]\nGAZOU1=0\nATADJ1=1\n");
  // The object reads what it wrote, exactly as a fresh one does.
  const TIniFile fresh(path_);
  for (const TIniFile* reader : {static_cast<const TIniFile*>(&ini), &fresh}) {
    EXPECT_EQ(reader->ReadString("OutStyl", "ALBMTITL", ""), " 夏 ");
    EXPECT_EQ(reader->ReadString("OutStyl", "HTMLFIL", ""), "a  b");
    EXPECT_EQ(reader->ReadInteger("Snapfolio", "TOP", 0), -5);
  }
}

TEST_F(IniWrite, InvalidUtf8ValueKeepsTheFileUtf8) {
  TIniFile ini(path_);
  ini.WriteString("OutStyl", "ALBMTITL", "夏");
  ini.WriteString("InOutFile", "INDIR", "/photos/caf\xE9");
  EXPECT_TRUE(isValidUtf8(readFile(path_)));
  EXPECT_EQ(TIniFile(path_).ReadString("InOutFile", "INDIR", ""), "/photos/caf\uFFFD");
  EXPECT_EQ(TIniFile(path_).ReadString("OutStyl", "ALBMTITL", ""), "夏");
}

TEST_F(IniWrite, BadNamesAreRefusedBeforeTouchingTheFile) {
  TIniFile ini(path_);
  EXPECT_THROW(ini.WriteString("OutStyl", "A=B", "x"), std::invalid_argument);
  EXPECT_THROW(ini.WriteString("Out]Styl", "A", "x"), std::invalid_argument);
  EXPECT_THROW(ini.WriteString("OutStyl", "A\nB=1", "x"), std::invalid_argument);
  EXPECT_THROW(ini.WriteString("OutStyl", "", "x"), std::invalid_argument);
  EXPECT_FALSE(fs::exists(path_));
}

TEST_F(IniWrite, LegacyFileIsRewrittenWhollyInUtf8) {
  fs::copy_file(test::fixturePath("cp932-settings.ini"), path_);
  ASSERT_FALSE(isValidUtf8(readFile(path_)));
  const TIniFile before(path_);
  TIniFile(path_).WriteString("OutStyl", "HTMLFIL", "アルバム.html");

  const std::string text = readFile(path_);
  EXPECT_TRUE(isValidUtf8(text));
  EXPECT_NE(text.find("TIMFONT1=ＭＳ Ｐゴシック\n"), std::string::npos);
  EXPECT_NE(text.find("OUTDIR=C:\\写真\\表示ソフト\n"), std::string::npos);
  const TIniFile after(path_);
  for (const keys::KeyInfo& k : keys::allKeys()) {
    if (k.name == "HTMLFIL") continue;
    EXPECT_EQ(after.ValueExists(k.section, k.name), before.ValueExists(k.section, k.name));
    EXPECT_EQ(after.ReadString(k.section, k.name, "?"), before.ReadString(k.section, k.name, "?"))
        << k.name;
  }
  EXPECT_EQ(after.ReadString("OutStyl", "HTMLFIL", ""), "アルバム.html");
  EXPECT_EQ(after.ReadString("OutStyl", "ALBMTITL", ""), "夏の旅行アルバム～①");
}

TEST_F(IniWrite, ReplacesAtomicallyAndKeepsPermissions) {
  TIniFile ini(path_);
  ini.WriteInteger("Snapfolio", "TOP", 1);
  fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read,
                  fs::perm_options::replace);
  for (int i = 0; i < 20; ++i) ini.WriteInteger("Snapfolio", "LEFT", i);
  EXPECT_EQ(namesIn(dir_.path()), std::set<std::string>{"Snapfolio.ini"});  // no temp file left
  EXPECT_EQ(fs::status(path_).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(TIniFile(path_).ReadInteger("Snapfolio", "LEFT", -1), 19);
}

TEST_F(IniWrite, FollowsASymbolicLink) {
  fs::create_directory(dir_ / "real");
  writeFile(dir_ / "real" / "target.ini", "[Snapfolio]\nTOP=3\n");
  fs::create_symlink(dir_ / "real" / "target.ini", path_);
  TIniFile(path_).WriteInteger("Snapfolio", "LEFT", 4);
  EXPECT_TRUE(fs::is_symlink(path_));
  EXPECT_EQ(readFile(dir_ / "real" / "target.ini"), "[Snapfolio]\nTOP=3\nLEFT=4\n");
}

// A link whose file does not exist yet: the file is made where the link points.
TEST_F(IniWrite, WritesThroughADanglingLink) {
  fs::create_directory(dir_ / "real");
  fs::create_symlink(dir_ / "real" / "target.ini", path_);
  TIniFile(path_).WriteInteger("Snapfolio", "LEFT", 4);
  EXPECT_TRUE(fs::is_symlink(path_));
  EXPECT_EQ(readFile(dir_ / "real" / "target.ini"), "[Snapfolio]\nLEFT=4\n");
}

TEST_F(IniWrite, WritesThroughAnotherObjectSurvive) {
  TIniFile first(path_);
  TIniFile second(path_);
  first.WriteString("OutStyl", "ALBMTITL", "one");
  second.WriteString("OutStyl", "HTMLFIL", "two");
  const TIniFile fresh(path_);
  EXPECT_EQ(fresh.ReadString("OutStyl", "ALBMTITL", ""), "one");
  EXPECT_EQ(fresh.ReadString("OutStyl", "HTMLFIL", ""), "two");
}

// A file that exists but cannot be read reads as empty and is never replaced by a file
// holding only the keys written since. Root reads every file whatever its mode, so as root
// the unreadable file is a directory of that name instead.
TEST_F(IniWrite, UnreadableFileIsNotOverwritten) {
  if (runningAsRoot()) {
    fs::create_directory(path_);
    writeFile(fs::path(path_) / "inside", "[Snapfolio]\nTOP=3\n");
  } else {
    writeFile(path_, "[Snapfolio]\nTOP=3\n");
    fs::permissions(path_, fs::perms::none, fs::perm_options::replace);
  }
  TIniFile ini(path_);
  EXPECT_EQ(ini.ReadInteger("Snapfolio", "TOP", 0), 0);
  EXPECT_THROW(ini.WriteInteger("Snapfolio", "LEFT", 1), SettingsWriteError);
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add);
  if (runningAsRoot()) {
    EXPECT_TRUE(fs::is_directory(path_));
    EXPECT_EQ(readFile(fs::path(path_) / "inside"), "[Snapfolio]\nTOP=3\n");
  } else {
    EXPECT_EQ(readFile(path_), "[Snapfolio]\nTOP=3\n");
  }
  EXPECT_EQ(namesIn(dir_.path()), std::set<std::string>{"Snapfolio.ini"});
}

// Two writers on one file, each with its own object: two threads, or two processes as two
// programs are. Twenty batches each, batch i of writer w adding the keys "w_i_a", "w_i_b" and
// "w_i_c". Every reading meanwhile shows each batch whole or not at all, and no batch is lost,
// neither meanwhile nor at the end.
class SharedFile : public testing::TestWithParam<bool> {};

TEST_P(SharedFile, BatchesOfTwoWritersAreWholeAndNeverLost) {
  const bool processes = GetParam();
  TempDir dir;
  const std::string path = (dir / "Snapfolio.ini").string();
  constexpr int kBatches = 20;
  const auto key = [](int writer, int batch, char part) {
    return std::to_string(writer) + "_" + std::to_string(batch) + "_" + part;
  };
  std::atomic<int> running{processes ? 1 : 2};
  const auto writer = [&](int w) {
    bool committed = true;
    for (int i = 0; i < kBatches; ++i) {
      TIniFile ini(path);
      SettingsBatch batch(ini);
      for (char part : {'a', 'b', 'c'}) ini.WriteInteger("Shared", key(w, i, part), i);
      committed = batch.commit() && committed;
    }
    --running;
    return committed;
  };
  // How many batches of each writer a reading holds; -1 when a batch is torn or one is missing
  // before the last present.
  const auto batchesIn = [&](const TIniFile& ini, int w) {
    int present = 0;
    for (int i = 0; i < kBatches; ++i) {
      int parts = 0;
      for (char part : {'a', 'b', 'c'}) parts += ini.ValueExists("Shared", key(w, i, part));
      if (parts == 0) break;
      if (parts != 3 || present != i) return -1;
      ++present;
    }
    for (int i = present + 1; i < kBatches; ++i) {
      if (ini.ValueExists("Shared", key(w, i, 'a'))) return -1;
    }
    return present;
  };
  // The second process is made before any thread of this test runs.
  const pid_t child = processes ? ::fork() : 0;
  ASSERT_GE(child, 0);
  if (processes && child == 0) ::_exit(writer(1) ? 0 : 1);
  std::thread first([&] { EXPECT_TRUE(writer(0)); });
  std::thread second([&] {
    if (!processes) {
      EXPECT_TRUE(writer(1));
    }
  });
  int childStatus = -1;
  const auto writing = [&] {
    if (running.load() > 0) return true;
    return processes && childStatus == -1 && ::waitpid(child, &childStatus, WNOHANG) == 0;
  };
  int seen[2] = {0, 0};
  int readings = 0;
  while (writing()) {
    const TIniFile ini(path);
    for (int w : {0, 1}) {
      const int batches = batchesIn(ini, w);
      EXPECT_GE(batches, seen[w]) << "writer " << w << " after " << readings << " readings";
      seen[w] = std::max(seen[w], batches);
    }
    ++readings;
  }
  first.join();
  second.join();
  if (processes) {
    EXPECT_EQ(childStatus, 0);
  }
  const TIniFile after(path);
  EXPECT_EQ(batchesIn(after, 0), kBatches);
  EXPECT_EQ(batchesIn(after, 1), kBatches);
  EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"Snapfolio.ini"});
}

INSTANTIATE_TEST_SUITE_P(Writers, SharedFile, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& writers) {
                           return writers.param ? "Processes" : "Threads";
                         });

// A file that is not text is no settings file, whatever its name: it reads as empty and no
// write, alone or in a batch, changes a byte of it.
struct ForeignCase {
  const char* name;
  std::string bytes;
};

std::string randomBytes() {
  std::mt19937 random(20);
  std::string bytes(200000, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

class NotASettingsFile : public testing::TestWithParam<ForeignCase> {};

TEST_P(NotASettingsFile, IsReadAsEmptyAndNeverWritten) {
  TempDir dir;
  const std::string path = (dir / "Snapfolio.ini").string();
  writeFile(path, GetParam().bytes);
  TIniFile ini(path);
  EXPECT_FALSE(ini.NotSettingsReason().empty());
  EXPECT_FALSE(ini.ValueExists("OutStyl", "ALBMTITL"));
  EXPECT_EQ(ini.ReadInteger("Snapfolio", "TOP", 3), 3);
  EXPECT_THROW(ini.WriteInteger("Snapfolio", "TOP", 9), SettingsWriteError);
  {
    SettingsBatch batch(ini);
    ini.WriteString("OutStyl", "ALBMTITL", "x");
    EXPECT_FALSE(batch.commit());
  }
  EXPECT_FALSE(ini.ValueExists("OutStyl", "ALBMTITL"));
  EXPECT_EQ(readFile(path), GetParam().bytes);
  EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"Snapfolio.ini"});
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, NotASettingsFile,
    testing::Values(
        ForeignCase{"photo", readFile(test::fixturePath("baseline-small.jpg"))},
        ForeignCase{"png", "\x89PNG\r\n\x1A\n[OutStyl]\nALBMTITL=x\n"},
        ForeignCase{"gif", "GIF89a[OutStyl]\nALBMTITL=x\n"},
        ForeignCase{"pdf", "%PDF-1.4\n[OutStyl]\nALBMTITL=x\n"},
        ForeignCase{"zip", "PK\x03\x04[OutStyl]\nALBMTITL=x\n"},
        // A rewrite drops byte-order marks: the file must not become one that is refused.
        ForeignCase{"zip_after_bom", "\xEF\xBB\xBFPK\x05\x06[OutStyl]\nALBMTITL=x\n"},
        ForeignCase{"random", randomBytes()},
        ForeignCase{"nul", std::string("[OutStyl]\nALBMTITL=x\n\0", 23)},
        ForeignCase{"neither_utf8_nor_cp932", "[OutStyl]\nALBMTITL=\x80\xFF\n"},
        // Larger than a read takes: never replaced by the few keys a write would keep.
        ForeignCase{"larger_than_16_MiB",
                    "[OutStyl]\nALBMTITL=x\n" + std::string(std::size_t{16} << 20, '\n')}),
    [](const auto& p) { return std::string(p.param.name); });

// Each way a write can fail: the exception says so, the file on disk and the object's values
// are as before, and no temporary file is left behind.
enum class Cause {
  ParentIsAFile,
  PathIsADirectory,
  FileSizeLimit,
  ReadOnlyDirectory,
  ReadOnlyFile
};

std::string causeName(const testing::TestParamInfo<Cause>& p) {
  static const char* const names[] = {"ParentIsAFile", "PathIsADirectory", "FileSizeLimit",
                                      "ReadOnlyDirectory", "ReadOnlyFile"};
  return names[static_cast<int>(p.param)];
}

class WriteFailure : public testing::TestWithParam<Cause> {
 protected:
  TempDir dir_;
};

TEST_P(WriteFailure, LeavesFileAndObjectAsBefore) {
  const bool needsPermissions =
      GetParam() == Cause::ReadOnlyDirectory || GetParam() == Cause::ReadOnlyFile;
  if (needsPermissions && runningAsRoot()) {
    GTEST_SKIP() << "root writes whatever the permissions; FileSizeLimit covers a refused write";
  }
  const std::string old = "[Snapfolio]\nTOP=3\n";
  fs::path path = dir_ / "Snapfolio.ini";
  if (GetParam() == Cause::ParentIsAFile) {
    writeFile(dir_ / "file", old);
    path = dir_ / "file" / "Snapfolio.ini";
  } else if (GetParam() == Cause::PathIsADirectory) {
    fs::create_directory(path);
  } else {
    writeFile(path, old);
  }
  TIniFile ini(path.string());
  const std::string oldTop = ini.ReadString("Snapfolio", "TOP", "none");
  const std::string value(4096, 'v');

  struct rlimit limit {};
  ::getrlimit(RLIMIT_FSIZE, &limit);
  const struct rlimit saved = limit;
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  if (GetParam() == Cause::FileSizeLimit) {
    // As a full disk does: the bytes do not fit.
    limit.rlim_cur = 100;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  } else if (GetParam() == Cause::ReadOnlyDirectory) {
    fs::permissions(dir_.path(), fs::perms::owner_read | fs::perms::owner_exec,
                    fs::perm_options::replace);
  } else if (GetParam() == Cause::ReadOnlyFile) {
    fs::permissions(path, fs::perms::owner_read, fs::perm_options::replace);
  }
  bool thrown = false;
  try {
    ini.WriteString("Snapfolio", "TOP", value);
  } catch (const SettingsWriteError& error) {
    thrown = true;
    EXPECT_NE(std::string(error.what()).find(path.string()), std::string::npos) << error.what();
  }
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  fs::permissions(dir_.path(), fs::perms::owner_all, fs::perm_options::add);

  EXPECT_TRUE(thrown);
  EXPECT_EQ(ini.ReadString("Snapfolio", "TOP", "none"), oldTop);
  if (GetParam() == Cause::PathIsADirectory) {
    EXPECT_TRUE(fs::is_directory(path));
  } else if (GetParam() != Cause::ParentIsAFile) {
    EXPECT_EQ(readFile(path), old);
  }
  const std::set<std::string> expected = {GetParam() == Cause::ParentIsAFile ? "file"
                                                                             : "Snapfolio.ini"};
  EXPECT_EQ(namesIn(dir_.path()), expected);
}

INSTANTIATE_TEST_SUITE_P(Causes, WriteFailure,
                         testing::Values(Cause::ParentIsAFile, Cause::PathIsADirectory,
                                         Cause::FileSizeLimit, Cause::ReadOnlyDirectory,
                                         Cause::ReadOnlyFile),
                         causeName);

}  // namespace
}  // namespace snapfolio
