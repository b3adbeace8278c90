#include "settings/settings_keys.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "support/fixtures.h"

namespace snapfolio {
namespace {

using keys::KeyInfo;
using keys::KeyType;
using test::TempDir;

// Values that exercise each type's stored form; the key's default is also checked first.
const std::vector<std::string> kTexts = {
    "x", "夏の旅行 = アルバム; #1", " leading", "trailing ", "\"quoted\"", "C:\\写真\\表示", ""};
const std::vector<int> kIntegers = {0, 1, -1, 6, 2147483647, -2147483647 - 1};
const std::vector<double> kNumbers = {0, 255, 16777215, -1, 0.1, 1.0 / 3, -2.5e-7, 1e300, 5e-324};

}  // namespace
}  // namespace snapfolio

namespace snapfolio::keys {
void PrintTo(const KeyInfo& k, std::ostream* os) {
  *os << "[" << k.section << "] " << k.name;
}
}  // namespace snapfolio::keys

namespace snapfolio {
namespace {

class EveryKey : public testing::TestWithParam<KeyInfo> {
 protected:
  TempDir dir_;
  std::string path_ = (dir_ / "Snapfolio.ini").string();
};

TEST_P(EveryKey, RoundTripsItsTypeThroughAFreshObject) {
  const KeyInfo& k = GetParam();
  {
    TIniFile empty(path_);
    EXPECT_FALSE(empty.ValueExists(k.section, k.name));
  }
  switch (k.type) {
    case KeyType::Text:
      for (const std::string& v : kTexts) {
        TIniFile(path_).WriteString(k.section, k.name, v);
        EXPECT_EQ(TIniFile(path_).ReadString(k.section, k.name, "default"), v);
      }
      break;
    case KeyType::Integer:
      for (int v : kIntegers) {
        TIniFile(path_).WriteInteger(k.section, k.name, v);
        EXPECT_EQ(TIniFile(path_).ReadInteger(k.section, k.name, 12345), v);
      }
      break;
    case KeyType::Boolean:
      for (bool v : {true, false, true}) {
        TIniFile(path_).WriteBool(k.section, k.name, v);
        EXPECT_EQ(TIniFile(path_).ReadBool(k.section, k.name, !v), v);
        EXPECT_EQ(TIniFile(path_).ReadString(k.section, k.name, ""), v ? "1" : "0");
      }
      break;
    case KeyType::Number:
      for (double v : kNumbers) {
        TIniFile(path_).WriteFloat(k.section, k.name, v);
        EXPECT_EQ(TIniFile(path_).ReadFloat(k.section, k.name, 7.5), v);
      }
      break;
  }
  // One key per file: nothing else was created.
  TIniFile after(path_);
  for (const KeyInfo& other : keys::allKeys()) {
    if (other.name != k.name) {
      EXPECT_FALSE(after.ValueExists(other.section, other.name)) << other.name;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Table, EveryKey, testing::ValuesIn(keys::allKeys()),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(KeyTable, NamesAreUniqueAndFoundWithoutRegardToCase) {
  std::set<std::string> seen;
  for (const KeyInfo& k : keys::allKeys()) {
    std::string lower(k.name);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_TRUE(seen.insert(lower).second) << k.name;
    EXPECT_EQ(keys::findKey(k.section, k.name), &k);
  }
  // 50 designed keys, "AlbumOptions", 6 in "PhotoOptions" and 5 in "KeptAlbum"
  EXPECT_EQ(seen.size(), 62u);
  EXPECT_EQ(keys::findKey("outstyl", "timbgcol1"), keys::findKey("OutStyl", "TIMBGCOL1"));
  EXPECT_EQ(keys::findKey("OutStyl", "NOSUCHKEY"), nullptr);
  EXPECT_EQ(keys::findKey("Pict1Options", "GAZOU2"), nullptr);  // wrong section
}

TEST(KeyTable, DefaultsInTheirStoredForm) {
  struct Expected {
    const char* section;
    const char* name;
    KeyType type;
    const char* text;
  };
  for (const Expected& e : {Expected{"OutStyl", "TIMBGCOL1", KeyType::Number, "16777215"},
                            Expected{"OutStyl", "TIMFTCOL2", KeyType::Number, "255"},
                            Expected{"Pict1Options", "GAZOU1", KeyType::Boolean, "1"},
                            Expected{"Pict2Options", "ATADJ2", KeyType::Boolean, "0"},
                            Expected{"OutStyl", "TIMPOSITION1", KeyType::Integer, "6"},
                            Expected{"OutStyl", "TIMFONT1", KeyType::Text, "ＭＳ Ｐゴシック"},
                            Expected{"OutStyl", "TIMFTCS2", KeyType::Text, "128"},
                            Expected{"OutStyl", "TIMSTYLE1", KeyType::Text, "hh:nn AM/PM"},
                            Expected{"ColorAdjust", "RED_Adjust", KeyType::Text, "0"},
                            Expected{"Snapfolio", "TOP", KeyType::Integer, "0"}}) {
    const KeyInfo* k = keys::findKey(e.section, e.name);
    ASSERT_NE(k, nullptr) << e.name;
    EXPECT_EQ(k->type, e.type) << e.name;
    EXPECT_EQ(k->defaultText, e.text) << e.name;
  }
}

TEST(KeyTable, TypedHelpersGiveDefaultsOnAnEmptyFile) {
  TempDir dir;
  const TIniFile ini((dir / "Snapfolio.ini").string());
  EXPECT_EQ(read(ini, keys::IMAGE[0].gazou), true);
  EXPECT_EQ(read(ini, keys::TIMESTAMP[1].bgColor), 16777215.0);
  EXPECT_EQ(read(ini, keys::TIMESTAMP[0].font), "ＭＳ Ｐゴシック");
  EXPECT_EQ(read(ini, keys::TIMESTAMP[0].position), 6);
}

}  // namespace
}  // namespace snapfolio
