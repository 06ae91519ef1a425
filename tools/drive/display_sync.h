#pragma once

#include <QAbstractNativeEventFilter>

#include <cstdint>

struct xcb_connection_t;

namespace tallix::drive {

// Handles what the display server has to tell the program. Offscreen everything arrives in this
// process and handling the queued events is enough. On an X server events arrive later than the
// requests that cause them: Sync() sends itself a marker through the server and handles events until
// it is back, so that whatever the server did for any earlier request (a window mapped, moved,
// activated) has reached the windows.
class DisplaySync : public QAbstractNativeEventFilter {
public:
    DisplaySync();
    ~DisplaySync() override;
    DisplaySync(const DisplaySync&) = delete;
    DisplaySync& operator=(const DisplaySync&) = delete;

    // Whether the server told of a window mapped, unmapped, moved or (de)activated meanwhile. False
    // offscreen; false too when the marker doesn't come back (the caller finds the windows unsettled).
    bool Sync();

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;

private:
    xcb_connection_t* connection_ = nullptr; // when on X11
    std::uint32_t window_ = 0; // an unmapped window of the driver's own, which the marker is sent to
    std::uint32_t marker_ = 0; // its message type
    std::uint32_t sent_ = 0;
    std::uint32_t seen_ = 0;
    bool told_ = false;
};

} // namespace tallix::drive
