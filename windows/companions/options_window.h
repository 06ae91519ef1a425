#pragma once

#include "windows/forms/form.h"

class QCheckBox;
class QTimer;

namespace tallix {

class SettingsStore;

// The options window. It loads its three check boxes from the settings, stays in front of the program's
// other windows while open, and writes the boxes back when "OK" closes it, the only way to close it.
class OptionsWindow : public Form {
    Q_OBJECT

public:
    OptionsWindow(SettingsStore& store, const Form& main);

    // Closes the window as its "OK" does: the boxes are written back.
    void Accept();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load(const Form& main);
    void Form_Deactivate();
    void takeActivationBack();
    void Form_Unload();
    void Okay_Click();

    SettingsStore& store_;
    QCheckBox* specialPointerBox_ = nullptr; // Check1, the setting Value
    QCheckBox* redButtonsBox_ = nullptr;     // Check2, RedBttns
    QCheckBox* welcomeAtStartBox_ = nullptr; // Check3, ShowPopup
    bool okayClosing_ = false;
    // Asks the X server again while the click that took the activation is down there.
    QTimer* pressAtServer_ = nullptr;
};

} // namespace tallix
