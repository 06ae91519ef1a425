#pragma once

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

// QTEST_MAIN with a throwaway settings store (never the user's) and offscreen drawing unless told otherwise.
#define TALLIX_TEST_MAIN(TestObject)                                                                         \
    int main(int argc, char** argv) {                                                                        \
        QTemporaryDir configHome;                                                                            \
        qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());                                         \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");         \
        QApplication app(argc, argv);                                                                        \
        TestObject test;                                                                                     \
        return QTest::qExec(&test, argc, argv);                                                              \
    }
