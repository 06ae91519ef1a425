#include "windows/main/feedback_button.h"

#include "windows/forms/control_table.h"
#include "windows/main/main_window_definition.h"

#include <QApplication>
#include <QFocusEvent>
#include <QMouseEvent>
#include <QPalette>

namespace tallix {

FeedbackButton::FeedbackButton(QWidget* parent)
    : QPushButton(parent) {
    // The classic style fills a key with exactly its palette colour, pressed or not.
    setStyle(ClassicStyle());
}

void FeedbackButton::SetBackColor(std::uint32_t color) {
    backColor_ = color;
    if (color & kSystemColor) {
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
    if (redWhilePressed_) SetBackColor(kPressedRed);
    QPushButton::mousePressEvent(event);
}

void FeedbackButton::mouseReleaseEvent(QMouseEvent* event) {
    SetBackColor(kButtonFace);
    QPushButton::mouseReleaseEvent(event);
}

// A window of the program that stays in front takes the activation back once a click is whole, but the
// window manager may carry that out only after the next press: the key held with the mouse keeps that
// press, and its release clicks. The activation leaving the program lets the key go, as it always does.
void FeedbackButton::focusOutEvent(QFocusEvent* event) {
    const bool heldByMouse = isDown() && QGuiApplication::mouseButtons().testFlag(Qt::LeftButton);
    QPushButton::focusOutEvent(event);
    const QWidget* active = QApplication::activeWindow();
    if (heldByMouse && event->reason() == Qt::ActiveWindowFocusReason && active && active != window())
        setDown(true);
}

} // namespace tallix
