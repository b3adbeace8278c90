#include "core/number_text.h"

// Standard library
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace snapfolio {

namespace {

std::string_view trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// Removes one leading "+" (from_chars takes "-" only); false when a second sign follows.
bool dropPlus(std::string_view& text) {
  if (text.empty() || text.front() != '+') return true;
  text.remove_prefix(1);
  return text.empty() || (text.front() != '+' && text.front() != '-');
}

}  // namespace

std::string formatInteger(long long value) {
  return std::to_string(value);
}

std::string formatNumber(double value) {
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

bool parseInteger(std::string_view text, int& value) {
  text = trim(text);
  if (!dropPlus(text)) return false;
  const std::string_view digits = !text.empty() && text.front() == '-' ? text.substr(1) : text;
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) {
    return false;
  }
  long long wide = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), wide);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size() ||
      wide < std::numeric_limits<int>::min() || wide > std::numeric_limits<int>::max()) {
    return false;
  }
  value = static_cast<int>(wide);
  return true;
}

bool parseNumber(std::string_view text, double& value) {
  text = trim(text);
  // Decimal notation only; from_chars alone would also take "inf" and "nan".
  if (!dropPlus(text) || text.empty() ||
      text.find_first_not_of("0123456789.eE+-") != std::string_view::npos) {
    return false;
  }
  double parsed = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size() ||
      !std::isfinite(parsed)) {
    return false;
  }
  value = parsed;
  return true;
}

}  // namespace snapfolio
