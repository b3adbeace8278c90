// The interface language and the translation of the program's texts.
//
// The program's texts are written in Japanese in the code (tr() and QCoreApplication::translate,
// found by lupdate) and translated into English by translations/snapfolio_en.ts, built into the
// program. The language follows the locale: Japanese for Japanese locales and for the C/POSIX
// locale, English for any other; SNAPFOLIO_LANG=ja or =en forces one.
//
// Engine texts that name files are translated as patterns ("%1の読み込みに失敗した。") and filled
// in with fillIn, which keeps the bytes of a file name that is not UTF-8.
//
// interfaceLanguage and fillIn: plain functions, any thread. installTranslations: once, on the
// main thread, before any window or message is made.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include <QtGlobal>

// Declared only: no Qt object header here (its "emit" would clash with engine names).
class QCoreApplication;
class QString;

namespace snapfolio {

// "ja" or "en" by the rule above, from the environment of the process.
std::string interfaceLanguage();
// The same rule over given values (SNAPFOLIO_LANG, LC_ALL, LC_MESSAGES, LANG; null or empty when
// unset).
std::string interfaceLanguage(const char* forced, const char* lcAll, const char* lcMessages,
                              const char* lang);

// Installs the program's translation for `language` on `app` (which owns it): "en" loads the
// English texts; "ja" needs none, the texts are Japanese. False when it could not be loaded.
bool installTranslations(QCoreApplication& app, std::string_view language);

// `pattern` (UTF-8 after translation) with %1 to %9 replaced by `values`, in one pass: a "%2"
// inside a value stays as it is.
std::string fillIn(const QString& pattern, std::initializer_list<std::string_view> values = {});
std::string fillIn(std::string_view pattern, std::initializer_list<std::string_view> values);

// The translation of `source` in `context` (QT_TRANSLATE_NOOP marks such texts), as UTF-8.
std::string translated(const char* context, const char* source);

// A reason followed by the system's or a library's own text in parentheses:
// "ファイルが存在しない。(No such file or directory)", "The file does not exist (No such file or
// directory)." in English.
std::string withDetail(const std::string& reason, std::string_view detail);

// The step's message with the cause on a second line, or the message alone without a cause.
std::string withCause(const std::string& message, const std::string& cause);

}  // namespace snapfolio
