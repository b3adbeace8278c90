// Numbers as text: the lenient reading of a whole number or a decimal number typed by a user or
// stored in the settings file, and the text form written back. Plain functions; any thread.
#pragma once

#include <string>
#include <string_view>

namespace snapfolio {

std::string formatInteger(long long value);
// Shortest decimal text that reads back exactly, "." as the decimal point whatever the locale;
// whole numbers without a decimal point (16777215).
std::string formatNumber(double value);
// Optional sign and decimal digits, blanks (spaces and tabs) around them ignored, within the
// range of int.
bool parseInteger(std::string_view text, int& value);
// Decimal floating point with optional sign and exponent ("1e3"), blanks (spaces and tabs)
// around it ignored; "", "nan", "inf" and out-of-range values are not numbers.
bool parseNumber(std::string_view text, double& value);

}  // namespace snapfolio
