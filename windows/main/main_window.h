#pragma once

#include "engine/calculator.h"
#include "engine/display_boxes.h"
#include "engine/memory_ports.h"
#include "settings/memory_storage.h"
#include "windows/forms/form.h"

class QLineEdit;

namespace tallix {

class Companions;
class MessageBoxes;
class SettingsStore;

// The window's mouse pointer, by the codes that the window definitions use.
enum class PointerCode {
    Default = 0,  // the platform's pointer
    Special = 99, // the window's own cursor image
};

// The calculator window: a keypad under a one-line display. Its keys drive the engine, whose memory it
// keeps in the settings store; its own steps load and save the options and the position.
class MainWindow : public Form, public DisplayBoxes, public MemoryHost {
    Q_OBJECT

public:
    MainWindow(SettingsStore& store, MessageBoxes& boxes, Companions& companions);
    ~MainWindow() override;

    // Runs once per run, at program start: restores what was saved, shows the window and, if wanted,
    // the welcome window beside it.
    void Form_Load();

    PointerCode MousePointer() const { return mousePointer_; }

    // DisplayBoxes
    void SetScreenText(std::string_view text) override;
    void SetOperatorText(std::string_view text) override;

    // MemoryHost
    void ShowMemoryMark(bool held) override;
    void ShowMemoryTip() override;

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void connectHandlers();
    void placeFromSettings();
    void readPointer();
    void readRedButtons();
    void setMousePointer(PointerCode code);

    void Form_Activate();
    void Form_Unload();
    void App_StateChanged(Qt::ApplicationState state);

    void OptButton_Click();
    void RsCalc_Click();

    SettingsStore& store_;
    MessageBoxes& boxes_;
    Companions& companions_;
    SettingsMemoryStorage memory_;
    Calculator calculator_;

    PointerCode mousePointer_ = PointerCode::Default; // what a new window shows
    bool appWasActive_ = false; // the program held the active window before the event being handled

    QLineEdit* screen_ = nullptr;
    QLineEdit* display_ = nullptr;
};

} // namespace tallix
