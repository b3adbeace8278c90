// Face names of the Windows program are drawn with installed Japanese fonts.
#include "timestamp/font_substitution.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>

namespace snapfolio {
namespace {

TEST(FontSubstitutionTest, RegistersInstalledJapaneseFaces) {
  registerFontSubstitutions();
  registerFontSubstitutions();  // a second call adds nothing
  for (const char* face : {"ＭＳ Ｐゴシック", "MS PGothic", "ＭＳ ゴシック", "MS Gothic"}) {
    const QString name = QString::fromUtf8(face);
    // The toolkit keeps family names in lower case.
    const QStringList substitutes = QFont::substitutes(name);
    QStringList expected = fontSubstitutes(name);
    for (QString& family : expected) family = family.toLower();
    EXPECT_EQ(substitutes, expected) << face;
    EXPECT_EQ(substitutes.count(QStringLiteral("ipapgothic")), 1) << face;
    EXPECT_TRUE(substitutes.contains(QStringLiteral("noto sans cjk jp"))) << face;
    // The font actually matched is one of the substitutes when any of them is installed.
    const QString matched = QFontInfo(QFont(name)).family();
    bool anyInstalled = false;
    for (const QString& family : substitutes) {
      anyInstalled = anyInstalled || QFontDatabase::hasFamily(family);
    }
    if (anyInstalled) {
      EXPECT_TRUE(substitutes.contains(matched, Qt::CaseInsensitive))
          << face << " matched " << matched.toStdString();
    }
  }
  EXPECT_TRUE(fontSubstitutes(QStringLiteral("IPAGothic")).isEmpty());
}

TEST(FontSubstitutionTest, ProportionalFaceFirstTriesTheProportionalFont) {
  EXPECT_EQ(fontSubstitutes(QString::fromUtf8("ＭＳ Ｐゴシック")).first(), "IPAPGothic");
  EXPECT_EQ(fontSubstitutes(QString::fromUtf8("ＭＳ ゴシック")).first(), "IPAGothic");
}

}  // namespace
}  // namespace snapfolio
