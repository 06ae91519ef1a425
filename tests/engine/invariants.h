#pragma once

#include "engine/calc_state.h"
#include "tests/engine/recording_boxes.h"

#include <string>

namespace detail {
inline bool isOperationName(const std::string& op) {
    return op == "Add" || op == "Sub" || op == "Mult" || op == "Div" || op == "Pow";
}
} // namespace detail

// The rules that every calculator key keeps; returns the first one broken, or nullptr.
inline const char* brokenInvariant(const tallix::CalcState& s, const RecordingBoxes& boxes) {
    using detail::isOperationName;
    if (boxes.screen.empty()) return "the screen is empty";
    if (boxes.screen.size() > RecordingBoxes::kScreenLimit) return "the screen holds more than it can";
    if (s.PendingOp.empty() != s.FirstOperand.empty()) return "PendingOp is empty exactly while FirstOperand is";
    if (!s.PendingOp.empty() && s.PendingOp != "0" && !isOperationName(s.PendingOp)) return "unknown PendingOp";
    if (s.OperatorPending && !isOperationName(s.PendingOp)) return "an operator waits without an operation";
    if (s.SecondEntered && !s.OperatorPending) return "a right operand without a waiting operator";
    if (!s.HaveNumber && (s.OperatorPending || !s.PendingOp.empty())) return "an operation without a number";
    if (s.MrClickCount != 0) return "an engine key left the memory-recall count";
    return nullptr;
}
