// snapfolio-cli's runs as scripts see them: exit statuses, what reaches a pipe at each
// verbosity, folders and -r, --set that changes nothing on disk, --save, and Ctrl+C (the album
// command: kept_album_test.cpp).
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include <QImageReader>
#include <QProcess>

#include "settings/ini_file.h"
#include "support/cli_process.h"
#include "support/fixtures.h"

namespace snapfolio {
namespace {

namespace fs = std::filesystem;
using test::CliResult;
using test::runCli;
using test::TempDir;

// Photo names in the order the run's status lines name them.
std::vector<std::string> photosRead(const std::string& err) {
  std::vector<std::string> names;
  static const std::regex kLine("(\\S+) 読み込み中");
  for (std::sregex_iterator it(err.begin(), err.end(), kLine), end; it != end; ++it) {
    names.push_back((*it)[1]);
  }
  return names;
}

std::vector<std::string> listing(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    names.push_back(fs::relative(entry.path(), dir).string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

int imageWidth(const fs::path& path) {
  return QImageReader(QString::fromStdString(path.string())).size().width();
}

const std::vector<std::string> kThumbnailOnly = {"--set", "Pict1Options/WIDTH1=40",
                                                 "--set", "Pict1Options/PRIFN1=t_",
                                                 "--set", "Pict2Options/GAZOU2=0"};

struct StatusCase {
  const char* name;
  std::vector<std::string> args;  // "@tiny" stands for the tiny sample photo
  int status;
};

class ExitStatusTest : public testing::TestWithParam<StatusCase> {};

TEST_P(ExitStatusTest, TellsHowTheRunEnded) {
  TempDir dir;
  fs::create_directory(dir / "empty");
  test::writeFile(dir / "broken.jpg", "not a photo");
  std::vector<std::string> args = GetParam().args;
  for (std::string& a : args) {
    if (a == "@tiny") a = test::photoPath("tiny.JPG").string();
  }
  const CliResult r = runCli(args, dir.path());
  EXPECT_EQ(r.exitCode, GetParam().status) << r.err;
}

std::vector<std::string> with(std::vector<std::string> head, std::vector<std::string> tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

INSTANTIATE_TEST_SUITE_P(
    Cli, ExitStatusTest,
    testing::Values(
        StatusCase{"written", with({"convert", "--out", ".", "@tiny"}, kThumbnailOnly), 0},
        StatusCase{"photoFailed",
                   with({"convert", "--out", ".", "broken.jpg", "@tiny"}, kThumbnailOnly), 1},
        StatusCase{"pageFailed",
                   with({"convert", "--out", ".", "@tiny", "--set", "OutStyl/HTMLCK=1", "--set",
                         "OutStyl/HTMLTMP=/none/t.dat"},
                        kThumbnailOnly),
                   1},
        StatusCase{"noWidth", {"convert", "--out", ".", "@tiny"}, 2},
        StatusCase{"nothingToMake",
                   {"convert", "@tiny", "-o", ".", "--set", "Pict1Options/GAZOU1=0", "--set",
                    "Pict2Options/GAZOU2=0", "--set", "OutStyl/HTMLCK=0"},
                   2},
        StatusCase{"emptyFolder", with({"convert", "empty", "--out", "."}, kThumbnailOnly), 2},
        // An album of an empty folder is a page that says it has no photo.
        StatusCase{"emptyAlbum", {"album", "empty", "--out", "a"}, 0},
        StatusCase{"noOutputFolder", with({"convert", "--out", "gone", "@tiny"}, kThumbnailOnly),
                   2},
        StatusCase{"usage", {"album", "@tiny", "--out", "a", "--bogus"}, 2}),
    [](const testing::TestParamInfo<StatusCase>& param) { return param.param.name; });

TEST(CliRunTest, PipeGetsFailuresAndTheSummaryUnlessVerbose) {
  TempDir dir;
  const std::string tiny = test::photoPath("tiny.JPG").string();
  const auto run = [&](std::vector<std::string> extra, std::vector<std::string> photos) {
    std::vector<std::string> args = with({"convert", "--out", "."}, kThumbnailOnly);
    args.insert(args.end(), extra.begin(), extra.end());
    args.insert(args.end(), photos.begin(), photos.end());
    return runCli(args, dir.path());
  };
  const CliResult normal = run({}, {tiny});
  EXPECT_EQ(normal.err, "1 image(s) written to " + dir.path().string() + "\n");
  EXPECT_EQ(normal.out, "");

  const CliResult quiet = run({"-q"}, {tiny});
  EXPECT_EQ(quiet.exitCode, 0);
  EXPECT_EQ(quiet.err, "");
  test::writeFile(dir / "broken.jpg", "not a photo");
  const CliResult quietFailure = run({"-q"}, {"broken.jpg", tiny});
  EXPECT_EQ(quietFailure.exitCode, 1);
  EXPECT_TRUE(quietFailure.err.starts_with("ERROR: 0101 : ")) << quietFailure.err;
  EXPECT_EQ(std::count(quietFailure.err.begin(), quietFailure.err.end(), '\n'), 1)
      << quietFailure.err;

  const CliResult verbose = run({"-v"}, {tiny});
  EXPECT_EQ(photosRead(verbose.err), std::vector<std::string>{"tiny.JPG"});
  EXPECT_NE(verbose.err.find("t_tiny 格納中\n"), std::string::npos) << verbose.err;
  EXPECT_NE(verbose.err.find("変換終了\n1 image(s) written to"), std::string::npos) << verbose.err;
}

TEST(CliRunTest, FoldersGiveTheirJpegFilesByNameAndRecurseWithR) {
  TempDir dir;
  const fs::path tiny = test::photoPath("tiny.JPG");
  for (const char* name :
       {"b.jpg", "A.JPEG", ".hidden.jpg", "sub/c.jpg", "sub/.x/d.jpg", "sub/deeper/e.jpeg",
        "nested/inner/f.jpg", "out/t_old.jpg", "g.HEIC", "h.png", "i.tiff", "j.webp"}) {
    fs::create_directories((dir / "photos" / name).parent_path());
    fs::copy_file(tiny, dir / "photos" / name);
  }
  test::writeFile(dir / "photos/notes.txt", "not a photo");
  fs::create_symlink(dir / "photos/sub", dir / "photos/link");

  const auto photos = [&](std::vector<std::string> extra) {
    std::vector<std::string> args = with({"convert", "-v", "--out", "photos/out"}, kThumbnailOnly);
    args.insert(args.end(), extra.begin(), extra.end());
    const CliResult r = runCli(args, dir.path());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return photosRead(r.err);
  };
  using Names = std::vector<std::string>;
  EXPECT_EQ(photos({"photos"}), (Names{"A.JPEG", "b.jpg", "g.HEIC", "h.png", "i.tiff", "j.webp"}));
  // Depth first, each folder's files before its subfolders; never the output folder.
  EXPECT_EQ(photos({"-r", "photos"}), (Names{"A.JPEG", "b.jpg", "g.HEIC", "h.png", "i.tiff",
                                             "j.webp", "f.jpg", "c.jpg", "e.jpeg"}));
  // A file given stands for itself, in the order given.
  EXPECT_EQ(photos({"photos/sub/c.jpg", "photos/sub/deeper"}), (Names{"c.jpg", "e.jpeg"}));

  // A folder whose photos are all in subfolders: said, with the way to take them.
  const CliResult none =
      runCli(with({"convert", "--out", "photos/out", "photos/nested"}, kThumbnailOnly), dir.path());
  EXPECT_EQ(none.exitCode, 2);
  EXPECT_NE(none.err.find("no JPEG file in 'photos/nested' (-r"), std::string::npos) << none.err;
}

// --set works in memory: a read-only settings file in a read-only folder stays as it was, to
// the byte, and so does everything under TMPDIR, where files planted under the names of a scratch
// copy are not read. Qt has no warning to give without XDG_RUNTIME_DIR.
TEST(CliRunTest, SetChangesNothingOnDisk) {
  TempDir dir;
  fs::create_directories(dir / "conf");
  fs::create_directories(dir / "tmp");
  fs::create_directories(dir / "out");
  const std::string settings =
      "; kept as it is\n[Pict1Options]\nWIDTH1=40\nPRIFN1=mine_\n[Pict2Options]\nGAZOU2=0\n";
  test::writeFile(dir / "conf/Snapfolio.ini", settings);
  // Planted for the process ids that come next, as another user could.
  int next = 0;
  std::ifstream("/proc/sys/kernel/ns_last_pid") >> next;
  const std::string planted = "[Pict1Options]\nPRIFN1=planted_\nWIDTH1=40\n";
  for (int pid = next + 1; pid <= next + 300; ++pid) {
    test::writeFile(dir / ("tmp/snapfolio-cli-" + std::to_string(pid) + ".ini"), planted);
  }
  const std::vector<std::string> tmpBefore = listing(dir / "tmp");
  fs::permissions(dir / "conf/Snapfolio.ini", fs::perms::owner_read | fs::perms::group_read);
  fs::permissions(dir / "conf", fs::perms::owner_read | fs::perms::owner_exec);

  const CliResult r =
      runCli({"convert", "--settings", "conf/Snapfolio.ini", "--out", "out", "--set",
              "Pict1Options/AFTFN1=_set", test::photoPath("tiny.JPG").string()},
             dir.path(), {{"TMPDIR", (dir / "tmp").string()}, {"XDG_RUNTIME_DIR", std::nullopt}});
  fs::permissions(dir / "conf", fs::perms::owner_all);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err.find("QStandardPaths"), std::string::npos) << r.err;
  EXPECT_EQ(listing(dir / "out"), std::vector<std::string>{"mine_tiny_set.JPG"});
  EXPECT_EQ(test::readFile(dir / "conf/Snapfolio.ini"), settings);
  EXPECT_EQ(listing(dir / "conf"), std::vector<std::string>{"Snapfolio.ini"});
  EXPECT_EQ(listing(dir / "tmp"), tmpBefore);
  EXPECT_EQ(test::readFile(dir / ("tmp/snapfolio-cli-" + std::to_string(next + 1) + ".ini")),
            planted);
}

// --save stores what the run used: the --set keys, also those no run writes, and the run's own.
TEST(CliRunTest, SaveStoresTheOptionsOfTheRun) {
  TempDir dir;
  const CliResult r =
      runCli(with({"convert", "--save", "--out", ".", "--set", "ColorAdjust/Aump_Adjust=20",
                   test::photoPath("tiny.JPG").string()},
                  kThumbnailOnly),
             dir.path());
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const TIniFile ini((dir / "Snapfolio.ini").string());
  EXPECT_EQ(ini.ReadString("Pict1Options", "WIDTH1", ""), "40");
  EXPECT_EQ(ini.ReadString("Pict1Options", "PRIFN1", ""), "t_");
  EXPECT_EQ(ini.ReadInteger("ColorAdjust", "Aump_Adjust", 0), 20);
  EXPECT_EQ(ini.ReadString("InOutFile", "OUTDIR", ""), dir.path().string());
  EXPECT_EQ(ini.ReadString("InOutFile", "INDIR", ""), test::photoPath("tiny.JPG").string());
}

// A folder name is text on the page, never markup; so is a title typed.
TEST(CliRunTest, AlbumTitleFromTheFolderNameIsEscaped) {
  TempDir dir;
  const std::string tiny = test::photoPath("tiny.JPG").string();
  ASSERT_EQ(runCli({"album", tiny, "--out", "<img src=x onerror=alert(1)>"}, dir.path()).exitCode,
            0);
  const std::string page = test::readFile(dir / "<img src=x onerror=alert(1)>/index.html");
  EXPECT_EQ(page.find("<img src=x"), std::string::npos);
  EXPECT_NE(page.find("&lt;img src=x onerror=alert(1)&gt;"), std::string::npos);
  ASSERT_EQ(runCli({"album", tiny, "--out", "web", "--title", "<b>Mine</b>"}, dir.path()).exitCode,
            0);
  EXPECT_NE(test::readFile(dir / "web/index.html").find("&lt;b&gt;Mine&lt;/b&gt;"),
            std::string::npos);
}

// A name that holds terminal controls reaches stderr with them escaped.
TEST(CliRunTest, ControlCharactersInNamesAreEscapedOnStderr) {
  TempDir dir;
  const std::string name = "\x1b]0;owned\x07\x1b[2J\xC2\x9B\x9B.jpg";
  fs::copy_file(test::fixturePath("garbage.jpg"), dir / name);
  // The folder, not the name: an argument would reach the program as UTF-8.
  const CliResult r = runCli(with({"convert", "--out", ".", "."}, kThumbnailOnly), dir.path());
  EXPECT_EQ(r.exitCode, 1) << r.err;
  EXPECT_NE(r.err.find("\\x1b]0;owned\\x07\\x1b[2J\\u009b\\x9b.jpg"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find_first_of("\x1b\x07"), std::string::npos) << r.err;
}

// A settings file of 16 MiB of blank lines costs about its size in memory, and a write that
// would grow it beyond what the next read takes is refused, with the reason, leaving it as it
// was.
TEST(CliRunTest, SettingsFileAtTheSizeLimitIsHeldCompactlyAndNeverOutgrown) {
  TempDir dir;
  const std::string blank(std::size_t{16} << 20, '\n');
  std::ofstream(dir / "Snapfolio.ini", std::ios::binary) << blank;
  const CliResult r = test::runCliMeasured(
      with({"convert", "--save", "--out", ".", test::photoPath("tiny.JPG").string()},
           kThumbnailOnly),
      dir.path());
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("16777216 bytes"), std::string::npos) << r.err;
  EXPECT_EQ(test::readFile(dir / "Snapfolio.ini"), blank);
  std::printf("peak memory: %ld KiB\n", r.peakKiB);
  EXPECT_GT(r.peakKiB, 0);
  EXPECT_LT(r.peakKiB, 300 * 1024);  // 1.8 GB and more when every line was an object
}

// A 240-byte ICC profile whose lut16 (mft2) tag claims a 255^3 x 15 table (3 inputs, 15
// outputs, 255 grid points), with no table data behind its two-entry input curves.
std::string claimingProfile() {
  std::string p(240, '\0');
  for (const auto& [at, bytes] : std::vector<std::pair<std::size_t, std::string_view>>{
           {0, std::string_view("\0\0\0\xF0\0\0\0\0\x02\x10\0\0mntrRGB XYZ ", 24)},
           {36, "acsp"},
           {128, std::string_view("\0\0\0\1A2B0\0\0\0\x90\0\0\0\x60mft2", 20)},
           {152, "\3\x0F\xFF"},
           {157, "\1"},  // identity matrix
           {173, "\1"},
           {189, "\1"},
           {193, std::string_view("\2\0\2", 3)}}) {
    p.replace(at, bytes.size(), bytes);
  }
  return p;
}

// Such a profile costs no more than a few MiB, and no time: the photo converts as sRGB.
TEST(CliRunTest, ColourProfileClaimingHugeTablesCostsLittle) {
  TempDir dir;
  const std::string jpeg = test::readFile(test::fixturePath("baseline-small.jpg"));
  const std::string icc = claimingProfile();
  const std::size_t length = 2 + 14 + icc.size();
  const std::string app2 = std::string("\xFF\xE2") + static_cast<char>(length >> 8) +
                           static_cast<char>(length & 0xFF) + std::string("ICC_PROFILE\0\1\1", 14) +
                           icc;
  std::ofstream(dir / "icc.jpg", std::ios::binary) << jpeg.substr(0, 2) + app2 + jpeg.substr(2);
  const CliResult r =
      test::runCliMeasured(with({"convert", "--out", ".", "icc.jpg"}, kThumbnailOnly), dir.path());
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(imageWidth(dir / "t_icc.jpg"), 40);
  std::printf("peak memory: %ld KiB\n", r.peakKiB);
  EXPECT_GT(r.peakKiB, 0);
  EXPECT_LT(r.peakKiB, 200 * 1024);  // 0.5 GB and more when lcms2 believed the table
}

// A 64 KB EXIF block of five directories (IFD0, EXIF, GPS, interoperability, IFD1) of 250
// entries each, all pointing at one shared 50,000-byte blob: 62 MB of data in a 68 KB photo.
std::string sharedDataExif() {
  auto u16 = [](unsigned v) { return std::string{char(v & 0xFF), char(v >> 8)}; };
  auto u32 = [&](unsigned v) { return u16(v & 0xFFFF) + u16(v >> 16); };
  constexpr unsigned kBlob = 50000, kPer = 250;
  const unsigned pointers[5] = {2, 1, 0, 0, 0};  // IFD0: EXIF, GPS; EXIF: interoperability
  unsigned at[6] = {8};
  for (int d = 0; d < 5; ++d) at[d + 1] = at[d] + 6 + 12 * (kPer + pointers[d]);
  std::string tiff = "II*" + std::string(1, '\0') + u32(8);
  for (int d = 0; d < 5; ++d) {
    tiff += u16(kPer + pointers[d]);
    if (d == 0) tiff += u16(0x8769) + u16(4) + u32(1) + u32(at[1]);
    if (d == 0) tiff += u16(0x8825) + u16(4) + u32(1) + u32(at[2]);
    if (d == 1) tiff += u16(0xa005) + u16(4) + u32(1) + u32(at[3]);
    for (unsigned i = 0; i < kPer; ++i) tiff += u16(0xc000 + i) + u16(7) + u32(kBlob) + u32(at[5]);
    tiff += u32(d == 0 ? at[4] : 0);  // IFD0 is followed by IFD1
  }
  const std::string segment = std::string("Exif\0\0", 6) + tiff + std::string(kBlob, 'U');
  const std::size_t length = segment.size() + 2;
  return std::string("\xFF\xE1") + char(length >> 8) + char(length & 0xFF) + segment;
}

// Such a block is not read: the photo converts without its EXIF data, in a few MiB.
TEST(CliRunTest, ExifEntriesSharingTheirDataCostLittle) {
  TempDir dir;
  const std::string jpeg = test::readFile(test::fixturePath("baseline-small.jpg"));
  std::ofstream(dir / "exif.jpg", std::ios::binary)
      << jpeg.substr(0, 2) + sharedDataExif() + jpeg.substr(2);
  const CliResult r =
      test::runCliMeasured({"convert", "--out", ".", "--set", "PhotoOptions/METADATA=2", "--set",
                            "PhotoOptions/DATESOURCE=1", "--set", "Pict1Options/WIDTH1=40", "--set",
                            "Pict1Options/PRIFN1=t_", "--set", "Pict2Options/WIDTH2=100", "--set",
                            "Pict2Options/AFTFN2=_l", "exif.jpg"},
                           dir.path());
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(imageWidth(dir / "exif_l.jpg"), 100);
  std::printf("peak memory: %ld KiB\n", r.peakKiB);
  EXPECT_GT(r.peakKiB, 0);
  EXPECT_LT(r.peakKiB, 80 * 1024);  // 316 MB when each entry got its copy of the blob
}

// Ctrl+C stops the run before its next photo, the page is still written, and the exit status
// is 130.
TEST(CliRunTest, CtrlCStopsBeforeTheNextPhoto) {
  TempDir dir;
  const fs::path photos = test::photoPath("tiny.JPG").parent_path();
  QProcess process;
  process.setWorkingDirectory(QString::fromStdString(dir.path().string()));
  fs::create_directory(dir / "web");
  process.start(QString::fromStdString(test::cliPath()),
                {"convert", "-v", QString::fromStdString(photos.string()), "--out", "web", "--set",
                 "Pict1Options/WIDTH1=40", "--set", "Pict1Options/PRIFN1=t_", "--set",
                 "Pict2Options/GAZOU2=0", "--set", "OutStyl/HTMLCK=1", "--set",
                 "OutStyl/HTMLFIL=index.html"});
  ASSERT_TRUE(process.waitForStarted());
  process.setReadChannel(QProcess::StandardError);
  std::string err;
  while (err.find("読み込み中") == std::string::npos && process.waitForReadyRead(60000)) {
    err += process.readAllStandardError().toStdString();
  }
  ASSERT_EQ(process.state(), QProcess::Running) << err;
  ASSERT_GT(process.processId(), 0);
  ::kill(static_cast<pid_t>(process.processId()), SIGINT);
  ASSERT_TRUE(process.waitForFinished(120000));
  err += process.readAllStandardError().toStdString();
  EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(process.exitCode(), 130) << err;
  const std::vector<std::string> read = photosRead(err);
  EXPECT_GE(read.size(), 1u);
  EXPECT_LT(read.size(), test::allPhotoNames().size()) << err;
  EXPECT_NE(err.find("Stopped by Ctrl+C after " + std::to_string(read.size()) + " of 15 photos"),
            std::string::npos)
      << err;
  EXPECT_TRUE(fs::exists(dir / "web/index.html"));
}

}  // namespace
}  // namespace snapfolio
