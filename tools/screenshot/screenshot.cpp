// tallix-screenshot OUTPUT.png: writes the main window as the program shows it at start-up, drawn
// offscreen, for the README and the software centres' listing (scripts/screenshot). The program runs with its
// fonts and an in-memory settings store: a first run with the welcome window turned off, since while it is
// open the main window is disabled and its keys look greyed. The picture is drawn at the scale factor that
// QT_SCALE_FACTOR sets.

#include "resources/resources.h"
#include "settings/settings.h"
#include "tests/support/fake_settings_store.h"
#include "windows/forms/message_boxes.h"
#include "windows/main/main_window.h"
#include "windows/main/program.h"

#include <QApplication>
#include <QPixmap>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: tallix-screenshot OUTPUT.png\n");
        return 2;
    }
    tallix::RegisterFonts();
    tallix::FakeSettingsStore store; // a first run's, never the user's settings
    tallix::WriteText(store, tallix::Setting::ShowWelcome, "0");
    tallix::SilentMessageBoxes boxes; // start-up shows none
    tallix::Program program(store, boxes);
    program.Start();
    tallix::MainWindow* window = program.Main();
    if (!window || !window->grab().toImage().save(args[1], "PNG")) {
        std::fprintf(stderr, "tallix-screenshot: cannot grab the window or write %s\n", qPrintable(args[1]));
        return 1;
    }
    return 0;
}
