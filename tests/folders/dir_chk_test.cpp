// DirChk on real directory trees.
#include "folders/dir_chk.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/fixtures.h"

namespace snapfolio {
namespace {

namespace fs = std::filesystem;

class DirChkTest : public testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(tmp_ / "d" / "sub");
    test::writeFile(tmp_ / "d" / "file.txt", "x");
  }
  std::string at(const std::string& relative) const { return (tmp_.path() / relative).string(); }

  test::TempDir tmp_;
};

TEST_F(DirChkTest, ExistingDirectoryIsReturnedUnchanged) {
  EXPECT_EQ(DirChk(at("d")), at("d"));
  EXPECT_EQ(DirChk(at("d/sub")), at("d/sub"));
  EXPECT_EQ(DirChk(at("d/sub") + "/"), at("d/sub") + "/");
}

TEST_F(DirChkTest, MissingLevelsClimbToTheExistingAncestorWithASlash) {
  EXPECT_EQ(DirChk(at("d/x")), at("d") + "/");
  EXPECT_EQ(DirChk(at("d/x/y")), at("d") + "/");
  EXPECT_EQ(DirChk(at("d/x/y/")), at("d") + "/");
  EXPECT_EQ(DirChk(at("d/sub/gone/deeper/still")), at("d/sub") + "/");
}

TEST_F(DirChkTest, AFileIsNotADirectory) {
  EXPECT_EQ(DirChk(at("d/file.txt")), at("d") + "/");
  EXPECT_EQ(DirChk(at("d/file.txt/x")), at("d") + "/");
}

TEST_F(DirChkTest, NonAsciiNamesClimbByCharacters) {
  fs::create_directories(fs::u8path(at("d/写真")));
  EXPECT_EQ(DirChk(at("d/写真/ない/日付")), at("d/写真") + "/");
  EXPECT_EQ(DirChk(at("d/ソ/表")), at("d") + "/");
}

TEST_F(DirChkTest, RemovedDirectoryGivesItsParent) {
  fs::create_directories(tmp_ / "d" / "gone");
  EXPECT_EQ(DirChk(at("d/gone")), at("d/gone"));
  fs::remove(tmp_ / "d" / "gone");
  EXPECT_EQ(DirChk(at("d/gone")), at("d") + "/");
}

TEST(DirChk, RootAndPathsBelowAMissingTopLevelEndAtTheRoot) {
  EXPECT_EQ(DirChk("/"), "/");
  EXPECT_EQ(DirChk("/no-such-top-level-dir-of-snapfolio"), "/");
  EXPECT_EQ(DirChk("/no-such-top-level-dir-of-snapfolio/a/b/"), "/");
}

TEST(DirChk, EmptyAndRelativeNamesWithoutSlashGiveEmpty) {
  EXPECT_EQ(DirChk(""), "");
  EXPECT_EQ(DirChk("no-such-relative-dir-of-snapfolio"), "");
  EXPECT_EQ(DirChk("no-such-relative-dir-of-snapfolio/below/"), "");
}

}  // namespace
}  // namespace snapfolio
