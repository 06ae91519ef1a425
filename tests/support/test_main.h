#pragma once

#include "tools/drive/modal_watchdog.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

// QTEST_MAIN with a throwaway settings store (never the user's), offscreen drawing unless told otherwise,
// and no modal window left waiting for a user.
#define TALLIX_TEST_MAIN(TestObject)                                                                         \
    int main(int argc, char** argv) {                                                                        \
        QTemporaryDir configHome;                                                                            \
        qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());                                         \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");         \
        QApplication app(argc, argv);                                                                        \
        tallix::ModalWatchdog watchdog([](QWidget& modal) {                                                  \
            QTest::qFail(qPrintable("unexpected modal window: " + modal.windowTitle()), __FILE__, __LINE__); \
            modal.close();                                                                                   \
        });                                                                                                  \
        TestObject test;                                                                                     \
        return QTest::qExec(&test, argc, argv);                                                              \
    }
