// Crafted files that try to exhaust time or memory: a progressive file with hundreds of
// scans, and a progressive header whose coefficient buffers would need more memory than the
// decoder may use. Both must fail cleanly and quickly with EJPEG.
#include "jpeg/jpeg_image.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

#include "support/fixtures.h"

namespace snapfolio {
namespace {

using Clock = std::chrono::steady_clock;

// The marker segments of a JPEG file, each with its entropy-coded data after a scan header.
std::vector<std::string> segmentsOf(const std::string& jpeg) {
  std::vector<std::string> segments{jpeg.substr(0, 2)};  // SOI
  std::size_t i = 2;
  while (i + 4 <= jpeg.size()) {
    const auto marker = static_cast<std::uint8_t>(jpeg[i + 1]);
    if (marker == 0xD9) {
      segments.push_back(jpeg.substr(i, 2));  // EOI
      break;
    }
    const std::size_t length =
        (static_cast<std::uint8_t>(jpeg[i + 2]) << 8) | static_cast<std::uint8_t>(jpeg[i + 3]);
    std::size_t end = i + 2 + length;
    if (marker == 0xDA) {  // scan: the data runs to the next marker that is not a restart
      while (end + 1 < jpeg.size()) {
        const auto next = static_cast<std::uint8_t>(jpeg[end + 1]);
        if (static_cast<std::uint8_t>(jpeg[end]) == 0xFF && next != 0 &&
            (next < 0xD0 || next > 0xD7)) {
          break;
        }
        ++end;
      }
    }
    segments.push_back(jpeg.substr(i, end - i));
    i = end;
  }
  return segments;
}

// Where the entropy-coded data of the first scan begins.
std::size_t scanDataStart(const std::string& jpeg) {
  const std::size_t sos = jpeg.find("\xFF\xDA");
  return sos + 2 + ((std::uint8_t(jpeg[sos + 2]) << 8) | std::uint8_t(jpeg[sos + 3]));
}

std::vector<std::uint8_t> bytesOf(const std::string& s) {
  return {s.begin(), s.end()};
}

// The small progressive fixture with its last scan repeated until the file has `scans` scans.
std::string withScans(int scans) {
  const std::vector<std::string> segments =
      segmentsOf(test::readFile(test::fixturePath("progressive-small.jpg")));
  std::string file;
  int present = 0;
  std::string lastScan;
  for (const std::string& segment : segments) {
    if (static_cast<std::uint8_t>(segment[1]) == 0xD9) break;
    if (static_cast<std::uint8_t>(segment[1]) == 0xDA) {
      ++present;
      lastScan = segment;
    }
    file += segment;
  }
  for (; present < scans; ++present) file += lastScan;
  return file + "\xFF\xD9";
}

TEST(UntrustedInputTest, ProgressiveFileWithTooManyScansFailsQuickly) {
  TJPEGImage image;
  image.ReadFrom(bytesOf(withScans(100)));
  EXPECT_EQ(image.DecodedBitmap().width(), 128) << "a hundred scans are still decoded";

  const auto start = Clock::now();
  TJPEGImage monster;
  monster.ReadFrom(bytesOf(withScans(5000)));
  EXPECT_TRUE(monster.Options().ProgressiveWrite);
  try {
    monster.DecodedBitmap();
    FAIL() << "5000 scans decoded";
  } catch (const EJPEG& e) {
    EXPECT_STREQ(e.what(), "JPEG file has too many scans");
  }
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
}

TEST(UntrustedInputTest, ProgressiveHeaderBeyondTheMemoryBoundFailsBeforeAllocating) {
  // 16000 x 15000 is within the pixel limit, but with every component at full resolution its
  // progressive coefficients would take 1.44 GB, more than the decoder may use.
  std::string file = test::readFile(test::fixturePath("progressive-small.jpg"));
  const std::size_t sof = file.find("\xFF\xC2");
  ASSERT_NE(sof, std::string::npos);
  file[sof + 5] = char(15000 >> 8);
  file[sof + 6] = char(15000 & 0xFF);
  file[sof + 7] = char(16000 >> 8);
  file[sof + 8] = char(16000 & 0xFF);
  const int components = static_cast<std::uint8_t>(file[sof + 9]);
  for (int c = 0; c < components; ++c) file[sof + 11 + 3 * c] = 0x11;
  // Enough scan data that the header's size is not refused at loading already.
  file.insert(scanDataStart(file), 100'000, '\0');

  const auto start = Clock::now();
  TJPEGImage image;
  image.ReadFrom(bytesOf(file));
  EXPECT_EQ(image.ImageWidth(), 16000);
  EXPECT_EQ(image.ImageHeight(), 15000);
  try {
    image.DecodedBitmap();
    FAIL() << "the progressive monster decoded";
  } catch (const EJPEG& e) {
    // The library asks for backing store (which does not exist) instead of allocating.
    EXPECT_EQ(std::string(e.what()), jpegErrorMessage(JERR_NO_BACKING_STORE));
  }
  Raster thumbnail(150, 140);
  EXPECT_THROW(image.DrawTo(thumbnail, QRect(0, 0, 150, 140)), EJPEG);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
}

TEST(UntrustedInputTest, FileCutAnywhereFailsCleanlyOrDecodesWhatIsThere) {
  const std::string whole = test::readFile(test::fixturePath("baseline-small.jpg"));
  const std::size_t sos = whole.find("\xFF\xDA");
  ASSERT_NE(sos, std::string::npos);
  const std::size_t headerEnd =
      sos + 2 + ((std::uint8_t(whole[sos + 2]) << 8) | std::uint8_t(whole[sos + 3]));
  for (std::size_t length = 1; length < whole.size(); length += 3) {
    SCOPED_TRACE(length);
    TJPEGImage image;
    const std::string cut = whole.substr(0, length);
    if (length <= sos) {
      // Without a scan header there is no image.
      EXPECT_THROW(image.ReadFrom(bytesOf(cut)), EJPEG);
      continue;
    }
    if (length < headerEnd) {
      // A scan header cut short may be completed by the library's end-of-data filler into
      // nonsense; whatever happens, nothing but EJPEG comes out.
      try {
        image.ReadFrom(bytesOf(cut));
        Raster canvas(16, 12);
        image.DrawTo(canvas, QRect(0, 0, 16, 12));
      } catch (const EJPEG&) {
      }
      continue;
    }
    // 288 blocks need at least 72 bytes; a file is refused only when it holds less than a
    // sixteenth of that (no data at all, or a few bytes), with its cause.
    if (length < headerEnd + 5) {
      try {
        image.ReadFrom(bytesOf(cut));
        ADD_FAILURE() << "a scan of " << length - headerEnd << " bytes loaded";
      } catch (const EJPEG& e) {
        EXPECT_FALSE(e.cause().empty()) << e.what();
      }
      continue;
    }
    image.ReadFrom(bytesOf(cut));
    // The library completes the missing data, the photo draws, and the damage is known.
    Raster canvas(16, 12);
    image.DrawTo(canvas, QRect(0, 0, 16, 12));
    ASSERT_TRUE(image.Damage());
    EXPECT_TRUE(image.Damage()->truncated);
    EXPECT_EQ(image.DecodedBitmap().width(), 128);
  }
}

// A header that claims a picture its data cannot hold is refused at loading, with its cause.
struct RefusalCase {
  const char* name;
  std::string (*make)(const std::string& baseline);
  const char* cause;  // the start of EJPEG::cause()
};

std::string withSize(std::string jpeg, int width, int height) {
  const std::size_t sof = jpeg.find("\xFF\xC0");
  jpeg[sof + 5] = char(height >> 8);
  jpeg[sof + 6] = char(height & 0xFF);
  jpeg[sof + 7] = char(width >> 8);
  jpeg[sof + 8] = char(width & 0xFF);
  return jpeg;
}

const RefusalCase kRefusals[] = {
    {"ScanHeaderThenEnd", [](const std::string& j) { return j.substr(0, scanDataStart(j)); },
     "画像データがない"},
    {"ScanHeaderThenEoi",
     [](const std::string& j) { return j.substr(0, scanDataStart(j)) + "\xFF\xD9"; },
     "画像データがない"},
    {"NoScanHeader",
     [](const std::string& j) { return j.substr(0, j.find("\xFF\xDA")) + "\xFF\xD9"; },
     "画像データがない"},
    // 700 bytes claiming 15800 x 15800: decoding it took seconds and gigabytes of grey.
    {"HugeSizeOverAFewBytes",
     [](const std::string& j) { return withSize(j, 15800, 15800).substr(0, 700); },
     "画像データが少なすぎる(77バイトでは、ヘッダの15800 x 15800ピクセルの1/16も表せない)"},
};

class RefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(RefusalTest, FailsAtLoadingWithItsCause) {
  const std::string file = GetParam().make(test::readFile(test::fixturePath("baseline-small.jpg")));
  TJPEGImage image;
  try {
    image.ReadFrom(bytesOf(file));
    FAIL() << "loaded";
  } catch (const EJPEG& e) {
    EXPECT_TRUE(e.cause().starts_with(GetParam().cause)) << e.cause();
  }
  EXPECT_EQ(image.ImageWidth(), 0);
  Raster canvas(10, 10);
  EXPECT_THROW(image.DrawTo(canvas, QRect(0, 0, 10, 10)), EJPEG);
}

INSTANTIATE_TEST_SUITE_P(Headers, RefusalTest, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

// The bound must never refuse a sound file: the flattest picture costs the fewest bits, and
// optimised Huffman tables give it one-bit codes (two bits per block in a sequential scan, one
// per block in a progressive DC scan). Arithmetic coding codes it in a handful of bytes.
enum class Coding { Sequential, Progressive, Arithmetic };

std::string flatJpeg(int width, int height, Coding coding) {
  jpeg_compress_struct c;
  jpeg_error_mgr e;
  c.err = jpeg_std_error(&e);
  jpeg_create_compress(&c);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &buffer, &size);
  c.image_width = width;
  c.image_height = height;
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  c.arith_code = coding == Coding::Arithmetic ? TRUE : FALSE;
  c.optimize_coding = !c.arith_code;
  if (coding == Coding::Progressive) jpeg_simple_progression(&c);
  jpeg_start_compress(&c, TRUE);
  std::vector<JSAMPLE> row(width * 3, 128);
  JSAMPROW rows[1] = {row.data()};
  while (c.next_scanline < c.image_height) jpeg_write_scanlines(&c, rows, 1);
  jpeg_finish_compress(&c);
  std::string file(reinterpret_cast<char*>(buffer), size);
  std::free(buffer);
  jpeg_destroy_compress(&c);
  return file;
}

TEST(UntrustedInputTest, LargeFlatPicturesLoadWithoutDamage) {
  for (Coding coding : {Coding::Sequential, Coding::Progressive, Coding::Arithmetic}) {
    SCOPED_TRACE(static_cast<int>(coding));
    const std::string file = flatJpeg(6000, 4000, coding);
    TJPEGImage image;
    image.ReadFrom(bytesOf(file));
    Raster canvas(150, 100);
    image.DrawTo(canvas, QRect(0, 0, 150, 100));
    EXPECT_FALSE(image.Damage()) << image.Damage()->cause();
    EXPECT_EQ(canvas.pixel(75, 50), rgb(128, 128, 128));
  }
}

// Damaged data that the library gets past: the picture decodes, the damage and its kind are
// reported.
struct DamageCase {
  const char* name;
  double keep;        // share of the scan data kept (the rest cut off)
  bool corrupt;       // bytes in the middle of the scan data overwritten
  bool truncated;     // expected JpegDamage::truncated
  const char* cause;  // expected start of JpegDamage::cause()
};

class DamageTest : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamageTest, DecodesAndReportsTheDamage) {
  const DamageCase& c = GetParam();
  std::string file = test::readFile(test::fixturePath("baseline-small.jpg"));
  const std::size_t start = scanDataStart(file);
  const std::size_t data = file.size() - 2 - start;
  if (c.corrupt) {
    for (std::size_t i = start + data / 3; i < start + data / 3 + 40; ++i) file[i] = '\x7F';
  }
  if (c.keep < 1) file.resize(start + static_cast<std::size_t>(data * c.keep));
  TJPEGImage image;
  image.ReadFrom(bytesOf(file));
  EXPECT_EQ(image.DecodedBitmap().width(), 128);
  ASSERT_TRUE(image.Damage());
  EXPECT_EQ(image.Damage()->truncated, c.truncated);
  EXPECT_TRUE(image.Damage()->cause().starts_with(c.cause)) << image.Damage()->cause();
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamageTest,
    ::testing::Values(
        DamageCase{"CutAtATenth", 0.1, false, true, "データが途中で終わっている。(Premature end"},
        DamageCase{"CutInTheMiddle", 0.5, false, true, "データが途中で終わっている。"},
        DamageCase{"CutBeforeTheEnd", 0.99, false, true, "データが途中で終わっている。"},
        DamageCase{"Corrupt", 1.0, true, false, "データが壊れている。(Corrupt JPEG data"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace snapfolio
