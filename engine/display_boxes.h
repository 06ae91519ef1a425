#pragma once

#include <string_view>

namespace tallix {

// The most characters the screen shows; the calculator keeps no more than that.
inline constexpr int kScreenMaxLength = 28;

// The two text boxes of the main window as the calculator sees them: the number on the screen, and the
// symbol of the pending operation beside it. Texts are UTF-8. The calculator only writes them and keeps
// the screen's text itself, so that no widget takes part in a calculation.
class DisplayBoxes {
public:
    virtual ~DisplayBoxes() = default;
    virtual void SetScreenText(std::string_view text) = 0;
    virtual void SetOperatorText(std::string_view text) = 0;
};

} // namespace tallix
