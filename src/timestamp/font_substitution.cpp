#include "timestamp/font_substitution.h"

// Qt
#include <QFont>
#include <QFontDatabase>

namespace snapfolio {

namespace {

struct Substitution {
  const char* face;
  bool fixedPitch;
};

// The proportional and fixed-pitch Gothic faces, in their Japanese and English names.
constexpr Substitution kFaces[] = {
    {"ＭＳ Ｐゴシック", false},
    {"MS PGothic", false},
    {"ＭＳ ゴシック", true},
    {"MS Gothic", true},
};

}  // namespace

QStringList fontSubstitutes(const QString& faceName) {
  for (const Substitution& s : kFaces) {
    if (faceName != QString::fromUtf8(s.face)) continue;
    QStringList families;
    if (s.fixedPitch) {
      families << QStringLiteral("IPAGothic") << QStringLiteral("Noto Sans Mono CJK JP");
    }
    families << QStringLiteral("IPAPGothic") << QStringLiteral("Noto Sans CJK JP");
    const QString fallback = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    if (!fallback.isEmpty() && !families.contains(fallback)) families << fallback;
    return families;
  }
  return {};
}

void registerFontSubstitutions() {
  for (const Substitution& s : kFaces) {
    const QString face = QString::fromUtf8(s.face);
    // insertSubstitutions appends (and keeps family names in lower case); skipping known
    // families keeps a second call harmless.
    QStringList missing;
    const QStringList known = QFont::substitutes(face);
    for (const QString& family : fontSubstitutes(face)) {
      if (!known.contains(family, Qt::CaseInsensitive)) missing << family;
    }
    if (!missing.isEmpty()) QFont::insertSubstitutions(face, missing);
  }
}

}  // namespace snapfolio
