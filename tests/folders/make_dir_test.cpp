// Creating a directory inside the output directory.
#include "folders/make_dir.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/fixtures.h"

namespace snapfolio {
namespace {

namespace fs = std::filesystem;

// Every entry below `root`, so a test can prove the disk did not change.
std::vector<fs::path> treeOf(const fs::path& root) {
  std::vector<fs::path> entries;
  for (const auto& e : fs::recursive_directory_iterator(root)) entries.push_back(e.path());
  std::sort(entries.begin(), entries.end());
  return entries;
}

TEST(MakeDir, CreatesAPlainNameAndAppendsItToTheOutputDirectory) {
  test::TempDir tmp;
  MakeDirResult r = makeSubdirectory(tmp.path().string(), "アルバム 2024");
  EXPECT_EQ(r.outcome, MakeDirOutcome::Created);
  EXPECT_EQ(r.directory, tmp.path().string() + "/アルバム 2024");
  EXPECT_TRUE(fs::is_directory(fs::u8path(r.directory)));
}

TEST(MakeDir, AnOutputDirectoryEndingInASlashGetsASecondOne) {
  test::TempDir tmp;
  MakeDirResult r = makeSubdirectory(tmp.path().string() + "/", "x");
  EXPECT_EQ(r.outcome, MakeDirOutcome::Created);
  EXPECT_EQ(r.directory, tmp.path().string() + "//x");
  EXPECT_TRUE(fs::is_directory(tmp / "x"));
}

TEST(MakeDir, LeavesTheWorkingDirectoryAlone) {
  test::TempDir tmp;
  const fs::path before = fs::current_path();
  ASSERT_EQ(makeSubdirectory(tmp.path().string(), "w").outcome, MakeDirOutcome::Created);
  EXPECT_EQ(fs::current_path(), before);
}

TEST(MakeDir, AnOutputDirectoryThatCannotBeEnteredIsReportedFirst) {
  test::TempDir tmp;
  test::writeFile(tmp / "plain-file", "x");
  for (const std::string& dir :
       {std::string(), (tmp / "missing").string(), (tmp / "plain-file").string()}) {
    SCOPED_TRACE(dir);
    // also with a bad name: entering comes before creating
    EXPECT_EQ(makeSubdirectory(dir, "new").outcome, MakeDirOutcome::CannotEnter);
    EXPECT_EQ(makeSubdirectory(dir, "").outcome, MakeDirOutcome::CannotEnter);
  }
  EXPECT_FALSE(fs::exists(tmp / "missing"));
}

class MakeDirBadName : public testing::TestWithParam<std::string> {};

TEST_P(MakeDirBadName, FailsAndLeavesTheDiskUnchanged) {
  test::TempDir tmp;
  fs::create_directories(tmp / "out" / "existing-dir");
  test::writeFile(tmp / "out" / "existing-file", "x");
  const auto before = treeOf(tmp.path());
  MakeDirResult r = makeSubdirectory((tmp / "out").string(), GetParam());
  EXPECT_EQ(r.outcome, MakeDirOutcome::CannotCreate);
  EXPECT_EQ(r.directory, "");
  EXPECT_EQ(treeOf(tmp.path()), before);
}

INSTANTIATE_TEST_SUITE_P(Names, MakeDirBadName,
                         testing::Values(std::string(), std::string("."), std::string(".."),
                                         std::string("existing-dir"), std::string("existing-file"),
                                         std::string("a/b"), std::string("../escaped"),
                                         std::string("existing-dir/inner"), std::string("/abs"),
                                         std::string("nul\0name", 8), std::string(300, 'n'),
                                         std::string(255, 'n') + "x"));

TEST(MakeDir, ADirectoryWithoutWritePermissionRefuses) {
  test::TempDir tmp;
  fs::create_directories(tmp / "ro");
  fs::permissions(tmp / "ro", fs::perms::owner_read | fs::perms::owner_exec);
  MakeDirResult r = makeSubdirectory((tmp / "ro").string(), "new");
  if (::geteuid() == 0) {
    // root writes read-only directories; the permission case is checked below with /proc
    EXPECT_EQ(r.outcome, MakeDirOutcome::Created);
  } else {
    EXPECT_EQ(r.outcome, MakeDirOutcome::CannotCreate);
    EXPECT_FALSE(fs::exists(tmp / "ro" / "new"));
  }
}

TEST(MakeDir, AFileSystemThatRefusesDirectoriesRefusesEvenRoot) {
  MakeDirResult r = makeSubdirectory("/proc", "snapfolio-new");
  EXPECT_EQ(r.outcome, MakeDirOutcome::CannotCreate);
  EXPECT_FALSE(fs::exists("/proc/snapfolio-new"));
}

}  // namespace
}  // namespace snapfolio
