// A run over photos in every format read, with its album page, written as JPEG (the default) and as
// WebP: made by the formats' own tools (ImageMagick, heif-enc; the DNG by
// tests/fixtures/make-dng.py) from the sample photos, checked by independent decoders (djpeg,
// dwebp) and exiftool.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include <QImage>
#include <QImageReader>

#include "support/cli_process.h"
#include "support/fixtures.h"
#include "support/tools.h"

namespace snapfolio {
namespace {

namespace fs = std::filesystem;
using test::runTool;

struct OutputCase {
  const char* name;
  const char* outFormat;  // [PhotoOptions] OUTFORMAT
  const char* extension;  // of the output images
};

class CliFormatsTest : public testing::TestWithParam<OutputCase> {};

// The output image as an independent decoder reads it (djpeg to PPM, dwebp to PNG).
QImage decodedOutput(const fs::path& out) {
  const std::string decoded = out.string() + (out.extension() == ".webp" ? ".png" : ".ppm");
  if (out.extension() == ".webp") {
    runTool("dwebp", {out.string(), "-o", decoded});
  } else {
    runTool("djpeg", {"-outfile", decoded, out.string()});
  }
  return QImage(QString::fromStdString(decoded)).convertToFormat(QImage::Format_RGB888);
}

// The mean absolute difference per channel of two pictures of one size.
double meanDifference(const QImage& a, const QImage& b) {
  double sum = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < 3 * a.width(); ++x) sum += std::abs(a.scanLine(y)[x] - b.scanLine(y)[x]);
  }
  return sum / (3.0 * a.width() * a.height());
}

// Every format comes out at the asked width, turned upright (the JPEG and the DNG are stored
// turned), its Adobe RGB profile converted to sRGB as the JPEG's is, and named on the page.
TEST_P(CliFormatsTest, EveryFormatComesOutUprightInSrgbAndOnThePage) {
  test::TempDir dir;
  const fs::path photos = dir / "photos";
  fs::create_directory(photos);
  // 640 x 428 stored, EXIF orientation 6 and a date taken.
  fs::copy_file(test::photoPath("portrait-exif6.jpg"), photos / "a.jpg");
  // 80 x 53, Adobe RGB, in each format with its profile.
  runTool("convert", {test::photoPath("icc-adobergb.jpg").string(), "-resize", "80x",
                      (photos / "g.jpg").string()});
  runTool("heif-enc",
          {"-q", "90", (photos / "g.jpg").string(), "-o", (photos / "b.heic").string()});
  for (const char* name : {"c.png", "d.tif", "e.webp"}) {
    runTool("convert", {(photos / "g.jpg").string(), (photos / name).string()});
  }
  // 64 x 48 stored, turned by the camera (orientation 6), with a preview of the same size.
  runTool("convert", {"-size", "64x48", "xc:green", (dir / "preview.jpg").string()});
  runTool("python3", {test::fixturePath("make-dng.py").string(), (photos / "f.dng").string(), "64",
                      "48", (dir / "preview.jpg").string(), "64", "48", "6"});
  fs::create_directory(dir / "out");
  const test::CliResult r =
      test::runCli({"convert", "photos", "--settings", "none.ini", "--out", "out", "--set",
                    "Pict1Options/WIDTH1=40", "--set", "Pict1Options/PRIFN1=t_", "--set",
                    "Pict2Options/GAZOU2=0", "--set", "OutStyl/HTMLCK=1", "--set",
                    std::string("PhotoOptions/OUTFORMAT=") + GetParam().outFormat, "--set",
                    "PhotoOptions/METADATA=2"},
                   dir.path());
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::string page = test::readFile(dir / "out/index.html");
  const std::string ext = GetParam().extension;
  // Lossy HEIC and WebP inputs differ from the JPEG's output by about 2 levels; the profile
  // left unconverted differs by about 6.
  const QImage reference = decodedOutput(dir / "out" / ("t_g" + ext));
  ASSERT_EQ(reference.size(), QSize(40, 26));
  for (const auto& [stem, height] :
       {std::pair{"t_a", 59}, {"t_b", 26}, {"t_c", 26}, {"t_d", 26}, {"t_e", 26}, {"t_f", 53}}) {
    const std::string name = stem + ext;
    const QImage image = decodedOutput(dir / "out" / name);
    EXPECT_EQ(image.size(), QSize(40, height)) << name;
    EXPECT_NE(page.find(name), std::string::npos) << name;
    if (height == 26) EXPECT_LT(meanDifference(image, reference), 3.0) << name;
  }
  EXPECT_EQ(
      runTool("exiftool", {"-s3", "-DateTimeOriginal", (dir / "out" / ("t_a" + ext)).string()}),
      "2013:06:23 16:49:15\n");
  // The kept album takes the photos of every format from the same folder.
  if (ext == ".jpg") {
    const test::CliResult site = test::runCli({"album", "photos", "--out", "site"}, dir.path());
    ASSERT_EQ(site.exitCode, 0) << site.err;
    const std::string sitePage = test::readFile(dir / "site/index.html");
    for (const char* stem : {"a", "b", "c", "d", "e", "f", "g"}) {
      EXPECT_NE(sitePage.find(std::string("src=\"_img/") + stem + "-"), std::string::npos) << stem;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Cli, CliFormatsTest,
                         testing::Values(OutputCase{"Jpeg", "0", ".jpg"},
                                         OutputCase{"Webp", "1", ".webp"}),
                         [](const testing::TestParamInfo<OutputCase>& param) {
                           return std::string(param.param.name);
                         });

}  // namespace
}  // namespace snapfolio
