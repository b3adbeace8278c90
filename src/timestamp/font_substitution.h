// Font substitutions for the face names that settings files from the Windows program carry:
// "ＭＳ Ｐゴシック" and its relatives are drawn with an installed Japanese font. The stored face
// name stays unchanged; only the toolkit's matching is told where to look.
//
// Call once at start-up, after the QGuiApplication exists and before any stamp is drawn (the
// substitution table is the toolkit's, process-wide). Calling it again changes nothing.
#pragma once

#include <QStringList>

namespace snapfolio {

void registerFontSubstitutions();

// The families tried for a face name that is not installed, best first; empty for other names.
QStringList fontSubstitutes(const QString& faceName);

}  // namespace snapfolio
