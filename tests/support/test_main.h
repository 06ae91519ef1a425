#pragma once

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

// Like QTEST_MAIN, but the settings store lives in a fresh temporary folder for the whole run, so no
// test reads or writes the real user's settings, and windows are drawn offscreen unless told otherwise.
#define TALLIX_TEST_MAIN(TestObject)                                                                         \
    int main(int argc, char** argv) {                                                                        \
        QTemporaryDir configHome;                                                                            \
        qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());                                         \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");         \
        QApplication app(argc, argv);                                                                        \
        TestObject test;                                                                                     \
        return QTest::qExec(&test, argc, argv);                                                              \
    }
