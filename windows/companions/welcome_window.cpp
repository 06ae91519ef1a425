#include "windows/companions/welcome_window.h"

#include "engine/number_text.h"
#include "settings/settings.h"
#include "windows/forms/control_table.h"

#include <QCloseEvent>
#include <QTimer>

#include <array>

namespace tallix {

namespace {

// clang-format off
const std::array<ControlDef, 4> kControls{{
    // kind, name, caption, container, left, top, width, height, tab, font, accessible name, look
    {ControlKind::Label, "Label1", "Tallix Created by Dorvik5150", nullptr, 120, 83, 4335, 375, 0,
     FontDef{"JACKIE", 18, true}},
    {ControlKind::Line, "Line1", "", nullptr, 120, 563, 4320, 0, -1, {}, nullptr, {.lineWidthPixels = 5}},
    {ControlKind::Label, "Label2", "If you are a first time user, please be sure to check the options menu.",
     nullptr, 1200, 683, 2175, 615, 1, {}, nullptr, {.alignment = Qt::AlignHCenter | Qt::AlignTop, .wordWrap = true}},
    {ControlKind::CheckBox, "ShowStart", "Show this on startup", nullptr, 1380, 1283, 1815, 375, 2, {}, nullptr,
     {.checked = true}},
}};
// clang-format on

const FormDef kWindow{
    .name = "Popup",
    .title = "Welcome",
    .flags = Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint,
    .clientWidth = 4575,
    .clientHeight = 1680,
    .controls = kControls,
};

} // namespace

WelcomeWindow::WelcomeWindow(SettingsStore& store, QWidget* main)
    : Form()
    , store_(store)
    , main_(main) {
    BuildForm(*this, kWindow);
    showStart_ = RequireChild<QCheckBox>(*this, "ShowStart");

    // clicked comes from the user's mouse or keyboard only, never from a change made in code.
    connect(showStart_, &QCheckBox::clicked, this, &WelcomeWindow::ShowStart_Click);

    Form_Load();
}

bool WelcomeWindow::eventFilter(QObject* watched, QEvent* event) {
    // Once the activation has settled; the welcome window has no taskbar entry to come back by.
    if (watched == main_ && event->type() == QEvent::WindowActivate && !main_->isEnabled())
        QTimer::singleShot(0, this, [this] {
            if (isVisible()) ShowInFront();
        });
    return Form::eventFilter(watched, event);
}

void WelcomeWindow::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void WelcomeWindow::Form_Load() {
    if (!main_) return;
    main_->setEnabled(false);
    main_->installEventFilter(this);
}

void WelcomeWindow::Form_Unload() {
    if (!main_) return;
    main_->removeEventFilter(this);
    main_->setEnabled(true);
}

void WelcomeWindow::ShowStart_Click() {
    WriteText(store_, Setting::ShowWelcome, NumberToText(CheckBoxState(*showStart_)));
}

} // namespace tallix
