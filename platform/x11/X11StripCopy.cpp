#include "X11StripCopy.h"

#include "X11Display.h"

#include <QGuiApplication>
#include <QSysInfo>
#include <algorithm>

namespace zumzik {
namespace {

// The strip's pixels are 0xffRRGGBB words in this machine's byte order.
constexpr int kHostImageOrder = QSysInfo::ByteOrder == QSysInfo::LittleEndian
                                    ? int{XCB_IMAGE_ORDER_LSB_FIRST}
                                    : int{XCB_IMAGE_ORDER_MSB_FIRST};

const xcb_visualtype_t* findVisual(const xcb_setup_t* setup, xcb_visualid_t id,
                                   std::uint8_t depth) {
    for (auto screens = xcb_setup_roots_iterator(setup); screens.rem; xcb_screen_next(&screens)) {
        for (auto depths = xcb_screen_allowed_depths_iterator(screens.data); depths.rem;
             xcb_depth_next(&depths)) {
            if (depths.data->depth != depth)
                continue;
            for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem;
                 xcb_visualtype_next(&visuals)) {
                if (visuals.data->visual_id == id)
                    return visuals.data;
            }
        }
    }
    return nullptr;
}

bool hasWordPixels(const xcb_setup_t* setup, std::uint8_t depth) {
    for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem;
         xcb_format_next(&formats)) {
        if (formats.data->depth == depth)
            return formats.data->bits_per_pixel == 32 && formats.data->scanline_pad == 32;
    }
    return false;
}

// What a PutImage request needs besides its pixels, with room to spare.
constexpr std::uint64_t kPutImageHeaderBytes = 64;

} // namespace

void X11StripCopy::aim(xcb_connection_t* connection, xcb_window_t window, const QRect& frame) {
    if (connection != m_connection) {
        release();
        m_connection = connection;
        m_checkedWindow = XCB_WINDOW_NONE;
    }
    m_window = connection ? window : xcb_window_t{XCB_WINDOW_NONE};
    m_frame = frame;
}

bool X11StripCopy::windowTakesStrip() {
    if (m_window == m_checkedWindow)
        return m_checkedWindowFits;
    m_checkedWindow = m_window;
    m_checkedWindowFits = false;
    const auto attributesCookie = xcb_get_window_attributes(m_connection, m_window);
    const auto geometryCookie = xcb_get_geometry(m_connection, m_window);
    const XcbReply<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(m_connection, attributesCookie, nullptr));
    const XcbReply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(m_connection, geometryCookie, nullptr));
    if (!attributes || !geometry)
        return false;
    const xcb_setup_t* setup = xcb_get_setup(m_connection);
    const xcb_visualtype_t* visual = findVisual(setup, attributes->visual, geometry->depth);
    m_checkedWindowFits =
        (geometry->depth == 24 || geometry->depth == 32) && visual &&
        visual->_class == XCB_VISUAL_CLASS_TRUE_COLOR && visual->red_mask == 0xff0000 &&
        visual->green_mask == 0x00ff00 && visual->blue_mask == 0x0000ff &&
        setup->image_byte_order == kHostImageOrder && hasWordPixels(setup, geometry->depth);
    m_depth = geometry->depth;
    return m_checkedWindowFits;
}

bool X11StripCopy::upload(const QImage& strip, QRgb background) {
    if (!aimed() || strip.format() != QImage::Format_RGB32 || strip.isNull() || m_frame.isEmpty() ||
        !windowTakesStrip())
        return false;
    const int padding = m_frame.height();
    if (m_pixmap != XCB_PIXMAP_NONE && m_stripKey == strip.cacheKey() && m_padding == padding &&
        m_pixmapDepth == m_depth)
        return true;
    release();
    const int width = strip.width();
    const int height = strip.height() + 2 * padding;
    if (width > 0x7fff || height > 0x7fff)
        return false;
    // The rows go in pieces that fit the largest request the server takes, which must hold one
    // row at least. A broken connection gives 0 for it; nothing reaches the server then.
    const std::uint64_t largestRequest =
        std::uint64_t(xcb_get_maximum_request_length(m_connection)) * 4;
    const std::uint64_t rowBytes = std::uint64_t(strip.bytesPerLine());
    if (largestRequest < kPutImageHeaderBytes + rowBytes)
        return false;
    const int rowsPerPiece = static_cast<int>(
        std::min<std::uint64_t>((largestRequest - kPutImageHeaderBytes) / rowBytes, 0x7fff));
    const xcb_pixmap_t pixmap = xcb_generate_id(m_connection);
    const XcbReply<xcb_generic_error_t> refused(xcb_request_check(
        m_connection, xcb_create_pixmap_checked(m_connection, m_depth, pixmap, m_window,
                                                static_cast<std::uint16_t>(width),
                                                static_cast<std::uint16_t>(height))));
    if (refused)
        return false; // the server has no room for it
    m_pixmap = pixmap;
    m_context = xcb_generate_id(m_connection);
    // Opaque in a 32-bit window too; and no exposure events, which would wake Qt's reader.
    const std::uint32_t values[] = {0xff000000u | background, 0};
    xcb_create_gc(m_connection, m_context, m_pixmap, XCB_GC_FOREGROUND | XCB_GC_GRAPHICS_EXPOSURES,
                  values);
    const xcb_rectangle_t bands[] = {
        {0, 0, static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(padding)},
        {0, static_cast<std::int16_t>(padding + strip.height()), static_cast<std::uint16_t>(width),
         static_cast<std::uint16_t>(padding)}};
    xcb_poly_fill_rectangle(m_connection, m_pixmap, m_context, 2, bands);
    for (int row = 0; row < strip.height(); row += rowsPerPiece) {
        const int rows = std::min(rowsPerPiece, strip.height() - row);
        xcb_put_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, m_pixmap, m_context,
                      static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(rows), 0,
                      static_cast<std::int16_t>(padding + row), 0, m_depth,
                      static_cast<std::uint32_t>(std::uint64_t(rows) * rowBytes),
                      strip.constScanLine(row));
    }
    m_stripKey = strip.cacheKey();
    m_pixmapDepth = m_depth;
    m_padding = padding;
    m_height = height;
    return true;
}

void X11StripCopy::copy(int top) {
    const int sourceTop = std::clamp(m_padding + top, 0, m_height - m_frame.height());
    xcb_copy_area(
        m_connection, m_pixmap, m_window, m_context, 0, static_cast<std::int16_t>(sourceTop),
        static_cast<std::int16_t>(m_frame.x()), static_cast<std::int16_t>(m_frame.y()),
        static_cast<std::uint16_t>(m_frame.width()), static_cast<std::uint16_t>(m_frame.height()));
    xcb_flush(m_connection);
}

void X11StripCopy::release() {
    if (m_pixmap == XCB_PIXMAP_NONE)
        return;
    // Once the application is gone its connection is too, and the server has freed both.
    if (qGuiApp) {
        xcb_free_gc(m_connection, m_context);
        xcb_free_pixmap(m_connection, m_pixmap);
        xcb_flush(m_connection);
    }
    m_pixmap = XCB_PIXMAP_NONE;
    m_context = 0;
    m_stripKey = 0;
}

} // namespace zumzik
