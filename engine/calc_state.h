#pragma once

#include "engine/keys.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tallix {

// The calculator's memory between keys. Numbers are kept only as texts, as the screen shows them; no
// number survives a key.
struct CalcState {
    std::string screenText = "0";  // what the screen shows, at most kScreenMaxLength characters
    bool haveNumber = false;       // the operator keys may use the number on the screen
    bool startNewEntry = true;     // the next digit or point replaces the screen text
    bool hasDecimalPoint = false;  // the entry has its point; the point key is refused
    bool secondEntered = false;    // a right operand was typed (or recalled) after the operator
    std::string entryText;         // right operand, and the screen text just before an entry key
    std::string firstOperand;      // left operand
    std::optional<Key> pendingOp;  // the operator key whose operation waits for its evaluation
    std::string resultText;        // last result of an evaluation or a square root
    std::uint8_t mrClickCount = 0; // consecutive memory-recall presses

    bool OperatorPending() const { return pendingOp.has_value(); } // an operator key waits
};

} // namespace tallix
