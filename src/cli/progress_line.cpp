#include "cli/progress_line.h"

// Standard library
#include <algorithm>
#include <cmath>

// Project
#include "cli/cli_text.h"

namespace snapfolio::cli {

namespace {

constexpr int kBarWidth = 20;

// East Asian wide and full-width characters (Unicode's W and F classes, in their main blocks).
bool isWide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) ||
         (c >= 0x3041 && c <= 0x33FF) || (c >= 0x3400 && c <= 0x4DBF) ||
         (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
         (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
         (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) ||
         (c >= 0x20000 && c <= 0x3FFFD);
}

int columnsOf(char32_t c) {
  if (c < 0x20 || (c >= 0x7F && c < 0xA0)) return 0;
  return isWide(c) ? 2 : 1;
}

QString clock(double seconds) {
  const long long total = std::llround(seconds);
  const long long h = total / 3600, m = total / 60 % 60, s = total % 60;
  const auto two = [](long long v) { return QString::number(v).rightJustified(2, '0'); };
  return h > 0 ? QString::number(h) + ':' + two(m) + ':' + two(s)
               : QString::number(m) + ':' + two(s);
}

// The longest start of `text` that takes at most `columns` columns.
QString cutToColumns(const QString& text, int columns) {
  int used = 0;
  qsizetype i = 0;
  while (i < text.size()) {
    const char32_t c = text.at(i).isHighSurrogate() && i + 1 < text.size()
                           ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1))
                           : text.at(i).unicode();
    const int width = columnsOf(c);
    if (used + width > columns) break;
    used += width;
    i += c >= 0x10000 ? 2 : 1;
  }
  return text.left(i);
}

}  // namespace

int displayWidth(const QString& text) {
  int width = 0;
  for (char32_t c : text.toUcs4()) width += columnsOf(c);
  return width;
}

std::optional<double> secondsLeft(double elapsedSeconds, double fraction) {
  if (fraction <= 0 || elapsedSeconds < 1) return std::nullopt;
  return elapsedSeconds * (1 - std::min(fraction, 1.0)) / fraction;
}

QString progressLine(const ProgressState& state, int columns) {
  const double fraction = std::clamp(state.fraction, 0.0, 1.0);
  const int filled = static_cast<int>(fraction * kBarWidth);
  QString line = '[' + QString(filled, '#') + QString(kBarWidth - filled, '.') + "]  " +
                 QString::number(state.done) + '/' + QString::number(state.total);
  if (state.secondsLeft) line += "  " + Cli::tr("%1 left").arg(clock(*state.secondsLeft));
  if (!state.status.isEmpty()) line += "  " + state.status;
  return cutToColumns(line, std::max(columns, 0));
}

}  // namespace snapfolio::cli
