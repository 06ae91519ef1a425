#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace tallix {

// The calculator's keys, named after the main window's buttons. The digits come first and in order.
enum class Key {
    Num0,
    Num1,
    Num2,
    Num3,
    Num4,
    Num5,
    Num6,
    Num7,
    Num8,
    Num9,
    Deci,
    Polarity,
    Add,
    Minus,
    Mult,
    Divide,
    Power,
    Equal,
    PowerTwo,
    Sroot,
    Clear2,
    ClearLast2,
    Mem,       // M: stores the number on the screen
    GatherMem, // MR: recalls it; a second MR in a row clears it
};

struct KeyName {
    Key key;
    std::string_view name;
};

constexpr Key DigitKey(int digit) {
    return static_cast<Key>(static_cast<int>(Key::Num0) + digit);
}

std::span<const KeyName> AllKeys();
std::optional<Key> KeyByName(std::string_view name);

} // namespace tallix
