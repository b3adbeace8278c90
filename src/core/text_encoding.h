// Conversions between UTF-8 (the program's own text) and code page 932 (settings files and
// templates written by the Windows program), over glibc iconv ("CP932").
//
// Plain functions: no state is shared between calls, so any thread may call them. None of them
// throws on bad input: undecodable bytes become U+FFFD, unencodable characters become "?" or a
// numeric character reference. They throw std::runtime_error only when iconv itself offers no
// CP932 converter (a broken C library installation).
#pragma once

#include <string>
#include <string_view>

#include "core/utf8.h"  // the UTF-8 side of every conversion

namespace snapfolio {

// Decodes code page 932 bytes; every byte sequence that is not code page 932 becomes U+FFFD.
std::string cp932ToUtf8(std::string_view bytes);

// Encodes UTF-8 text in code page 932. A character that code page 932 cannot hold, and every
// byte of `text` that is not valid UTF-8, becomes "?"; `lossless` tells whether that happened.
std::string utf8ToCp932(std::string_view text, bool& lossless);

// Like utf8ToCp932, but a character that code page 932 cannot hold is written as an HTML
// numeric character reference ("&#x1F600;"), so nothing is lost in an HTML page. A byte that is
// not valid UTF-8 is written as the reference of U+FFFD.
std::string utf8ToCp932WithReferences(std::string_view text);

}  // namespace snapfolio
