#pragma once

#include "engine/calc_state.h"
#include "engine/display_boxes.h"
#include "engine/keys.h"

namespace tallix {

// A pocket calculator that executes each key at once, strictly from left to right. It works on the
// window's two boxes and its own state; failures show "Error" on the screen and are never reported.
class Calculator {
public:
    explicit Calculator(DisplayBoxes& boxes)
        : boxes_(boxes) {}

    CalcState& State() { return state_; }
    const CalcState& State() const { return state_; }

    void Press(Key key);

    // The cleared state of a freshly loaded window: as after Clear2, but the operator box and the last
    // result are left alone.
    void Load();

    void Digit(char digit); // '1' to '9'
    void Zero();
    void Deci();
    void Polarity();
    void Operator(Key key); // Add, Minus, Mult, Divide or Power
    void Equal();
    void SolveProb();
    void PowerTwo();
    void Sroot();
    void Clear2();
    void ClearLast2();

private:
    void resetToIdle();
    void showError() { boxes_.SetScreenText("Error"); }

    DisplayBoxes& boxes_;
    CalcState state_;
};

} // namespace tallix
