// A text is accepted exactly when it has the display's number form and lies within the double range;
// an accepted text reads as the C library reads it, and a number written back reads the same again.
#include "engine/number_text.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <regex>
#include <string>

namespace {

bool hasNumberForm(const std::string& text) {
    static const std::regex form(R"(-?([0-9]+\.?[0-9]*|\.[0-9]+)(E[+-][0-9]{2,})?)");
    return std::regex_match(text, form);
}

void check(bool condition) {
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 64) return 0; // over twice what the screen holds (kScreenMaxLength): longer adds nothing
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto value = tallix::TextToNumber(text);

    const bool form = text.find('\0') == std::string::npos && hasNumberForm(text);
    const double reference = form ? std::strtod(text.c_str(), nullptr) : 0; // fuzzers run in the "C" locale
    check(value.has_value() == (form && std::isfinite(reference)));
    if (!value) return 0;

    // strtod may give the smallest subnormal or zero for a text below the subnormal range.
    check(*value == reference || (std::fabs(reference) <= 5e-324 && *value == 0));

    const std::string written = tallix::NumberToText(*value);
    const auto reread = tallix::TextToNumber(written);
    if (std::fabs(*value) > 1.797693134862315e308) {
        check(!reread); // rounds up past the largest double when written with 15 digits
        return 0;
    }
    check(reread.has_value());
    check(tallix::NumberToText(*reread) == written);
    check(std::fabs(*reread - *value) <= 6e-15 * std::fabs(*value) || std::fabs(*value) < 2.3e-308);
    return 0;
}
