#pragma once

#include "engine/calculator.h"
#include "engine/display_boxes.h"
#include "engine/keys.h"
#include "engine/memory_ports.h"

#include <ranges>
#include <string>
#include <string_view>

// The window's two boxes: what the calculator last told each to show.
class RecordingBoxes : public tallix::DisplayBoxes {
public:
    void SetScreenText(std::string_view text) override { screen = std::string(text); }
    void SetOperatorText(std::string_view text) override { operatorText = std::string(text); }

    std::string screen;
    std::string operatorText;
};

// The memory's store and the window's title and tip, as one log of what the memory keys did: "tip" for
// the first-use tip, "=TEXT" for TEXT stored, "(M)" and "no-(M)" for the title's mark set and removed.
class RecordingMemory : public tallix::MemoryStorage, public tallix::MemoryHost {
public:
    std::string StoredText() override { return stored; }
    void Store(std::string_view text) override {
        stored = std::string(text);
        note("=" + stored);
    }
    bool TipWanted() override { return tipWanted; }
    void TipShown() override { tipWanted = false; }
    void ShowMemoryMark(bool held) override { note(held ? "(M)" : "no-(M)"); }
    void ShowMemoryTip() override { note("tip"); }

    std::string stored = "0";
    bool tipWanted = true;
    std::string log;

private:
    void note(std::string_view event) { log += (log.empty() ? "" : " ") + std::string(event); }
};

// Presses a key sequence written as space-separated words: a word of digits and points is typed
// character by character ("12.5"); the others name keys: + - * / ^ = sq rt neg C CE M MR.
inline bool PressKeys(tallix::Calculator& calc, std::string_view keys) {
    using tallix::Key;
    struct Alias {
        std::string_view word;
        Key key;
    };
    static constexpr Alias kAliases[] = {
        {"+", Key::Add},           {"-", Key::Subtract}, {"*", Key::Multiply},    {"/", Key::Divide},
        {"^", Key::Power},         {"=", Key::Equal},    {"sq", Key::Square},     {"rt", Key::SquareRoot},
        {"neg", Key::ChangeSign},  {"C", Key::Clear},    {"CE", Key::ClearEntry}, {"M", Key::MemoryStore},
        {"MR", Key::MemoryRecall},
    };
    for (std::size_t start = 0, end = 0; start < keys.size(); start = end + 1) {
        end = std::min(keys.find(' ', start), keys.size());
        const std::string_view word = keys.substr(start, end - start);
        const auto alias = std::ranges::find(kAliases, word, &Alias::word);
        if (alias != std::end(kAliases)) {
            calc.Press(alias->key);
        } else if (word.find_first_not_of("0123456789.") != std::string_view::npos) {
            return false;
        } else {
            for (char c : word)
                calc.Press(c == '.' ? Key::DecimalPoint : *tallix::DigitKey(c));
        }
    }
    return true;
}
