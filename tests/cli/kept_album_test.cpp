// The kept album (snapfolio-cli album SOURCE... --out SITE) over a temporary tree: what a rerun
// does after each kind of change, a run killed midway, a busy site, equal names, a site inside
// its source, and a damaged catalogue.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include <QProcess>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <csignal>

#include "support/cli_process.h"
#include "support/fixtures.h"

namespace snapfolio {
namespace {

namespace fs = std::filesystem;
using test::runCli;
using test::TempDir;

void copyPhoto(const std::string& name, const fs::path& to) {
  fs::create_directories(to.parent_path());
  fs::copy_file(test::photoPath(name), to, fs::copy_options::overwrite_existing);
}

// Every image a page names exists, every image in the site is named by a page, and the
// number of photos the pages show.
int checkSite(const fs::path& site) {
  static const std::regex kImage(R"re((?:src|href|srcset|data-srcset)="([^"]*)")re");
  static const std::regex kUrl(R"re(([^ ,"]*_img/[^ ,"]+))re");
  std::set<fs::path> named, present;
  int photos = 0;
  for (const auto& entry : fs::recursive_directory_iterator(site)) {
    const fs::path path = entry.path();
    if (path.parent_path().filename() == "_img") present.insert(path);
    if (path.filename() != "index.html") continue;
    const std::string page = test::readFile(path);
    for (std::size_t at = page.find("<div class=\"grid\">"); at != std::string::npos;
         at = page.find("<a href=", at + 1)) {
      if (page.compare(at, 8, "<a href=") == 0) ++photos;
    }
    for (std::sregex_iterator it(page.begin(), page.end(), kImage), end; it != end; ++it) {
      const std::string value = (*it)[1];
      for (std::sregex_iterator u(value.begin(), value.end(), kUrl); u != end; ++u) {
        named.insert(fs::weakly_canonical(path.parent_path() / (*u)[1].str()));
      }
    }
  }
  for (const fs::path& p : named) EXPECT_TRUE(fs::exists(p)) << "missing " << p;
  for (const fs::path& p : present) EXPECT_TRUE(named.contains(p)) << "orphan " << p;
  return photos;
}

struct ChangeCase {
  const char* name;
  std::function<void(const fs::path& src)> change;
  std::vector<std::string> extraArgs;
  const char* summary;  // the start of the rerun's summary line
  int photos;           // shown by the pages afterwards
};

class KeptAlbumChange : public testing::TestWithParam<ChangeCase> {};

// Three photos in two folders, built once, then changed and built again.
TEST_P(KeptAlbumChange, RerunDoesOnlyWhatChanged) {
  TempDir dir;
  const fs::path src = dir / "src";
  copyPhoto("tiny.JPG", src / "a/tiny.JPG");
  copyPhoto("grey-exif.jpg", src / "a/grey.jpg");
  copyPhoto("cmyk.jpeg", src / "b/cmyk.jpeg");
  const auto build = [&](std::vector<std::string> extra) {
    std::vector<std::string> args = {"album", "src", "--out", "site", "-j", "2"};
    args.insert(args.end(), extra.begin(), extra.end());
    return runCli(args, dir.path());
  };
  const test::CliResult first = build({});
  ASSERT_EQ(first.exitCode, 0) << first.err;
  EXPECT_TRUE(first.err.starts_with("3 photo(s) converted; 3 photo(s) in the album")) << first.err;
  EXPECT_EQ(checkSite(dir / "site"), 3);

  GetParam().change(src);
  const test::CliResult again = build(GetParam().extraArgs);
  EXPECT_EQ(again.exitCode, 0) << again.err;
  EXPECT_TRUE(again.err.starts_with(GetParam().summary)) << again.err;
  EXPECT_EQ(checkSite(dir / "site"), GetParam().photos);
  // And then there is nothing left to do.
  EXPECT_TRUE(build(GetParam().extraArgs).err.starts_with("Nothing to convert:"));
}

INSTANTIATE_TEST_SUITE_P(
    Changes, KeptAlbumChange,
    testing::Values(
        ChangeCase{"nothing", [](const fs::path&) {}, {}, "Nothing to convert: 3 photo(s)", 3},
        ChangeCase{"added",
                   [](const fs::path& s) { copyPhoto("panorama.jpg", s / "b/p.jpg"); },
                   {},
                   "1 photo(s) converted; 4 photo(s)",
                   4},
        ChangeCase{"touched",
                   [](const fs::path& s) {
                     fs::last_write_time(s / "a/tiny.JPG", fs::file_time_type::clock::now());
                   },
                   {},
                   "Nothing to convert: 3 photo(s)",
                   3},
        ChangeCase{"changed",
                   [](const fs::path& s) { copyPhoto("panorama.jpg", s / "a/grey.jpg"); },
                   {},
                   "1 photo(s) converted; 3 photo(s)",
                   3},
        ChangeCase{"movedToAnotherFolder",
                   [](const fs::path& s) { fs::rename(s / "a/tiny.JPG", s / "b/small.JPG"); },
                   {},
                   "0 photo(s) converted, 1 moved; 3 photo(s)",
                   3},
        ChangeCase{"deleted",
                   [](const fs::path& s) { fs::remove(s / "b/cmyk.jpeg"); },
                   {},
                   "0 photo(s) converted, 1 removed; 2 photo(s)",
                   2},
        ChangeCase{"thumbnailOptions",
                   [](const fs::path&) {},
                   {"--set", "Pict1Options/ATADJ1=1"},
                   "0 photo(s) converted, 3 remade",
                   3},
        ChangeCase{"namedPhotoJoinsTheTopAlbum",
                   [](const fs::path& s) {
                     copyPhoto("panorama.jpg", s.parent_path() / "loose/pano.jpg");
                   },
                   {"loose/pano.jpg"},
                   "1 photo(s) converted; 4 photo(s)",
                   4}),
    [](const testing::TestParamInfo<ChangeCase>& param) { return param.param.name; });

// Output images as WebP: every image of the site is a WebP file, named by the pages; back to
// JPEG, the WebP files go.
TEST(KeptAlbum, ImagesFollowTheOutputFormat) {
  TempDir dir;
  copyPhoto("tiny.JPG", dir / "src/tiny.JPG");
  copyPhoto("dark.jpg", dir / "src/a/dark.jpg");
  for (const char* format : {"1", "0"}) {
    const test::CliResult r =
        runCli({"album", "src", "--out", "site", "--set",
                std::string("PhotoOptions/OUTFORMAT=") + format},
               dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(checkSite(dir / "site"), 2);
    int images = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dir / "site")) {
      if (entry.path().parent_path().filename() != "_img") continue;
      ++images;
      const std::string bytes = test::readFile(entry.path());
      const bool webp = bytes.size() > 12 && bytes.compare(0, 4, "RIFF") == 0 &&
                        bytes.compare(8, 4, "WEBP") == 0;
      EXPECT_EQ(webp, *format == '1') << entry.path();
      EXPECT_EQ(entry.path().extension(), webp ? ".webp" : ".jpg");
    }
    EXPECT_GE(images, 4);
  }
}

// Equal names in two folders, and names that differ only in letter case in one folder.
TEST(KeptAlbum, EqualNamesKeepTheirOwnImages) {
  TempDir dir;
  copyPhoto("tiny.JPG", dir / "src/x/IMG_0001.JPG");
  copyPhoto("grey-exif.jpg", dir / "src/x/img_0001.jpg");
  copyPhoto("cmyk.jpeg", dir / "src/y/IMG_0001.JPG");
  const test::CliResult r = runCli({"album", "src", "--out", "site"}, dir.path());
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(checkSite(dir / "site"), 3);
  std::set<std::string> lowered;
  for (const auto& entry : fs::directory_iterator(dir / "site/x/_img")) {
    std::string name = entry.path().filename().string();
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_TRUE(lowered.insert(name).second) << "two images named " << name;
  }
}

// The page shows when each photo was taken and with what, never the file's time.
TEST(KeptAlbum, PagesShowTheDateTakenAndTheCamera) {
  TempDir dir;
  copyPhoto("phone-420.jpg", dir / "src/phone.jpg");  // its file time: now
  ASSERT_EQ(runCli({"album", "src", "--out", "site"}, dir.path()).exitCode, 0);
  const std::string page = test::readFile(dir / "site/index.html");
  EXPECT_NE(page.find("data-date=\"2015-04-29 14:33:31\""), std::string::npos) << page;
  EXPECT_NE(page.find("data-camera=\""), std::string::npos) << page;
}

// A site inside its source is never taken for photos.
TEST(KeptAlbum, SiteInsideItsSource) {
  TempDir dir;
  copyPhoto("tiny.JPG", dir / "photos/tiny.JPG");
  for (int run = 0; run < 2; ++run) {
    const test::CliResult r = runCli({"album", ".", "--out", "web"}, dir / "photos");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(checkSite(dir / "photos/web"), 1) << r.err;
  }
}

// A second run while one holds the site says it is busy.
TEST(KeptAlbum, BusySiteExitsWith2) {
  TempDir dir;
  copyPhoto("tiny.JPG", dir / "src/tiny.JPG");
  fs::create_directories(dir / "site/.snapfolio");
  const int fd = ::open((dir / "site/.snapfolio/lock").c_str(), O_RDWR | O_CREAT, 0644);
  ASSERT_EQ(flock(fd, LOCK_EX), 0);
  const test::CliResult r = runCli({"album", "src", "--out", "site"}, dir.path());
  ::close(fd);
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_NE(r.err.find("is busy"), std::string::npos) << r.err;
}

// A damaged catalogue is reported; --rebuild makes it anew and keeps the images still valid.
TEST(KeptAlbum, DamagedCatalogueIsRebuilt) {
  TempDir dir;
  copyPhoto("tiny.JPG", dir / "src/tiny.JPG");
  copyPhoto("cmyk.jpeg", dir / "src/cmyk.jpeg");
  ASSERT_EQ(runCli({"album", "src", "--out", "site"}, dir.path()).exitCode, 0);
  const fs::path catalogue = dir / "site/.snapfolio/catalogue.sqlite";
  for (const char* extra : {"-wal", "-shm"}) fs::remove(catalogue.string() + extra);
  test::writeFile(catalogue, std::string(8192, 'x'));
  const test::CliResult damaged = runCli({"album", "src", "--out", "site"}, dir.path());
  EXPECT_EQ(damaged.exitCode, 1);
  EXPECT_NE(damaged.err.find("--rebuild"), std::string::npos) << damaged.err;
  const test::CliResult rebuilt =
      runCli({"album", "src", "--out", "site", "--rebuild"}, dir.path());
  EXPECT_EQ(rebuilt.exitCode, 0) << rebuilt.err;
  EXPECT_TRUE(rebuilt.err.starts_with("0 photo(s) converted, 2 found in the album")) << rebuilt.err;
  EXPECT_EQ(checkSite(dir / "site"), 2);
}

// SIGKILL in the middle of a run: the next run completes the site.
TEST(KeptAlbum, KilledRunIsCompletedByTheNext) {
  TempDir dir;
  for (const char* name : test::allPhotoNames()) {
    std::error_code ec;
    fs::create_directories(dir / "src", ec);
    fs::create_hard_link(test::photoPath(name), dir / "src" / name, ec);
    if (ec) copyPhoto(name, dir / "src" / name);
  }
  QProcess process;
  process.setWorkingDirectory(QString::fromStdString(dir.path().string()));
  process.start(QString::fromStdString(test::cliPath()),
                {"album", "-v", "-j", "1", "src", "--out", "site"});
  ASSERT_TRUE(process.waitForStarted());
  process.setReadChannel(QProcess::StandardError);
  std::string err;
  while (err.find("[4/") == std::string::npos && process.waitForReadyRead(60000)) {
    err += process.readAllStandardError().toStdString();
  }
  ASSERT_EQ(process.state(), QProcess::Running) << err;
  ::kill(static_cast<pid_t>(process.processId()), SIGKILL);
  ASSERT_TRUE(process.waitForFinished(60000));
  const test::CliResult rerun = runCli({"album", "src", "--out", "site"}, dir.path());
  EXPECT_EQ(rerun.exitCode, 0) << rerun.err;
  EXPECT_EQ(checkSite(dir / "site"), static_cast<int>(test::allPhotoNames().size()));
  EXPECT_TRUE(runCli({"album", "src", "--out", "site"}, dir.path()).err.starts_with("Nothing"));
}

}  // namespace
}  // namespace snapfolio
