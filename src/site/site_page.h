// The page of one album of a kept album: the HTML bytes of a SiteAlbum (site/site_model.h).
//
// The site build calls albumPageHtml for every album and writes SITE/<relPath>/index.html only
// when the bytes differ from the file's, so a page that does not change is not rewritten.
//
// A plain function of its argument; any thread.
#pragma once

#include <string>

#include "site/site_model.h"

namespace snapfolio::site {

// The page's bytes (UTF-8 HTML).
std::string albumPageHtml(const SiteAlbum& album);

}  // namespace snapfolio::site
