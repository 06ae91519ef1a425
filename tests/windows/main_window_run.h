#pragma once

#include "tests/support/fake_settings_store.h"
#include "windows/forms/message_boxes.h"
#include "windows/main/feedback_button.h"
#include "windows/main/main_window.h"
#include "windows/main/program.h"

#include <QApplication>

// The program over an in-memory store, and the stand-ins the window tests put around it.
namespace tallix {

// A first run over an in-memory store with the welcome window off; tests seed the rest.
struct MainWindowRun {
    FakeSettingsStore store;
    SilentMessageBoxes boxes;
    Program program{store, boxes};

    MainWindowRun() { store.Seed("ShowPopup", "0"); }
    MainWindow& Start() {
        program.Start();
        return *program.Main();
    }
    MainWindow& main() const { return *program.Main(); }
    FeedbackButton* key(const char* name) const {
        return main().findChild<FeedbackButton*>(QString::fromLatin1(name));
    }
};

// Closed windows are deleted, and report their closing, on the event loop's next turn.
inline void DeleteClosedWindows() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Reports the program active just before the window activates, as Qt does on a return from another program.
class ReturnFromOtherProgram : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::ActivationChange && !reported_) {
            reported_ = true;
            emit qApp->applicationStateChanged(Qt::ApplicationActive);
        }
        return false;
    }

private:
    bool reported_ = false;
};

} // namespace tallix
