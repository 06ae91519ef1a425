#include "windows/forms/form.h"

#include "platform/display_platform.h"
#include "platform/window_hints.h"
#include "windows/forms/twips.h"

#include <QApplication>
#include <QMoveEvent>
#include <QShowEvent>

namespace tallix {

bool WindowPositionsKnown() {
    return !OnWayland();
}

Form::Form(QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags) {}

void Form::SetLeft(float twips) {
    left_ = twips;
    move(TwipsToPixels(twips), pos().y());
}

void Form::SetTop(float twips) {
    top_ = twips;
    move(pos().x(), TwipsToPixels(twips));
}

void Form::SetClientSize(int widthTwips, int heightTwips) {
    setFixedSize(TwipsToPixels(widthTwips), TwipsToPixels(heightTwips));
}

void Form::ShowInFront() {
    // A window being shown for the first time comes up in front anyway; a minimised one comes back.
    if (!isVisible()) {
        show();
    } else {
        if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
        raise();
    }
    activateWindow();
}

void Form::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    // A position in twips that is not a whole number of pixels stays as it was set until the window
    // really moves; only a move to another pixel takes the new pixel position.
    const QPoint frame = pos();
    if (frame.x() != TwipsToPixels(left_)) left_ = static_cast<float>(PixelsToTwips(frame.x()));
    if (frame.y() != TwipsToPixels(top_)) top_ = static_cast<float>(PixelsToTwips(frame.y()));
}

void Form::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Sent before the window is mapped, unless the window system itself shows it again (a restore).
    if (!event->spontaneous()) SetWindowManagerHints(*this);
}

QList<Form*> OpenForms() {
    QList<Form*> open;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* form = qobject_cast<Form*>(window); form && form->isVisible()) open << form;
    return open;
}

Form* OpenForm(QStringView name) {
    for (Form* form : OpenForms())
        if (form->objectName() == name) return form;
    return nullptr;
}

} // namespace tallix
