#include "platform/display_platform.h"

#include <QByteArray>
#include <QtGui/qtguiglobal.h>

#if defined(TALLIX_HAVE_XCB) && QT_CONFIG(xcb)
#define TALLIX_XWAYLAND_FIRST
#include <xcb/xcb.h>
#endif

namespace tallix {

void ChooseDisplayPlatform() {
#ifdef TALLIX_XWAYLAND_FIRST
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return;
    const bool wayland =
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qgetenv("XDG_SESSION_TYPE") == "wayland";
    if (!wayland || qEnvironmentVariableIsEmpty("DISPLAY")) return;
    // Only an X server that accepts this program: one that turns it away leaves Wayland as Qt's choice.
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    if (answers) qputenv("QT_QPA_PLATFORM", "xcb");
#endif
}

} // namespace tallix
