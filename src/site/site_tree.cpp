#include "site/site_tree.h"

// Standard library
#include <algorithm>
#include <map>
#include <set>

// Project
#include "formats/image_encoder.h"

namespace snapfolio::site {

namespace {

std::string parentOf(const std::string& album) {
  const std::size_t slash = album.rfind('/');
  return slash == std::string::npos ? std::string() : album.substr(0, slash);
}

std::string lastPart(const std::string& album) {
  const std::size_t slash = album.rfind('/');
  return slash == std::string::npos ? album : album.substr(slash + 1);
}

// "../" once per level of `album`.
std::string upTo(const std::string& album) {
  std::string up;
  if (album.empty()) return up;
  up = "../";
  for (char c : album) {
    if (c == '/') up += "../";
  }
  return up;
}

std::string dayOf(const std::string& dateTaken) {
  return dateTaken.substr(0, 10);
}

SitePhoto sitePhoto(const PhotoRecord& p) {
  SitePhoto photo;
  photo.name = p.rel.substr(p.rel.rfind('/') + 1);
  if (!p.original.empty()) photo.originalUrl = "_orig/" + urlPath(p.original);
  std::vector<OutputRecord> outputs = p.outputs;
  std::sort(outputs.begin(), outputs.end(), [](const OutputRecord& a, const OutputRecord& b) {
    return a.width != b.width ? a.width < b.width : a.role < b.role;
  });
  for (const OutputRecord& out : outputs) {
    photo.sizes.push_back(
        {"_img/" + urlPath(out.file), out.width, out.height, static_cast<ImageRole>(out.role)});
  }
  photo.dateTaken = p.dateTaken;
  photo.camera = p.camera;
  photo.lens = p.lens;
  photo.focalLength = p.focalLength;
  photo.exposure = p.exposure;
  photo.aperture = p.aperture;
  photo.iso = p.iso;
  photo.fingerprint = p.fingerprint;
  photo.width = p.width;
  photo.height = p.height;
  return photo;
}

bool photoBefore(const SitePhoto& a, const SitePhoto& b) {
  if (a.dateTaken.empty() != b.dateTaken.empty()) return !a.dateTaken.empty();
  if (a.dateTaken != b.dateTaken) return a.dateTaken < b.dateTaken;
  return a.name < b.name;
}

// The albums by path: every album with its photos in order; every folder above an album is one
// too, and the top album always is.
using Albums = std::map<std::string, SiteAlbum>;

Albums gatherAlbums(const std::vector<PhotoRecord>& photos, const TreeOptions& options) {
  Albums albums;
  albums[""];
  for (const PhotoRecord& p : photos) {
    albums[p.album].photos.push_back(sitePhoto(p));
    for (std::string up = p.album; !up.empty();) {
      up = parentOf(up);
      albums[up];
    }
  }
  for (auto& [path, album] : albums) {
    album.relPath = path;
    album.title = path.empty() ? options.title : lastPart(path);
    album.language = options.language;
    std::sort(album.photos.begin(), album.photos.end(), photoBefore);
    if (!options.baseUrl.empty()) {
      std::string base = options.baseUrl;
      if (base.back() != '/') base += '/';
      album.baseUrl = base + (path.empty() ? "" : urlPath(path) + "/");
    }
  }
  return albums;
}

// What an album's card shows, its subalbums' photos counted in.
struct Totals {
  int count = 0;
  std::string from, to;
  const SitePhoto* cover = nullptr;
};

std::map<std::string, Totals> cardTotals(const Albums& albums) {
  // Deepest albums first, so that a card's counts and dates take its subalbums'.
  std::map<std::string, Totals> totals;
  for (auto it = albums.rbegin(); it != albums.rend(); ++it) {
    const auto& [path, album] = *it;
    Totals& t = totals[path];
    t.count += static_cast<int>(album.photos.size());
    for (const SitePhoto& photo : album.photos) {
      if (photo.dateTaken.empty()) continue;
      const std::string day = dayOf(photo.dateTaken);
      if (t.from.empty() || day < t.from) t.from = day;
      if (t.to.empty() || day > t.to) t.to = day;
    }
    if (!album.photos.empty()) t.cover = &album.photos.front();
    if (path.empty()) continue;
    Totals& parent = totals[parentOf(path)];
    parent.count += t.count;
    if (!t.from.empty() && (parent.from.empty() || t.from < parent.from)) parent.from = t.from;
    if (!t.to.empty() && (parent.to.empty() || t.to > parent.to)) parent.to = t.to;
  }
  // The map is in path order, so a parent's subalbums come in name order, and a subalbum's
  // cover falls back on its first subalbum's.
  for (auto it = albums.rbegin(); it != albums.rend(); ++it) {
    Totals& t = totals[it->first];
    if (t.cover) continue;
    for (const auto& [path, album] : albums) {
      if (!path.empty() && parentOf(path) == it->first && totals[path].cover) {
        t.cover = totals[path].cover;
        break;
      }
    }
  }
  return totals;
}

// The card of the album at `path` on its parent's page.
SiteAlbumCard albumCard(const Albums& albums, const std::string& path, const Totals& t) {
  SiteAlbumCard card;
  card.title = albums.at(path).title;
  card.relUrl = urlPath(lastPart(path)) + "/index.html";
  card.photoCount = t.count;
  card.dateFrom = t.from;
  card.dateTo = t.to;
  if (!t.cover) return card;
  // The cover's URLs from the parent's page: down to the album holding the photo.
  std::string holder;
  for (const auto& [p, a] : albums) {
    if (!a.photos.empty() && t.cover >= a.photos.data() &&
        t.cover < a.photos.data() + a.photos.size()) {
      holder = p;
      break;
    }
  }
  const std::string parent = parentOf(path);
  const std::string down = parent.empty() ? holder : holder.substr(parent.size() + 1);
  for (SiteImage image : t.cover->sizes) {
    image.relUrl = urlPath(down) + "/" + image.relUrl;
    card.cover.push_back(std::move(image));
  }
  return card;
}

// The way up from an album: the top album, then each folder down to the album itself.
void addBreadcrumbs(SiteAlbum& album, const std::string& topTitle) {
  const std::string& path = album.relPath;
  std::string crumbPath;
  album.breadcrumbs.push_back({topTitle, upTo(path) + "index.html"});
  std::string rest = path;
  while (!rest.empty()) {
    const std::size_t slash = rest.find('/');
    const std::string part = rest.substr(0, slash);
    crumbPath += (crumbPath.empty() ? "" : "/") + part;
    album.breadcrumbs.push_back(
        {part,
         upTo(path.substr(crumbPath.size() == path.size() ? path.size() : crumbPath.size() + 1)) +
             "index.html"});
    rest = slash == std::string::npos ? "" : rest.substr(slash + 1);
  }
}

}  // namespace

std::string imageFileName(const std::string& stem, int width, bool viewVariant,
                          OutputFormat format) {
  // The extension of the output encoder's type: ".jpg" for JPEG, else its subtype.
  const std::string_view mime = outputEncoder(format).mimeType();
  const std::string_view subtype = mime.substr(mime.find('/') + 1);
  const std::string extension = subtype == "jpeg" ? std::string(".jpg") : "." + std::string(subtype);
  return stem + "-" + std::to_string(width) + (viewVariant ? "v" : "") + extension;
}

std::string urlPath(const std::string& path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string url;
  for (unsigned char c : path) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
        c == '.' || c == '_' || c == '~' || c == '/') {
      url += static_cast<char>(c);
    } else {
      url += '%';
      url += kHex[c >> 4];
      url += kHex[c & 15];
    }
  }
  return url;
}

std::vector<SiteAlbum> siteAlbums(const std::vector<PhotoRecord>& photos,
                                  const TreeOptions& options) {
  Albums albums = gatherAlbums(photos, options);
  std::map<std::string, Totals> totals = cardTotals(albums);
  for (const auto& entry : albums) {
    const std::string& path = entry.first;
    if (path.empty()) continue;
    albums[parentOf(path)].subAlbums.push_back(albumCard(albums, path, totals[path]));
  }
  std::vector<SiteAlbum> list;
  for (auto& entry : albums) {
    addBreadcrumbs(entry.second, options.title);
    list.push_back(std::move(entry.second));
  }
  return list;
}

}  // namespace snapfolio::site
