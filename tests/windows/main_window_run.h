#pragma once

#include "resources/resources.h"
#include "settings/memory_store.h"
#include "tests/support/test_main.h"
#include "windows/forms/message_boxes.h"
#include "windows/main/feedback_button.h"
#include "windows/main/main_calc.h"
#include "windows/main/program.h"

#include <QLineEdit>
#include <QWindow>

// One run of the program over an in-memory store that starts as on a first run, less what a test seeds.
struct MainWindowRun {
    tallix::MemoryStore store;
    tallix::SilentMessageBoxes boxes;
    tallix::Program program{store, boxes};

    tallix::MainCalc& Start() {
        program.Start();
        return *program.Main();
    }
    tallix::MainCalc& main() const { return *program.Main(); }
    tallix::FeedbackButton* key(const char* name) const {
        return main().findChild<tallix::FeedbackButton*>(QString::fromLatin1(name));
    }
    QString screen() const { return main().findChild<QLineEdit*>(QStringLiteral("Screen"))->text(); }

    // The mouse goes through the window, as on a desktop: a release goes to the control that got the press.
    QPoint centreOf(const QWidget* control) const {
        return control->mapTo(&main(), control->rect().center());
    }
    void press(const QWidget* control, Qt::MouseButton button = Qt::LeftButton) const {
        QTest::mousePress(main().windowHandle(), button, {}, centreOf(control));
    }
    void release(const QWidget* control, Qt::MouseButton button = Qt::LeftButton) const {
        QTest::mouseRelease(main().windowHandle(), button, {}, centreOf(control));
    }
};
