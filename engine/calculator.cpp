#include "engine/calculator.h"

#include "engine/number_text.h"
#include "engine/power.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tallix {
namespace {

struct OperationInfo {
    Key key;
    std::string_view symbol;  // shown in the operator box while the operation waits
    std::string_view neutral; // right operand when none was entered
    double (*apply)(double, double);
};

constexpr std::array<OperationInfo, 5> kOperations{{
    {Key::Add, "+", "0", [](double a, double b) { return a + b; }},
    {Key::Subtract, "-", "0", [](double a, double b) { return a - b; }},
    {Key::Multiply, "\u00D7", "1", [](double a, double b) { return a * b; }},
    {Key::Divide, "\u00F7", "0", [](double a, double b) { return a / b; }},
    {Key::Power, "y^", "1", [](double a, double b) { return Pow(a, b); }},
}};

// Nothing for a key that is no operator key, or for no key at all.
const OperationInfo* operationOf(std::optional<Key> key) {
    const auto it =
        std::find_if(kOperations.begin(), kOperations.end(), [&](const auto& o) { return o.key == key; });
    return it == kOperations.end() ? nullptr : &*it;
}

// The first kScreenMaxLength characters of `text`, never cut inside one: a recalled memory text may hold
// any UTF-8 text that the settings file does.
std::string_view screenCut(std::string_view text) {
    std::size_t end = 0;
    for (int characters = 0; end < text.size(); ++end) {
        const bool startsCharacter = (static_cast<unsigned char>(text[end]) & 0xC0) != 0x80;
        if (startsCharacter && characters++ == kScreenMaxLength) break;
    }
    return text.substr(0, end);
}

// A result is usable only when it is a finite number: NaN, division by zero and overflow all fail.
std::optional<std::string> finiteText(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    return NumberToText(value);
}

// The memory is kept as text: only these exact texts mean there is nothing to store or recall.
bool nothingToStore(std::string_view screen) {
    return screen == "0" || screen.empty() || screen == kErrorText;
}
bool memoryEmpty(std::string_view memory) {
    return memory == "0" || memory.empty();
}

} // namespace

void Calculator::Press(Key key) {
    switch (key) {
    case Key::Digit0:
        return typeZero();
    case Key::Digit1:
    case Key::Digit2:
    case Key::Digit3:
    case Key::Digit4:
    case Key::Digit5:
    case Key::Digit6:
    case Key::Digit7:
    case Key::Digit8:
    case Key::Digit9:
        return typeDigit(*DigitOf(key));
    case Key::DecimalPoint:
        return typeDecimalPoint();
    case Key::ChangeSign:
        return changeSign();
    case Key::Add:
    case Key::Subtract:
    case Key::Multiply:
    case Key::Divide:
    case Key::Power:
        return pressOperator(key);
    case Key::Equal:
        return pressEqual();
    case Key::Square:
        return square();
    case Key::SquareRoot:
        return squareRoot();
    case Key::Clear:
        return clearAll();
    case Key::ClearEntry:
        return clearEntry();
    case Key::MemoryStore:
        return storeMemory();
    case Key::MemoryRecall:
        return recallMemory();
    }
}

void Calculator::resetToIdle() {
    state_.haveNumber = false;
    state_.mrClickCount = 0;
    state_.hasDecimalPoint = false;
    state_.secondEntered = false;
    state_.startNewEntry = true;
    state_.pendingOp.reset();
    state_.entryText.clear();
    state_.firstOperand.clear();
}

void Calculator::Load() {
    resetToIdle();
    show("0");
}

void Calculator::show(std::string_view text) {
    state_.screenText = screenCut(text);
    boxes_.SetScreenText(state_.screenText);
}

void Calculator::LoadMemory() {
    if (storage_.StoredText() != "0") host_.ShowMemoryMark(true);
    state_.mrClickCount = 0;
}

void Calculator::typeDigit(char digit) {
    state_.haveNumber = true;
    state_.mrClickCount = 0;
    state_.entryText = state_.screenText;
    if (state_.startNewEntry) show(std::string(1, digit));
    if (state_.OperatorPending()) state_.secondEntered = true;
    if (!state_.startNewEntry) show(state_.entryText + digit);
    state_.startNewEntry = false;
}

void Calculator::typeZero() {
    if (state_.screenText == "0") return; // a lone zero never becomes "00"
    typeDigit('0');
}

void Calculator::typeDecimalPoint() {
    state_.mrClickCount = 0;
    if (state_.hasDecimalPoint) return;
    state_.entryText = state_.screenText;
    show(state_.startNewEntry ? std::string(".") : state_.entryText + '.');
    state_.startNewEntry = false;
    state_.hasDecimalPoint = true;
}

void Calculator::changeSign() {
    state_.mrClickCount = 0;
    if (state_.screenText == kErrorText) return;
    const auto value = TextToNumber(state_.screenText);
    if (!value) return showError();
    show(NumberToText(-*value));
}

void Calculator::pressOperator(Key key) {
    const OperationInfo* op = operationOf(key);
    if (!op || !state_.haveNumber) return;
    boxes_.SetOperatorText(op->symbol);
    solvePending();
    state_.hasDecimalPoint = false;
    state_.firstOperand = state_.screenText;
    state_.pendingOp = key;
    state_.startNewEntry = true;
}

void Calculator::pressEqual() {
    if (!state_.haveNumber) return;
    solvePending();
    boxes_.SetOperatorText("");
}

void Calculator::solvePending() {
    state_.mrClickCount = 0;
    if (state_.entryText.empty() || state_.firstOperand.empty()) return;
    state_.entryText = state_.screenText;
    const OperationInfo* op = operationOf(state_.pendingOp);
    if (!state_.secondEntered) state_.entryText = op ? op->neutral : "0";

    if (op) {
        const auto left = TextToNumber(state_.firstOperand);
        const auto right = TextToNumber(state_.entryText);
        std::optional<std::string> result;
        if (left && right) result = finiteText(op->apply(*left, *right));
        if (!result) return showError();
        state_.resultText = *result;
    }

    state_.haveNumber = true;
    state_.secondEntered = false;
    state_.pendingOp.reset();
    state_.entryText = "0";
    state_.firstOperand = "0";
    show(state_.resultText);
    state_.startNewEntry = false;
    state_.hasDecimalPoint = false;
}

void Calculator::square() {
    if (!state_.haveNumber) return;
    state_.mrClickCount = 0;
    if (state_.screenText == kErrorText) return;
    boxes_.SetOperatorText("y^2");
    solvePending();
    const auto value = TextToNumber(state_.screenText);
    const auto square = value ? finiteText(Pow(*value, 2)) : std::nullopt;
    if (!square) return showError();
    show(*square);
}

void Calculator::squareRoot() {
    state_.mrClickCount = 0;
    if (state_.screenText == kErrorText) return;
    const auto value = TextToNumber(state_.screenText);
    if (!value) return showError();
    // Every step goes through the screen's text, so each intermediate value is rounded to 15 digits.
    const bool negative = *value < 0;
    if (negative) show(NumberToText(-*value));
    state_.hasDecimalPoint = false;
    state_.entryText = state_.screenText;
    state_.resultText = NumberToText(std::sqrt(TextToNumber(state_.entryText).value_or(0)));
    show(negative ? NumberToText(-TextToNumber(state_.resultText).value_or(0)) : state_.resultText);
    state_.startNewEntry = false;
}

void Calculator::clearAll() {
    resetToIdle();
    boxes_.SetOperatorText("");
    show("0");
}

void Calculator::clearEntry() {
    state_.mrClickCount = 0;
    state_.hasDecimalPoint = false;
    state_.entryText = "0";
    state_.startNewEntry = true;
}

void Calculator::storeMemory() {
    state_.mrClickCount = 0;
    if (nothingToStore(state_.screenText)) return;
    if (storage_.TipWanted()) {
        host_.ShowMemoryTip();
        storage_.TipShown();
    }
    // The screen's text is taken afresh after the modal tip.
    storage_.Store(state_.screenText);
    host_.ShowMemoryMark(true);
}

void Calculator::recallMemory() {
    const std::string memory = storage_.StoredText();
    if (memoryEmpty(memory)) return; // the count of presses in a row stays as it was
    ++state_.mrClickCount;
    // A second press in a row clears the memory, and leaves the screen showing what the first recalled.
    const bool clearing = state_.mrClickCount > 1;
    if (clearing) {
        storage_.Store("0");
        state_.mrClickCount = 0;
        host_.ShowMemoryMark(false);
    }
    state_.entryText = state_.screenText;
    if (state_.OperatorPending()) state_.secondEntered = true;
    state_.startNewEntry = false; // a digit typed next is appended to the recalled text
    if (!clearing) {
        show(memory);
        state_.haveNumber = true;
    }
}

} // namespace tallix
