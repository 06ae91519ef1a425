#include "windows/companions/companion_controls.h"

#include <QWidget>

namespace tallix {

void ShowInFront(QWidget& window) {
    // A window being shown for the first time comes up in front anyway; a minimised one comes back.
    if (!window.isVisible()) {
        window.show();
    } else {
        if (window.isMinimized()) window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
        window.raise();
    }
    window.activateWindow();
}

} // namespace tallix
