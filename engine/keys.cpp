#include "engine/keys.h"

#include <algorithm>
#include <array>

namespace tallix {
namespace {

constexpr std::array<KeyName, 24> kKeys{{
    {Key::Num0, "Num0", '0'},    {Key::Num1, "Num1", '1'},
    {Key::Num2, "Num2", '2'},    {Key::Num3, "Num3", '3'},
    {Key::Num4, "Num4", '4'},    {Key::Num5, "Num5", '5'},
    {Key::Num6, "Num6", '6'},    {Key::Num7, "Num7", '7'},
    {Key::Num8, "Num8", '8'},    {Key::Num9, "Num9", '9'},
    {Key::Deci, "Deci"},         {Key::Polarity, "Polarity"},
    {Key::Add, "Add"},           {Key::Minus, "Minus"},
    {Key::Mult, "Mult"},         {Key::Divide, "Divide"},
    {Key::Power, "Power"},       {Key::Equal, "Equal"},
    {Key::PowerTwo, "PowerTwo"}, {Key::Sroot, "Sroot"},
    {Key::Clear2, "Clear2"},     {Key::ClearLast2, "ClearLast2"},
    {Key::Mem, "Mem"},           {Key::GatherMem, "GatherMem"},
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
