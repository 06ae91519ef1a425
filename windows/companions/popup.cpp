#include "windows/companions/popup.h"

#include "engine/number_text.h"
#include "settings/settings.h"
#include "windows/companions/companion_controls.h"

#include <QCloseEvent>

#include <array>

namespace tallix {

namespace {

const std::array<CompanionControl, 4> kControls{{
    {{ControlKind::Label, "Label1", "Tallix Created by Dorvik5150", nullptr, 120, 83, 4335, 375, 0,
      FontDef{"JACKIE", 18, true}}},
    {{ControlKind::Line, "Line1", "", nullptr, 120, 563, 4320, 0, -1}, {.lineWidthPixels = 5}},
    {{ControlKind::Label, "Label2", "If you are a first time user, please be sure to check the options menu.",
      nullptr, 1200, 683, 2175, 615, 1},
     {.alignment = Qt::AlignHCenter | Qt::AlignTop, .wordWrap = true}},
    {{ControlKind::CheckBox, "ShowStart", "Show this on startup", nullptr, 1380, 1283, 1815, 375, 2},
     {.checked = true}},
}};

} // namespace

Popup::Popup(SettingsStore& store, QWidget* main)
    : Form(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , store_(store)
    , main_(main) {
    // A tool window doesn't keep the program running by itself; this one counts as a window of the run.
    setAttribute(Qt::WA_QuitOnClose, true);
    setAttribute(Qt::WA_MacAlwaysShowToolWindow, true);
    setAttribute(Qt::WA_DeleteOnClose, true);
    setObjectName(QStringLiteral("Popup"));
    setWindowTitle(QStringLiteral("Welcome"));
    SetClientSize(4575, 1680);
    BuildCompanionControls(this, kControls);
    showStart_ = findChild<QCheckBox*>(QStringLiteral("ShowStart"));

    // clicked comes from the user's mouse or keyboard only, never from a change made in code.
    connect(showStart_, &QCheckBox::clicked, this, &Popup::ShowStart_Click);

    Form_Load();
}

void Popup::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void Popup::Form_Load() {
    if (main_) main_->setEnabled(false);
}

void Popup::Form_Unload() {
    if (main_) main_->setEnabled(true);
}

void Popup::ShowStart_Click() {
    WriteText(store_, Setting::ShowPopup, NumberToText(CheckBoxState(*showStart_)));
}

} // namespace tallix
