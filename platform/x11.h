#pragma once

#include <cstdint>
#include <cstdlib>
#include <string_view>

struct xcb_connection_t;

namespace tallix {

// Qt's own connection to the X server, for what Qt has no call for. Null unless the program runs on
// Qt's xcb platform (and is built with the X client library).
xcb_connection_t* QtX11Connection();

// The atom of that name on the connection's server; None (0) when the server gives no answer.
std::uint32_t InternAtom(xcb_connection_t* connection, std::string_view name);

// The root window of the connection's first screen.
std::uint32_t FirstRootWindow(xcb_connection_t* connection);

// Frees a reply of the X client library, which allocates each with malloc:
// std::unique_ptr<xcb_..._reply_t, FreeReply>.
struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};

} // namespace tallix
