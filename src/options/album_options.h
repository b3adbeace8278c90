// AlbumOptions: the main window's options of the album page, as the run and the settings file
// see them. A plain value; the window fills it from its controls when a run starts.
#pragma once

#include <string>

namespace snapfolio {

// The photos' order in the album page: as chosen in the photo dialog, by date taken, or by
// name. Stored as its number (settings key "AlbumOptions"/"ORDER"); any other number reads as
// AsChosen.
enum class PhotoOrder { AsChosen = 0, ByDate = 1, ByName = 2 };

inline PhotoOrder photoOrderFromNumber(int number) {
  switch (number) {
    case 1:
      return PhotoOrder::ByDate;
    case 2:
      return PhotoOrder::ByName;
    default:
      return PhotoOrder::AsChosen;
  }
}

struct AlbumOptions {
  bool htmlCnv = false;          // HtmlCnv: write the album page
  std::string htmlFile;          // HtmlFile: the page's file name in the output directory
  std::string albumTitle;        // ALBUMTITLE: inserted as typed
  std::string htmlTemplateFile;  // HtmlTemplateFile: the template's full name
  PhotoOrder order = PhotoOrder::AsChosen;  // "AlbumOptions"/"ORDER"; no control
  std::string language = "ja";  // the interface language ("ja", "en"): picks the shipped template
};

}  // namespace snapfolio
