#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace tallix {

// The calculator's keys. The names the main window's buttons go by are in keys.cpp.
enum class Key {
    Digit0,
    Digit1,
    Digit2,
    Digit3,
    Digit4,
    Digit5,
    Digit6,
    Digit7,
    Digit8,
    Digit9,
    DecimalPoint,
    ChangeSign,
    Add,
    Subtract,
    Multiply,
    Divide,
    Power,
    Equal,
    Square,
    SquareRoot,
    Clear,
    ClearEntry,
    MemoryStore,  // M: stores the number on the screen
    MemoryRecall, // MR: recalls it; a second MR in a row clears it
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
