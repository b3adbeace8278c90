// AlbumOptions: the main window's options of the album page, as the run and the settings file
// see them. A plain value; the window fills it from its controls when a run starts.
#pragma once

#include <string>

#include "album/photo_order.h"

namespace snapfolio {

struct AlbumOptions {
  bool htmlCnv = false;          // HtmlCnv: write the album page
  std::string htmlFile;          // HtmlFile: the page's file name in the output directory
  std::string albumTitle;        // ALBUMTITLE: inserted as typed
  std::string htmlTemplateFile;  // HtmlTemplateFile: the template's full name
  PhotoOrder order = PhotoOrder::AsChosen;  // "AlbumOptions"/"ORDER"; no control
  std::string language = "ja";  // the interface language ("ja", "en"): picks the shipped template
};

}  // namespace snapfolio
