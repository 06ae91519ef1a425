#pragma once

#include "engine/calc_state.h"
#include "engine/display_boxes.h"
#include "engine/keys.h"
#include "engine/memory_ports.h"
#include "engine/number_text.h"

#include <string_view>

namespace tallix {

// A pocket calculator that executes each key at once, strictly from left to right. It keeps the screen's
// text itself and only tells the window's two boxes what to show; failures show "Error" on the screen and
// are never reported. Its one-number memory lives in `storage`; `host` shows whether it holds a number.
class Calculator {
public:
    Calculator(DisplayBoxes& boxes, MemoryStorage& storage, MemoryHost& host)
        : boxes_(boxes)
        , storage_(storage)
        , host_(host) {}

    void Press(Key key);

    // The cleared state of a freshly loaded window: as after Clear, but the operator box is left alone.
    void Load();
    // Marks the title when the stored memory is anything but "0"; called before the window shows.
    void LoadMemory();

private:
    void typeDigit(char digit); // '1' to '9'
    void typeZero();
    void typeDecimalPoint();
    void changeSign();
    void pressOperator(Key key); // Add, Subtract, Multiply, Divide or Power
    void pressEqual();
    void solvePending();
    void square();
    void squareRoot();
    void clearAll();
    void clearEntry();
    void storeMemory();
    void recallMemory();

    void resetToIdle();
    void show(std::string_view text); // the one writer of the screen
    void showError() { show(kErrorText); }

    DisplayBoxes& boxes_;
    MemoryStorage& storage_;
    MemoryHost& host_;
    CalcState state_;
};

} // namespace tallix
