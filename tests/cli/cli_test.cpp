// snapfolio-cli end to end on the real fixture photos: the outputs are read back by an
// independent decoder (Qt's) and checked for size, baseline coding and quality 90; usage
// errors, failures and the render command's report line.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <QImageReader>
#include <QProcess>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "settings/ini_file.h"
#include "support/fixtures.h"
#include "support/reference_correction.h"
#include "support/tools.h"

namespace snapfolio {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

struct Result {
  int exitCode = -1;
  std::string out, err;
};

Result runCli(const std::vector<std::string>& args, const fs::path& workingDir,
              const std::function<void(QProcess&)>& setUp = {}) {
  const char* cli = std::getenv("SNAPFOLIO_CLI");
  EXPECT_NE(cli, nullptr) << "SNAPFOLIO_CLI is not set";
  QProcess process;
  process.setWorkingDirectory(QString::fromStdString(workingDir.string()));
  if (setUp) setUp(process);
  QStringList list;
  for (const auto& a : args) list << QString::fromStdString(a);
  process.start(QString::fromUtf8(cli ? cli : "snapfolio-cli"), list);
  EXPECT_TRUE(process.waitForFinished(600000));
  EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << "ended by a signal";
  return {process.exitCode(), process.readAllStandardOutput().toStdString(),
          process.readAllStandardError().toStdString()};
}

// The markers of a JPEG file: whether it is baseline (SOF0) and its first quantisation table
// in natural order.
struct JpegInfo {
  bool baseline = false;
  bool progressive = false;
  std::vector<int> luminanceTable;
};

JpegInfo inspect(const std::string& bytes) {
  static const int kZigzag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                                  12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                                  35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                                  58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};
  JpegInfo info;
  std::size_t i = 2;
  auto byte = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
  while (i + 4 <= bytes.size() && byte(i) == 0xFF) {
    int marker = byte(i + 1);
    std::size_t length = byte(i + 2) << 8 | byte(i + 3);
    if (marker == 0xC0) info.baseline = true;
    if (marker == 0xC2) info.progressive = true;
    if (marker == 0xDB && info.luminanceTable.empty() && i + 4 + 65 <= bytes.size() &&
        (byte(i + 4) >> 4) == 0) {
      info.luminanceTable.assign(64, 0);
      for (int k = 0; k < 64; ++k) info.luminanceTable[kZigzag[k]] = byte(i + 5 + k);
    }
    if (marker == 0xDA) break;
    i += 2 + length;
  }
  return info;
}

// libjpeg's standard luminance table scaled for quality 90 (scale factor 20 %).
std::vector<int> quality90Table() {
  static const int kStd[64] = {16,  11,  10,  16,  24, 40, 51,  61,  12,  12,  14,  19,  26,
                               58,  60,  55,  14,  13, 16, 24,  40,  57,  69,  56,  14,  17,
                               22,  29,  51,  87,  80, 62, 18,  22,  37,  56,  68,  109, 103,
                               77,  24,  35,  55,  64, 81, 104, 113, 92,  49,  64,  78,  87,
                               103, 121, 120, 101, 72, 92, 95,  98,  112, 100, 103, 99};
  std::vector<int> table(64);
  for (int k = 0; k < 64; ++k) table[k] = std::clamp((kStd[k] * 20 + 50) / 100, 1, 255);
  return table;
}

TEST(CliTest, ConvertsEveryFixturePhotoToBothImages) {
  TempDir dir;
  fs::create_directory(dir / "out");
  std::vector<std::string> args = {"convert",    "--save",
                                   "--settings", "s.ini",
                                   "--out",      "out",
                                   "--set",      "Pict1Options/WIDTH1=150",
                                   "--set",      "Pict1Options/PRIFN1=t_",
                                   "--set",      "Pict2Options/WIDTH2=640",
                                   "--set",      "Pict2Options/AFTFN2=_l"};
  std::vector<fs::path> photos;
  for (const char* name : test::allPhotoNames()) {
    fs::path p = test::photoPath(name);
    ASSERT_FALSE(p.empty());
    photos.push_back(p);
    args.push_back(p.string());
  }
  Result r = runCli(args, dir.path());
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err.find("Warning:"), std::string::npos) << r.err;

  // The widths asked for are those of the upright photo: exiftool reads each photo's EXIF
  // orientation, one line per photo ("-" without one).
  std::vector<std::string> orientationArgs = {"-T", "-n", "-Orientation"};
  for (const fs::path& photo : photos) orientationArgs.push_back(photo.string());
  std::istringstream orientations(test::runTool("exiftool", orientationArgs));
  for (const fs::path& photo : photos) {
    std::string orientation;
    std::getline(orientations, orientation);
    QImageReader source(QString::fromStdString(photo.string()));
    source.setAutoTransform(false);
    QSize size = source.size();
    if (orientation >= "5" && orientation <= "8") size.transpose();
    const std::string base = photo.stem().string(), ext = photo.extension().string();
    for (auto [name, width] : {std::pair{"t_" + base + ext, 150}, {base + "_l" + ext, 640}}) {
      fs::path out = dir / "out" / name;
      ASSERT_TRUE(fs::exists(out)) << name;
      QImageReader reader(QString::fromStdString(out.string()));
      QImage image = reader.read();
      ASSERT_FALSE(image.isNull()) << name << ": " << reader.errorString().toStdString();
      EXPECT_EQ(image.width(), width) << name;
      EXPECT_EQ(image.height(), size.height() * width / size.width()) << name;
      JpegInfo info = inspect(test::readFile(out));
      EXPECT_TRUE(info.baseline) << name;
      EXPECT_FALSE(info.progressive) << name;
      EXPECT_EQ(info.luminanceTable, quality90Table()) << name;
    }
  }
  // With --save the run stored its options as a run from the window does.
  TIniFile ini((dir / "s.ini").string());
  EXPECT_EQ(ini.ReadString("Pict1Options", "WIDTH1", ""), "150");
  EXPECT_EQ(ini.ReadString("InOutFile", "OUTDIR", ""), (dir / "out").string());
}

TEST(CliTest, ReportsUsageErrorsAndFailures) {
  TempDir dir;
  EXPECT_EQ(runCli({}, dir.path()).exitCode, 2);
  EXPECT_EQ(runCli({"frobnicate"}, dir.path()).exitCode, 2);
  EXPECT_EQ(runCli({"convert"}, dir.path()).exitCode, 2);
  EXPECT_EQ(runCli({"render", "--png", "x.png", "a.jpg"}, dir.path()).exitCode, 2);
  EXPECT_EQ(runCli({"convert", "--set", "nokey", "a.jpg"}, dir.path()).exitCode, 2);
  Result help = runCli({"--help"}, dir.path());
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("snapfolio-cli convert"), std::string::npos);
  // default-template names the template a run of that interface language takes.
  for (const auto& [lang, file] : {std::pair{"ja", "/album.dat\n"}, {"en", "/album-en.dat\n"}}) {
    Result shipped = runCli({"default-template"}, dir.path(), [lang](QProcess& process) {
      QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
      environment.insert("SNAPFOLIO_LANG", lang);
      process.setProcessEnvironment(environment);
    });
    EXPECT_EQ(shipped.exitCode, 0);
    EXPECT_TRUE(shipped.out.ends_with(file)) << shipped.out;
  }

  // A name that is not there is a usage error of either command, before anything is written.
  fs::create_directory(dir / "site");
  for (const char* command : {"convert", "album"}) {
    Result missing = runCli({command, "--set", "Pict1Options/WIDTH1=150", "--set",
                             "Pict1Options/PRIFN1=t_", "--set", "Pict2Options/GAZOU2=0", "--out",
                             "site", "missing.jpg"},
                            dir.path());
    EXPECT_EQ(missing.exitCode, 2) << command;
    EXPECT_NE(missing.err.find("no such file or folder: missing.jpg"), std::string::npos)
        << missing.err;
    EXPECT_FALSE(fs::exists(dir / "site" / "index.html")) << command;
  }

  // Validation: no width for a produced image.
  test::writeFile(dir / "a.jpg", "");
  Result noWidth =
      runCli({"convert", "--settings", "fresh.ini", "--out", ".", "a.jpg"}, dir.path());
  EXPECT_EQ(noWidth.exitCode, 2);
  EXPECT_NE(noWidth.err.find("Snapfolio: 出力する画像の横幅を指定してください。"),
            std::string::npos)
      << noWidth.err;

  // A missing template: the images are written, the closing line does not claim a page, and
  // the exit status says that the page asked for is missing.
  fs::path photo = test::photoPath("tiny.JPG");
  ASSERT_FALSE(photo.empty());
  Result noTemplate = runCli(
      {"convert", "--save", "--settings", "t.ini", "--out", ".", "--set", "Pict1Options/WIDTH1=50",
       "--set", "Pict1Options/PRIFN1=t_", "--set", "Pict2Options/GAZOU2=0", "--set",
       "OutStyl/HTMLCK=1", "--set", "OutStyl/HTMLFIL=index.html", "--set",
       "OutStyl/HTMLTMP=" + (dir / "gone.dat").string(), photo.string()},
      dir.path());
  EXPECT_EQ(noTemplate.exitCode, 1) << noTemplate.err;
  EXPECT_NE(noTemplate.err.find("Snapfolio: テンプレートファイルが存在しません。"),
            std::string::npos)
      << noTemplate.err;
  EXPECT_NE(noTemplate.err.find("1 image(s) written to"), std::string::npos) << noTemplate.err;
  EXPECT_EQ(noTemplate.err.find("with the album page"), std::string::npos) << noTemplate.err;
  EXPECT_FALSE(fs::exists(dir / "index.html"));
  // "--out ." names the working directory itself, without a trailing separator.
  EXPECT_EQ(TIniFile((dir / "t.ini").string()).ReadString("InOutFile", "OUTDIR", ""),
            dir.path().string());

  // A photo given as the settings file: said so, left byte for byte, the run on the defaults
  // and the overrides.
  fs::copy_file(photo, dir / "photo.jpg");
  const std::string before = test::readFile(dir / "photo.jpg");
  Result photoSettings =
      runCli({"convert", "--settings", "photo.jpg", "--out", ".", "--set", "Pict1Options/WIDTH1=50",
              "--set", "Pict1Options/PRIFN1=p_", "--set", "Pict2Options/GAZOU2=0", photo.string()},
             dir.path());
  EXPECT_EQ(photoSettings.exitCode, 0) << photoSettings.err;
  EXPECT_NE(photoSettings.err.find("Snapfolio: 0016 : "), std::string::npos) << photoSettings.err;
  EXPECT_TRUE(fs::exists(dir / "p_tiny.JPG"));
  EXPECT_EQ(test::readFile(dir / "photo.jpg"), before);
}

TEST(CliTest, DamagedPhotosConvertWithAWarningAndExitStatusOne) {
  TempDir dir;
  const std::string whole = test::readFile(test::photoPath("phone-420.jpg"));
  ASSERT_FALSE(whole.empty());
  const std::vector<std::string> options = {"convert",
                                            "--settings",
                                            "s.ini",
                                            "--out",
                                            ".",
                                            "--set",
                                            "Pict1Options/WIDTH1=150",
                                            "--set",
                                            "Pict1Options/PRIFN1=t_",
                                            "--set",
                                            "Pict2Options/GAZOU2=0"};
  std::vector<std::string> args = options, cuts;
  for (int percent : {20, 60, 95}) {
    cuts.push_back((dir / ("cut" + std::to_string(percent) + ".jpg")).string());
    test::writeFile(cuts.back(), whole.substr(0, whole.size() * percent / 100));
    args.push_back(cuts.back());
  }
  args.push_back(test::photoPath("tiny.JPG").string());
  Result r = runCli(args, dir.path());
  EXPECT_EQ(r.exitCode, 1) << r.err;
  for (const std::string& cut : cuts) {
    EXPECT_NE(r.err.find("Warning: 0103 : " + cut +
                         "の一部が読めないため、補って変換した。 "
                         "データが途中で終わっている。(Premature end of JPEG file)\n"),
              std::string::npos)
        << r.err;
    EXPECT_TRUE(fs::exists(dir / ("t_" + fs::path(cut).filename().string())));
  }
  EXPECT_EQ(r.err.find("Warning: 0103 : " + test::photoPath("tiny.JPG").string()),
            std::string::npos);
  EXPECT_NE(r.err.find("4 image(s) written to " + dir.path().string() +
                       "; 3 damaged photo(s), see the warnings"),
            std::string::npos)
      << r.err;

  // Header only: nothing to convert, the cause follows the step's message.
  const std::size_t sos = whole.find("\xFF\xDA");
  ASSERT_NE(sos, std::string::npos);
  const fs::path headerOnly = dir / "header-only.jpg";
  test::writeFile(
      headerOnly,
      whole.substr(0,
                   sos + 2 + (std::uint8_t(whole[sos + 2]) << 8 | std::uint8_t(whole[sos + 3]))));
  args = options;
  args.push_back(headerOnly.string());
  Result header = runCli(args, dir.path());
  EXPECT_EQ(header.exitCode, 1);
  EXPECT_NE(header.err.find("ERROR: 0101 : " + headerOnly.string() +
                            "の読み込みに失敗した。 画像データがない(ヘッダだけのJPEGファイル)。"),
            std::string::npos)
      << header.err;
}

// A FIFO named as a photo of any format is one photo that cannot be read: no wait for a
// writer while its format is told or its outputs are named.
TEST(CliTest, FifoNamedAsAPhotoFailsAloneWithoutWaiting) {
  TempDir dir;
  std::vector<std::string> args = {"convert", "--out", ".", "--set", "Pict1Options/WIDTH1=40",
                                   "--set", "Pict1Options/PRIFN1=t_", "--set",
                                   "Pict2Options/GAZOU2=0"};
  for (const char* name : {"a.heic", "b.png", "c.jpg"}) {
    ASSERT_EQ(::mkfifo((dir / name).c_str(), 0600), 0);
    args.push_back(name);
  }
  args.push_back(test::photoPath("tiny.JPG").string());
  const Result r = runCli(args, dir.path());
  EXPECT_EQ(r.exitCode, 1) << r.err;
  for (const char* name : {"a.heic", "b.png", "c.jpg"}) {
    EXPECT_NE(r.err.find(std::string(name) + " : 通常のファイルではない。"), std::string::npos)
        << r.err;
  }
  EXPECT_TRUE(fs::exists(dir / "t_tiny.JPG"));
}

TEST(CliTest, RenderPrintsTheSurfaceAndWritesALosslessPng) {
  TempDir dir;
  fs::path photo = test::photoPath("tiny.JPG");
  ASSERT_FALSE(photo.empty());
  Result r =
      runCli({"render", "--set", "Pict2Options/WIDTH2=140", "--set", "OutStyl/TIMSTYLE1=yyyy/mm/dd",
              "--image", "2", "--png", "out.png", photo.string()},
             dir.path());
  ASSERT_EQ(r.exitCode, 0) << r.err;
  // The fixture's modification time is set by the fixtures script; TZ=UTC.
  EXPECT_EQ(r.out, "width=140 height=92 stamp=\"2026/12/01\"\n");
  QImage png(QString::fromStdString((dir / "out.png").string()));
  EXPECT_EQ(png.size(), QSize(140, 92));

  // With the stamp on, at the bottom right (position 6) and auto size: the stamp's cell ends at
  // the surface's bottom-right corner.
  Result stamped = runCli(
      {"render", "--set", "Pict1Options/WIDTH1=640", "--set", "OutStyl/TIMSTMP1=1", "--set",
       "OutStyl/TIMSTYLE1=yyyy/mm/dd hh:nn", "--image", "1", "--png", "s.png", photo.string()},
      dir.path());
  ASSERT_EQ(stamped.exitCode, 0) << stamped.err;
  int w = 0, h = 0, x = 0, y = 0, sw = 0, sh = 0;
  ASSERT_EQ(std::sscanf(stamped.out.c_str(),
                        "width=%d height=%d stamp=\"2026/12/01 00:12\" stamp_rect=%d,%d,%d,%d", &w,
                        &h, &x, &y, &sw, &sh),
            6)
      << stamped.out;
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 420);
  EXPECT_EQ(x + sw, w);
  EXPECT_EQ(y + sh, h);
  EXPECT_GT(sw, 0);
}

// The correction of a real photo through the whole pipeline equals the formula evaluated pixel by
// pixel on the same scaled photo rendered without correction.
TEST(CliTest, RenderCorrectsARealPhotoLikeTheFormula) {
  TempDir dir;
  fs::path photo = test::photoPath("dark.jpg");
  ASSERT_FALSE(photo.empty());
  const std::vector<std::string> common = {"render",
                                           "--set",
                                           "Pict2Options/WIDTH2=640",
                                           "--set",
                                           "ColorAdjust/RED_Adjust=12abc",
                                           "--set",
                                           "ColorAdjust/BLUE_Adjust= -7",
                                           "--set",
                                           "ColorAdjust/Aump_Adjust=40",
                                           "--set",
                                           "ColorAdjust/Cntlr_Adjust=25",
                                           "--image",
                                           "2"};
  auto render = [&](bool correct, const std::string& png) {
    std::vector<std::string> args = common;
    args.insert(args.end(), {"--set", std::string("Pict2Options/ATADJ2=") + (correct ? "1" : "0"),
                             "--png", png, photo.string()});
    Result r = runCli(args, dir.path());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return Raster::fromImage(QImage(QString::fromStdString((dir / png).string())));
  };
  const Raster plain = render(false, "plain.png");
  const Raster corrected = render(true, "corrected.png");
  ASSERT_EQ(plain.width(), 640);
  const Raster expected = test::referenceCorrection(plain, 12, 0, -7, 40, 25);
  long long differing = 0;
  for (int y = 0; y < plain.height(); ++y) {
    for (int x = 0; x < plain.width(); ++x)
      differing += corrected.pixel(x, y) != expected.pixel(x, y);
  }
  EXPECT_EQ(differing, 0);
  EXPECT_NE(corrected, plain);
}

// --set changes the options in memory: no scratch file anywhere (a temporary folder that is no
// folder changes nothing), and the settings file keeps its bytes.
TEST(CliTest, SetNeedsNoScratchFile) {
  TempDir dir;
  fs::path photo = test::photoPath("tiny.JPG");
  ASSERT_FALSE(photo.empty());
  test::writeFile(dir / "Snapfolio.ini", "[Pict2Options]\nWIDTH2=30\n");
  test::writeFile(dir / "not-a-folder", "");
  Result r = runCli({"render", "--set", "Pict2Options/WIDTH2=140", "--image", "2", "--png",
                     "out.png", photo.string()},
                    dir.path(), [&](QProcess& process) {
                      QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
                      env.insert("TMPDIR", QString::fromStdString((dir / "not-a-folder").string()));
                      process.setProcessEnvironment(env);
                    });
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, 10), "width=140 ");
  EXPECT_EQ(test::readFile(dir / "Snapfolio.ini"), "[Pict2Options]\nWIDTH2=30\n");
}

// Nothing at a name another user could guess is read or written: a settings file planted
// under /tmp/snapfolio-cli-<pid>.ini, or a link there to a private file, is left alone by a
// command with --set, which keeps the options in memory.
TEST(CliTest, SetTrustsNoFileAtAGuessableName) {
  TempDir dir;
  fs::path photo = test::photoPath("tiny.JPG");
  ASSERT_FALSE(photo.empty());
  const std::string planted = "[Pict1Options]\nPRIFN1=planted_\n[OutStyl]\nHTMLCK=1\n";
  const fs::path victim = dir / "private";
  test::writeFile(victim, "secret\n");
  fs::permissions(victim, fs::perms::owner_read | fs::perms::owner_write);
  for (const bool link : {false, true}) {
    fs::create_directory(dir / "out");
    Result r = runCli({"convert", "--out", "out", "--set", "Pict1Options/WIDTH1=40", "--set",
                       "Pict1Options/PRIFN1=t_", "--set", "Pict2Options/GAZOU2=0", photo.string()},
                      dir.path(), [&](QProcess& process) {
                        process.setChildProcessModifier([&] {
                          // In the child: its pid is the command's.
                          char name[64];
                          std::snprintf(name, sizeof name, "/tmp/snapfolio-cli-%d.ini",
                                        static_cast<int>(::getpid()));
                          if (link) {
                            (void)::symlink(victim.c_str(), name);
                          } else {
                            const int fd = ::open(name, O_WRONLY | O_CREAT | O_EXCL, 0644);
                            (void)::write(fd, planted.data(), planted.size());
                            ::close(fd);
                          }
                        });
                      });
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(fs::exists(dir / "out" / "t_tiny.JPG"));
    EXPECT_FALSE(fs::exists(dir / "out" / "index.html"));
    EXPECT_EQ(test::readFile(victim), "secret\n");
    EXPECT_EQ(fs::status(victim).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    fs::remove_all(dir / "out");
  }
  // What this test planted goes again.
  for (const auto& entry : fs::directory_iterator("/tmp")) {
    const std::string name = entry.path().filename().string();
    if (!name.starts_with("snapfolio-cli-") || !name.ends_with(".ini")) continue;
    std::error_code ec;
    if (fs::is_symlink(entry.symlink_status()) ? fs::read_symlink(entry.path(), ec) == victim
                                               : test::readFile(entry.path()) == planted) {
      fs::remove(entry.path(), ec);
    }
  }
}

// A write over the file size limit (ulimit -f) fails with the step's message; the program is
// not killed by SIGXFSZ and leaves no temporary file.
TEST(CliTest, FileSizeLimitFailsWithItsMessage) {
  TempDir dir;
  fs::path photo = test::photoPath("tiny.JPG");
  ASSERT_FALSE(photo.empty());
  fs::create_directory(dir / "out");
  Result r = runCli({"convert", "--out", "out", "--set", "Pict1Options/WIDTH1=1600", "--set",
                     "Pict2Options/GAZOU2=0", photo.string()},
                    dir.path(), [](QProcess& process) {
                      process.setChildProcessModifier([] {
                        ::signal(SIGXFSZ, SIG_DFL);  // as a shell leaves it
                        struct rlimit limit {};
                        ::getrlimit(RLIMIT_FSIZE, &limit);
                        limit.rlim_cur = 16384;
                        ::setrlimit(RLIMIT_FSIZE, &limit);
                      });
                    });
  EXPECT_EQ(r.exitCode, 1) << r.err;
  EXPECT_NE(r.err.find("ERROR: 0008 : " + photo.string() + "のJPEGの格納に失敗した。"),
            std::string::npos)
      << r.err;
  EXPECT_TRUE(fs::is_empty(dir / "out"));
}

}  // namespace
}  // namespace snapfolio
