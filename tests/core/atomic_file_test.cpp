// AtomicFile: refused targets leave nothing behind (failed writes: the settings file's tests), the
// replaced file keeps its mode and owner, links are written through, and leftovers of killed
// processes are removed.
#include "core/atomic_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/fixtures.h"

namespace snapfolio {
namespace {

namespace fs = std::filesystem;
using test::namesIn;
using test::readFile;
using test::runningAsRoot;
using test::TempDir;
using test::writeFile;

// A target that cannot be written: the error number and the name are kept for the message, and
// the folder holds exactly what it held before.
struct RefusalCase {
  const char* name;
  std::function<fs::path(const TempDir&)> setUp;  // returns the target
  int error;
  bool needsRoot = false;
};

class AtomicFileRefusal : public testing::TestWithParam<RefusalCase> {};

TEST_P(AtomicFileRefusal, KeepsTheReasonAndLeavesNothing) {
  if (GetParam().needsRoot && !runningAsRoot()) GTEST_SKIP() << "needs root to give a link away";
  TempDir dir;
  const fs::path target = GetParam().setUp(dir);
  const std::set<std::string> before = namesIn(dir.path());
  try {
    writeFileAtomically(target.string(), "new");
    ADD_FAILURE() << "no error";
  } catch (const FileWriteError& e) {
    EXPECT_EQ(e.error(), GetParam().error) << e.what();
    EXPECT_NE(std::string(e.what()).find(target.string()), std::string::npos) << e.what();
    // A link refused is named in the user's message.
    if (GetParam().error == EACCES) {
      EXPECT_NE(e.cause().find(target.string()), std::string::npos) << e.cause();
    }
  }
  EXPECT_EQ(namesIn(dir.path()), before);
  if (fs::exists(dir / "victim")) {
    EXPECT_EQ(readFile(dir / "victim"), "secret");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Targets, AtomicFileRefusal,
    testing::Values(RefusalCase{"folder_gone",
                                [](const TempDir& d) { return d / "gone" / "page.html"; }, ENOENT},
                    RefusalCase{"folder_is_a_file",
                                [](const TempDir& d) {
                                  writeFile(d / "file", "x");
                                  return d / "file" / "page.html";
                                },
                                ENOTDIR},
                    RefusalCase{"target_is_a_folder",
                                [](const TempDir& d) {
                                  fs::create_directory(d / "page.html");
                                  return d / "page.html";
                                },
                                EISDIR},
                    RefusalCase{"target_is_a_fifo",
                                [](const TempDir& d) {
                                  ::mkfifo((d / "page.html").c_str(), 0600);
                                  return d / "page.html";
                                },
                                EINVAL},
                    RefusalCase{"link_loop",
                                [](const TempDir& d) {
                                  fs::create_symlink("b", d / "a");
                                  fs::create_symlink("a", d / "b");
                                  return d / "a";
                                },
                                ELOOP},
                    // A link planted by another user in a folder everyone may write to (like /tmp).
                    RefusalCase{"foreign_link_in_shared_folder",
                                [](const TempDir& d) {
                                  writeFile(d / "victim", "secret");
                                  fs::create_directory(d / "shared");
                                  ::chmod((d / "shared").c_str(), 01777);
                                  fs::create_symlink("../victim", d / "shared" / "page.html");
                                  ::lchown((d / "shared" / "page.html").c_str(), 4321, 4321);
                                  return d / "shared" / "page.html";
                                },
                                EACCES, true},
                    // A link to this user's file, in a folder another user owns.
                    RefusalCase{"own_link_in_other_users_folder",
                                [](const TempDir& d) {
                                  writeFile(d / "victim", "secret");
                                  fs::create_directory(d / "theirs");
                                  ::chown((d / "theirs").c_str(), 12345, 12345);
                                  fs::create_symlink("../victim", d / "theirs" / "Snapfolio.ini");
                                  return d / "theirs" / "Snapfolio.ini";
                                },
                                EACCES, true},
                    RefusalCase{"other_users_link_in_own_folder",
                                [](const TempDir& d) {
                                  writeFile(d / "victim", "secret");
                                  fs::create_symlink("victim", d / "page.html");
                                  ::lchown((d / "page.html").c_str(), 12345, 12345);
                                  return d / "page.html";
                                },
                                EACCES, true},
                    RefusalCase{"own_link_in_group_writable_folder",
                                [](const TempDir& d) {
                                  writeFile(d / "victim", "secret");
                                  fs::create_directory(d / "group");
                                  ::chmod((d / "group").c_str(), 0775);
                                  fs::create_symlink("../victim", d / "group" / "page.html");
                                  return d / "group" / "page.html";
                                },
                                EACCES}),
    [](const auto& p) { return std::string(p.param.name); });

// Until commit() the new file has no name: a kill, or a destruction without commit(), leaves
// the folder as it was.
TEST(AtomicFile, NothingIsNamedBeforeCommit) {
  TempDir dir;
  writeFile(dir / "page.html", "old");
  {
    AtomicFile file((dir / "page.html").string());
    file.write(std::string(200000, 'x'));
    EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"page.html"});
  }
  EXPECT_EQ(readFile(dir / "page.html"), "old");
  EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"page.html"});
}

TEST(AtomicFile, ReplacedFileKeepsModeAndOwner) {
  TempDir dir;
  const fs::path path = dir / "Snapfolio.ini";
  writeFile(path, "old");
  ::chmod(path.c_str(), 0640);
  if (runningAsRoot()) {
    ASSERT_EQ(::chown(path.c_str(), 4321, 4322), 0);
  }
  struct stat before {};
  ::stat(path.c_str(), &before);

  writeFileAtomically(path.string(), "new");
  struct stat after {};
  ::stat(path.c_str(), &after);
  EXPECT_EQ(readFile(path), "new");
  EXPECT_EQ(after.st_mode & 07777, 0640u);
  EXPECT_EQ(after.st_uid, before.st_uid);
  EXPECT_EQ(after.st_gid, before.st_gid);
  EXPECT_NE(after.st_ino, before.st_ino);  // replaced, not rewritten in place
}

// A link stays a link; the file it names receives the bytes, also when it does not exist yet.
class AtomicFileLink : public testing::TestWithParam<bool> {};

TEST_P(AtomicFileLink, IsWrittenThrough) {
  const bool dangling = GetParam();
  TempDir dir;
  fs::create_directory(dir / "real");
  if (!dangling) writeFile(dir / "real" / "settings.ini", "old");
  fs::create_symlink("real/settings.ini", dir / "Snapfolio.ini");

  writeFileAtomically((dir / "Snapfolio.ini").string(), "new");
  EXPECT_TRUE(fs::is_symlink(dir / "Snapfolio.ini"));
  EXPECT_EQ(fs::read_symlink(dir / "Snapfolio.ini"), "real/settings.ini");
  EXPECT_EQ(readFile(dir / "real" / "settings.ini"), "new");
  EXPECT_EQ(namesIn(dir / "real"), std::set<std::string>{"settings.ini"});
}

INSTANTIATE_TEST_SUITE_P(Targets, AtomicFileLink, testing::Bool(),
                         [](const auto& p) { return p.param ? "dangling" : "existing"; });

// Leftovers of this program whose process is gone are removed; those of living processes (this
// one included) and other files stay.
TEST(AtomicFile, RemovesLeftoversOfGoneProcesses) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ASSERT_GT(child, 0);
  ::waitpid(child, nullptr, 0);
  auto leftover = [](pid_t pid) {
    return ".snapfolio-" + std::to_string(pid) + "-0123456789abcdef.tmp";
  };
  TempDir dir;
  for (const std::string& name : {leftover(child), leftover(::getpid()), leftover(1),
                                  std::string(".snapfolio-x-0123456789abcdef.tmp")}) {
    writeFile(dir / name, "partial");
  }
  writeFileAtomically((dir / "photo.jpg").string(), "jpeg");
  EXPECT_EQ(namesIn(dir.path()),
            (std::set<std::string>{"photo.jpg", leftover(::getpid()), leftover(1),
                                   ".snapfolio-x-0123456789abcdef.tmp"}));
}

}  // namespace
}  // namespace snapfolio
