// An album over photos in every format read, written as WebP: made by the formats' own tools
// (ImageMagick, heif-enc; the DNG by tests/fixtures/make-dng.py), checked by an independent
// decoder (dwebp) and exiftool.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <QImageReader>

#include "support/cli_process.h"
#include "support/fixtures.h"
#include "support/tools.h"

namespace snapfolio {
namespace {

namespace fs = std::filesystem;
using test::runTool;

TEST(CliFormatsTest, EveryFormatGivesAnUprightWebpOfTheAskedWidthNamedInThePage) {
  test::TempDir dir;
  fs::create_directory(dir / "photos");
  const std::string tiny = test::photoPath("tiny.JPG").string();  // 70 x 46
  // 640 x 428 stored, EXIF orientation 6 and a date taken.
  fs::copy_file(test::photoPath("portrait-exif6.jpg"), dir / "photos/a.jpg");
  runTool("heif-enc", {"-q", "60", tiny, "-o", (dir / "photos/b.heic").string()});
  for (const char* name : {"c.png", "d.tif", "e.webp"}) {
    runTool("convert", {tiny, (dir / "photos" / name).string()});
  }
  // 64 x 48 stored, turned by the camera (orientation 6), with a preview of the same size.
  runTool("convert", {"-size", "64x48", "xc:green", (dir / "preview.jpg").string()});
  runTool("python3", {test::fixturePath("make-dng.py").string(), (dir / "photos/f.dng").string(),
                      "64", "48", (dir / "preview.jpg").string(), "64", "48", "6"});
  const test::CliResult r =
      test::runCli({"album", "photos", "--out", "out", "--set", "Pict1Options/WIDTH1=40", "--set",
                    "Pict1Options/PRIFN1=t_", "--set", "Pict2Options/GAZOU2=0", "--set",
                    "PhotoOptions/OUTFORMAT=1", "--set", "PhotoOptions/METADATA=2"},
                   dir.path());
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::string page = test::readFile(dir / "out/index.html");
  for (const auto& [name, height] : {std::pair{"t_a.webp", 59},
                                     {"t_b.webp", 26},
                                     {"t_c.webp", 26},
                                     {"t_d.webp", 26},
                                     {"t_e.webp", 26}}) {
    const fs::path out = dir / "out" / name;
    const fs::path decoded = dir / (std::string(name) + ".png");
    runTool("dwebp", {out.string(), "-o", decoded.string()});
    EXPECT_EQ(QImageReader(QString::fromStdString(decoded.string())).size(), QSize(40, height))
        << name;
    EXPECT_NE(page.find(name), std::string::npos) << name;
  }
  EXPECT_EQ(runTool("exiftool", {"-s3", "-DateTimeOriginal", (dir / "out/t_a.webp").string()}),
            "2013:06:23 16:49:15\n");
}

}  // namespace
}  // namespace snapfolio
