// A conversion run with the photo options: the EXIF kept in output images as exiftool reads it
// back, and the album page's date taken.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "run/album_conv.h"
#include "support/fixtures.h"
#include "support/recording_port.h"
#include "support/tools.h"
#include "timestamp/date_time.h"

namespace snapfolio {
namespace {

namespace fs = std::filesystem;

class PhotoOptionsRun : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(dir / "in");
    fs::create_directory(dir / "out");
    port.options.outputDir = (dir / "out").string();
    port.options.image[0] = {true, "150", "t_", "", false, false};
    port.options.image[1] = {true, "320", "", "_l", false, false};
  }
  // A copy of a fixture photo with a file time of now, so that it differs from the date taken.
  std::string photo(const std::string& name) {
    const fs::path copy = dir / "in" / name;
    fs::copy_file(test::photoPath(name), copy);
    fs::last_write_time(copy, fs::file_time_type::clock::now());
    return copy.string();
  }
  RunSummary run(const std::vector<std::string>& photos) {
    port.selection = photos;
    return OKButtonClick(port.request(), port, workspace, (dir / "Snapfolio.ini").string());
  }
  fs::path out(const std::string& name) { return dir / "out" / name; }

  test::TempDir dir;
  test::RecordingPort port;
  Workspace workspace;
};

class KeptMetadata : public PhotoOptionsRun, public ::testing::WithParamInterface<MetadataMode> {};

TEST_P(KeptMetadata, ReadBackByExiftool) {
  const MetadataMode mode = GetParam();
  port.options.photo.metadata = mode;
  // GPS and an EXIF thumbnail; maker notes and orientation 6.
  ASSERT_TRUE(run({photo("portrait-13mp.JPG"), photo("portrait-exif6.jpg")}).started);
  ASSERT_TRUE(port.errors().empty()) << ::testing::PrintToString(port.messages);

  for (const char* base : {"portrait-13mp.JPG", "portrait-exif6.jpg"}) {
    const fs::path thumbnail = out(std::string("t_") + base);
    const fs::path large =
        out(fs::path(base).stem().string() + "_l" + fs::path(base).extension().string());
    for (const fs::path& file : {thumbnail, large}) {
      auto tags = test::exifTags(file);
      if (mode == MetadataMode::None) {
        EXPECT_TRUE(tags.empty()) << file << " " << ::testing::PrintToString(tags);
        continue;
      }
      EXPECT_NE(tags["DateTimeOriginal"], "") << file;
      EXPECT_NE(tags["Model"], "") << file;
      EXPECT_EQ(tags["Orientation"], "1") << file;
      EXPECT_EQ(tags["ExifImageWidth"], file == thumbnail ? "150" : "320") << file;
      EXPECT_EQ(tags["ThumbnailLength"], "") << file;
      // GPS in the one, maker notes in the other: both kept only when all is kept.
      const bool kept = std::string(base) == "portrait-13mp.JPG"
                            ? tags["GPSImgDirection"] != ""
                            : !test::exifTags(file, "MakerNotes").empty();
      EXPECT_EQ(kept, mode == MetadataMode::KeepAll) << file;
    }
    // The thumbnail never carries more than image 2.
    const auto largeTags = test::exifTags(large);
    for (const auto& [tag, value] : test::exifTags(thumbnail)) {
      EXPECT_TRUE(largeTags.count(tag)) << tag;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, KeptMetadata,
                         ::testing::Values(MetadataMode::None, MetadataMode::KeepPrivate,
                                           MetadataMode::KeepAll));

TEST_F(PhotoOptionsRun, AlbumPageShowsTheDateTaken) {
  test::writeFile(dir / "template.dat", "<!--$LOOP-->$FILENAME $FILEDATE\n<!--$/LOOP-->");
  port.options.album.htmlCnv = true;
  port.options.album.htmlFile = "index.html";
  port.options.album.htmlTemplateFile = (dir / "template.dat").string();
  port.options.photo.dateSource = DateSource::DateTaken;
  // Taken 2013-06-23 16:49:15; the copies' file times are now.
  const std::string tiny = photo("tiny.JPG");
  const RunSummary summary = run({photo("portrait-exif6.jpg"), tiny});
  ASSERT_TRUE(summary.pageWritten) << ::testing::PrintToString(port.messages);
  const std::string page = test::readFile(out("index.html"));
  EXPECT_NE(page.find("portrait-exif6.jpg 2013/06/23 16:49:15\n"), std::string::npos) << page;
  // A photo without a date taken shows its file time.
  EXPECT_NE(page.find("tiny.JPG " + generalDateTime(fileDateTime(tiny)) + "\n"), std::string::npos)
      << page;
}

}  // namespace
}  // namespace snapfolio
