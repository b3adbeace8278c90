// PhotoOptions: how photos are read beyond their pixels, for both output images: the EXIF
// orientation, the embedded colour profile, where the date of the stamps and the album page
// comes from, which metadata the output images carry, and whether small photos are enlarged.
//
// A plain value: the options dialog (詳細設定) holds it and the settings file stores it in the
// section "PhotoOptions" (settings/options.h); the pipeline and the run read it when they
// start. Any thread.
#pragma once

namespace snapfolio {

// Where the date of the stamps and of "$FILEDATE" comes from. The values are those stored.
enum class DateSource {
  FileTime = 0,   // the file's modification time, to two seconds
  DateTaken = 1,  // EXIF DateTimeOriginal, DateTimeDigitized, DateTime, else the file time
};

// What the output images carry of the photo's EXIF. The values are those stored.
enum class MetadataMode {
  None = 0,         // no EXIF at all
  KeepPrivate = 1,  // the EXIF without GPS, maker notes, serial numbers and owner name
  KeepAll = 2,      // the whole EXIF (but the photo's own EXIF thumbnail)
};

struct PhotoOptions {
  bool orientation = true;    // turn photos upright by their EXIF orientation
  bool colourProfile = true;  // convert photos with an embedded profile to sRGB
  DateSource dateSource = DateSource::FileTime;
  MetadataMode metadata = MetadataMode::None;
  bool neverEnlarge = false;  // a photo narrower than the width asked for keeps its size

  friend bool operator==(const PhotoOptions&, const PhotoOptions&) = default;
};

}  // namespace snapfolio
