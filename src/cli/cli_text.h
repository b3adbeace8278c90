// The command line's own texts: their translation context and the lossless way between the
// bytes of arguments and file names and Qt's text.
//
// File names on Linux are bytes, not always UTF-8. textFromBytes decodes UTF-8 and keeps every
// byte that is not part of a valid UTF-8 sequence as the code unit U+DC80 + (byte - 0x80), a
// lone surrogate that valid text never holds; bytesFromText turns those back into their bytes.
// So an argument, parsed by Qt and printed back, keeps its exact bytes.
//
// Plain functions; any thread.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include <QCoreApplication>
#include <QString>

namespace snapfolio::cli {

// The translation context of snapfolio-cli's own texts (English source texts):
// Cli::tr("...").
class Cli {
  Q_DECLARE_TR_FUNCTIONS(Cli)
};

QString textFromBytes(std::string_view bytes);
std::string bytesFromText(const QString& text);

// `text` with its control characters shown as escapes, so that a file name cannot steer the
// terminal: C0 controls but the line break and DEL as "\x1b", C1 controls as "\u009b", and a
// byte 0x80 to 0x9F that is no part of UTF-8 as "\x9b". Everything else stays as it is.
QString shownText(const QString& text);

// Writes `text` (shownText) and a line break to `stream` (stdout or stderr), in its original
// bytes.
void printLine(std::FILE* stream, const QString& text);

}  // namespace snapfolio::cli
