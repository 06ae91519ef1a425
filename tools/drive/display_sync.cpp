#include "tools/drive/display_sync.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QTimer>

#if defined(TALLIX_HAVE_XCB) && QT_CONFIG(xcb)
#define TALLIX_XCB_SYNC
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <string_view>
#endif

namespace tallix::drive {

#ifdef TALLIX_XCB_SYNC

namespace {

xcb_connection_t* xcb(void* connection) {
    return static_cast<xcb_connection_t*>(connection);
}

} // namespace

DisplaySync::DisplaySync() {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return;
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11) return;
    xcb_connection_t* connection = x11->connection();
    constexpr std::string_view kName = "_TALLIX_DRIVE_SYNC";
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, std::uint16_t(kName.size()), kName.data()), nullptr);
    if (!atom) return;
    marker_ = atom->atom;
    std::free(atom);
    // Sent with no event mask, the marker goes to the client that created the window: this one.
    window_ = xcb_generate_id(connection);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window_, root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    connection_ = connection;
    QCoreApplication::instance()->installNativeEventFilter(this);
}

DisplaySync::~DisplaySync() {
    if (!connection_) return;
    QCoreApplication::instance()->removeNativeEventFilter(this);
    xcb_destroy_window(xcb(connection_), window_);
    xcb_flush(xcb(connection_));
}

bool DisplaySync::Sync() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (!connection_) return false;
    told_ = false;
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window_;
    event.type = marker_;
    event.data.data32[0] = ++sent_;
    xcb_send_event(xcb(connection_), 0, window_, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(xcb(connection_));
    // The marker wakes the event loop when it comes; the timer only bounds each wait.
    QTimer tick;
    tick.start(50);
    const QDeadlineTimer deadline(10000);
    while (seen_ != sent_ && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    // Qt hands some of what it read on as events of its own, delivered on the next turn.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return seen_ == sent_ && told_;
}

bool DisplaySync::nativeEventFilter(const QByteArray& type, void* message, qintptr*) {
    if (type != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    switch (event->response_type & 0x7f) {
    case XCB_CLIENT_MESSAGE: {
        const auto* client = static_cast<const xcb_client_message_event_t*>(message);
        if (client->window != window_ || client->type != marker_) return false;
        seen_ = client->data.data32[0];
        return true;
    }
    case XCB_FOCUS_IN:
    case XCB_FOCUS_OUT:
    case XCB_MAP_NOTIFY:
    case XCB_UNMAP_NOTIFY:
    case XCB_CONFIGURE_NOTIFY:
        told_ = true;
        return false;
    default:
        return false;
    }
}

#else

DisplaySync::DisplaySync() = default;
DisplaySync::~DisplaySync() = default;

bool DisplaySync::Sync() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return false;
}

bool DisplaySync::nativeEventFilter(const QByteArray&, void*, qintptr*) {
    return false;
}

#endif

} // namespace tallix::drive
