#include "resources/resources.h"
#include "settings/platform_settings_store.h"
#include "tools/drive/driver.h"
#include "windows/forms/message_boxes.h"
#include "windows/main/program.h"

#include <QApplication>

#include <iostream>

// tallix-drive: runs the program in this process and plays the commands read on standard input on
// its windows; see driver.h.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The script decides when the run ends, not the last window that closes.
    QApplication::setQuitOnLastWindowClosed(false);
    tallix::RegisterFonts();

    tallix::PlatformSettingsStore store;
    tallix::QtMessageBoxes boxes;
    tallix::Program program(store, boxes);
    tallix::drive::Driver driver(program, store, boxes);
    driver.Run(std::cin);
    return driver.Failed() ? 1 : 0;
}
