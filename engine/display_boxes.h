#pragma once

#include <string>
#include <string_view>

namespace tallix {

// The most characters the screen holds; it cuts what it is given to this length.
inline constexpr int kScreenMaxLength = 28;

// The two text boxes of the main window as the calculator sees them: the number on the screen, and the
// symbol of the pending operation beside it. Texts are UTF-8. A box may cut what it is given: the
// screen keeps at most kScreenMaxLength characters.
class DisplayBoxes {
public:
    virtual ~DisplayBoxes() = default;
    virtual std::string ScreenText() const = 0;
    virtual void SetScreenText(std::string_view text) = 0;
    virtual void SetDisplayText(std::string_view text) = 0;
};

} // namespace tallix
