#pragma once

#include <QObject>

#include <memory>

class QWidget;

namespace tallix {

// Where the companion windows open, in twips from the main window's corner.
inline constexpr float kWelcomeBelowMain = 1000;
inline constexpr float kWelcomeLeftOfMain = 700;
inline constexpr float kOptionsRightOfMain = 600;
inline constexpr float kOptionsBelowMain = 500;

class ExperienceWindow;
class Form;
class MessageBoxes;
class OptionsWindow;
class SettingsStore;
class WelcomeWindow;

// The three windows beside the calculator: welcome, options and experience calculator. Each is a single
// instance created on first use, shown without modality and without an owner window; closing one
// unloads it, so its controls start again from their definition at the next load. Being top-level
// windows without a parent, they are owned here: a closed one stays hidden until the next load
// replaces it.
class Companions : public QObject {
    Q_OBJECT

public:
    Companions(SettingsStore& store, MessageBoxes& boxes, QObject* parent = nullptr);
    ~Companions() override;

    // Loads the welcome window and shows it with its frame's corner at `top`, `left` twips; `main` is
    // disabled while it is open.
    void ShowWelcome(QWidget* main, float top, float left);
    // Opens the options window, or brings it to the front without reloading it. It loads at
    // kOptionsRightOfMain right of and kOptionsBelowMain below `main`'s corner.
    void ShowOptions(const Form& main);
    // Opens the experience calculator, or brings it to the front with its texts as they are.
    void ShowExperience();

    // Closes the options window, if open, as its "OK" does: the boxes are written back.
    void CloseOptions();
    // Closes every open window here as the user would: the options window as CloseOptions does, the
    // others with their close controls.
    void CloseAll();

private:
    SettingsStore& store_;
    MessageBoxes& boxes_;
    std::unique_ptr<WelcomeWindow> welcome_;
    std::unique_ptr<OptionsWindow> options_;
    std::unique_ptr<ExperienceWindow> experience_;
};

} // namespace tallix
