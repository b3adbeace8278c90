#include "site/site_page.h"

// Standard library
#include <fstream>
#include <sstream>
#include <utility>

// Project
#include "album/default_template.h"
#include "album/html_analize.h"
#include "album/template_text.h"
#include "core/failure.h"

namespace snapfolio::site {

namespace {

const SiteImage* imageOf(const std::vector<SiteImage>& sizes, ImageRole role) {
  for (const SiteImage& image : sizes) {
    if (image.role == role) return &image;
  }
  return sizes.empty() ? nullptr : &sizes.back();
}

std::string urlOf(const std::vector<SiteImage>& sizes, ImageRole role) {
  const SiteImage* image = imageOf(sizes, role);
  return image ? image->relUrl : std::string();
}

PixelSize sizeOf(const std::vector<SiteImage>& sizes, ImageRole role) {
  const SiteImage* image = imageOf(sizes, role);
  return image ? PixelSize{image->width, image->height} : PixelSize{};
}

// Every distinct image of a photo with its width, for a srcset.
std::string widthSet(const std::vector<SiteImage>& sizes) {
  std::string set;
  std::string last;
  for (const SiteImage& image : sizes) {
    if (image.relUrl == last) continue;
    last = image.relUrl;
    if (!set.empty()) set += ", ";
    set += image.relUrl + " " + std::to_string(image.width) + "w";
  }
  return set;
}

std::string dateRange(const std::string& from, const std::string& to) {
  if (from.empty() || from == to) return from;
  return from + " – " + to;
}

void widen(std::string& from, std::string& to, const std::string& earliest,
           const std::string& latest) {
  if (!earliest.empty() && (from.empty() || earliest < from)) from = earliest;
  if (!latest.empty() && (to.empty() || latest > to)) to = latest;
}

// What the album tags of one page read.
class PageTags : public AlbumTagSource {
 public:
  explicit PageTags(const SiteAlbum& album) : album_(album) {}

  std::size_t count(TagScope list) const override {
    switch (list) {
      case TagScope::Photos:
        return album_.photos.size();
      case TagScope::Albums:
        return album_.subAlbums.size();
      case TagScope::Crumbs:  // the albums above this one
        return album_.breadcrumbs.empty() ? 0 : album_.breadcrumbs.size() - 1;
      case TagScope::Page:
        return 1;
    }
    return 0;
  }

  std::string value(TagField field, std::size_t item) const override {
    if (field >= TagField::Thumb1x) return photoValue(field, album_.photos.at(item));
    if (field >= TagField::CrumbTitle) {
      const SiteCrumb& crumb = album_.breadcrumbs.at(item);
      return field == TagField::CrumbTitle ? crumb.title : crumb.relUrl;
    }
    if (field >= TagField::AlbumTitle) return cardValue(field, album_.subAlbums.at(item));
    return pageValue(field);
  }

  bool holds(TagCondition condition, std::size_t item) const override {
    switch (condition) {
      case TagCondition::Photos:
        return !album_.photos.empty();
      case TagCondition::Albums:
        return !album_.subAlbums.empty();
      case TagCondition::Empty:
        return album_.photos.empty() && album_.subAlbums.empty();
      case TagCondition::Up:
        return !album_.relPath.empty();
      case TagCondition::BaseUrl:
        return !album_.baseUrl.empty();
      case TagCondition::Preview:
        return !preview().empty();
      case TagCondition::Cover:
        return !album_.subAlbums.at(item).cover.empty();
      case TagCondition::Original:
        return !album_.photos.at(item).originalUrl.empty();
    }
    return false;
  }

 private:
  std::string pageValue(TagField field) const {
    switch (field) {
      case TagField::PageUrl:
        return album_.baseUrl.empty() ? std::string() : album_.baseUrl + "index.html";
      case TagField::Preview:
        return preview().empty() ? std::string() : album_.baseUrl + preview();
      case TagField::Script: {
        std::string up;
        if (!album_.relPath.empty()) up = "../";
        for (char c : album_.relPath) up += c == '/' ? "../" : "";
        return up + std::string(kSharedScriptName);
      }
      case TagField::Total: {
        std::size_t total = album_.photos.size();
        for (const SiteAlbumCard& card : album_.subAlbums) total += card.photoCount;
        return std::to_string(total);
      }
      default:
        return dates();
    }
  }

  static std::string cardValue(TagField field, const SiteAlbumCard& card) {
    switch (field) {
      case TagField::AlbumTitle:
        return card.title;
      case TagField::AlbumUrl:
        return card.relUrl;
      case TagField::AlbumCount:
        return std::to_string(card.photoCount);
      case TagField::AlbumDates:
        return dateRange(card.dateFrom, card.dateTo);
      case TagField::Cover1x:
        return urlOf(card.cover, ImageRole::Thumb1x);
      case TagField::Cover2x:
        return urlOf(card.cover, ImageRole::Thumb2x);
      case TagField::CoverWidth:
        return std::to_string(sizeOf(card.cover, ImageRole::Thumb1x).width);
      default:
        return std::to_string(sizeOf(card.cover, ImageRole::Thumb1x).height);
    }
  }

  static std::string photoValue(TagField field, const SitePhoto& photo) {
    static constexpr std::pair<TagField, std::string SitePhoto::*> kTexts[] = {
        {TagField::Original, &SitePhoto::originalUrl}, {TagField::Taken, &SitePhoto::dateTaken},
        {TagField::Camera, &SitePhoto::camera},        {TagField::Lens, &SitePhoto::lens},
        {TagField::Focal, &SitePhoto::focalLength},    {TagField::Exposure, &SitePhoto::exposure},
        {TagField::Aperture, &SitePhoto::aperture},    {TagField::Iso, &SitePhoto::iso}};
    for (const auto& [tag, text] : kTexts) {
      if (tag == field) return photo.*text;
    }
    switch (field) {
      case TagField::Thumb1x:
        return urlOf(photo.sizes, ImageRole::Thumb1x);
      case TagField::Thumb2x:
        return urlOf(photo.sizes, ImageRole::Thumb2x);
      case TagField::ViewUrl:
        return urlOf(photo.sizes, ImageRole::View);
      default:
        return widthSet(photo.sizes);
    }
  }

  // The picture for link previews: the first photo's viewer image, else the first cover's.
  std::string preview() const {
    if (!album_.photos.empty()) return urlOf(album_.photos.front().sizes, ImageRole::View);
    for (const SiteAlbumCard& card : album_.subAlbums) {
      if (!card.cover.empty()) return urlOf(card.cover, ImageRole::View);
    }
    return {};
  }

  // The date range of the album's photos and of its subalbums'.
  std::string dates() const {
    std::string from, to;
    for (const SitePhoto& photo : album_.photos) {
      const std::string day = photo.dateTaken.substr(0, 10);
      widen(from, to, day, day);
    }
    for (const SiteAlbumCard& card : album_.subAlbums) widen(from, to, card.dateFrom, card.dateTo);
    return dateRange(from, to);
  }

  const SiteAlbum& album_;
};

std::string shippedFile(std::string_view fileName) {
  const std::string path = shippedTemplateFile(fileName);
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  if (!path.empty()) bytes << in.rdbuf();
  if (path.empty() || !in) {
    throw Failure("templates/" + std::string(fileName) + ": the shipped file cannot be read");
  }
  return std::move(bytes).str();
}

const std::string& shippedTemplate(std::string_view language) {
  if (language == "en") {
    static const std::string english = shippedFile("kept-album-en.dat");
    return english;
  }
  static const std::string japanese = shippedFile("kept-album.dat");
  return japanese;
}

}  // namespace

std::string albumPageHtml(const SiteAlbum& album, std::string_view albumTemplate) {
  AlbumPageInput input;
  input.title = escapeHtml(album.title);
  for (const SitePhoto& photo : album.photos) {
    AlbumPhoto& entry = input.photos.emplace_back(photo.name);
    entry.image[0] = sizeOf(photo.sizes, ImageRole::Thumb1x);
    entry.image[1] = sizeOf(photo.sizes, ImageRole::View);
  }
  const PageTags tags(album);
  AnalizeOptions options;
  options.albumTags = &tags;
  // A kept album's page shows the date taken ($TAKEN); the file dates are not its own.
  options.fileTime = [](const std::string& name) -> DateTime {
    throw PhotoDateError(name, "the page of a kept album shows no file date");
  };
  StringPageSink page;
  HtmlAnalize(albumTemplate, input, page, options);
  return page.text();
}

std::string albumPageHtml(const SiteAlbum& album) {
  return albumPageHtml(album, shippedTemplate(album.language));
}

std::string sharedScript() {
  static const std::string script = shippedFile("kept-album.js");
  return script;
}

}  // namespace snapfolio::site
