// The kept album as the page writer sees it: one SiteAlbum per album page of the site, with its
// photos (in page order, each with the images made of it) and the cards of its subalbums.
//
// A site mirrors its source folders: the album at relPath "a/b" is the page SITE/a/b/index.html
// and keeps its images in SITE/a/b/_img/. Every URL in these structs is relative to the album's
// own page (so a site can be moved or served from any path), already percent-encoded where a
// name needs it; texts are UTF-8 and not HTML-escaped (the writer escapes them).
//
// Plain values; made by the site build (site/site_tree.h) on the run's thread and handed to
// the page writer (site/site_page.h), which may run anywhere.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace snapfolio::site {

// What an image of a photo is for on the page.
enum class ImageRole {
  Thumb1x,  // the grid's thumbnail at the row height (kThumbRowHeight pixels tall)
  Thumb2x,  // the same at twice the height, for screens of two device pixels per CSS pixel
  View,     // the viewer's image, up to kViewLongSide pixels on its long side
};

// The row height of the grid in CSS pixels, and the viewer image's greatest long side.
inline constexpr int kThumbRowHeight = 240;
inline constexpr int kViewLongSide = 2560;

// The one script that every page of a site shares (the viewer, the slideshow), in the site's
// top folder.
inline constexpr std::string_view kSharedScriptName = "_album.js";

// One image file of a photo. A small photo is never enlarged, so several roles may name the
// same file (tiny.JPG 70 x 46 gives one file for all three).
struct SiteImage {
  std::string relUrl;  // from the album's page, such as "_img/IMG_0001-360.jpg"
  int width = 0;       // pixels
  int height = 0;
  ImageRole role = ImageRole::View;
};

// One photo of an album page. The camera fields are empty when the photo does not record them;
// the position (GPS) is never read.
struct SitePhoto {
  std::string name;              // the photo's file name in its folder, such as "IMG_0001.JPG"
  std::string originalUrl;       // the copy of the original in the site (--originals copy); empty:
                                 // none
  std::vector<SiteImage> sizes;  // ascending width; one entry per role
  std::string dateTaken;         // "2024-05-01 14:03:22" (the camera's local time); empty: unknown
  std::string camera;            // "Canon EOS 5D" (make and model, the make not repeated)
  std::string lens;              // "EF24-105mm f/4L IS USM"
  std::string focalLength;       // "50 mm"
  std::string exposure;          // "1/250 s"
  std::string aperture;          // "f/5.6"
  std::string iso;               // "200"
  std::string fingerprint;       // hex digest of the photo's bytes (stable across renames)
  int width = 0;                 // the upright photo's pixels (the original's, not an image's)
  int height = 0;
};

// One step of the way back up: the title of an album and its page's URL from the current page.
struct SiteCrumb {
  std::string title;
  std::string relUrl;  // such as "../index.html"; the current album's own crumb: "index.html"
};

// A subalbum shown as a card on its parent's page.
struct SiteAlbumCard {
  std::string title;
  std::string relUrl;            // such as "Holidays%202024/index.html"
  std::vector<SiteImage> cover;  // the cover photo's images, URLs from the parent's page;
                                 // empty: the subalbum (and its own subalbums) hold no photo
  int photoCount = 0;            // its photos and those of its subalbums
  std::string dateFrom;          // earliest and latest date taken among them ("2024-05-01");
  std::string dateTo;            // empty when none is known
};

// One album page.
struct SiteAlbum {
  std::string relPath;  // the album's folder in the site, "" for the top album, else "a/b"
  std::string title;    // the folder's name; the top album: --title (default: the site folder's
                        // name)
  std::string baseUrl;  // --base-url with this page's path appended (absolute og: URLs);
                        // empty: not given
  std::string language = "ja";  // the interface language ("ja" or "en") of the page's own texts
  std::vector<SiteCrumb> breadcrumbs;    // from the top album down to this one (inclusive)
  std::vector<SitePhoto> photos;         // in page order: date taken, then name
  std::vector<SiteAlbumCard> subAlbums;  // in name order
};

}  // namespace snapfolio::site
