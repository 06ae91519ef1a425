#pragma once

#include "windows/forms/form.h"

#include <QPointer>

class QCheckBox;

namespace tallix {

class SettingsStore;

// The welcome window. It keeps the main window disabled while it is open, and comes to the front when
// the user activates the disabled main window, as a platform brings forward the window that disables
// another.
class WelcomeWindow : public Form {
    Q_OBJECT

public:
    WelcomeWindow(SettingsStore& store, QWidget* main);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void Form_Unload();
    void ShowStart_Click();

    SettingsStore& store_;
    QPointer<QWidget> main_;
    QCheckBox* showStart_;
};

} // namespace tallix
