// The photo file's time: local modification time truncated to an even second. CTest sets
// TZ=UTC, so the local time is the UTC time.
#include "timestamp/date_time.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include "core/failure.h"
#include "support/fixtures.h"

namespace snapfolio {
namespace {

void setModificationTime(const std::string& path, time_t seconds, long nanoseconds) {
  const timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

struct FileTimeCase {
  time_t seconds;
  long nanoseconds;
  DateTime expected;
};

class FileDateTimeTest : public testing::TestWithParam<FileTimeCase> {};

TEST_P(FileDateTimeTest, TruncatesToAnEvenSecond) {
  test::TempDir dir;
  const std::string path = (dir / "photo.jpg").string();
  test::writeFile(path, "x");
  setModificationTime(path, GetParam().seconds, GetParam().nanoseconds);
  EXPECT_EQ(fileDateTime(path), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Times, FileDateTimeTest,
                         testing::Values(
                             // 2002-05-30 15:07:09 UTC is 1022771229: the odd second drops to 08.
                             FileTimeCase{1022771229, 0, {2002, 5, 30, 15, 7, 8}},
                             FileTimeCase{1022771229, 999'999'999, {2002, 5, 30, 15, 7, 8}},
                             FileTimeCase{1022771228, 500'000'000, {2002, 5, 30, 15, 7, 8}},
                             // 1999-12-31 23:59:59 stays in 1999.
                             FileTimeCase{946684799, 0, {1999, 12, 31, 23, 59, 58}},
                             // The first second of 2019-05-01.
                             FileTimeCase{1556668801, 0, {2019, 5, 1, 0, 0, 0}}));

TEST(FileDateTimeMissingTest, Throws) {
  test::TempDir dir;
  EXPECT_THROW(fileDateTime((dir / "missing.jpg").string()), Failure);
  EXPECT_THROW(fileDateTime(""), Failure);
}

TEST(FileDateTimeZoneTest, FollowsTheLocalTimeZone) {
  test::TempDir dir;
  const std::string path = (dir / "photo.jpg").string();
  test::writeFile(path, "x");
  setModificationTime(path, 1022771229, 0);
  const char* saved = std::getenv("TZ");
  const std::string previous = saved != nullptr ? saved : "";
  ::setenv("TZ", "JST-9", 1);
  ::tzset();
  const DateTime local = fileDateTime(path);
  if (saved != nullptr) {
    ::setenv("TZ", previous.c_str(), 1);
  } else {
    ::unsetenv("TZ");
  }
  ::tzset();
  EXPECT_EQ(local, (DateTime{2002, 5, 31, 0, 7, 8}));
}

}  // namespace
}  // namespace snapfolio
