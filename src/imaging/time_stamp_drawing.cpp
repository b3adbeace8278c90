#include "imaging/time_stamp_drawing.h"

// Standard library
#include <algorithm>
#include <climits>
#include <exception>
#include <thread>

// Qt
#include <QColor>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>

// Project
#include "core/utf8.h"

namespace snapfolio {

namespace {

int clampToInt(long long value) {
  return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

QColor toQColor(std::uint32_t colour) {
  return QColor(redOf(colour), greenOf(colour), blueOf(colour));
}

// The stamp text cut to kLimits.stampCharacters characters. Bytes that are not UTF-8 become
// replacement characters.
QString stampText(const std::string& text) {
  const auto limit = static_cast<std::size_t>(kLimits.stampCharacters);
  return QString::fromStdString(sanitizeUtf8(cutUtf8Characters(text, limit)));
}

}  // namespace

StampRect stampPosition(int position, int surfaceWidth, int surfaceHeight, int textWidth,
                        int textHeight) {
  const long long w = surfaceWidth;
  const long long h = surfaceHeight;
  const long long right = w - textWidth;
  const long long centre = (w - textWidth) / 2;  // truncates toward zero: -11 / 2 is -5
  const long long bottom = h - textHeight;
  long long x = right;
  long long y = bottom;
  switch (position) {
    case 1:
      x = 0;
      y = 0;
      break;
    case 2:
      x = centre;
      y = 0;
      break;
    case 3:
      y = 0;
      break;
    case 4:
      x = 0;
      break;
    case 5:
      x = centre;
      break;
    default:  // 6 and every value outside 1 to 6
      break;
  }
  return {clampToInt(x), clampToInt(y), textWidth, textHeight};
}

int autoSizePoints(int surfaceHeight) {
  return clampToInt((static_cast<long long>(surfaceHeight) + 50) / 16);
}

int stampPoints(const TimeStampStyle& style, int surfaceHeight) {
  const int points = style.autoSize ? autoSizePoints(surfaceHeight) : style.fontSize;
  return std::clamp(points, kLimits.smallestStampPoints, kLimits.largestStampPoints);
}

int pointsToPixels(int points) {
  return clampToInt((static_cast<long long>(points) * 96 + 36) / 72);
}

QFont stampFont(const TimeStampStyle& style, int surfaceHeight) {
  QFont font(QString::fromStdString(style.fontName));
  font.setPixelSize(pointsToPixels(stampPoints(style, surfaceHeight)));
  font.setBold(style.bold);
  font.setItalic(style.italic);
  font.setUnderline(style.underline);
  font.setStrikeOut(style.strikeOut);
  return font;
}

namespace {

StampRect drawOnThisThread(Raster& surface, const TimeStampStyle& style, const std::string& text) {
  const QString qtext = stampText(text);
  if (qtext.isEmpty()) return {};
  const QFont font = stampFont(style, surface.height());
  if (surface.isEmpty()) {
    const QFontMetrics metrics(font);
    return stampPosition(style.position, surface.width(), surface.height(),
                         metrics.horizontalAdvance(qtext), metrics.height());
  }

  QImage image = surface.view();
  QPainter painter(&image);
  painter.setFont(font);
  // Measured with the painter's own metrics, so the placement matches what is drawn.
  const QFontMetrics metrics = painter.fontMetrics();
  const StampRect cell = stampPosition(style.position, surface.width(), surface.height(),
                                       metrics.horizontalAdvance(qtext), metrics.height());
  if (!style.transparent) {
    painter.fillRect(QRect(cell.x, cell.y, cell.width, cell.height),
                     toQColor(colourFromNumber(style.backgroundColor)));
  }
  painter.setPen(toQColor(style.fontColor & 0x00FFFFFFu));
  painter.drawText(QPoint(cell.x, cell.y + metrics.ascent()), qtext);
  return cell;
}

}  // namespace

StampRect drawTimeStamp(Raster& surface, const TimeStampStyle& style, const std::string& text) {
  // Qt keeps its font engines and glyph caches per thread, and a glyph drawn from them depends
  // on what that thread drew before: the same photo came out stamped differently alone, in a set
  // or on another worker. The stamp is therefore drawn on a thread of its own, which starts
  // with no font state at all, so that the same photo and options always give the same pixels.
  StampRect cell;
  std::exception_ptr failure;
  std::thread([&] {
    try {
      cell = drawOnThisThread(surface, style, text);
    } catch (...) {
      failure = std::current_exception();
    }
  }).join();
  if (failure) std::rethrow_exception(failure);
  return cell;
}

}  // namespace snapfolio
