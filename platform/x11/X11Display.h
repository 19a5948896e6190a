#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>
#include <xcb/xcb.h>

namespace zumzik {

// xcb hands out its replies in memory the caller frees.
struct FreeXcbReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename Reply> using XcbReply = std::unique_ptr<Reply, FreeXcbReply>;

// The X11 connection that Qt's xcb platform already holds, for the few window manager
// conversations that Qt has no interface for. Elsewhere (Wayland, the offscreen platform of the
// tests) there is none, and callers leave the window manager alone.
class X11Display {
public:
    // Qt's connection, or null when the program does not run on X11.
    static xcb_connection_t* connection();
    // The atom of that name, or XCB_ATOM_NONE when no client has made it yet.
    static xcb_atom_t atom(xcb_connection_t* connection, const char* name);
    // The root window of the screen that a window is on.
    static xcb_window_t root(xcb_connection_t* connection, xcb_window_t window);
    // A window's property of 32-bit values (cardinals, atoms), empty when the window lacks it.
    static std::vector<std::uint32_t> values(xcb_connection_t* connection, xcb_window_t window,
                                             xcb_atom_t property);
};

} // namespace zumzik
