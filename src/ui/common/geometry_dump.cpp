#include "ui/common/geometry_dump.h"

// Standard library
#include <cstdio>

// Qt
#include <QApplication>
#include <QEvent>
#include <QHash>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace snapfolio {

namespace {

// The objectName, else the class name without its namespace ("TSnapfolio").
QString windowName(const QWidget* window) {
  const QString name = window->objectName();
  if (!name.isEmpty()) return name;
  const QString className = QString::fromLatin1(window->metaObject()->className());
  return className.mid(className.lastIndexOf(QLatin1Char(':')) + 1);
}

bool dumped(const QWidget* control) {
  const QString name = control->objectName();
  return !name.isEmpty() && !name.startsWith(QLatin1String("qt_"));
}

class GeometryDump : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (type != QEvent::Show && type != QEvent::Move && type != QEvent::Resize) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr) return false;
    // Written after the event has been handled, when the layouts have placed the controls.
    QPointer<QWidget> guarded(widget);
    if (widget->isWindow()) {
      if (type == QEvent::Show) {
        QTimer::singleShot(0, this, [this, guarded] {
          if (guarded && guarded->isVisible()) print(geometryLines(guarded), false);
        });
      }
    } else if (dumped(widget)) {
      QTimer::singleShot(0, this, [this, guarded] {
        if (guarded && guarded->isVisible() && guarded->window()->isVisible()) {
          print({geometryLine(guarded)}, true);
        }
      });
    }
    return false;
  }

 private:
  // Writes the lines; with `onlyChanged`, a control whose last line was the same is skipped
  // (a control gets a show, a move and a resize event when its window appears).
  void print(const QStringList& lines, bool onlyChanged) {
    for (const QString& line : lines) {
      const QString key = line.section(QLatin1Char('='), 0, 0);
      if (onlyChanged && last_.value(key) == line) continue;
      last_.insert(key, line);
      std::fprintf(stderr, "%s\n", line.toUtf8().constData());
    }
    std::fflush(stderr);
  }

  QHash<QString, QString> last_;
};

}  // namespace

QString geometryLine(const QWidget* control) {
  const QWidget* window = control->window();
  const QPoint at = control->isWindow() ? QPoint(0, 0) : control->mapTo(window, QPoint(0, 0));
  const QString name = control->isWindow() ? QStringLiteral(".") : control->objectName();
  return QStringLiteral("geometry: %1/%2=%3,%4,%5,%6")
      .arg(windowName(window), name)
      .arg(at.x())
      .arg(at.y())
      .arg(control->width())
      .arg(control->height());
}

QStringList geometryLines(const QWidget* window) {
  QStringList lines{geometryLine(window)};
  for (const QWidget* control : window->findChildren<QWidget*>()) {
    if (control->window() == window && dumped(control) && control->isVisible()) {
      lines << geometryLine(control);
    }
  }
  return lines;
}

void installGeometryDump(QApplication& app) {
  if (qEnvironmentVariableIsEmpty("SNAPFOLIO_DUMP_GEOMETRY")) return;
  app.installEventFilter(new GeometryDump(&app));
}

}  // namespace snapfolio
