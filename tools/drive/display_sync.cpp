#include "tools/drive/display_sync.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>
#include <QtGui/qtguiglobal.h>

#if defined(TALLIX_HAVE_XCB) && QT_CONFIG(xcb)
#include "platform/x11.h"

#include <xcb/xcb.h>

namespace tallix::drive {

DisplaySync::DisplaySync() {
    xcb_connection_t* connection = QtX11Connection();
    if (!connection) return;
    marker_ = InternAtom(connection, "_TALLIX_DRIVE_SYNC");
    if (marker_ == XCB_ATOM_NONE) return;
    // Sent with no event mask, the marker goes to the client that created the window: this one.
    window_ = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window_, FirstRootWindow(connection), 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    connection_ = connection;
    QCoreApplication::instance()->installNativeEventFilter(this);
}

DisplaySync::~DisplaySync() {
    if (!connection_) return;
    QCoreApplication::instance()->removeNativeEventFilter(this);
    xcb_destroy_window(connection_, window_);
    xcb_flush(connection_);
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
    xcb_send_event(connection_, 0, window_, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
    xcb_flush(connection_);
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

} // namespace tallix::drive

#else

namespace tallix::drive {

DisplaySync::DisplaySync() = default;
DisplaySync::~DisplaySync() = default;

bool DisplaySync::Sync() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return false;
}

bool DisplaySync::nativeEventFilter(const QByteArray&, void*, qintptr*) {
    return false;
}

} // namespace tallix::drive

#endif
