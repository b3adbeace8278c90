// Every section and key of the settings file with its type and default, written down once.
// Readers and writers use these constants with the typed helpers below, so a key's name, type
// and default cannot drift apart between the windows, the run and the command line.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "settings/ini_file.h"

namespace snapfolio::keys {

enum class KeyType { Text, Integer, Boolean, Number };

template <typename T>
struct Key {
  std::string_view section;
  std::string_view name;
  T defaultValue;
};

using TextKey = Key<std::string_view>;
using IntegerKey = Key<int>;
using BooleanKey = Key<bool>;
using NumberKey = Key<double>;

inline constexpr std::string_view kSnapfolio = "Snapfolio";
inline constexpr std::string_view kPict1Options = "Pict1Options";
inline constexpr std::string_view kPict2Options = "Pict2Options";
inline constexpr std::string_view kInOutFile = "InOutFile";
inline constexpr std::string_view kOutStyl = "OutStyl";
inline constexpr std::string_view kColorAdjust = "ColorAdjust";
inline constexpr std::string_view kAlbumOptions = "AlbumOptions";
inline constexpr std::string_view kPhotoOptions = "PhotoOptions";
inline constexpr std::string_view kKeptAlbum = "KeptAlbum";

// "Snapfolio": main window position.
inline constexpr IntegerKey TOP{kSnapfolio, "TOP", 0};
inline constexpr IntegerKey LEFT{kSnapfolio, "LEFT", 0};

// "Pict1Options" / "Pict2Options": output image 1 and 2, indexed by image number - 1.
struct ImageKeys {
  BooleanKey gazou;
  TextKey width;
  TextKey priFn;
  TextKey aftFn;
  BooleanKey atAdj;
};
inline constexpr std::array<ImageKeys, 2> IMAGE{{
    {{kPict1Options, "GAZOU1", true},
     {kPict1Options, "WIDTH1", ""},
     {kPict1Options, "PRIFN1", ""},
     {kPict1Options, "AFTFN1", ""},
     {kPict1Options, "ATADJ1", false}},
    {{kPict2Options, "GAZOU2", true},
     {kPict2Options, "WIDTH2", ""},
     {kPict2Options, "PRIFN2", ""},
     {kPict2Options, "AFTFN2", ""},
     {kPict2Options, "ATADJ2", false}},
}};

// "InOutFile".
inline constexpr TextKey INDIR{kInOutFile, "INDIR", ""};
inline constexpr TextKey OUTDIR{kInOutFile, "OUTDIR", ""};

// "OutStyl", main-window keys.
inline constexpr std::array<BooleanKey, 2> TIMSTMP{
    {{kOutStyl, "TIMSTMP1", false}, {kOutStyl, "TIMSTMP2", false}}};
inline constexpr BooleanKey HTMLCK{kOutStyl, "HTMLCK", false};
inline constexpr TextKey HTMLFIL{kOutStyl, "HTMLFIL", ""};
inline constexpr TextKey ALBMTITL{kOutStyl, "ALBMTITL", ""};
inline constexpr TextKey HTMLTMP{kOutStyl, "HTMLTMP", ""};

// "OutStyl", time-stamp style keys of image 1 and 2, indexed by image number - 1.
struct TimeStampKeys {
  BooleanKey bgTransparent;  // TIMBGTRPRA
  BooleanKey autoSize;       // TIMAUTOSIZE
  IntegerKey position;       // TIMPOSITION
  TextKey font;              // TIMFONT
  NumberKey fontColor;       // TIMFTCOL
  IntegerKey fontSize;       // TIMFTSIZE
  TextKey fontCharset;       // TIMFTCS (a text holding a decimal number)
  TextKey bold;              // TIMFSBLD  ("fsBold")
  TextKey italic;            // TIMFSITL  ("fsItalic")
  TextKey underline;         // TIMFSUDL  ("fsUnderline")
  TextKey strikeOut;         // TIMFSSTO  ("fsStrikeOut")
  NumberKey bgColor;         // TIMBGCOL
};
inline constexpr std::string_view kDefaultFontName = "ＭＳ Ｐゴシック";
inline constexpr std::array<TimeStampKeys, 2> TIMESTAMP{{
    {{kOutStyl, "TIMBGTRPRA1", true},
     {kOutStyl, "TIMAUTOSIZE1", true},
     {kOutStyl, "TIMPOSITION1", 6},
     {kOutStyl, "TIMFONT1", kDefaultFontName},
     {kOutStyl, "TIMFTCOL1", 255},
     {kOutStyl, "TIMFTSIZE1", 12},
     {kOutStyl, "TIMFTCS1", "128"},
     {kOutStyl, "TIMFSBLD1", ""},
     {kOutStyl, "TIMFSITL1", ""},
     {kOutStyl, "TIMFSUDL1", ""},
     {kOutStyl, "TIMFSSTO1", ""},
     {kOutStyl, "TIMBGCOL1", 16777215}},
    {{kOutStyl, "TIMBGTRPRA2", true},
     {kOutStyl, "TIMAUTOSIZE2", true},
     {kOutStyl, "TIMPOSITION2", 6},
     {kOutStyl, "TIMFONT2", kDefaultFontName},
     {kOutStyl, "TIMFTCOL2", 255},
     {kOutStyl, "TIMFTSIZE2", 12},
     {kOutStyl, "TIMFTCS2", "128"},
     {kOutStyl, "TIMFSBLD2", ""},
     {kOutStyl, "TIMFSITL2", ""},
     {kOutStyl, "TIMFSUDL2", ""},
     {kOutStyl, "TIMFSSTO2", ""},
     {kOutStyl, "TIMBGCOL2", 16777215}},
}};
// The date-time format of both images' stamps; image 2 has no key of its own.
inline constexpr TextKey TIMSTYLE1{kOutStyl, "TIMSTYLE1", "hh:nn AM/PM"};

// "ColorAdjust": the correction values shared by both images.
inline constexpr TextKey RED_Adjust{kColorAdjust, "RED_Adjust", "0"};
inline constexpr TextKey GREEN_Adjust{kColorAdjust, "GREEN_Adjust", "0"};
inline constexpr TextKey BLUE_Adjust{kColorAdjust, "BLUE_Adjust", "0"};
inline constexpr IntegerKey Aump_Adjust{kColorAdjust, "Aump_Adjust", 0};
inline constexpr IntegerKey Cntlr_Adjust{kColorAdjust, "Cntlr_Adjust", 0};

// "AlbumOptions": the album page beyond the main window's HTML group.
// ORDER: the photos' order in the page, 0 as chosen in the photo dialog, 1 by date taken, 2 by
// name (PhotoOrder).
inline constexpr IntegerKey ALBUM_ORDER{kAlbumOptions, "ORDER", 0};

// "PhotoOptions": how photos are read beyond their pixels (options/photo_options.h). Written
// by the 詳細設定 dialog's set button; a file without the section reads as the defaults.
inline constexpr BooleanKey ORIENTATION{kPhotoOptions, "ORIENTATION", true};
inline constexpr BooleanKey COLORPROFILE{kPhotoOptions, "COLORPROFILE", true};
inline constexpr IntegerKey DATESOURCE{kPhotoOptions, "DATESOURCE", 0};  // 0 file time, 1 taken
inline constexpr IntegerKey METADATA{kPhotoOptions, "METADATA", 0};      // 0 none, 1 private, 2 all
inline constexpr BooleanKey NOENLARGE{kPhotoOptions, "NOENLARGE", false};
inline constexpr IntegerKey OUTFORMAT{kPhotoOptions, "OUTFORMAT", 0};  // 0 JPEG, 1 WebP

// "KeptAlbum": the fields of the album site dialog, written when it starts a run; a file without
// the section reads as the defaults.
inline constexpr TextKey KEPT_SOURCE{kKeptAlbum, "SOURCE", ""};  // the photo folder
inline constexpr TextKey KEPT_SITE{kKeptAlbum, "SITE", ""};      // the site folder
inline constexpr TextKey KEPT_TITLE{kKeptAlbum, "TITLE", ""};    // the top album's title
inline constexpr BooleanKey KEPT_ORIGINALS{kKeptAlbum, "ORIGINALS", false};  // copy the photos
inline constexpr TextKey KEPT_BASEURL{kKeptAlbum, "BASEURL", ""};  // where the site is published

// One row of the table, for listing every key (documentation, tests, the command line).
struct KeyInfo {
  std::string_view section;
  std::string_view name;
  KeyType type;
  std::string defaultText;  // the default in its stored form
};
// Every key of the settings file, in file order by section.
const std::vector<KeyInfo>& allKeys();
// The row of a key, or nullptr (case-insensitive).
const KeyInfo* findKey(std::string_view section, std::string_view name);

}  // namespace snapfolio::keys

namespace snapfolio {

// Typed access through the table.
inline std::string read(const TIniFile& ini, const keys::TextKey& k) {
  return ini.ReadString(k.section, k.name, k.defaultValue);
}
inline int read(const TIniFile& ini, const keys::IntegerKey& k) {
  return ini.ReadInteger(k.section, k.name, k.defaultValue);
}
inline bool read(const TIniFile& ini, const keys::BooleanKey& k) {
  return ini.ReadBool(k.section, k.name, k.defaultValue);
}
inline double read(const TIniFile& ini, const keys::NumberKey& k) {
  return ini.ReadFloat(k.section, k.name, k.defaultValue);
}
inline void write(TIniFile& ini, const keys::TextKey& k, std::string_view v) {
  ini.WriteString(k.section, k.name, v);
}
inline void write(TIniFile& ini, const keys::IntegerKey& k, int v) {
  ini.WriteInteger(k.section, k.name, v);
}
inline void write(TIniFile& ini, const keys::BooleanKey& k, bool v) {
  ini.WriteBool(k.section, k.name, v);
}
inline void write(TIniFile& ini, const keys::NumberKey& k, double v) {
  ini.WriteFloat(k.section, k.name, v);
}

}  // namespace snapfolio
