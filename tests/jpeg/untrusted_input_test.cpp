// Crafted files that try to exhaust time or memory: a progressive file with hundreds of
// scans, and a progressive header whose coefficient buffers would need more memory than the
// decoder may use. Both must fail cleanly and quickly with EJPEG.
#include "jpeg/jpeg_image.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include <jerror.h>

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

std::span<const std::uint8_t> bytesOf(const std::string& s) {
  return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
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
    image.ReadFrom(bytesOf(cut));
    // The library completes the missing data and the photo draws.
    Raster canvas(16, 12);
    image.DrawTo(canvas, QRect(0, 0, 16, 12));
    EXPECT_EQ(image.DecodedBitmap().width(), 128);
  }
}

}  // namespace
}  // namespace snapfolio
