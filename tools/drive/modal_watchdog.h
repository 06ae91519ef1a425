#pragma once

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <utility>

namespace tallix {

// A modal window still up a second later would wait for a user forever: it is handed to `stuck`, which
// answers or closes it. The timer only fires while an event loop runs, as a modal window's does.
class ModalWatchdog {
public:
    explicit ModalWatchdog(std::function<void(QWidget& modal)> stuck) {
        QObject::connect(&timer_, &QTimer::timeout, [this, stuck = std::move(stuck)] {
            QWidget* modal = QApplication::activeModalWidget();
            const QPointer<QWidget> before = std::exchange(suspect_, modal);
            if (!modal || modal != before) return;
            suspect_ = nullptr;
            stuck(*modal);
        });
        timer_.start(1000);
    }

private:
    QTimer timer_;
    QPointer<QWidget> suspect_;
};

} // namespace tallix
