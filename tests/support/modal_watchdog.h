#pragma once

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>

// Fails the running test on a modal window still up a second later, and closes it, as tallix-drive does:
// without a user such a window would wait forever. Its timer only fires while some event loop runs, that
// is while a modal window holds one.
class ModalWatchdog {
public:
    ModalWatchdog() {
        timer_.setInterval(1000);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Check(); });
        timer_.start();
    }

private:
    void Check() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal != suspect_) {
            suspect_ = modal;
            return;
        }
        suspect_ = nullptr;
        QTest::qFail(qPrintable(QStringLiteral("unexpected modal window: ") + modal->windowTitle()), __FILE__,
                     __LINE__);
        modal->close();
    }

    QTimer timer_;
    QPointer<QWidget> suspect_;
};
