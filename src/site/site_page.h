// The pages of a kept album: the HTML bytes of a SiteAlbum (site/site_model.h), expanded from
// the shipped kept-album template of the album's language (templates/kept-album.dat, or
// kept-album-en.dat for "en") with the album tags (album/html_analize_tags.h), and the script
// that every page shares (templates/kept-album.js, written as SITE/_album.js).
//
// The site build calls albumPageHtml for every album and writes SITE/<relPath>/index.html only
// when the bytes differ from the file's, so a page that does not change is not rewritten.
//
// Plain functions; any thread. A shipped file that is missing or unreadable, or a template that
// cannot be expanded, throws a Failure that names it.
#pragma once

#include <string>
#include <string_view>

#include "site/site_model.h"

namespace snapfolio::site {

// The page's bytes (UTF-8 HTML).
std::string albumPageHtml(const SiteAlbum& album);

// The same from the template text given.
std::string albumPageHtml(const SiteAlbum& album, std::string_view albumTemplate);

// The bytes of the shared script (kSharedScriptName).
std::string sharedScript();

}  // namespace snapfolio::site
