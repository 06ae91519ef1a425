#include "platform/x11.h"

#include <QGuiApplication>

#if defined(TALLIX_HAVE_XCB) && QT_CONFIG(xcb)
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <memory>

namespace tallix {

xcb_connection_t* QtX11Connection() {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

std::uint32_t InternAtom(xcb_connection_t* connection, std::string_view name) {
    const std::unique_ptr<xcb_intern_atom_reply_t, FreeReply> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.data()),
        nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

std::uint32_t FirstRootWindow(xcb_connection_t* connection) {
    return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

} // namespace tallix

#else

namespace tallix {

xcb_connection_t* QtX11Connection() {
    return nullptr;
}

std::uint32_t InternAtom(xcb_connection_t*, std::string_view) {
    return 0;
}

std::uint32_t FirstRootWindow(xcb_connection_t*) {
    return 0;
}

} // namespace tallix

#endif
