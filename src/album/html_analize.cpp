#include "album/html_analize.h"

// Standard library
#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

// Project
#include "album/album_values.h"
#include "album/template_text.h"
#include "core/file_names.h"
#include "core/translation.h"
#include "formats/image_encoder.h"

namespace snapfolio {

namespace {

constexpr std::string_view kTitle = "$TITLE";
constexpr std::string_view kLoop = "$LOOP";
constexpr std::string_view kEndLoop = "$/LOOP";
constexpr std::string_view kSetLoop = "$SETLOOP";
constexpr std::string_view kEndSetLoop = "$/SETLOOP";
constexpr std::string_view kLcunt = "$LCUNT";
constexpr std::string_view kJpeg1 = "$JPEG1";
constexpr std::string_view kJpeg2 = "$JPEG2";
constexpr std::string_view kFileName = "$FILENAME";
constexpr std::string_view kFileDate = "$FILEDATE";
constexpr std::string_view kWidth = "$WIDTH";
// Tags added later stand behind the first ones in the table and start with none of them, so a
// template reads every earlier tag as before.
constexpr std::string_view kImageWidth[2] = {"$IMG1W", "$IMG2W"};
constexpr std::string_view kImageHeight[2] = {"$IMG1H", "$IMG2H"};
constexpr std::string_view kNumber = "$NUMBER";
constexpr std::string_view kCount = "$COUNT";

// The template language counts in 32-bit signed integers and lets them wrap.
std::int32_t wrap32(std::int64_t value) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}

std::uint64_t saturatingProduct(std::uint64_t a, std::uint64_t b) {
  if (a != 0 && b > std::numeric_limits<std::uint64_t>::max() / a) {
    return std::numeric_limits<std::uint64_t>::max();
  }
  return a * b;
}

// One expansion: the state of the tag machine and the guards that keep it finite.
//
// Termination. Only the two closing tags jump, to LoopStart or RowStart. A repeat of the outer
// loop must find PhotoIndex higher than at its previous repeat, unless a "$LOOP" has set a new
// LoopStart since; a repeat of the inner loop likewise, unless "$SETLOOP" or "$LCUNT" has set a
// new RowStart since; and PhotoIndex must lie in the photo list when a loop repeats. Were the
// expansion endless, the lowest position it jumps to endlessly would be set by a tag standing
// before it, which is then never run again, so that start position stays put and all those
// repeats would belong to one loop with ever higher PhotoIndex below the photo count: a
// contradiction. As a backstop against templates that are finite but absurdly long, the bytes
// scanned are bounded by a multiple (16) of (photos + 1) times the template: a template that
// makes sense scans each photo's part once per loop that shows it, which stays far below.
// The album tags' lists (a kept album's pages) jump back only to behind their own opening tag,
// and only with their item further on than at their previous repeat, so the same argument
// holds for them; the bound counts their items beside the photos.
class Expansion {
 public:
  Expansion(std::string_view text, const AlbumPageInput& input, PageSink& page,
            const AnalizeOptions& options)
      : text_(text.substr(0, std::min(text.find('\0'), text.size()))),
        input_(input),
        page_(page),
        options_(options),
        values_(text_),
        photoCount_(static_cast<std::int64_t>(input.photos.size())) {
    std::uint64_t items = input.photos.size() + 1;
    if (options.albumTags) {
      items +=
          options.albumTags->count(TagScope::Albums) + options.albumTags->count(TagScope::Crumbs);
    }
    scanLimit_ = saturatingProduct(saturatingProduct(options.scanFactor, items), text_.size() + 64);
  }

  void run() {
    std::size_t pos = 0;
    while (pos < text_.size()) {
      std::size_t p = text_.find('$', pos);
      if (p == std::string_view::npos) {
        copy(pos, text_.size());
        return;
      }
      copy(pos, p);
      ++scanned_;
      pos = tag(p);
    }
  }

 private:
  // Runs the tag whose "$" stands at p; returns where copying continues.
  std::size_t tag(std::size_t p) {
    std::string_view rest = text_.substr(p);
    if (rest.starts_with(kTitle)) {
      emit(values_.title(input_.title), p);
      return p + 6;
    }
    if (rest.starts_with(kLoop)) return loop(p);
    if (rest.starts_with(kEndLoop)) return endLoop(p);
    if (rest.starts_with(kSetLoop)) return setLoop(p);
    if (rest.starts_with(kEndSetLoop)) return endSetLoop(p);
    if (rest.starts_with(kLcunt)) return lcunt(p);
    if (std::optional<std::size_t> next = photoTag(p, rest)) return *next;
    if (options_.albumTags) {
      if (const AlbumTag* album = albumTagAt(rest)) return albumTag(*album, p);
    }
    return p + 1;  // any other "$" is dropped
  }

  std::size_t loop(std::size_t p) {
    emit(kLoop, p);
    loopStart_ = p + 5;
    lastOuterRepeat_.reset();
    // A page without photos (every photo failed, or an empty album) shows no loop body: its
    // photo tags would name no photo.
    if (photoCount_ == 0) {
      const std::size_t end = text_.find(kEndLoop, p + 5);
      if (end != std::string_view::npos) return end;
    }
    return p + 5;
  }

  // The value tags of the one-page album at p, if `rest` starts with one.
  std::optional<std::size_t> photoTag(std::size_t p, std::string_view rest) {
    if (rest.starts_with(kJpeg1)) {
      emit(values_.outputUrl(photo(p, kJpeg1).path, input_.prefix1, input_.suffix1,
                             input_.outputFormat),
           p);
      return p + 6;
    }
    if (rest.starts_with(kJpeg2)) {
      emit(values_.outputUrl(photo(p, kJpeg2).path, input_.prefix2, input_.suffix2,
                             input_.outputFormat),
           p);
      return p + 6;
    }
    if (rest.starts_with(kFileName)) {
      emit(values_.fileName(photo(p, kFileName).path), p);
      return p + 9;
    }
    if (rest.starts_with(kFileDate)) {
      emit(values_.fileDate(photoDate(photo(p, kFileDate), options_.fileTime)), p);
      return p + 9;
    }
    if (rest.starts_with(kWidth)) {
      if (auto number = readDecimal(text_, p + 7)) skipCount_ = *number;
      std::int32_t width = readDecimal(input_.width1Text, 0).value_or(0);
      emit(std::to_string(wrap32(std::int64_t{28} * width)), p);
      return p + 6;
    }
    for (int n = 0; n < 2; ++n) {
      if (rest.starts_with(kImageWidth[n])) {
        emit(values_.number(imageSize(p, kImageWidth[n], n).width), p);
        return p + kImageWidth[n].size();
      }
      if (rest.starts_with(kImageHeight[n])) {
        emit(values_.number(imageSize(p, kImageHeight[n], n).height), p);
        return p + kImageHeight[n].size();
      }
    }
    if (rest.starts_with(kNumber)) {
      photo(p, kNumber);
      emit(values_.number(std::int64_t{photoIndex_} + 1), p);
      return p + kNumber.size();
    }
    if (rest.starts_with(kCount)) {
      emit(values_.number(photoCount_), p);
      return p + kCount.size();
    }
    return std::nullopt;
  }

  // The album tag `tag` at p (a page of a kept album).
  std::size_t albumTag(const AlbumTag& tag, std::size_t p) {
    const std::size_t behind = p + tag.name.size();
    switch (tag.kind) {
      case AlbumTagKind::Open:
        return openList(tag, p);
      case AlbumTagKind::Close:
        return closeList(tag, p);
      case AlbumTagKind::If: {
        const std::size_t end = endOfPart(tag, p);
        return options_.albumTags->holds(tag.condition, item(tag, p)) ? behind : end;
      }
      case AlbumTagKind::EndIf:
        return behind;
      case AlbumTagKind::Value:
        emit(values_.text(options_.albumTags->value(tag.field, item(tag, p))), p);
        return behind;
    }
    return behind;
  }

  // A list's start: its body is skipped when the list is empty.
  std::size_t openList(const AlbumTag& tag, std::size_t p) {
    const std::string_view close = listCloseTag(tag.scope);
    const std::size_t end = text_.find(close, p);
    if (end == std::string_view::npos) {
      fail(p, fillIn(translated("HtmlAnalize",
                                QT_TRANSLATE_NOOP("HtmlAnalize", "「%1」に対応する「%2」がない。")),
                     {tag.name, close}));
    }
    ListState& list = list_[static_cast<std::size_t>(tag.scope)];
    list = {p + tag.name.size(), 0, true, std::nullopt};
    if (tag.scope == TagScope::Photos) photoIndex_ = 0;
    if (options_.albumTags->count(tag.scope) == 0) {
      list.active = false;
      return end + close.size();
    }
    return list.start;
  }

  std::size_t closeList(const AlbumTag& tag, std::size_t p) {
    ListState& list = list_[static_cast<std::size_t>(tag.scope)];
    if (!list.active) {
      fail(p, fillIn(translated("HtmlAnalize",
                                QT_TRANSLATE_NOOP("HtmlAnalize", "「%1」より前に「%2」がある。")),
                     {listOpenTag(tag.scope), tag.name}));
    }
    std::int64_t next = 0;
    if (tag.scope == TagScope::Photos) {
      photoIndex_ = wrap32(std::int64_t{photoIndex_} + 1);
      next = photoIndex_;
    } else {
      next = static_cast<std::int64_t>(++list.index);
    }
    if (next < static_cast<std::int64_t>(options_.albumTags->count(tag.scope))) {
      checkRepeat(p, tag.name, list.lastRepeat, wrap32(next));
      return list.start;
    }
    list.active = false;
    return p + tag.name.size();
  }

  // Behind the "$/IF" that closes the conditional part opened at p (parts nest).
  std::size_t endOfPart(const AlbumTag& tag, std::size_t p) {
    constexpr std::string_view kEndIf = "$/IF";
    int depth = 0;
    for (std::size_t at = text_.find('$', p + 1); at != std::string_view::npos;
         at = text_.find('$', at + 1)) {
      const AlbumTag* inner = albumTagAt(text_.substr(at));
      if (inner && inner->kind == AlbumTagKind::If) ++depth;
      if (inner && inner->kind == AlbumTagKind::EndIf && depth-- == 0) return at + kEndIf.size();
    }
    fail(p, fillIn(translated("HtmlAnalize",
                              QT_TRANSLATE_NOOP("HtmlAnalize", "「%1」に対応する「%2」がない。")),
                   {tag.name, kEndIf}));
  }

  // The item of its list that the value or condition `tag` reads (0 for the page's own).
  std::size_t item(const AlbumTag& tag, std::size_t p) {
    if (tag.scope == TagScope::Page) return 0;
    if (tag.scope == TagScope::Photos) {
      photo(p, tag.name);
      return static_cast<std::size_t>(photoIndex_);
    }
    const ListState& list = list_[static_cast<std::size_t>(tag.scope)];
    if (!list.active) {
      fail(p, fillIn(translated(
                         "HtmlAnalize",
                         QT_TRANSLATE_NOOP("HtmlAnalize", "「%1」が「%2」と「%3」の間にない。")),
                     {tag.name, listOpenTag(tag.scope), listCloseTag(tag.scope)}));
    }
    return list.index;
  }

  // Output image n (0 or 1) of the current photo: as the run reported it, else as its file in
  // the output directory has it (looked up once), else 0 x 0.
  PixelSize imageSize(std::size_t p, std::string_view tag, int n) {
    const AlbumPhoto& current = photo(p, tag);
    if (current.image[n]) return *current.image[n];
    if (!options_.outputImageSize) return {};
    if (lookedUpSizes_.empty()) lookedUpSizes_.resize(input_.photos.size());
    std::optional<PixelSize>& size = lookedUpSizes_[static_cast<std::size_t>(photoIndex_)][n];
    if (!size) {
      const std::string name = n == 0
                                   ? outputImageName(current.path, input_.prefix1, input_.suffix1,
                                                     outputEncoder(input_.outputFormat))
                                   : outputImageName(current.path, input_.prefix2, input_.suffix2,
                                                     outputEncoder(input_.outputFormat));
      size = options_.outputImageSize(name).value_or(PixelSize{});
    }
    return *size;
  }

  std::size_t endLoop(std::size_t p) {
    if (!loopStart_)
      fail(p, fillIn(translated("HtmlAnalize",
                                QT_TRANSLATE_NOOP("HtmlAnalize", "「%1」より前に「%2」がある。")),
                     {kLoop, kEndLoop}));
    photoIndex_ = wrap32(std::int64_t{photoIndex_} + 1);
    if (photoCount_ > photoIndex_) {
      checkRepeat(p, kEndLoop, lastOuterRepeat_, photoIndex_);
      return *loopStart_;
    }
    emit(kEndLoop, p);
    return p + 6;
  }

  std::size_t setLoop(std::size_t p) {
    std::optional<std::int32_t> number = readDecimal(text_, p + 9);
    if (number && *number == 0)
      fail(p, fillIn(translated(
                         "HtmlAnalize",
                         QT_TRANSLATE_NOOP("HtmlAnalize", "「%1」の1行の枚数が0になっている。")),
                     {kSetLoop}));
    if (!number && !rowSize_)
      fail(p, fillIn(translated(
                         "HtmlAnalize",
                         QT_TRANSLATE_NOOP("HtmlAnalize", "「%1」の後に1行の枚数(数値)がない。")),
                     {kSetLoop}));
    emit(kSetLoop, p);
    if (number) rowSize_ = *number;
    rowStart_ = std::min(p + 11, text_.size());
    lastInnerRepeat_.reset();
    return p + 8;
  }

  std::size_t endSetLoop(std::size_t p) {
    if (!rowSize_)
      fail(p, fillIn(translated("HtmlAnalize",
                                QT_TRANSLATE_NOOP("HtmlAnalize", "「%1」より前に「%2」がある。")),
                     {kSetLoop, kEndSetLoop}));
    std::int32_t next = wrap32(std::int64_t{photoIndex_} + 1);
    bool repeat = next % std::int64_t{*rowSize_} != 0 && next < photoCount_;
    if (repeat) checkRepeat(p, kEndSetLoop, lastInnerRepeat_, next);
    if (input_.progressStep) input_.progressStep();
    if (repeat) {
      photoIndex_ = next;
      return *rowStart_;
    }
    emit(kEndSetLoop, p);
    return p + 9;
  }

  std::size_t lcunt(std::size_t p) {
    if (!rowSize_)
      fail(p, fillIn(translated("HtmlAnalize",
                                QT_TRANSLATE_NOOP("HtmlAnalize", "「%1」より前に「%2」がある。")),
                     {kSetLoop, kLcunt}));
    if (auto number = readDecimal(text_, p + 7)) skipCount_ = *number;
    if (!skipCount_)
      fail(p, fillIn(translated("HtmlAnalize",
                                QT_TRANSLATE_NOOP("HtmlAnalize", "「%1」の後に数値がない。")),
                     {kLcunt}));
    emit("$LCUNT=", p);
    rowStart_ = std::min(p + 7, text_.size());
    lastInnerRepeat_.reset();
    std::int64_t index = photoIndex_;
    if (wrap32(index + 1) % std::int64_t{*rowSize_} == 0) {
      photoIndex_ = wrap32(index + *skipCount_ + 1);
    } else {
      photoIndex_ = wrap32(index - index % *rowSize_);
    }
    return std::min(p + 7, text_.size());
  }

  // A loop is about to jump back with PhotoIndex `index`; `last` is its previous repeat.
  void checkRepeat(std::size_t p, std::string_view tag, std::optional<std::int32_t>& last,
                   std::int32_t index) {
    if (index < 0) {
      fail(p, fillIn(translated("HtmlAnalize",
                                QT_TRANSLATE_NOOP(
                                    "HtmlAnalize",
                                    "「%1」で写真の番号が負(%2)のまま繰り返そうとしている。")),
                     {tag, std::to_string(std::int64_t{index} + 1)}));
    }
    if (last && index <= *last) {
      fail(p, fillIn(translated("HtmlAnalize",
                                QT_TRANSLATE_NOOP("HtmlAnalize",
                                                  "「%1」の繰り返しが先へ進まない(写真の番号が%"
                                                  "2から%3に戻る)ため、展開が終わらない。")),
                     {tag, std::to_string(std::int64_t{*last} + 1),
                      std::to_string(std::int64_t{index} + 1)}));
    }
    last = index;
    if (scanned_ > scanLimit_) {
      fail(p, translated("HtmlAnalize",
                         QT_TRANSLATE_NOOP(
                             "HtmlAnalize",
                             "繰り返しが多すぎる("
                             "テンプレートの大きさと写真の枚数から見て処理量が多すぎる)。")));
    }
  }

  const AlbumPhoto& photo(std::size_t p, std::string_view tag) {
    if (photoIndex_ < 0 || photoIndex_ >= photoCount_) {
      fail(p,
           fillIn(
               translated("HtmlAnalize",
                          QT_TRANSLATE_NOOP("HtmlAnalize",
                                            "「%1」の指す写真がない(写真の番号 %2、写真は%3枚)。")),
               {tag, std::to_string(std::int64_t{photoIndex_} + 1), std::to_string(photoCount_)}));
    }
    return input_.photos[static_cast<std::size_t>(photoIndex_)];
  }

  void copy(std::size_t from, std::size_t to) {
    scanned_ += to - from;
    emit(text_.substr(from, to - from), from);
  }

  void emit(std::string_view bytes, std::size_t at) {
    if (bytes.empty()) return;
    if (bytes.size() > options_.maxPageBytes - std::min(written_, options_.maxPageBytes)) {
      fail(at,
           fillIn(translated("HtmlAnalize",
                             QT_TRANSLATE_NOOP("HtmlAnalize",
                                               "HTMLページが大きくなりすぎる(%1バイトを超える)。")),
                  {std::to_string(options_.maxPageBytes)}));
    }
    written_ += bytes.size();
    page_.write(bytes);
  }

  [[noreturn]] void fail(std::size_t at, std::string problem) {
    TextPosition position = textPosition(text_, at, values_.utf8());
    throw TemplateError(std::move(problem), at, position.line, position.column);
  }

  std::string_view text_;
  const AlbumPageInput& input_;
  PageSink& page_;
  const AnalizeOptions& options_;
  AlbumValues values_;
  std::int64_t photoCount_;

  std::int32_t photoIndex_ = 0;
  std::optional<std::size_t> loopStart_;
  std::optional<std::size_t> rowStart_;
  std::optional<std::int32_t> rowSize_;
  std::optional<std::int32_t> skipCount_;
  std::optional<std::int32_t> lastOuterRepeat_;
  std::optional<std::int32_t> lastInnerRepeat_;
  std::uint64_t scanned_ = 0;
  std::uint64_t scanLimit_ = 0;
  std::uint64_t written_ = 0;
  std::vector<std::array<std::optional<PixelSize>, 2>> lookedUpSizes_;
  // The album tags' lists, by TagScope (the photos' current item is photoIndex_).
  struct ListState {
    std::size_t start = 0;
    std::size_t index = 0;
    bool active = false;
    std::optional<std::int32_t> lastRepeat;
  };
  std::array<ListState, 4> list_;
};

}  // namespace

TemplateError::TemplateError(std::string problem, std::size_t offset, int line, int column)
    : Failure(
          fillIn(translated("HtmlAnalize", QT_TRANSLATE_NOOP("HtmlAnalize", "%1行目 %2文字目: %3")),
                 {std::to_string(line), std::to_string(column), problem})),
      problem_(std::move(problem)),
      offset_(offset),
      line_(line),
      column_(column) {}

PhotoDateError::PhotoDateError(std::string photo, const std::string& reason)
    : Failure(photo + ": " + reason), photo_(std::move(photo)) {}

void HtmlAnalize(std::string_view albumTemplate, const AlbumPageInput& input, PageSink& page,
                 const AnalizeOptions& options) {
  Expansion(albumTemplate, input, page, options).run();
}

}  // namespace snapfolio
