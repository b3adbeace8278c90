#include "album/html_analize_tags.h"

// Standard library
#include <array>

namespace snapfolio {

namespace {

using K = AlbumTagKind;
using S = TagScope;
using F = TagField;
using C = TagCondition;

constexpr std::array kTags = {
    AlbumTag{"$PHOTOS", K::Open, S::Photos},
    AlbumTag{"$/PHOTOS", K::Close, S::Photos},
    AlbumTag{"$ALBUMS", K::Open, S::Albums},
    AlbumTag{"$/ALBUMS", K::Close, S::Albums},
    AlbumTag{"$CRUMBS", K::Open, S::Crumbs},
    AlbumTag{"$/CRUMBS", K::Close, S::Crumbs},
    AlbumTag{"$/IF", K::EndIf, S::Page},
    AlbumTag{"$IFPHOTOS", K::If, S::Page, F::PageUrl, C::Photos},
    AlbumTag{"$IFALBUMS", K::If, S::Page, F::PageUrl, C::Albums},
    AlbumTag{"$IFEMPTY", K::If, S::Page, F::PageUrl, C::Empty},
    AlbumTag{"$IFUP", K::If, S::Page, F::PageUrl, C::Up},
    AlbumTag{"$IFBASEURL", K::If, S::Page, F::PageUrl, C::BaseUrl},
    AlbumTag{"$IFPREVIEW", K::If, S::Page, F::PageUrl, C::Preview},
    AlbumTag{"$IFCOVER", K::If, S::Albums, F::PageUrl, C::Cover},
    AlbumTag{"$IFORIGINAL", K::If, S::Photos, F::PageUrl, C::Original},
    AlbumTag{"$PAGEURL", K::Value, S::Page, F::PageUrl},
    AlbumTag{"$PREVIEW", K::Value, S::Page, F::Preview},
    AlbumTag{"$SCRIPT", K::Value, S::Page, F::Script},
    AlbumTag{"$TOTAL", K::Value, S::Page, F::Total},
    AlbumTag{"$DATES", K::Value, S::Page, F::Dates},
    AlbumTag{"$ALBUMTITLE", K::Value, S::Albums, F::AlbumTitle},
    AlbumTag{"$ALBUMURL", K::Value, S::Albums, F::AlbumUrl},
    AlbumTag{"$ALBUMCOUNT", K::Value, S::Albums, F::AlbumCount},
    AlbumTag{"$ALBUMDATES", K::Value, S::Albums, F::AlbumDates},
    AlbumTag{"$COVER1X", K::Value, S::Albums, F::Cover1x},
    AlbumTag{"$COVER2X", K::Value, S::Albums, F::Cover2x},
    AlbumTag{"$COVERW", K::Value, S::Albums, F::CoverWidth},
    AlbumTag{"$COVERH", K::Value, S::Albums, F::CoverHeight},
    AlbumTag{"$CRUMBTITLE", K::Value, S::Crumbs, F::CrumbTitle},
    AlbumTag{"$CRUMBURL", K::Value, S::Crumbs, F::CrumbUrl},
    AlbumTag{"$THUMB1X", K::Value, S::Photos, F::Thumb1x},
    AlbumTag{"$THUMB2X", K::Value, S::Photos, F::Thumb2x},
    AlbumTag{"$VIEWURL", K::Value, S::Photos, F::ViewUrl},
    AlbumTag{"$VIEWSET", K::Value, S::Photos, F::ViewSet},
    AlbumTag{"$ORIGINAL", K::Value, S::Photos, F::Original},
    AlbumTag{"$TAKEN", K::Value, S::Photos, F::Taken},
    AlbumTag{"$CAMERA", K::Value, S::Photos, F::Camera},
    AlbumTag{"$LENS", K::Value, S::Photos, F::Lens},
    AlbumTag{"$FOCAL", K::Value, S::Photos, F::Focal},
    AlbumTag{"$EXPOSURE", K::Value, S::Photos, F::Exposure},
    AlbumTag{"$APERTURE", K::Value, S::Photos, F::Aperture},
    AlbumTag{"$ISO", K::Value, S::Photos, F::Iso},
};

const AlbumTag& listTag(TagScope list, AlbumTagKind kind) {
  for (const AlbumTag& tag : kTags) {
    if (tag.scope == list && tag.kind == kind) return tag;
  }
  return kTags.front();
}

}  // namespace

std::span<const AlbumTag> albumTags() {
  return kTags;
}

const AlbumTag* albumTagAt(std::string_view text) {
  for (const AlbumTag& tag : kTags) {
    if (text.starts_with(tag.name)) return &tag;
  }
  return nullptr;
}

std::string_view listOpenTag(TagScope list) {
  return listTag(list, AlbumTagKind::Open).name;
}

std::string_view listCloseTag(TagScope list) {
  return listTag(list, AlbumTagKind::Close).name;
}

}  // namespace snapfolio
