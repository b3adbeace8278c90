// The options model: each group of settings keys as a plain struct, read from and stored to
// the settings file. This is the one place where keys meet fields; the key table
// (settings_keys.h) gives each key's section, name, type and default.
//
// Reads take a TIniFile the caller opened (one reading of the file serves a whole start-up).
// Each store function is one batch (SettingsBatch) of the program's fixed batches: the keys are
// written in their fixed order and reach the file in one replacement, or not at all. A store
// returns false, writing nothing, when the file is not a settings file (notSettingsMessage), and
// throws SettingsWriteError when the file could not be written (it is then unchanged).
//
// Plain functions; one TIniFile per thread.
#pragma once

#include <string>

#include "options/correction_values.h"
#include "options/run_options.h"
#include "options/time_stamp_style.h"
#include "options/window_position.h"
#include "settings/ini_file.h"

namespace snapfolio {

// Everything the windows load at start-up; the command line runs from it.
struct StoredOptions {
  WindowPosition position;
  RunOptions run;      // outputDir holds "OUTDIR" as stored (not yet checked)
  std::string inDir;   // "INDIR": the photo dialog's first folder
  std::string format;  // "TIMSTYLE1": the stamps' date-time format of both images
  TimeStampStyle styles[2];
  CorrectionValues correction;
};

// The album site dialog's fields ("KeptAlbum").
struct KeptAlbumFields {
  std::string source;  // the photo folder
  std::string site;    // the site folder
  std::string title;
  bool copyOriginals = false;
  std::string baseUrl;
};

// One setting given for a single run (the command line's --set SECTION/KEY=VALUE), with the
// section and key spelt as the settings file spells them.
struct SettingOverride {
  std::string section;
  std::string key;
  std::string value;
};

// ---- Reading, each key with its default ------------------------------------------------------

WindowPosition readWindowPosition(const TIniFile& ini);
// Output image `imageNumber` (1 or 2): "GAZOUn", "WIDTHn", "PRIFNn", "AFTFNn", "ATADJn" and
// "TIMSTMPn".
ImageOptions readImageOptions(const TIniFile& ini, int imageNumber);
AlbumOptions readAlbumOptions(const TIniFile& ini);
// Both images, the album options, "OUTDIR" and the photo options.
RunOptions readRunOptions(const TIniFile& ini);
std::string readPhotoFolder(const TIniFile& ini);
CorrectionValues readCorrectionValues(const TIniFile& ini);
// "PhotoOptions": "ORIENTATION", "COLORPROFILE", "DATESOURCE", "METADATA", "NOENLARGE",
// "OUTFORMAT". A file
// without the section (every file from before it) gives PhotoOptions{}; so does a code that is
// none of the enumeration's.
PhotoOptions readPhotoOptions(const TIniFile& ini);
// The style of output image `imageNumber` (1 or 2), each key read in turn with its default:
// transparency, auto size, position, face, colour (truncated, low 24 bits), size, character set,
// bold, italic, underline, strike-out, background colour. Of the four style keys the last that
// holds its flag's exact name decides, and the style is then that flag alone. A character set
// that is not a decimal number from 0 to 255 gives 128. A position outside 1 to 6 is kept.
TimeStampStyle readTimeStampStyle(const TIniFile& ini, int imageNumber);
std::string readTimeStampFormat(const TIniFile& ini);
StoredOptions readStoredOptions(const TIniFile& ini);
KeptAlbumFields readKeptAlbumFields(const TIniFile& ini);

// The numbered message saying that the file is not a settings file and is left alone, or
// empty when it is one.
std::string notSettingsMessage(const TIniFile& ini);

// ---- The batches ---------------------------------------------------------------------------

// Run start: "OUTDIR", "PRIFN1", "TOP", "LEFT".
bool storeRunStart(TIniFile& ini, const RunOptions& options, const WindowPosition& position);
// Run end: "INDIR" (`photoFileName`, the photo dialog's file name), then "GAZOU1", "WIDTH1",
// "AFTFN1", "ATADJ1", "GAZOU2", "WIDTH2", "PRIFN2", "AFTFN2", "ATADJ2", "TIMSTMP1", "TIMSTMP2",
// "HTMLCK", "ALBMTITL", "HTMLFIL".
bool storeRunEnd(TIniFile& ini, const RunOptions& options, const std::string& photoFileName);
// The template choice: "HTMLTMP".
bool storeTemplateFile(TIniFile& ini, const std::string& templateFile);
// The correction dialog's set button: "RED_Adjust", "GREEN_Adjust", "BLUE_Adjust",
// "Aump_Adjust", "Cntlr_Adjust".
bool storeCorrectionValues(TIniFile& ini, const CorrectionValues& values);
// The photo options dialog's set button: the "PhotoOptions" keys in the order of reading.
bool storePhotoOptions(TIniFile& ini, const PhotoOptions& options);
// The album site dialog's run: the "KeptAlbum" keys in the order of reading.
bool storeKeptAlbumFields(TIniFile& ini, const KeptAlbumFields& fields);
// A time-stamp dialog's set button: the style of output image `imageNumber` in the order of
// reading, then "TIMSTYLE1" when `format` is given. A style flag's key receives the flag's name
// only when the style is exactly that one flag; a key that still holds its name from an earlier
// set but no longer matches is cleared, so the file never restores a style the user has since
// replaced.
bool storeTimeStampStyle(TIniFile& ini, int imageNumber, const TimeStampStyle& style,
                         const std::string* format);

// A character set read from its stored text: 128 unless it is a decimal number from 0 to 255.
int charsetFromText(const std::string& text);

}  // namespace snapfolio
