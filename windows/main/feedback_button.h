#pragma once

#include <QPushButton>

#include <cstdint>

namespace tallix {

// A key of the calculator window. While the red option is on, the mouse button held down on it turns
// it dark red; letting go gives it the button face again. Keyboard presses change no colour. A press
// held with the mouse outlasts the activation moving to another window of the program.
class FeedbackButton : public QPushButton {
    Q_OBJECT

public:
    // A colour value with this bit set names a system colour of the user's scheme by its low byte.
    static constexpr std::uint32_t kSystemColor = 0x80000000;
    static constexpr std::uint32_t kButtonFace = kSystemColor | 15; // system colour 15, button face
    static constexpr std::uint32_t kPressedRed = 0x00000080;        // RGB 128, 0, 0 as 0x00BBGGRR

    explicit FeedbackButton(QWidget* parent);

    // Whether a mouse press turns the key red: the option as its window last read it.
    void SetRedWhilePressed(bool red) { redWhilePressed_ = red; }

    // The background colour as the window definitions encode it.
    std::uint32_t BackColor() const { return backColor_; }
    void SetBackColor(std::uint32_t color);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool redWhilePressed_ = false;
    std::uint32_t backColor_ = kButtonFace;
};

} // namespace tallix
