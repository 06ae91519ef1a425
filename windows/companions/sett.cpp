#include "windows/companions/sett.h"

#include "engine/number_text.h"
#include "platform/window_hints.h"
#include "settings/settings.h"
#include "windows/companions/companion_controls.h"
#include "windows/companions/companions.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPushButton>
#include <QTimer>

#include <array>

namespace tallix {

namespace {

// Check2 and Check3 are wider than the client area and cut off at its right edge, as they always were.
const std::array<CompanionControl, 4> kControls{{
    {{ControlKind::CheckBox, "Check1", "Use Special Cursor", nullptr, 120, 0, 1695, 255, 0},
     {.checked = true}},
    {{ControlKind::CheckBox, "Check2", "Red Buttons (On Click)", nullptr, 120, 360, 2295, 255, 1},
     {.checked = true}},
    {{ControlKind::Button, "Okay", "OK", nullptr, 430, 1080, 1215, 375, 2}},
    {{ControlKind::CheckBox, "Check3", "Show Popup On Startup", nullptr, 120, 720, 2055, 255, 3},
     {.checked = true}},
}};

const CompanionWindow kWindow{
    .name = "Sett",
    .title = "Options",
    .flags = Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint,
    .clientWidth = 2145,
    .clientHeight = 1530,
    .controls = kControls,
};

} // namespace

Sett::Sett(SettingsStore& store, const Form& main)
    : Form()
    , store_(store) {
    BuildCompanionWindow(*this, kWindow);
    check1_ = findChild<QCheckBox*>(QStringLiteral("Check1"));
    check2_ = findChild<QCheckBox*>(QStringLiteral("Check2"));
    check3_ = findChild<QCheckBox*>(QStringLiteral("Check3"));

    connect(findChild<QPushButton*>(QStringLiteral("Okay")), &QPushButton::clicked, this, &Sett::Okay_Click);
    pressAtServer_ = new QTimer(this);
    pressAtServer_->setSingleShot(true);
    pressAtServer_->setInterval(10);
    connect(pressAtServer_, &QTimer::timeout, this, &Sett::TakeActivationBack);

    Form_Load(main);
}

bool Sett::event(QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate) Form_Deactivate();
    return Form::event(event);
}

bool Sett::eventFilter(QObject* watched, QEvent* event) {
    // On the application while a click waits to be whole: decided again once its release is handled.
    if (event->type() == QEvent::MouseButtonRelease) QTimer::singleShot(0, this, &Sett::TakeActivationBack);
    return Form::eventFilter(watched, event);
}

void Sett::changeEvent(QEvent* event) {
    Form::changeEvent(event);
    // It has no minimise box and stays in front until OK: minimised by the window manager all the
    // same, it comes straight back, or nothing might be left on screen to close it with.
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        QTimer::singleShot(0, this, [this] {
            if (isVisible() && isMinimized() && !okayClosing_) ShowInFront(*this);
        });
}

void Sett::closeEvent(QCloseEvent* event) {
    // The window has no close box; a close from anywhere but "OK" is turned down.
    if (!okayClosing_) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void Sett::Form_Load(const Form& main) {
    SetLeft(main.Left() + kSettRightOfMain);
    SetTop(main.Top() + kSettBelowMain);
    SetCheckBoxState(*check1_, ReadCheckState(store_, Setting::Value));
    SetCheckBoxState(*check2_, ReadCheckState(store_, Setting::RedBttns));
    SetCheckBoxState(*check3_, ReadCheckState(store_, Setting::ShowPopup));
}

void Sett::Form_Deactivate() {
    QTimer::singleShot(0, this, &Sett::TakeActivationBack);
}

void Sett::TakeActivationBack() {
    qApp->removeEventFilter(this);
    // Decided once the activation has settled: taken back from another window of the program, but not
    // from another application (no active window then), nor from a modal box that the user must answer.
    const QWidget* active = QApplication::activeWindow();
    if (okayClosing_ || !isVisible() || !active || active == this || QApplication::activeModalWidget())
        return;
    // Not before the click that moved the activation is whole: a key that loses the focus while held lets
    // go without clicking. Its release must have been handled here, and no button be down at the X
    // server, where the window manager may still hold the press it activated the other window for.
    if (QGuiApplication::mouseButtons() != Qt::NoButton) return qApp->installEventFilter(this);
    if (PointerButtonDownAtServer()) return pressAtServer_->start();
    ShowInFront(*this);
}

void Sett::Form_Unload() {
    WriteText(store_, Setting::Value, NumberToText(CheckBoxState(*check1_)));
    WriteText(store_, Setting::RedBttns, NumberToText(CheckBoxState(*check2_)));
    WriteText(store_, Setting::ShowPopup, NumberToText(CheckBoxState(*check3_)));
}

void Sett::Okay_Click() {
    okayClosing_ = true;
    close();
}

} // namespace tallix
