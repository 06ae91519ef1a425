#include "tests/packaging/window_grab.h"

#include "resources/resources.h"
#include "tests/support/memory_store.h"
#include "windows/forms/message_boxes.h"
#include "windows/main/main_calc.h"
#include "windows/main/program.h"

#include <QPixmap>

namespace {

// Start-up shows no message box; should one appear all the same, it is left unanswered and unseen.
class SilentMessageBoxes : public tallix::MessageBoxes {
public:
    void Show(QWidget*, const QString&, const QString&, tallix::MessageIcon) override {}
};

} // namespace

QImage GrabMainWindow() {
    tallix::RegisterFonts();
    MemoryStore store;
    // The welcome window off: while it is open the main window is disabled and its keys look greyed.
    store.Seed("ShowPopup", "0");
    SilentMessageBoxes boxes;
    tallix::Program program(store, boxes);
    program.Start();
    tallix::MainCalc* window = program.Main();
    return window ? window->grab().toImage() : QImage();
}
