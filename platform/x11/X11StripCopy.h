#pragma once

#include <QImage>
#include <QRect>
#include <xcb/xcb.h>

namespace zumzik {

// A strip of pre-drawn rows kept as a pixmap on the X server, with a frame's height of background
// above and below it, so that any frame of a scroll through it reaches the window as one copy
// inside the server: nothing is painted, no pixels travel and no reply is awaited, so a tick
// needs neither the user-interface thread nor Qt's event reader.
//
// It is used only where the window takes the strip's pixels as they are: on X11, for a 24- or
// 32-bit true-colour window whose pixels are 32 bits in this machine's byte order. Anywhere else
// upload() declines and the caller paints as usual.
//
// Not thread-safe itself: its owner serialises every call. Any thread may send requests on Qt's
// connection, since xcb serialises them.
class X11StripCopy {
public:
    X11StripCopy() = default;
    ~X11StripCopy() { release(); }
    X11StripCopy(const X11StripCopy&) = delete;
    X11StripCopy& operator=(const X11StripCopy&) = delete;

    // Where the frames go: a window on Qt's connection and the frame's rectangle in it, in
    // device pixels; a null window stops the copies.
    void aim(xcb_connection_t* connection, xcb_window_t window, const QRect& frame);
    bool aimed() const { return m_window != XCB_WINDOW_NONE; }
    // Puts strip on the server with a frame's height of background above and below, unless it is
    // there already for this frame and window. False when there is no target or the target window
    // cannot take the pixels; called before every copy, since the target may have changed.
    bool upload(const QImage& strip, QRgb background);
    // Copies onto the target the frame whose top row is row top of the strip (rows outside it
    // show the background) and sends the request at once. Only after a successful upload().
    void copy(int top);
    // Frees the server's pixmap; the next upload() puts the strip there again.
    void release();

private:
    // Whether the target window's pixels are the strip's, asked of the server once per window.
    bool windowTakesStrip();

    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_window = XCB_WINDOW_NONE;
    QRect m_frame;
    xcb_window_t m_checkedWindow = XCB_WINDOW_NONE;
    bool m_checkedWindowFits = false;
    std::uint8_t m_depth = 0;
    xcb_pixmap_t m_pixmap = XCB_PIXMAP_NONE;
    xcb_gcontext_t m_context = 0;
    // What is on the server: the strip's cache key, its depth and the background rows around it.
    qint64 m_stripKey = 0;
    std::uint8_t m_pixmapDepth = 0;
    int m_padding = 0;
    int m_height = 0;
};

} // namespace zumzik
