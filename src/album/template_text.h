// Small text helpers of the album template language: the number reader of the control tags,
// the line and column of a byte offset (for messages), HTML escaping of inserted names and the
// split of a photo path into base name and extension.
//
// Pure functions over byte strings; callable from any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace snapfolio {

// Reads a decimal number at `at` the way a C "%d" conversion does: leading white space, an
// optional sign, then at least one digit. Returns nothing when no number can be read there (also
// when `at` lies at or past the end). A number beyond the 32-bit range saturates to INT32_MIN or
// INT32_MAX, as the 32-bit C library the format was made with does.
std::optional<std::int32_t> readDecimal(std::string_view text, std::size_t at);

// Line and column (both from 1) of byte `offset`. Lines end at "\n"; columns count characters:
// UTF-8 sequences when `utf8` is set, code page 932 characters (one or two bytes) otherwise.
struct TextPosition {
  int line = 1;
  int column = 1;
};
TextPosition textPosition(std::string_view text, std::size_t offset, bool utf8);

// Replaces & < > " ' by their character references, so a name can stand in text and in quoted
// attribute values alike.
std::string escapeHtml(std::string_view text);

// A file name as a relative URL reference that leads to that very file: every byte that a URL
// path cannot hold as it stands is percent-encoded ("a#1 b.jpg" -> "a%231%20b.jpg"): controls,
// space, " # % , : < > ? [ \ ] ^ ` { | } and DEL (":" so that no name reads as a scheme; ","
// and blanks so that a URL in a srcset list never splits into two candidates).
// Characters beyond ASCII stay when the name is valid UTF-8 (the browser encodes them in UTF-8,
// as the file system holds them); in any other name every byte beyond ASCII is encoded as it
// stands, so a name in another encoding is still found. "/" stays a path separator.
std::string escapeUrlPath(std::string_view name);

}  // namespace snapfolio
