#include "album/photo_order.h"

// Standard library
#include <cstddef>

namespace snapfolio {

namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

char lowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// -1, 0 or 1 as a natural comparison sees a and b, ignoring case.
int naturalCompare(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (isDigit(a[i]) && isDigit(b[j])) {
      // Compare the runs of digits by value: skip leading zeros, then the longer run is
      // larger, then the first differing digit decides.
      std::size_t i0 = i;
      std::size_t j0 = j;
      while (i0 < a.size() && a[i0] == '0') ++i0;
      while (j0 < b.size() && b[j0] == '0') ++j0;
      std::size_t i1 = i0;
      std::size_t j1 = j0;
      while (i1 < a.size() && isDigit(a[i1])) ++i1;
      while (j1 < b.size() && isDigit(b[j1])) ++j1;
      if (i1 - i0 != j1 - j0) return i1 - i0 < j1 - j0 ? -1 : 1;
      if (int c = a.substr(i0, i1 - i0).compare(b.substr(j0, j1 - j0)); c != 0) {
        return c < 0 ? -1 : 1;
      }
      i = i1;
      j = j1;
      continue;
    }
    char ca = lowerAscii(a[i]);
    char cb = lowerAscii(b[j]);
    if (ca != cb) {
      return static_cast<unsigned char>(ca) < static_cast<unsigned char>(cb) ? -1 : 1;
    }
    ++i;
    ++j;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

}  // namespace

bool naturalLess(std::string_view a, std::string_view b) {
  if (int c = naturalCompare(a, b); c != 0) return c < 0;
  return a < b;
}

}  // namespace snapfolio
