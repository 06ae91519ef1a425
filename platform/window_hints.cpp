#include "platform/window_hints.h"

#include <QWidget>
#include <QtGui/qtguiglobal.h>

#if defined(TALLIX_HAVE_XCB) && QT_CONFIG(xcb)
#include "platform/x11.h"

#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <memory>

namespace tallix {
namespace {

// The _MOTIF_WM_HINTS property's fields and bits, as Motif's MwmUtil.h numbers them.
constexpr std::uint32_t kHintsFunctions = 1u << 0;
constexpr std::uint32_t kHintsDecorations = 1u << 1;
constexpr std::uint32_t kFunctionResize = 1u << 1;
constexpr std::uint32_t kFunctionMove = 1u << 2;
constexpr std::uint32_t kFunctionMinimize = 1u << 3;
constexpr std::uint32_t kFunctionMaximize = 1u << 4;
constexpr std::uint32_t kFunctionClose = 1u << 5;
constexpr std::uint32_t kDecorationBorder = 1u << 1;
constexpr std::uint32_t kDecorationResizeHandles = 1u << 2;
constexpr std::uint32_t kDecorationTitle = 1u << 3;
constexpr std::uint32_t kDecorationMinimize = 1u << 5;
constexpr std::uint32_t kDecorationMaximize = 1u << 6;

// Adds `state` to the window's _NET_WM_STATE unless it is there; Qt keeps what it finds there when it
// maps the window.
void addNetWmState(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t state) {
    const xcb_atom_t property = InternAtom(connection, "_NET_WM_STATE");
    const std::unique_ptr<xcb_get_property_reply_t, FreeReply> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, property, XCB_ATOM_ATOM, 0, 1024), nullptr));
    if (reply && reply->format == 32) {
        const auto* states = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
        for (int i = 0; i < xcb_get_property_value_length(reply.get()) / 4; ++i)
            if (states[i] == state) return;
    }
    xcb_change_property(connection, XCB_PROP_MODE_APPEND, window, property, XCB_ATOM_ATOM, 32, 1, &state);
}

} // namespace

void SetWindowManagerHints(QWidget& window) {
    xcb_connection_t* connection = QtX11Connection();
    if (!connection || !window.isWindow()) return;
    const auto id = static_cast<xcb_window_t>(window.winId());

    // Qt names the resize function on every window and a window menu with every close box.
    const Qt::WindowFlags flags = window.windowFlags();
    std::uint32_t functions = kFunctionMove;
    std::uint32_t decorations = kDecorationBorder | kDecorationTitle;
    if (window.minimumSize() != window.maximumSize()) {
        functions |= kFunctionResize;
        decorations |= kDecorationResizeHandles;
    }
    if (flags & Qt::WindowCloseButtonHint) functions |= kFunctionClose;
    if (flags & Qt::WindowMinimizeButtonHint) {
        functions |= kFunctionMinimize;
        decorations |= kDecorationMinimize;
    }
    if (flags & Qt::WindowMaximizeButtonHint) {
        functions |= kFunctionMaximize;
        decorations |= kDecorationMaximize;
    }
    const std::array<std::uint32_t, 5> hints{kHintsFunctions | kHintsDecorations, functions, decorations, 0,
                                             0};
    const xcb_atom_t motif = InternAtom(connection, "_MOTIF_WM_HINTS");
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, motif, motif, 32, hints.size(), hints.data());

    if (window.windowType() == Qt::Tool)
        addNetWmState(connection, id, InternAtom(connection, "_NET_WM_STATE_SKIP_TASKBAR"));
    xcb_flush(connection);
}

bool PointerButtonDownAtServer() {
    xcb_connection_t* connection = QtX11Connection();
    if (!connection) return false;
    const std::unique_ptr<xcb_query_pointer_reply_t, FreeReply> reply(xcb_query_pointer_reply(
        connection, xcb_query_pointer(connection, FirstRootWindow(connection)), nullptr));
    constexpr std::uint16_t kButtons = XCB_BUTTON_MASK_1 | XCB_BUTTON_MASK_2 | XCB_BUTTON_MASK_3;
    return reply && (reply->mask & kButtons);
}

} // namespace tallix

#else

namespace tallix {

void SetWindowManagerHints(QWidget&) {}

bool PointerButtonDownAtServer() {
    return false;
}

} // namespace tallix

#endif
