// The geometry dump: with the environment variable SNAPFOLIO_DUMP_GEOMETRY set (to anything
// but empty), the program writes where its controls are to stderr, so that a tool driving it
// from outside (the end-to-end tests, scripts/make-screenshots.sh) can click them:
//
//   geometry: <window>/<control>=<x>,<y>,<w>,<h>
//
// <window> is the top-level window's objectName, or its class name when it has none
// (TSnapfolio, TTimePropty1, AdjstPropty1, QFileDialog, QMessageBox, ...); <control> is the
// control's objectName; x and y are relative to the window's top-left corner (its client area),
// all in device-independent pixels. A window writes all its named controls each time it is
// shown; afterwards a control writes its own line again when it is shown, moved or resized,
// so the last line of a control is where it is now. Names starting with "qt_" are left out.
//
// User-interface thread only. The filter is owned by the application object.
#pragma once

#include <QStringList>

class QApplication;
class QWidget;

namespace snapfolio {

// Installs the dump on `app` when SNAPFOLIO_DUMP_GEOMETRY is set; otherwise does nothing.
void installGeometryDump(QApplication& app);

// The lines of `control` (one) or of every named, visible control inside `window` (the
// window's own line first, "<window>/.=0,0,w,h"), as the dump writes them.
QString geometryLine(const QWidget* control);
QStringList geometryLines(const QWidget* window);

}  // namespace snapfolio
