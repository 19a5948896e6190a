#include "WindowManagerFrame.h"

#include "X11Display.h"

#include <QElapsedTimer>
#include <QThread>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cmath>

namespace zumzik {
namespace {

// A window manager answers within a millisecond; a busy one that takes longer than this costs a
// window placed by its client area rather than a start-up that waits.
constexpr qint64 kAnswerMilliseconds = 500;

} // namespace

std::optional<QMargins> WindowManagerFrame::extentsBeforeShowing(const QWidget& window) {
    xcb_connection_t* connection = X11Display::connection();
    if (!connection)
        return std::nullopt;
    // The window manager is asked about a stand-in with the window's kind, decorations and size
    // limits, which decide the frame, rather than about the window itself: that would need the
    // window's native window now, and Qt loses a minimised start of a native window that was
    // placed before it was first shown.
    QWindow standIn;
    standIn.setFlags(window.windowFlags());
    standIn.setMinimumSize(window.minimumSize());
    standIn.setMaximumSize(window.maximumSize());
    standIn.resize(window.size());
    standIn.create();
    const auto id = static_cast<xcb_window_t>(standIn.winId());
    const xcb_window_t root = X11Display::root(connection, id);
    const xcb_atom_t request = X11Display::atom(connection, "_NET_REQUEST_FRAME_EXTENTS");
    const xcb_atom_t extents = X11Display::atom(connection, "_NET_FRAME_EXTENTS");
    if (root == XCB_WINDOW_NONE || request == XCB_ATOM_NONE || extents == XCB_ATOM_NONE)
        return std::nullopt;
    // A window manager that does not list the request would leave the wait to run out.
    const std::vector<std::uint32_t> supported =
        X11Display::values(connection, root, X11Display::atom(connection, "_NET_SUPPORTED"));
    if (std::find(supported.begin(), supported.end(), request) == supported.end())
        return std::nullopt;

    // The window manager answers by setting the frame's extents on the unmapped window, from the
    // type and hints that Qt gave it when it created it.
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = request;
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection);

    // The answer comes as a property change to Qt's own event reader, so it is read back here
    // until it is there.
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        const std::vector<std::uint32_t> frame = X11Display::values(connection, id, extents);
        if (frame.size() >= 4) {
            // Left, right, top, bottom, in the screen's pixels.
            const qreal ratio = window.devicePixelRatioF();
            const auto logical = [ratio](std::uint32_t pixels) {
                return static_cast<int>(std::lround(pixels / ratio));
            };
            return QMargins(logical(frame[0]), logical(frame[2]), logical(frame[1]),
                            logical(frame[3]));
        }
        if (waited.elapsed() >= kAnswerMilliseconds)
            return std::nullopt;
        QThread::msleep(1);
    }
}

} // namespace zumzik
