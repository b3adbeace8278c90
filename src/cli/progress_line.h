// The progress bar of a run on a terminal, as one line of text:
//   [##########..........]  3/15  0:42 left  t_IMG_0003 格納中
// the share of the run's work done, the photos done of all, the time left once it can be told,
// and the run's status line, cut to fit the terminal's width.
//
// Plain functions; any thread.
#pragma once

#include <optional>

#include <QString>

namespace snapfolio::cli {

struct ProgressState {
  double fraction = 0;                // of the run's work, 0 to 1
  int done = 0;                       // photos done
  int total = 0;                      // photos of the run
  std::optional<double> secondsLeft;  // when it can be told
  QString status;                     // the run's status line
};

// At most `columns` terminal columns (characters of East Asian width count twice).
QString progressLine(const ProgressState& state, int columns);

// The time left from the time spent and the share done: nothing before a share of the work is
// done or a second has passed, when a guess would mislead.
std::optional<double> secondsLeft(double elapsedSeconds, double fraction);

// How many terminal columns a text takes.
int displayWidth(const QString& text);

}  // namespace snapfolio::cli
