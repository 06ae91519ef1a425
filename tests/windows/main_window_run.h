#pragma once

#include "tests/support/memory_store.h"
#include "windows/forms/message_boxes.h"
#include "windows/main/feedback_button.h"
#include "windows/main/main_calc.h"
#include "windows/main/program.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QWindow>

#include <memory>
#include <utility>
#include <vector>

// Message boxes as a user who answers every box with OK at once; each is recorded.
class RecordingBoxes : public tallix::MessageBoxes {
public:
    struct Shown {
        QString title;
        QString text;
        tallix::MessageIcon icon;
    };

    void Show(QWidget*, const QString& title, const QString& text, tallix::MessageIcon icon) override {
        shown.push_back({title, text, icon});
    }

    std::vector<Shown> shown;
};

// One run of the program over an in-memory store that starts as on a first run, less what a test seeds.
struct MainWindowRun {
    MemoryStore store;
    RecordingBoxes boxes;
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
    QString display() const { return main().findChild<QLineEdit*>(QStringLiteral("Display"))->text(); }

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
    void click(const char* name) const {
        press(key(name));
        release(key(name));
    }
};

// A window of the program by its name, when it is open.
inline QWidget* openWindow(const QString& name) {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == name && widget->isVisible()) return widget;
    return nullptr;
}
