// A conversion run with the photo options: the EXIF kept in output images as exiftool reads it
// back, and the album page's date taken.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
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

// A tag exiftool writes (nothing: one it adds by itself), the name it reads back, and whether
// "keep without private data" keeps it.
struct TagCase {
  const char* write;
  const char* read;
  bool kept;
};

// Keeping without private data keeps only the allowed tags, wherever the others are stored:
// serials and owner in IFD0, the Adobe Camera Raw tags 0xfde8 and 0xfde9 of the EXIF
// directory, a maker note referenced from IFD0.
TEST_F(PhotoOptionsRun, KeepingWithoutPrivateDataKeepsOnlyAllowedTags) {
  static constexpr TagCase kTags[] = {
      {"-Make=Maker", "Make", true},
      {"-Model=Cam 1", "Model", true},
      {"-Artist=Artist A", "Artist", true},
      {"-Copyright=C 2026", "Copyright", true},
      {"-ExposureTime=1/125", "ExposureTime", true},
      {"-ISO=200", "ISO", true},
      {"-LensModel=Lens X", "LensModel", true},
      {"-DateTimeOriginal=2019:01:02 03:04:05", "DateTimeOriginal", true},
      {nullptr, "XResolution", true},
      {nullptr, "YResolution", true},
      {nullptr, "ResolutionUnit", true},
      {nullptr, "ExifVersion", true},
      {nullptr, "ColorSpace", true},
      {nullptr, "YCbCrPositioning", false},
      {nullptr, "ComponentsConfiguration", false},
      {nullptr, "FlashpixVersion", false},
      {"-IFD0:SerialNumber=S123", "SerialNumber", false},
      {"-IFD0:OwnerName=Owner A", "OwnerName", false},
      {"-IFD0:LensSerialNumber=L456", "LensSerialNumber", false},
      {"-CameraSerialNumber=S000", "CameraSerialNumber", false},
      {"-ImageUniqueID=abc", "ImageUniqueID", false},
      {"-AcrOwner=Owner C", "OwnerName", false},
      {"-AcrSerial=S999", "SerialNumber", false},
      {"-Ifd0MakerNote=Nikon secret", "MakerNoteUnknownText", false},
      {"-GPSLatitude=35.5", "GPSLatitude", false},
      {"-XMP:Creator=Xmp Person", "Creator", false},
      {"-IPTC:By-line=Iptc Person", "By-line", false},
  };
  // Tags exiftool has other names for: 0xfde8 and 0xfde9 in the EXIF directory, 0x927c in IFD0.
  const fs::path config = dir / "tags.config";
  test::writeFile(
      config,
      "%Image::ExifTool::UserDefined = ('Image::ExifTool::Exif::Main' => {\n"
      "0xfde8 => {Name => 'AcrOwner', Writable => 'string', WriteGroup => 'ExifIFD'},\n"
      "0xfde9 => {Name => 'AcrSerial', Writable => 'string', WriteGroup => 'ExifIFD'},\n"
      "0x927c => {Name => 'Ifd0MakerNote', Writable => 'undef', WriteGroup => 'IFD0'},"
      "\n});\n1;\n");
  const fs::path photo = dir / "in" / "private.jpg";
  fs::copy_file(test::fixturePath("baseline-small.jpg"), photo);
  std::vector<std::string> args = {"-config", config.string(), "-q", "-overwrite_original"};
  for (const TagCase& tag : kTags) {
    if (tag.write != nullptr) args.push_back(tag.write);
  }
  args.push_back(photo.string());
  test::runTool("exiftool", args);
  auto allTags = [](const fs::path& file) {
    std::multiset<std::string> names;
    for (const char* group : {"EXIF", "XMP", "IPTC"}) {
      // -a: tags of the same name in two directories both count.
      const std::string out =
          test::runTool("exiftool", {"-a", "-S", "-" + std::string(group) + ":all", file.string()});
      for (std::size_t at = 0, end; at < out.size(); at = end + 1) {
        end = std::min(out.find('\n', at), out.size());
        names.insert(out.substr(at, out.find(':', at) - at));
      }
    }
    return names;
  };
  const std::multiset<std::string> written = allTags(photo);
  std::multiset<std::string> expected = {"Orientation", "ExifImageWidth", "ExifImageHeight"};
  for (const TagCase& tag : kTags) {
    EXPECT_TRUE(written.count(tag.read)) << tag.read << " not written";
    if (tag.kept) expected.insert(tag.read);
  }

  port.options.photo.metadata = MetadataMode::KeepPrivate;
  ASSERT_TRUE(run({photo.string()}).started);
  ASSERT_TRUE(port.errors().empty()) << ::testing::PrintToString(port.messages);
  for (const fs::path& file : {out("t_private.jpg"), out("private_l.jpg")}) {
    EXPECT_EQ(allTags(file), expected) << file;
  }
}

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
