#pragma once

#include "engine/keys.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tallix {

// The calculator's memory between keys. Numbers are kept only as texts, as the screen shows them; no
// number survives a key.
struct CalcState {
    std::string ScreenText = "0";  // what the screen shows, at most kScreenMaxLength characters
    bool HaveNumber = false;       // the operator keys may use the number on the screen
    bool StartNewEntry = true;     // the next digit or point replaces the screen text
    bool HasDecimalPoint = false;  // the entry has its point; the point key is refused
    bool SecondEntered = false;    // a right operand was typed (or recalled) after the operator
    std::string EntryText;         // right operand, and the screen text just before an entry key
    std::string FirstOperand;      // left operand
    std::optional<Key> PendingOp;  // the operator key whose operation waits for its evaluation
    std::string ResultText;        // last result of an evaluation or a square root
    std::uint8_t MrClickCount = 0; // consecutive memory-recall presses

    bool OperatorPending() const { return PendingOp.has_value(); } // an operator key waits
};

} // namespace tallix
