#include "site/site_page.h"

// Standard library
#include <string_view>

// Project
#include "album/template_text.h"

namespace snapfolio::site {

namespace {

std::string escaped(std::string_view text) {
  return escapeHtml(text);
}

const SiteImage* imageOf(const std::vector<SiteImage>& sizes, ImageRole role) {
  for (const SiteImage& image : sizes) {
    if (image.role == role) return &image;
  }
  return sizes.empty() ? nullptr : &sizes.back();
}

// <img> of a thumbnail at 1x and 2x.
std::string thumbnail(const std::vector<SiteImage>& sizes, const std::string& alt) {
  const SiteImage* one = imageOf(sizes, ImageRole::Thumb1x);
  const SiteImage* two = imageOf(sizes, ImageRole::Thumb2x);
  if (one == nullptr) return {};
  std::string html = "<img src=\"" + escaped(one->relUrl) + "\"";
  if (two != nullptr && two->relUrl != one->relUrl) {
    html += " srcset=\"" + escaped(one->relUrl) + " 1x, " + escaped(two->relUrl) + " 2x\"";
  }
  html += " width=\"" + std::to_string(one->width) + "\" height=\"" + std::to_string(one->height) +
          "\" alt=\"" + escaped(alt) + "\" loading=\"lazy\">";
  return html;
}

// srcset of every distinct image of a photo by width, for the viewer.
std::string viewSrcset(const std::vector<SiteImage>& sizes) {
  std::string set;
  std::string last;
  for (const SiteImage& image : sizes) {
    if (image.relUrl == last) continue;
    last = image.relUrl;
    if (!set.empty()) set += ", ";
    set += escaped(image.relUrl) + " " + std::to_string(image.width) + "w";
  }
  return set;
}

void field(std::string& html, const char* name, const std::string& value) {
  if (value.empty()) return;
  html += " data-" + std::string(name) + "=\"" + escaped(value) + "\"";
}

}  // namespace

std::string albumPageHtml(const SiteAlbum& album) {
  const bool ja = album.language == "ja";
  std::string html = "<!DOCTYPE html>\n<html lang=\"" + std::string(ja ? "ja" : "en") +
                     "\">\n<head>\n<meta charset=\"utf-8\">\n"
                     "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                     "<meta name=\"generator\" content=\"Snapfolio\">\n<title>" +
                     escaped(album.title) + "</title>\n";
  if (!album.baseUrl.empty()) {
    html += "<meta property=\"og:title\" content=\"" + escaped(album.title) + "\">\n";
    html += "<meta property=\"og:url\" content=\"" + escaped(album.baseUrl) + "index.html\">\n";
    const SitePhoto* first = album.photos.empty() ? nullptr : &album.photos.front();
    if (first != nullptr) {
      if (const SiteImage* view = imageOf(first->sizes, ImageRole::View)) {
        html += "<meta property=\"og:image\" content=\"" + escaped(album.baseUrl + view->relUrl) +
                "\">\n";
      }
    }
  }
  html +=
      "<style>\n"
      "body{font-family:sans-serif;margin:0 1rem;background:#fafafa;color:#222}\n"
      "nav.crumbs{margin:1rem 0}nav.crumbs a{color:#246}\n"
      ".cards,.grid{display:flex;flex-wrap:wrap;gap:6px;margin:1rem 0}\n"
      ".card{display:block;width:240px;text-decoration:none;color:inherit}\n"
      ".card img{width:240px;height:180px;object-fit:cover;display:block;background:#ddd}\n"
      ".grid a{display:block;flex:auto;height:240px}\n"
      ".grid img{height:100%;width:100%;object-fit:cover;display:block}\n"
      "</style>\n</head>\n<body>\n";
  html += "<nav class=\"crumbs\">";
  for (std::size_t i = 0; i < album.breadcrumbs.size(); ++i) {
    const SiteCrumb& crumb = album.breadcrumbs[i];
    if (i > 0) html += " / ";
    if (i + 1 == album.breadcrumbs.size()) {
      html += "<span>" + escaped(crumb.title) + "</span>";
    } else {
      html += "<a href=\"" + escaped(crumb.relUrl) + "\">" + escaped(crumb.title) + "</a>";
    }
  }
  html += "</nav>\n<h1>" + escaped(album.title) + "</h1>\n";
  if (!album.subAlbums.empty()) {
    html += "<div class=\"cards\">\n";
    for (const SiteAlbumCard& card : album.subAlbums) {
      html += "<a class=\"card\" href=\"" + escaped(card.relUrl) + "\">" +
              thumbnail(card.cover, card.title) + "<b>" + escaped(card.title) + "</b><br>" +
              std::to_string(card.photoCount) +
              (ja                     ? "枚"
               : card.photoCount == 1 ? " photo"
                                      : " photos");
      if (!card.dateFrom.empty()) {
        html += ", " + escaped(card.dateFrom);
        if (card.dateTo != card.dateFrom) html += " – " + escaped(card.dateTo);
      }
      html += "</a>\n";
    }
    html += "</div>\n";
  }
  if (album.photos.empty()) {
    html += ja ? "<p class=\"empty\">このアルバムには写真がありません。</p>\n"
               : "<p class=\"empty\">This album has no photo.</p>\n";
  } else {
    html += "<div class=\"grid\">\n";
    for (const SitePhoto& photo : album.photos) {
      const SiteImage* view = imageOf(photo.sizes, ImageRole::View);
      html += "<a href=\"" + escaped(view ? view->relUrl : std::string()) + "\"";
      html += " data-srcset=\"" + viewSrcset(photo.sizes) + "\"";
      field(html, "original", photo.originalUrl);
      field(html, "date", photo.dateTaken);
      field(html, "camera", photo.camera);
      field(html, "lens", photo.lens);
      field(html, "focal", photo.focalLength);
      field(html, "exposure", photo.exposure);
      field(html, "aperture", photo.aperture);
      field(html, "iso", photo.iso);
      html += ">" + thumbnail(photo.sizes, photo.name) + "</a>\n";
    }
    html += "</div>\n";
  }
  html += "</body>\n</html>\n";
  return html;
}

}  // namespace snapfolio::site
