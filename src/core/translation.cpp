#include "core/translation.h"

// Standard library
#include <cstdlib>

// Qt
#include <QCoreApplication>
#include <QString>
#include <QTranslator>

namespace snapfolio {

namespace {

bool isSet(const char* value) {
  return value != nullptr && *value != '\0';
}

}  // namespace

std::string interfaceLanguage(const char* forced, const char* lcAll, const char* lcMessages,
                              const char* lang) {
  if (isSet(forced)) {
    const std::string_view f(forced);
    if (f == "ja" || f == "en") return std::string(f);
  }
  // The locale that decides messages: LC_ALL over LC_MESSAGES over LANG.
  const char* locale = isSet(lcAll) ? lcAll : isSet(lcMessages) ? lcMessages : lang;
  const std::string_view name = isSet(locale) ? std::string_view(locale) : std::string_view("C");
  const bool c = name == "C" || name == "POSIX" || name.starts_with("C.");
  return c || name.starts_with("ja") ? "ja" : "en";
}

std::string interfaceLanguage() {
  return interfaceLanguage(std::getenv("SNAPFOLIO_LANG"), std::getenv("LC_ALL"),
                           std::getenv("LC_MESSAGES"), std::getenv("LANG"));
}

bool installTranslations(QCoreApplication& app, std::string_view language) {
  if (language != "en") return true;
  auto* own = new QTranslator(&app);
  if (!own->load(QStringLiteral(":/i18n/snapfolio_en.qm"))) {
    delete own;
    return false;
  }
  return QCoreApplication::installTranslator(own);
}

std::string fillIn(const QString& pattern, std::initializer_list<std::string_view> values) {
  const std::string text = pattern.toStdString();
  return fillIn(std::string_view(text), values);
}

std::string fillIn(std::string_view text, std::initializer_list<std::string_view> values) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
      const auto n = static_cast<std::size_t>(text[i + 1] - '1');
      if (n < values.size()) {
        out += *(values.begin() + n);
        ++i;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

std::string translated(const char* context, const char* source) {
  return QCoreApplication::translate(context, source).toStdString();
}

std::string withDetail(const std::string& reason, std::string_view detail) {
  return fillIn(QCoreApplication::translate("Files", "%1(%2)"), {reason, detail});
}

std::string withCause(const std::string& message, const std::string& cause) {
  return cause.empty() ? message : message + "\n" + cause;
}

}  // namespace snapfolio
