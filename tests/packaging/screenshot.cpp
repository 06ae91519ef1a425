// tallix-screenshot OUTPUT.png: writes the main window as the program shows it at start-up, for the
// README and the software centre's listing. scripts/screenshot runs it offscreen.

#include "tests/packaging/window_grab.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: tallix-screenshot OUTPUT.png\n");
        return 2;
    }
    const QImage picture = GrabMainWindow();
    if (picture.isNull() || !picture.save(args[1], "PNG")) {
        std::fprintf(stderr, "tallix-screenshot: cannot grab the window or write %s\n", qPrintable(args[1]));
        return 1;
    }
    return 0;
}
