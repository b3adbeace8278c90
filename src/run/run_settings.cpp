#include "run/run_settings.h"

#include "settings/settings_keys.h"
#include "timestamp/time_stamp_settings.h"

namespace snapfolio {

StoredOptions readStoredOptions(const TIniFile& ini) {
  StoredOptions stored;
  RunOptions& run = stored.run;
  run.top = read(ini, keys::TOP);
  run.left = read(ini, keys::LEFT);
  for (int n = 0; n < 2; ++n) {
    const keys::ImageKeys& k = keys::IMAGE[n];
    ImageOptions& image = run.image[n];
    image.produce = read(ini, k.gazou);
    image.widthText = read(ini, k.width);
    image.prefix = read(ini, k.priFn);
    image.suffix = read(ini, k.aftFn);
    image.autoAdjust = read(ini, k.atAdj);
    image.timeStamp = read(ini, keys::TIMSTMP[n]);
  }
  stored.inDir = read(ini, keys::INDIR);
  run.outputDir = read(ini, keys::OUTDIR);
  run.htmlCnv = read(ini, keys::HTMLCK);
  run.htmlFile = read(ini, keys::HTMLFIL);
  run.albumTitle = read(ini, keys::ALBMTITL);
  run.htmlTemplateFile = read(ini, keys::HTMLTMP);
  run.albumOrder = photoOrderFromNumber(read(ini, keys::ALBUM_ORDER));

  stored.styles[0] = readTimeStampStyle(ini, 1);
  stored.styles[1] = readTimeStampStyle(ini, 2);
  stored.format = readTimeStampFormat(ini);

  CorrectionValues& c = stored.correction;
  c.red = read(ini, keys::RED_Adjust);
  c.green = read(ini, keys::GREEN_Adjust);
  c.blue = read(ini, keys::BLUE_Adjust);
  c.gain = read(ini, keys::Aump_Adjust);
  c.limit = read(ini, keys::Cntlr_Adjust);

  run.photo = readPhotoOptions(ini);
  return stored;
}

}  // namespace snapfolio
