#include "engine/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

namespace tallix {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

struct Shape {
    bool valid = false;
    bool allZero = true;           // no non-zero digit in the mantissa
    std::int64_t leadingPower = 0; // decimal exponent of the first non-zero mantissa digit
};

// Checks the grammar and, for the range decision after from_chars, finds the magnitude's decimal exponent.
Shape shapeOf(std::string_view text) {
    Shape shape;
    std::size_t i = 0;
    if (i < text.size() && text[i] == '-') ++i;
    std::size_t digits = 0;
    std::int64_t intDigits = 0;     // digits before the point
    std::int64_t firstNonZero = -1; // index among all mantissa digits
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.') {
            if (point) return shape;
            point = true;
        } else if (isDigit(c)) {
            if (c != '0' && firstNonZero < 0) firstNonZero = static_cast<std::int64_t>(digits);
            ++digits;
            if (!point) ++intDigits;
        } else {
            break;
        }
    }
    if (digits == 0) return shape;
    std::int64_t exponent = 0;
    if (i < text.size()) {
        if (text[i] != 'E' || i + 1 >= text.size() || (text[i + 1] != '+' && text[i + 1] != '-'))
            return shape;
        const bool negative = text[i + 1] == '-';
        i += 2;
        const std::size_t start = i;
        for (; i < text.size() && isDigit(text[i]); ++i)
            exponent = std::min<std::int64_t>(exponent * 10 + (text[i] - '0'), 1'000'000'000);
        if (i != text.size() || i - start < 2) return shape;
        if (negative) exponent = -exponent;
    }
    shape.valid = true;
    shape.allZero = firstNonZero < 0;
    if (!shape.allZero) shape.leadingPower = intDigits - 1 - firstNonZero + exponent;
    return shape;
}

// What to_chars writes with `format`, its exponent's "e" a capital, as every number text has it.
template <typename Number, typename... Format>
std::string charsText(Number value, Format... format) {
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, format...);
    std::string text(buffer, ec == std::errc() ? end : buffer);
    std::replace(text.begin(), text.end(), 'e', 'E');
    return text;
}

} // namespace

std::optional<double> TextToNumber(std::string_view text) {
    const Shape shape = shapeOf(text);
    if (!shape.valid) return std::nullopt;
    const bool negative = text.front() == '-';
    const std::string_view magnitude = negative ? text.substr(1) : text;
    double value = 0;
    const auto [end, ec] = std::from_chars(magnitude.data(), magnitude.data() + magnitude.size(), value);
    if (ec == std::errc::result_out_of_range) {
        if (shape.allZero || shape.leadingPower < 0) return negative ? -0.0 : 0.0;
        return std::nullopt;
    }
    if (ec != std::errc() || end != magnitude.data() + magnitude.size() || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

std::string NumberToText(double value) {
    if (!std::isfinite(value)) return std::string(kErrorText);
    if (value == 0) value = 0; // drops the sign of negative zero
    return charsText(value, std::chars_format::general, 15);
}

std::string SingleToText(float value) {
    // Infinity and NaN come out as "inf" and "nan", which no reader accepts.
    return charsText(value);
}

} // namespace tallix
