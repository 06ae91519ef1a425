// The start-up benchmark's baseline: the least a Qt Widgets program of the calculator's make-up does
// before its first paint. One window, 26 push buttons and two line edits, laid out like the keypad;
// nothing else. It carries the same first-paint hook as the program, so both are timed alike.
#include "bench/first_paint_probe.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    tallix::WatchFirstPaint(QStringLiteral("BareWindow"));

    QWidget window;
    window.setObjectName(QStringLiteral("BareWindow"));
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.setFixedSize(257, 259);
    auto* screen = new QLineEdit(&window);
    screen->setGeometry(8, 8, 201, 25);
    auto* display = new QLineEdit(&window);
    display->setGeometry(12, 12, 19, 17);
    for (int key = 0; key < 26; ++key) {
        auto* button = new QPushButton(QString::number(key), &window);
        button->setGeometry(8 + (key % 5) * 48, 40 + (key / 5) * 36, 33, 33);
    }
    window.show();
    return app.exec();
}
