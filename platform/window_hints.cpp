#include "platform/window_hints.h"

#include <QGuiApplication>
#include <QWidget>

#if defined(TALLIX_HAVE_XCB) && QT_CONFIG(xcb)
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace tallix {
namespace {

// The _MOTIF_WM_HINTS property's fields and bits, as Motif's MwmUtil.h numbers them.
enum : std::uint32_t {
    kHintsFunctions = 1u << 0,
    kHintsDecorations = 1u << 1,
    kFunctionResize = 1u << 1,
    kFunctionMove = 1u << 2,
    kFunctionMinimize = 1u << 3,
    kFunctionMaximize = 1u << 4,
    kFunctionClose = 1u << 5,
    kDecorationBorder = 1u << 1,
    kDecorationResizeHandles = 1u << 2,
    kDecorationTitle = 1u << 3,
    kDecorationMinimize = 1u << 5,
    kDecorationMaximize = 1u << 6,
};

struct FreeDeleter {
    void operator()(void* reply) const { std::free(reply); }
};

xcb_atom_t internAtom(xcb_connection_t* connection, std::string_view name) {
    const std::unique_ptr<xcb_intern_atom_reply_t, FreeDeleter> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.data()),
        nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// Adds `state` to the window's _NET_WM_STATE unless it is there; Qt keeps what it finds there when it
// maps the window.
void addNetWmState(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t state) {
    const xcb_atom_t property = internAtom(connection, "_NET_WM_STATE");
    const std::unique_ptr<xcb_get_property_reply_t, FreeDeleter> reply(xcb_get_property_reply(
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
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return;
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !window.isWindow()) return;
    xcb_connection_t* connection = x11->connection();
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
    const xcb_atom_t motif = internAtom(connection, "_MOTIF_WM_HINTS");
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, motif, motif, 32, hints.size(), hints.data());

    if (window.windowType() == Qt::Tool)
        addNetWmState(connection, id, internAtom(connection, "_NET_WM_STATE_SKIP_TASKBAR"));
    xcb_flush(connection);
}

bool PointerButtonDownAtServer() {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return false;
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11) return false;
    xcb_connection_t* connection = x11->connection();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const std::unique_ptr<xcb_query_pointer_reply_t, FreeDeleter> reply(
        xcb_query_pointer_reply(connection, xcb_query_pointer(connection, root), nullptr));
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
