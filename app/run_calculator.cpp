#include "app/run_calculator.h"

#include "platform/unix_signals.h"
#include "resources/resources.h"
#include "settings/platform_settings_store.h"
#include "windows/forms/message_boxes.h"
#include "windows/main/program.h"

#include <QApplication>

namespace tallix {

int RunCalculator(QApplication& app) {
    RegisterFonts();
    PlatformSettingsStore store;
    QtMessageBoxes boxes;
    Program program(store, boxes);
    // The run ends when its last window closes (QApplication's quitOnLastWindowClosed).
    program.Start();
    CloseOnStopSignals([&program] { program.Close(); });
    const int status = app.exec();
    program.Finish(); // waits for the last saves
    return status;
}

} // namespace tallix
