// The album tree of a kept album: the SiteAlbum of every album page, made from the catalogue's
// photos. Each folder that holds photos, or whose subfolders do, is an album; the top album
// always is (an empty site has an empty top page). Photos are in date-taken order (then by
// name; a photo without a date goes by its name after the dated ones), subalbums in name
// order; a card's cover is the first photo of its album in that order, or of its first
// subalbum that has one.
//
// Plain functions; any thread.
#pragma once

#include <string>
#include <vector>

#include "options/photo_options.h"
#include "site/catalogue.h"
#include "site/site_model.h"

namespace snapfolio::site {

struct TreeOptions {
  std::string title;    // the top album's
  std::string baseUrl;  // --base-url, "" when not given
  std::string language = "ja";
};

// The image file of a role: "<stem>-<width>.jpg" (the view image "<stem>-<width>v.jpg" when a
// thumbnail of the same width was made with other options); the extension is that of the
// output format (".webp" for WebP).
std::string imageFileName(const std::string& stem, int width, bool viewVariant,
                          OutputFormat format);

// A path or name as a relative URL: bytes other than letters, digits, "-._~/" percent-encoded.
std::string urlPath(const std::string& path);

// The albums, the top album first, then in path order.
std::vector<SiteAlbum> siteAlbums(const std::vector<PhotoRecord>& photos,
                                  const TreeOptions& options);

}  // namespace snapfolio::site
