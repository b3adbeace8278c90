// A run whose photos are made on several workers against the same run made one photo at a
// time: the same files byte for byte and the same calls on the port, with a broken photo among
// the camera photos, with the correction and the stamp, and with a stop in the middle; a photo
// made alone as in the set. Then the jobs' order and memory budget, and the peak memory of a
// run over many large photos.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/limits.h"
#include "run/album_conv.h"
#include "run/ordered_jobs.h"
#include "support/cli_process.h"
#include "support/fixtures.h"
#include "support/recording_port.h"

namespace snapfolio {
namespace {

namespace fs = std::filesystem;
using test::RecordingPort;
using test::TempDir;

struct Outcome {
  std::vector<std::string> calls;
  std::map<std::string, std::string> files;  // name -> bytes
};

struct Scenario {
  const char* name;
  int stopAtPhoto;  // -1: no stop
  bool correctAndStamp;
};

class ParallelRun : public ::testing::TestWithParam<Scenario> {
 protected:
  void SetUp() override {
    fs::create_directory(dir / "in");
    // The camera photos below 5 MB (the largest two only slow the sanitizer builds down), a
    // broken photo in the middle and a damaged one.
    for (const char* name : test::allPhotoNames()) {
      const fs::path photo = test::photoPath(name);
      if (fs::file_size(photo) > (5 << 20)) continue;
      fs::copy_file(photo, dir / "in" / name);
      photos.push_back((dir / "in" / name).string());
      if (photos.size() == 4) {
        test::writeFile(dir / "in" / "broken.jpg", "not a jpeg");
        photos.push_back((dir / "in" / "broken.jpg").string());
      }
    }
    const std::string whole = test::readFile(photos.front());
    test::writeFile(dir / "in" / "cut.jpg", whole.substr(0, whole.size() * 3 / 5));
    photos.push_back((dir / "in" / "cut.jpg").string());
  }

  Outcome run(int jobs, const std::vector<std::string>& selection = {}) {
    const fs::path out = dir / ("out" + std::to_string(jobs) + (selection.empty() ? "" : "alone"));
    fs::create_directory(out);
    RecordingPort port;
    port.options.outputDir = out.string();
    port.options.image[0] = {
        true, "150", "t_", "", GetParam().correctAndStamp, GetParam().correctAndStamp};
    port.options.image[1] = {true, "640", "", "_l", false, GetParam().correctAndStamp};
    port.options.jobs = jobs;
    port.selection = selection.empty() ? photos : selection;
    port.stopAtPhoto = GetParam().stopAtPhoto;
    Workspace workspace;
    OKButtonClick(port.request(), port, workspace, "");
    Outcome outcome{port.calls, {}};
    for (const auto& entry : fs::directory_iterator(out)) {
      outcome.files[entry.path().filename().string()] = test::readFile(entry.path());
    }
    return outcome;
  }

  TempDir dir;
  std::vector<std::string> photos;
};

TEST_P(ParallelRun, FourWorkersDoWhatOneDoes) {
  const Outcome one = run(1);
  const Outcome four = run(4);
  EXPECT_EQ(four.calls, one.calls);
  EXPECT_EQ(four.files, one.files);
  // The scenario is what it claims: the broken photo shows its box, a stop leaves photos out.
  int errors = 0;
  for (const std::string& call : one.calls) errors += call.starts_with("ERROR: ") ? 1 : 0;
  const int stop = GetParam().stopAtPhoto;
  EXPECT_EQ(errors, stop >= 0 && stop <= 4 ? 0 : 1);
  const std::size_t reached = stop < 0 ? photos.size() : static_cast<std::size_t>(stop);
  EXPECT_EQ(one.files.size(), 2 * reached - (reached > 4 ? 2 : 0));
  // A photo made alone is made as in the set, stamp included.
  if (stop < 0) {
    const Outcome alone = run(1, {photos[2]});
    ASSERT_EQ(alone.files.size(), 2u);
    for (const auto& [name, bytes] : alone.files) EXPECT_EQ(bytes, one.files.at(name)) << name;
  }
}

INSTANTIATE_TEST_SUITE_P(Runs, ParallelRun,
                         ::testing::Values(Scenario{"plain", -1, false},
                                           Scenario{"correctedAndStamped", -1, true},
                                           Scenario{"stoppedEarly", 2, false},
                                           Scenario{"stoppedAfterTheBrokenPhoto", 7, true}),
                         [](const auto& run) { return std::string(run.param.name); });

// Jobs of uneven lengths come back in order; the memory they hold at once stays within the
// budget, and a job larger than the budget is made alone. With costs, the costliest job within
// the horizon (eight jobs per worker) starts first, and the jobs still come back in order.
TEST(OrderedJobs, InOrderWithinTheBudget) {
  for (auto [workers, costly] : {std::pair{6, false}, {6, true}, {1, true}}) {
    for (std::size_t each : {std::size_t{30}, std::size_t{250}}) {
      std::atomic<std::size_t> held{0}, most{0};
      std::atomic<int> first{-1};
      std::vector<double> costs;
      for (int i = 0; costly && i < 60; ++i) costs.push_back(i % 10 == 3 ? 100 + i : i);
      {
        OrderedJobs<int> jobs(
            60, workers, 100,
            [&](int index, JobContext& context) {
              int none = -1;
              first.compare_exchange_strong(none, index);
              context.reserve(each);
              const std::size_t now = held += each;
              std::size_t seen = most.load();
              while (now > seen && !most.compare_exchange_weak(seen, now)) {
              }
              std::this_thread::sleep_for(std::chrono::microseconds(50 * (index * 7 % 5)));
              held -= each;
              context.holdOnly(0);
              return index;
            },
            costs);
        for (int i = 0; i < 60; ++i) ASSERT_EQ(jobs.take(), i);
      }
      // One worker starts the costliest of jobs 0 to 7; several race for the first start.
      if (workers == 1) {
        EXPECT_EQ(first.load(), 3) << each;
      }
      if (!costly) {
        EXPECT_EQ(first.load(), 0) << each;
      }
      EXPECT_LE(most.load(), std::max<std::size_t>(100, each)) << each;
      if (workers > 1) {
        EXPECT_GT(most.load(), each == 30 ? 30u : 0u) << "the jobs never ran side by side";
      }
    }
  }
}

// A failure of one job is rethrown when that job is taken; the jobs behind a discard are never
// made.
TEST(OrderedJobs, FailuresInPlaceAndDiscardedJobsNotMade) {
  std::atomic<int> made{0};
  {
    OrderedJobs<int> jobs(1000, 2, 1 << 20, [&](int index, JobContext&) {
      ++made;
      if (index == 1) throw std::runtime_error("photo 1");
      return index;
    });
    EXPECT_EQ(jobs.take(), 0);
    EXPECT_THROW(jobs.take(), std::runtime_error);
    EXPECT_EQ(jobs.take(), 2);
  }
  EXPECT_LT(made.load(), 20);
}

// Peak memory (resident, measured by the system) of snapfolio-cli converting photos.
long peakKilobytes(const std::vector<std::string>& args) {
  const std::string cli = test::cliPath();
  std::vector<char*> argv{const_cast<char*>(cli.c_str())};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    execv(cli.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  return usage.ru_maxrss;
}

// Twenty-four 20-megapixel photos on sixteen workers need about 14 MB each, 220 MB at once:
// the budget keeps the run to what one photo needs plus the budget.
TEST(RunMemory, ManyLargePhotosStayWithinTheBudget) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "a sanitizer's own memory hides the run's";
#endif
  TempDir dir;
  fs::create_directory(dir / "out");
  const fs::path large = test::photoPath("landscape-20mp.jpg");
  std::vector<std::string> common{"convert",
                                  "--settings",
                                  (dir / "s.ini").string(),
                                  "--out",
                                  (dir / "out").string(),
                                  "-q",
                                  "--set",
                                  "Pict1Options/WIDTH1=150",
                                  "--set",
                                  "Pict1Options/PRIFN1=t_",
                                  "--set",
                                  "Pict2Options/WIDTH2=640",
                                  "--set",
                                  "OutStyl/HTMLCK=0"};
  std::vector<std::string> one = common, many = common;
  one.insert(one.end(), {"--jobs", "1", large.string()});
  many.insert(many.end(), {"--jobs", "16"});
  for (int i = 0; i < 24; ++i) {
    const fs::path link = dir / ("p" + std::to_string(i) + ".jpg");
    fs::create_symlink(large, link);
    many.push_back(link.string());
  }
  const long alone = peakKilobytes(one);
  const long all = peakKilobytes(many);
  std::printf("peak memory: one photo %ld KB, 24 photos on 16 workers %ld KB\n", alone, all);
  EXPECT_LT(all, alone + static_cast<long>(kLimits.runMemoryBytes / 1024));
}

}  // namespace
}  // namespace snapfolio
