// The date of a photo: the date taken with its fallbacks (DateTimeOriginal, DateTimeDigitized,
// DateTime, then the file time), written into small photos by exiftool. CTest sets TZ=UTC.
#include "imaging/photo_date.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>

#include "support/fixtures.h"
#include "support/make_photo.h"
#include "support/tools.h"

namespace snapfolio {
namespace {

// 2021-03-04 05:06:07 UTC: an odd second, which the file time drops to 06.
constexpr time_t kFileTime = 1614834367;
constexpr DateTime kFileDate{2021, 3, 4, 5, 6, 6};

struct DateCase {
  const char* name;
  std::vector<std::string> exiftool;  // tags written; none: the photo has no EXIF
  DateTime expected;
};

class DateTaken : public testing::TestWithParam<DateCase> {};

TEST_P(DateTaken, FallsBackInOrder) {
  test::TempDir dir;
  const std::string path = (dir / "photo.jpg").string();
  test::makePhoto(path, 32, 24);
  if (!GetParam().exiftool.empty()) {
    std::vector<std::string> args = {"-q", "-overwrite_original"};
    args.insert(args.end(), GetParam().exiftool.begin(), GetParam().exiftool.end());
    args.push_back(path);
    test::runTool("exiftool", args);
  }
  const timespec times[2] = {{kFileTime, 0}, {kFileTime, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);

  EXPECT_EQ(photoDateTime(path, DateSource::DateTaken), GetParam().expected);
  EXPECT_EQ(photoDateTime(path, DateSource::FileTime), kFileDate);
}

INSTANTIATE_TEST_SUITE_P(
    Tags, DateTaken,
    testing::Values(
        DateCase{"Original",
                 {"-DateTimeOriginal=2019:01:02 03:04:05", "-CreateDate=2019:01:02 03:04:06",
                  "-ModifyDate=2020:01:01 00:00:00"},
                 {2019, 1, 2, 3, 4, 5}},
        DateCase{"Digitized",
                 {"-CreateDate=2019:01:02 03:04:07", "-ModifyDate=2020:01:01 00:00:00"},
                 {2019, 1, 2, 3, 4, 7}},
        DateCase{"DateTime", {"-ModifyDate=2020:02:29 23:59:59"}, {2020, 2, 29, 23, 59, 59}},
        // Cameras without a clock write zeros; an impossible date counts as none.
        DateCase{"ZerosSkipped",
                 {"-DateTimeOriginal#=0000:00:00 00:00:00", "-ModifyDate=2018:07:08 09:10:11"},
                 {2018, 7, 8, 9, 10, 11}},
        DateCase{"ImpossibleSkipped",
                 {"-DateTimeOriginal#=2019:02:29 10:00:00", "-CreateDate=2019:03:01 10:00:01"},
                 {2019, 3, 1, 10, 0, 1}},
        DateCase{"OtherTagsOnly", {"-Make=Snapfolio"}, kFileDate},
        DateCase{"NoExif", {}, kFileDate}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(PhotoDate, MissingFileFailsForBothSources) {
  test::TempDir dir;
  const std::string gone = (dir / "gone.jpg").string();
  EXPECT_ANY_THROW(photoDateTime(gone, DateSource::DateTaken));
  EXPECT_ANY_THROW(photoDateTime(gone, DateSource::FileTime));
}

}  // namespace
}  // namespace snapfolio
