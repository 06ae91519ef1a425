#pragma once

#include "tools/drive/display_sync.h"
#include "tools/drive/modal_watchdog.h"

#include <QEvent>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <initializer_list>
#include <istream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QMessageBox;
class QWidget;
class QWindow;

namespace tallix {
class PlatformSettingsStore;
class Program;
class QtMessageBoxes;
class StoreBackend;
} // namespace tallix

namespace tallix::drive {

// Plays commands, read one a line, on the running program as a user at the desktop would, and prints
// what they ask to see. Everything goes through the program's own windows, controls and store.
class Driver {
public:
    Driver(Program& program, PlatformSettingsStore& store, QtMessageBoxes& boxes);
    ~Driver();

    // Runs every command of `input`, then closes the program's windows as a user would.
    void Run(std::istream& input);
    // Whether any command failed, that is printed an `error:` line.
    bool Failed() const { return failed_; }

private:
    struct Line {
        QString name;
        QString rest;      // everything after the first space
        QStringList words; // `rest` split at spaces
    };
    // Every query prints its own error and gives nothing when it cannot be answered.
    using Answer = std::optional<QString>;
    using Command = void (Driver::*)(const Line&);
    using Query = Answer (Driver::*)();
    using ControlQuery = Answer (Driver::*)(QWidget& control, const QString& target);
    using WindowQuery = Answer (Driver::*)(QWidget& window);

    void execute(QString text);

    void store(const Line& line);
    void unstore(const Line& line);
    // Writes `text` under `key` (nothing removes it), as an outside editor of the store would.
    bool edit(const QString& key, std::optional<std::string> text);
    void start(const Line& line);
    void click(const Line& line);
    void press(const Line& line);
    void release(const Line& line);
    void pressOrRelease(const Line& line, bool press);
    void focus(const Line& line);
    void key(const Line& line);
    void keyDown(const Line& line);
    void keyUp(const Line& line);
    void keys(const Line& line, std::initializer_list<QEvent::Type> steps);
    void type(const Line& line);
    void close(const Line& line);
    void move(const Line& line);
    void restart(const Line& line);
    void print(const Line& line);

    Answer ask(const QString& query);
    Answer screen();
    Answer display();
    Answer title();
    Answer pointer();
    Answer left();
    Answer top();
    Answer open();
    Answer active();
    Answer focused();
    Answer text(QWidget& control, const QString& target);
    Answer state(QWidget& control, const QString& target);
    Answer backColor(QWidget& control, const QString& target);
    Answer rect(QWidget& control, const QString& target);
    Answer windowTitle(QWidget& window);
    Answer windowLeft(QWidget& window);
    Answer windowTop(QWidget& window);
    Answer storedSetting(const QString& key);

    // Starts the program when no window of it is open.
    void ensureRunning();
    // Closes every open window, the main window first, as the user ends a run: the options window
    // with its OK, the only way a user has.
    void closeAll();
    // Lets the program handle what the last step caused, as the desktop's event loop would, until
    // nothing changes any more (on an X server, until the server has told all it did), and plays the
    // window manager's part meanwhile. A command returns only once settled.
    void settle();
    // The window manager's part: when no shown window of the program is active any more (the active one
    // has closed), the one active before it becomes active again. It also activates each window as it
    // shows (NewWindowFocus).
    void reactivateAfterClose();
    void recordActivation(QWindow* window);

    QWidget* findOpenWindow(const QString& name) const;
    QWidget* requireWindow(const QString& name);
    QWidget* resolveTarget(const QString& target);
    Answer mainControlText(const char* name);
    void mouseOver(QWidget& control, bool press, Qt::MouseButton button);

    void answerBox(QMessageBox& box);
    void modalStuck(QWidget& modal);

    void printLine(const QString& line);
    void error(const QString& message);

    Program& program_;
    PlatformSettingsStore& store_;
    // The store itself, as an outside editor and reader sees it: without the program's unsaved changes.
    std::unique_ptr<StoreBackend> storeItself_;
    const std::map<QString, Command> commands_;
    const std::map<QString, Query> queries_;
    const std::map<QString, ControlQuery> controlQueries_;
    const std::map<QString, WindowQuery> windowQueries_;
    ModalWatchdog watchdog_{[this](QWidget& modal) { modalStuck(modal); }};
    std::vector<QPointer<QWidget>> activated_; // the program's windows in the order they were last active
    std::unique_ptr<QObject> newWindowFocus_;
    int activations_ = 0; // changes of the active window so far
    DisplaySync display_;
    bool failed_ = false;
};

} // namespace tallix::drive
