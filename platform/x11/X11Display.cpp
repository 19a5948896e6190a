#include "X11Display.h"

#include <QGuiApplication>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace zumzik {
namespace {

// Enough for any property read here: a frame's four extents, the list of supported hints.
constexpr std::uint32_t kMaxValues = 4096;

} // namespace

xcb_connection_t* X11Display::connection() {
    const auto* app = qGuiApp;
    const auto* x11 = app ? app->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t X11Display::atom(xcb_connection_t* connection, const char* name) {
    const XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 1, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

xcb_window_t X11Display::root(xcb_connection_t* connection, xcb_window_t window) {
    const XcbReply<xcb_get_geometry_reply_t> reply(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr));
    return reply ? reply->root : xcb_window_t{XCB_WINDOW_NONE};
}

std::vector<std::uint32_t> X11Display::values(xcb_connection_t* connection, xcb_window_t window,
                                              xcb_atom_t property) {
    const XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, kMaxValues),
        nullptr));
    if (!reply || reply->format != 32)
        return {};
    const auto* first = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    return {first, first + xcb_get_property_value_length(reply.get()) / 4};
}

} // namespace zumzik
