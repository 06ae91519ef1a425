#pragma once

#include "engine/calculator.h"
#include "engine/display_boxes.h"
#include "engine/keys.h"

#include <ranges>
#include <string>
#include <string_view>

// The window's two boxes as the calculator sees them; like the real screen, it keeps 28 characters.
class RecordingBoxes : public tallix::DisplayBoxes {
public:
    std::string ScreenText() const override { return screen; }
    void SetScreenText(std::string_view text) override { screen = std::string(text.substr(0, 28)); }
    void SetDisplayText(std::string_view text) override { display = std::string(text); }

    std::string screen;
    std::string display;
};

// Presses a key sequence written as space-separated words: a word of digits and points is typed
// character by character ("12.5"); the others name keys: + - * / ^ = sq rt neg C CE.
inline bool PressKeys(tallix::Calculator& calc, std::string_view keys) {
    using tallix::Key;
    struct Alias {
        std::string_view word;
        Key key;
    };
    static constexpr Alias kAliases[] = {
        {"+", Key::Add},        {"-", Key::Minus},  {"*", Key::Mult},        {"/", Key::Divide},
        {"^", Key::Power},      {"=", Key::Equal},  {"sq", Key::PowerTwo},   {"rt", Key::Sroot},
        {"neg", Key::Polarity}, {"C", Key::Clear2}, {"CE", Key::ClearLast2},
    };
    for (const auto part : std::views::split(keys, ' ')) {
        const std::string_view word(part.begin(), part.end());
        const auto alias = std::ranges::find(kAliases, word, &Alias::word);
        if (alias != std::end(kAliases)) {
            calc.Press(alias->key);
        } else if (word.find_first_not_of("0123456789.") != std::string_view::npos) {
            return false;
        } else {
            for (char c : word)
                calc.Press(c == '.' ? Key::Deci : tallix::DigitKey(c - '0'));
        }
    }
    return true;
}
