#include "windows/companions/options_window.h"

#include "engine/number_text.h"
#include "platform/window_hints.h"
#include "settings/settings.h"
#include "windows/companions/companions.h"
#include "windows/forms/control_table.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPushButton>
#include <QTimer>

#include <array>
#include <chrono>

namespace tallix {

namespace {

// How often the X server is asked again while the click that took the activation away is held there:
// the window comes back within a frame of the release, too soon for anyone to see a wait, and the
// asking costs next to nothing meanwhile.
constexpr std::chrono::milliseconds kPressAtServerPoll{10};

// Check2 and Check3 are wider than the client area and cut off at its right edge, as they always were.
// clang-format off
const std::array<ControlDef, 4> kControls{{
    // kind, name, caption, container, left, top, width, height, tab, font, accessible name, look
    {ControlKind::CheckBox, "Check1", "Use Special Cursor", nullptr, 120, 0, 1695, 255, 0, {}, nullptr, {.checked = true}},
    {ControlKind::CheckBox, "Check2", "Red Buttons (On Click)", nullptr, 120, 360, 2295, 255, 1, {}, nullptr,
     {.checked = true}},
    {ControlKind::Button, "Okay", "OK", nullptr, 430, 1080, 1215, 375, 2},
    {ControlKind::CheckBox, "Check3", "Show Popup On Startup", nullptr, 120, 720, 2055, 255, 3, {}, nullptr,
     {.checked = true}},
}};
// clang-format on

const FormDef kWindow{
    .name = "Sett",
    .title = "Options",
    .flags = Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint,
    .clientWidth = 2145,
    .clientHeight = 1530,
    .controls = kControls,
};

} // namespace

OptionsWindow::OptionsWindow(SettingsStore& store, const Form& main)
    : Form()
    , store_(store) {
    BuildForm(*this, kWindow);
    specialPointerBox_ = RequireChild<QCheckBox>(*this, "Check1");
    redButtonsBox_ = RequireChild<QCheckBox>(*this, "Check2");
    welcomeAtStartBox_ = RequireChild<QCheckBox>(*this, "Check3");

    connect(RequireChild<QPushButton>(*this, "Okay"), &QPushButton::clicked, this,
            &OptionsWindow::Okay_Click);
    pressAtServer_ = new QTimer(this);
    pressAtServer_->setSingleShot(true);
    pressAtServer_->setInterval(kPressAtServerPoll);
    connect(pressAtServer_, &QTimer::timeout, this, &OptionsWindow::takeActivationBack);

    Form_Load(main);
}

bool OptionsWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate) Form_Deactivate();
    return Form::event(event);
}

bool OptionsWindow::eventFilter(QObject* watched, QEvent* event) {
    // On the application while a click waits to be whole: decided again once its release is handled.
    if (event->type() == QEvent::MouseButtonRelease)
        QTimer::singleShot(0, this, &OptionsWindow::takeActivationBack);
    return Form::eventFilter(watched, event);
}

void OptionsWindow::changeEvent(QEvent* event) {
    Form::changeEvent(event);
    // It has no minimise box and stays in front until OK: minimised by the window manager all the
    // same, it comes straight back, or nothing might be left on screen to close it with.
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        QTimer::singleShot(0, this, [this] {
            if (isVisible() && isMinimized() && !okayClosing_) ShowInFront();
        });
}

void OptionsWindow::closeEvent(QCloseEvent* event) {
    // The window has no close box; a close from anywhere but "OK" is turned down.
    if (!okayClosing_) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void OptionsWindow::Form_Load(const Form& main) {
    SetLeft(main.Left() + kOptionsRightOfMain);
    SetTop(main.Top() + kOptionsBelowMain);
    SetCheckBoxState(*specialPointerBox_, ReadCheckState(store_, Setting::SpecialPointer));
    SetCheckBoxState(*redButtonsBox_, ReadCheckState(store_, Setting::RedWhilePressed));
    SetCheckBoxState(*welcomeAtStartBox_, ReadCheckState(store_, Setting::ShowWelcome));
}

void OptionsWindow::Form_Deactivate() {
    QTimer::singleShot(0, this, &OptionsWindow::takeActivationBack);
}

void OptionsWindow::takeActivationBack() {
    qApp->removeEventFilter(this);
    // Decided once the activation has settled: taken back from another window of the program, but not
    // from another application (no active window then), nor from a modal box that the user must answer.
    const QWidget* active = QApplication::activeWindow();
    if (okayClosing_ || !isVisible() || !active || active == this || QApplication::activeModalWidget())
        return;
    // Not before the click that moved the activation is whole: a control that loses the focus while held
    // may let go without clicking. Its release must have been handled here, and no button be down at the X
    // server, where the window manager may still hold the press it activated the other window for. A busy
    // window manager may still carry this out during the next click: the keys keep that press.
    if (QGuiApplication::mouseButtons() != Qt::NoButton) return qApp->installEventFilter(this);
    if (PointerButtonDownAtServer()) return pressAtServer_->start();
    ShowInFront();
}

void OptionsWindow::Form_Unload() {
    WriteTexts(store_, {{Setting::SpecialPointer, NumberToText(CheckBoxState(*specialPointerBox_))},
                        {Setting::RedWhilePressed, NumberToText(CheckBoxState(*redButtonsBox_))},
                        {Setting::ShowWelcome, NumberToText(CheckBoxState(*welcomeAtStartBox_))}});
}

void OptionsWindow::Accept() {
    okayClosing_ = true;
    close();
}

void OptionsWindow::Okay_Click() {
    Accept();
}

} // namespace tallix
