#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace tallix {

// The calculator's keys, named after the main window's buttons.
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
    char digit = '\0'; // what a digit key types; '\0' for the others
};

std::span<const KeyName> AllKeys();
std::optional<char> DigitOf(Key key);
std::optional<Key> DigitKey(char digit); // the key that types '0' to '9'

} // namespace tallix
