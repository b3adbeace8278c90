#include "settings/options.h"

// Standard library
#include <algorithm>
#include <array>
#include <stdexcept>

// Qt
#include <QCoreApplication>

// Project
#include "core/number_text.h"
#include "core/translation.h"
#include "settings/settings_keys.h"

namespace snapfolio {

namespace {

// The stored names of the four style flags, in the order the keys are read and written.
constexpr const char* kStyleFlagNames[4] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};

std::size_t indexOf(int imageNumber) {
  if (imageNumber != 1 && imageNumber != 2) {
    throw std::invalid_argument("output images are numbered 1 and 2");
  }
  return static_cast<std::size_t>(imageNumber - 1);
}

std::array<const keys::TextKey*, 4> flagKeys(const keys::TimeStampKeys& k) {
  return {&k.bold, &k.italic, &k.underline, &k.strikeOut};
}

std::array<bool*, 4> flagsOf(TimeStampStyle& style) {
  return {&style.bold, &style.italic, &style.underline, &style.strikeOut};
}

std::array<bool, 4> flagValues(const TimeStampStyle& style) {
  return {style.bold, style.italic, style.underline, style.strikeOut};
}

// Runs `writes` on `ini` as one batch.
template <typename Writes>
bool inBatch(TIniFile& ini, Writes&& writes) {
  SettingsBatch batch(ini);
  writes();
  return batch.commit();
}

// An enumeration stored as its code; a code the program does not know reads as the default.
template <typename Enum>
Enum readCode(const TIniFile& ini, const keys::IntegerKey& key, int last) {
  const int code = read(ini, key);
  return static_cast<Enum>(code >= 0 && code <= last ? code : key.defaultValue);
}

}  // namespace

int charsetFromText(const std::string& text) {
  int value = 0;
  if (parseInteger(text, value) && value >= 0 && value <= 255) return value;
  return 128;
}

WindowPosition readWindowPosition(const TIniFile& ini) {
  return {read(ini, keys::TOP), read(ini, keys::LEFT)};
}

ImageOptions readImageOptions(const TIniFile& ini, int imageNumber) {
  const std::size_t n = indexOf(imageNumber);
  const keys::ImageKeys& k = keys::IMAGE[n];
  ImageOptions image;
  image.produce = read(ini, k.gazou);
  image.widthText = PixelWidth(read(ini, k.width));
  image.prefix = read(ini, k.priFn);
  image.suffix = read(ini, k.aftFn);
  image.autoAdjust = read(ini, k.atAdj);
  image.timeStamp = read(ini, keys::TIMSTMP[n]);
  return image;
}

AlbumOptions readAlbumOptions(const TIniFile& ini) {
  AlbumOptions album;
  album.htmlCnv = read(ini, keys::HTMLCK);
  album.htmlFile = read(ini, keys::HTMLFIL);
  album.albumTitle = read(ini, keys::ALBMTITL);
  album.htmlTemplateFile = read(ini, keys::HTMLTMP);
  album.order = photoOrderFromNumber(read(ini, keys::ALBUM_ORDER));
  return album;
}

RunOptions readRunOptions(const TIniFile& ini) {
  RunOptions run;
  run.image[0] = readImageOptions(ini, 1);
  run.image[1] = readImageOptions(ini, 2);
  run.album = readAlbumOptions(ini);
  run.outputDir = read(ini, keys::OUTDIR);
  run.photo = readPhotoOptions(ini);
  return run;
}

PhotoOptions readPhotoOptions(const TIniFile& ini) {
  PhotoOptions options;
  options.orientation = read(ini, keys::ORIENTATION);
  options.colourProfile = read(ini, keys::COLORPROFILE);
  options.dateSource = readCode<DateSource>(ini, keys::DATESOURCE, 1);
  options.metadata = readCode<MetadataMode>(ini, keys::METADATA, 2);
  options.neverEnlarge = read(ini, keys::NOENLARGE);
  options.outputFormat = readCode<OutputFormat>(ini, keys::OUTFORMAT, 1);
  return options;
}

KeptAlbumFields readKeptAlbumFields(const TIniFile& ini) {
  KeptAlbumFields fields;
  fields.source = read(ini, keys::KEPT_SOURCE);
  fields.site = read(ini, keys::KEPT_SITE);
  fields.title = read(ini, keys::KEPT_TITLE);
  fields.copyOriginals = read(ini, keys::KEPT_ORIGINALS);
  fields.baseUrl = read(ini, keys::KEPT_BASEURL);
  return fields;
}

std::string readPhotoFolder(const TIniFile& ini) {
  return read(ini, keys::INDIR);
}

CorrectionValues readCorrectionValues(const TIniFile& ini) {
  CorrectionValues c;
  c.red = read(ini, keys::RED_Adjust);
  c.green = read(ini, keys::GREEN_Adjust);
  c.blue = read(ini, keys::BLUE_Adjust);
  c.gain = read(ini, keys::Aump_Adjust);
  c.limit = read(ini, keys::Cntlr_Adjust);
  return c;
}

TimeStampStyle readTimeStampStyle(const TIniFile& ini, int imageNumber) {
  const keys::TimeStampKeys& k = keys::TIMESTAMP[indexOf(imageNumber)];
  TimeStampStyle style;
  style.transparent = read(ini, k.bgTransparent);
  style.autoSize = read(ini, k.autoSize);
  style.position = read(ini, k.position);
  style.fontName = read(ini, k.font);
  style.fontColor = colourFromNumber(read(ini, k.fontColor));
  style.fontSize = read(ini, k.fontSize);
  style.fontCharset = charsetFromText(read(ini, k.fontCharset));
  const auto keysOfFlags = flagKeys(k);
  for (std::size_t f = 0; f < keysOfFlags.size(); ++f) {
    if (read(ini, *keysOfFlags[f]) == kStyleFlagNames[f]) {
      // A later key replaces the style set by an earlier one.
      for (bool* flag : flagsOf(style)) *flag = false;
      *flagsOf(style)[f] = true;
    }
  }
  style.backgroundColor = static_cast<float>(read(ini, k.bgColor));
  return style;
}

std::string readTimeStampFormat(const TIniFile& ini) {
  return read(ini, keys::TIMSTYLE1);
}

StoredOptions readStoredOptions(const TIniFile& ini) {
  StoredOptions stored;
  stored.position = readWindowPosition(ini);
  stored.run = readRunOptions(ini);
  stored.inDir = readPhotoFolder(ini);
  stored.styles[0] = readTimeStampStyle(ini, 1);
  stored.styles[1] = readTimeStampStyle(ini, 2);
  stored.format = readTimeStampFormat(ini);
  stored.correction = readCorrectionValues(ini);
  return stored;
}

std::string notSettingsMessage(const TIniFile& ini) {
  if (ini.NotSettingsReason().empty()) return {};
  return fillIn(QCoreApplication::translate(
                    "TIniFile",
                    "0016 : %1 は設定ファイルではない(%2)。このファイルは読み込まず、書き換えも"
                    "しない。設定は既定値で動作し、保存されない。"),
                {ini.FileName(), translated("TIniFile", ini.NotSettingsReason().c_str())});
}

bool storeRunStart(TIniFile& ini, const RunOptions& options, const WindowPosition& position) {
  return inBatch(ini, [&] {
    write(ini, keys::OUTDIR, options.outputDir);
    write(ini, keys::IMAGE[0].priFn, options.image[0].prefix);
    write(ini, keys::TOP, position.top);
    write(ini, keys::LEFT, position.left);
  });
}

bool storeRunEnd(TIniFile& ini, const RunOptions& options, const std::string& photoFileName) {
  return inBatch(ini, [&] {
    write(ini, keys::INDIR, photoFileName);
    for (std::size_t n = 0; n < 2; ++n) {
      const ImageOptions& image = options.image[n];
      const keys::ImageKeys& k = keys::IMAGE[n];
      write(ini, k.gazou, image.produce);
      write(ini, k.width, image.widthText.text());
      // "PRIFN1" belongs to the run start.
      if (n == 1) write(ini, k.priFn, image.prefix);
      write(ini, k.aftFn, image.suffix);
      write(ini, k.atAdj, image.autoAdjust);
    }
    write(ini, keys::TIMSTMP[0], options.image[0].timeStamp);
    write(ini, keys::TIMSTMP[1], options.image[1].timeStamp);
    write(ini, keys::HTMLCK, options.album.htmlCnv);
    write(ini, keys::ALBMTITL, options.album.albumTitle);
    write(ini, keys::HTMLFIL, options.album.htmlFile);
  });
}

bool storeTemplateFile(TIniFile& ini, const std::string& templateFile) {
  return inBatch(ini, [&] { write(ini, keys::HTMLTMP, templateFile); });
}

bool storeCorrectionValues(TIniFile& ini, const CorrectionValues& values) {
  return inBatch(ini, [&] {
    write(ini, keys::RED_Adjust, values.red);
    write(ini, keys::GREEN_Adjust, values.green);
    write(ini, keys::BLUE_Adjust, values.blue);
    write(ini, keys::Aump_Adjust, values.gain);
    write(ini, keys::Cntlr_Adjust, values.limit);
  });
}

bool storePhotoOptions(TIniFile& ini, const PhotoOptions& options) {
  return inBatch(ini, [&] {
    write(ini, keys::ORIENTATION, options.orientation);
    write(ini, keys::COLORPROFILE, options.colourProfile);
    write(ini, keys::DATESOURCE, static_cast<int>(options.dateSource));
    write(ini, keys::METADATA, static_cast<int>(options.metadata));
    write(ini, keys::NOENLARGE, options.neverEnlarge);
    write(ini, keys::OUTFORMAT, static_cast<int>(options.outputFormat));
  });
}

bool storeKeptAlbumFields(TIniFile& ini, const KeptAlbumFields& fields) {
  return inBatch(ini, [&] {
    write(ini, keys::KEPT_SOURCE, fields.source);
    write(ini, keys::KEPT_SITE, fields.site);
    write(ini, keys::KEPT_TITLE, fields.title);
    write(ini, keys::KEPT_ORIGINALS, fields.copyOriginals);
    write(ini, keys::KEPT_BASEURL, fields.baseUrl);
  });
}

bool storeTimeStampStyle(TIniFile& ini, int imageNumber, const TimeStampStyle& style,
                         const std::string* format) {
  const keys::TimeStampKeys& k = keys::TIMESTAMP[indexOf(imageNumber)];
  return inBatch(ini, [&] {
    write(ini, k.bgTransparent, style.transparent);
    write(ini, k.autoSize, style.autoSize);
    write(ini, k.position, style.position);
    write(ini, k.font, style.fontName);
    write(ini, k.fontColor, static_cast<double>(style.fontColor & 0x00FFFFFFu));
    write(ini, k.fontSize, style.fontSize);
    write(ini, k.fontCharset, formatInteger(charsetFromText(std::to_string(style.fontCharset))));

    const auto keysOfFlags = flagKeys(k);
    const auto flags = flagValues(style);
    const bool single = std::count(flags.begin(), flags.end(), true) == 1;
    for (std::size_t f = 0; f < keysOfFlags.size(); ++f) {
      if (single && flags[f]) {
        write(ini, *keysOfFlags[f], kStyleFlagNames[f]);
      } else if (read(ini, *keysOfFlags[f]) == kStyleFlagNames[f]) {
        write(ini, *keysOfFlags[f], "");
      }
    }

    // A whole number: the float holds a colour truncated when it is used.
    write(ini, k.bgColor, static_cast<double>(colourFromNumber(style.backgroundColor)));
    if (format != nullptr) write(ini, keys::TIMSTYLE1, *format);
  });
}

}  // namespace snapfolio
