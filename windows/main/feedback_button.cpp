#include "windows/main/feedback_button.h"

#include "windows/main/main_calc_definition.h"

#include <QMouseEvent>
#include <QPalette>

namespace tallix {

FeedbackButton::FeedbackButton(const std::uint8_t& redButtonsSetting, QWidget* parent)
    : QPushButton(parent)
    , redButtonsSetting_(redButtonsSetting) {}

void FeedbackButton::SetBackColor(std::uint32_t color) {
    backColor_ = color;
    if (color & 0x80000000u) {
        // A system colour follows the user's scheme: the inherited palette has it.
        setPalette(QPalette());
        return;
    }
    QPalette palette = this->palette();
    palette.setColor(QPalette::Button, RgbColor(color));
    setPalette(palette);
}

// The colour changes before the base handler runs, so a click that the release completes comes after it.
void FeedbackButton::mousePressEvent(QMouseEvent* event) {
    if (redButtonsSetting_ == 1) SetBackColor(kPressedRed);
    QPushButton::mousePressEvent(event);
}

void FeedbackButton::mouseReleaseEvent(QMouseEvent* event) {
    SetBackColor(kButtonFace);
    QPushButton::mouseReleaseEvent(event);
}

} // namespace tallix
