#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tallix {

// The two conversions between a number and its text on the display. Both ignore the user's locale:
// the decimal separator is always ".", as the point key types it.

// Reads an optional "-", digits with at most one "." (at least one digit), and an optional exponent
// "E", sign, two or more digits. Anything else, or a magnitude beyond the double range, gives nothing;
// a magnitude below the smallest subnormal reads as zero.
std::optional<double> TextToNumber(std::string_view text);

// 15 significant digits in the general format: no trailing zeros, "E" with a sign and at least two
// exponent digits when the decimal exponent is below -4 or at least 15; negative zero is "0".
// A value that is not finite has no number text and gives kErrorText.
std::string NumberToText(double value);

// The shortest text that reads back as the same single-precision number, in the same format: "1000",
// "-66.5", "1E+20". A window's position in twips is kept so.
std::string SingleToText(float value);

// What the display shows for a calculation that failed.
inline constexpr std::string_view kErrorText = "Error";

} // namespace tallix
