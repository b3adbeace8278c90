// The album tags: what a template reads on the pages of a kept album (a site of nested album
// pages), besides the tags of the one-page album. Lists (photos, subalbums, the way back up),
// conditional parts and the values of the page, of a subalbum card and of a photo.
//
// The expansion reads them only when it is given an AlbumTagSource (AnalizeOptions::albumTags);
// on any other page every "$" reads as before. No album tag starts with an earlier tag, and no
// album tag starts with another, so the order of comparison decides nothing among them.
//
// Plain values and one interface; any thread.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace snapfolio {

// Whose value a tag reads: the page's, or the current item of one of the page's lists.
enum class TagScope { Page, Photos, Albums, Crumbs };

// The values an album tag writes, grouped by scope: the page's, a card's, a crumb's, a photo's.
enum class TagField {
  PageUrl,      // $PAGEURL: the page's absolute URL (--base-url given)
  Preview,      // $PREVIEW: the picture for link previews
  Script,       // $SCRIPT: the site's shared script, from this page
  Total,        // $TOTAL: the photos of the album and of its subalbums
  Dates,        // $DATES: their date range
  AlbumTitle,   // $ALBUMTITLE ... of the current subalbum card
  AlbumUrl,     // $ALBUMURL
  AlbumCount,   // $ALBUMCOUNT
  AlbumDates,   // $ALBUMDATES
  Cover1x,      // $COVER1X
  Cover2x,      // $COVER2X
  CoverWidth,   // $COVERW
  CoverHeight,  // $COVERH
  CrumbTitle,   // $CRUMBTITLE ... of the current step of the way up
  CrumbUrl,     // $CRUMBURL
  Thumb1x,      // $THUMB1X ... of the current photo
  Thumb2x,      // $THUMB2X
  ViewUrl,      // $VIEWURL
  ViewSet,      // $VIEWSET
  Original,     // $ORIGINAL
  Taken,        // $TAKEN
  Camera,       // $CAMERA
  Lens,         // $LENS
  Focal,        // $FOCAL
  Exposure,     // $EXPOSURE
  Aperture,     // $APERTURE
  Iso,          // $ISO
};

// The conditions of the conditional parts ("$IF...", up to the matching "$/IF").
enum class TagCondition {
  Photos,    // $IFPHOTOS: the album has photos of its own
  Albums,    // $IFALBUMS: it has subalbums
  Empty,     // $IFEMPTY: neither
  Up,        // $IFUP: it is not the top album
  BaseUrl,   // $IFBASEURL: --base-url was given
  Preview,   // $IFPREVIEW: there is a picture for link previews
  Cover,     // $IFCOVER: the current subalbum card has a cover
  Original,  // $IFORIGINAL: the current photo's original is in the site
};

enum class AlbumTagKind { Open, Close, If, EndIf, Value };

struct AlbumTag {
  std::string_view name;
  AlbumTagKind kind;
  TagScope scope;  // Open/Close: the list; If/Value: whose value is read
  TagField field = TagField::PageUrl;
  TagCondition condition = TagCondition::Photos;
};

// Every album tag.
std::span<const AlbumTag> albumTags();
// The album tag at the start of `text`, or nullptr.
const AlbumTag* albumTagAt(std::string_view text);
// The opening and closing tag of a list.
std::string_view listOpenTag(TagScope list);
std::string_view listCloseTag(TagScope list);

// What the album tags read. Texts are UTF-8 and not escaped (the expansion escapes them);
// `item` counts from 0 in the list of the tag's scope (0 for the page's own values).
class AlbumTagSource {
 public:
  virtual ~AlbumTagSource() = default;
  virtual std::size_t count(TagScope list) const = 0;
  virtual std::string value(TagField field, std::size_t item) const = 0;
  virtual bool holds(TagCondition condition, std::size_t item) const = 0;
};

}  // namespace snapfolio
