#include "settings/settings_keys.h"

// Standard library
#include <vector>

#include "core/number_text.h"

namespace snapfolio::keys {

namespace {

KeyInfo info(const TextKey& k) {
  return {k.section, k.name, KeyType::Text, std::string(k.defaultValue)};
}
KeyInfo info(const IntegerKey& k) {
  return {k.section, k.name, KeyType::Integer, formatInteger(k.defaultValue)};
}
KeyInfo info(const BooleanKey& k) {
  return {k.section, k.name, KeyType::Boolean, k.defaultValue ? "1" : "0"};
}
KeyInfo info(const NumberKey& k) {
  return {k.section, k.name, KeyType::Number, formatNumber(k.defaultValue)};
}

std::vector<KeyInfo> buildTable() {
  std::vector<KeyInfo> table;
  table.push_back(info(TOP));
  table.push_back(info(LEFT));
  for (const ImageKeys& image : IMAGE) {
    table.push_back(info(image.gazou));
    table.push_back(info(image.width));
    table.push_back(info(image.priFn));
    table.push_back(info(image.aftFn));
    table.push_back(info(image.atAdj));
  }
  table.push_back(info(INDIR));
  table.push_back(info(OUTDIR));
  for (const BooleanKey& stamp : TIMSTMP) table.push_back(info(stamp));
  table.push_back(info(HTMLCK));
  table.push_back(info(HTMLFIL));
  table.push_back(info(ALBMTITL));
  table.push_back(info(HTMLTMP));
  for (const TimeStampKeys& style : TIMESTAMP) {
    table.push_back(info(style.bgTransparent));
    table.push_back(info(style.autoSize));
    table.push_back(info(style.position));
    table.push_back(info(style.font));
    table.push_back(info(style.fontColor));
    table.push_back(info(style.fontSize));
    table.push_back(info(style.fontCharset));
    table.push_back(info(style.bold));
    table.push_back(info(style.italic));
    table.push_back(info(style.underline));
    table.push_back(info(style.strikeOut));
    table.push_back(info(style.bgColor));
  }
  table.push_back(info(TIMSTYLE1));
  table.push_back(info(RED_Adjust));
  table.push_back(info(GREEN_Adjust));
  table.push_back(info(BLUE_Adjust));
  table.push_back(info(Aump_Adjust));
  table.push_back(info(Cntlr_Adjust));
  table.push_back(info(ALBUM_ORDER));
  table.push_back(info(ORIENTATION));
  table.push_back(info(COLORPROFILE));
  table.push_back(info(DATESOURCE));
  table.push_back(info(METADATA));
  table.push_back(info(NOENLARGE));
  table.push_back(info(OUTFORMAT));
  table.push_back(info(KEPT_SOURCE));
  table.push_back(info(KEPT_SITE));
  table.push_back(info(KEPT_TITLE));
  table.push_back(info(KEPT_ORIGINALS));
  table.push_back(info(KEPT_BASEURL));
  return table;
}

}  // namespace

const std::vector<KeyInfo>& allKeys() {
  static const std::vector<KeyInfo> table = buildTable();
  return table;
}

const KeyInfo* findKey(std::string_view section, std::string_view name) {
  for (const KeyInfo& key : allKeys()) {
    if (sameName(key.section, section) && sameName(key.name, name)) return &key;
  }
  return nullptr;
}

}  // namespace snapfolio::keys
