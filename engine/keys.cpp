#include "engine/keys.h"

#include <algorithm>
#include <array>

namespace tallix {
namespace {

constexpr std::array<KeyName, 24> kKeys{{
    {Key::Digit0, "Num0", '0'},  {Key::Digit1, "Num1", '1'},
    {Key::Digit2, "Num2", '2'},  {Key::Digit3, "Num3", '3'},
    {Key::Digit4, "Num4", '4'},  {Key::Digit5, "Num5", '5'},
    {Key::Digit6, "Num6", '6'},  {Key::Digit7, "Num7", '7'},
    {Key::Digit8, "Num8", '8'},  {Key::Digit9, "Num9", '9'},
    {Key::DecimalPoint, "Deci"}, {Key::ChangeSign, "Polarity"},
    {Key::Add, "Add"},           {Key::Subtract, "Minus"},
    {Key::Multiply, "Mult"},     {Key::Divide, "Divide"},
    {Key::Power, "Power"},       {Key::Equal, "Equal"},
    {Key::Square, "PowerTwo"},   {Key::SquareRoot, "Sroot"},
    {Key::Clear, "Clear2"},      {Key::ClearEntry, "ClearLast2"},
    {Key::MemoryStore, "Mem"},   {Key::MemoryRecall, "GatherMem"},
}};

} // namespace

std::span<const KeyName> AllKeys() {
    return kKeys;
}

std::optional<char> DigitOf(Key key) {
    const auto it = std::find_if(kKeys.begin(), kKeys.end(), [&](const KeyName& k) { return k.key == key; });
    if (it == kKeys.end() || it->digit == '\0') return std::nullopt;
    return it->digit;
}

std::optional<Key> DigitKey(char digit) {
    if (digit == '\0') return std::nullopt;
    const auto it =
        std::find_if(kKeys.begin(), kKeys.end(), [&](const KeyName& k) { return k.digit == digit; });
    if (it == kKeys.end()) return std::nullopt;
    return it->key;
}

} // namespace tallix
