#pragma once

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <utility>

// As in tallix-drive: a modal window still up a second later would wait for a user forever, so it fails the
// running test and is closed. The timer only fires while an event loop runs, as a modal window's does.
class ModalWatchdog {
public:
    ModalWatchdog() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            const QPointer<QWidget> before = std::exchange(suspect_, modal);
            if (!modal || modal != before) return;
            QTest::qFail(qPrintable("unexpected modal window: " + modal->windowTitle()), __FILE__, __LINE__);
            suspect_ = nullptr;
            modal->close();
        });
        timer_.start(1000);
    }

private:
    QTimer timer_;
    QPointer<QWidget> suspect_;
};
