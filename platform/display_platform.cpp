#include "platform/display_platform.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QtGui/qtguiglobal.h>

namespace tallix {

bool OnWayland() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace tallix

#if defined(TALLIX_HAVE_XCB) && QT_CONFIG(xcb)
#include <xcb/xcb.h>

namespace tallix {

void ChooseDisplayPlatform() {
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return;
    const bool wayland =
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qgetenv("XDG_SESSION_TYPE") == "wayland";
    if (!wayland || qEnvironmentVariableIsEmpty("DISPLAY")) return;
    // Only an X server that accepts this program: one that turns it away leaves Wayland as Qt's choice.
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    if (answers) qputenv("QT_QPA_PLATFORM", "xcb");
}

} // namespace tallix

#else

namespace tallix {

void ChooseDisplayPlatform() {}

} // namespace tallix

#endif
