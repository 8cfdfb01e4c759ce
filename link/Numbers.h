#pragma once
// Number reading shared by the update frame and the work-time editor.

#include <optional>
#include <string_view>

namespace tallymark {

// The value of the number a text begins with. Spaces, tabs and line feeds are removed
// wherever they stand; then an optional sign, decimal digits with at most one '.', and an
// optional exponent (E or e, optional sign, digits) are read up to the first character that
// cannot continue the number. No digit read gives 0. Only a number beyond the range of a
// double gives no value; the caller's step then fails.
std::optional<double> LeadingNumber(std::string_view text);

// Whole-number rounding with halves to the even neighbour (12.5 -> 12, 13.5 -> 14),
// independent of the floating-point rounding mode.
double RoundHalfEven(double value);

// A whole decimal number with blanks around it allowed ("  4.5 " -> 4.5); no value when
// anything else is in the text.
std::optional<double> DecimalNumber(std::string_view text);

} // namespace tallymark
