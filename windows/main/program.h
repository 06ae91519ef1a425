#pragma once

#include <memory>

namespace tallix {

class Companions;
class MainWindow;
class MessageBoxes;
class SettingsStore;
struct StoreProblem;

// One run of the program: the main window is the start-up window, and the run lasts until the last of
// the program's windows has closed.
class Program {
public:
    Program(SettingsStore& store, MessageBoxes& boxes);
    ~Program();

    // Starts a run: a fresh main window (and fresh companion windows), loaded as at program start.
    void Start();
    // Closes every window of the run as the user would: the options window with its OK, the others
    // with their close controls, so that each saves what it saves on closing.
    void Close();
    // Ends a run once its windows have closed: what could not be saved during the run is tried again.
    void Finish();
    // True while any window of the run is open (loaded and shown).
    bool Running() const;
    // The current run's main window, or nullptr.
    MainWindow* Main() const;

private:
    void Store_Problem(const StoreProblem& problem);

    SettingsStore& store_;
    MessageBoxes& boxes_;
    bool problemTold_ = false; // the user hears of a broken store once per run
    std::unique_ptr<Companions> companions_;
    // After companions_, so that it goes first. Closing only hides it; Start replaces it.
    std::unique_ptr<MainWindow> main_;
};

} // namespace tallix
