// The strip copy on a real X server, over a connection of the test's own that it can break.

#include "X11StripCopy.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/socket.h>

using zumzik::X11StripCopy;

namespace {

// A window of the screen's own depth and visual, on a connection of its own.
class StripCopyOnX11 : public ::testing::Test {
protected:
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    xcb_window_t window = XCB_WINDOW_NONE;

    void SetUp() override {
        ASSERT_EQ(xcb_connection_has_error(connection), 0);
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
        window = xcb_generate_id(connection);
        xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 200, 50, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    }
    void TearDown() override { xcb_disconnect(connection); }

    static QImage strip(QRgb colour) {
        QImage image(200, 120, QImage::Format_RGB32);
        image.fill(colour);
        return image;
    }
};

TEST_F(StripCopyOnX11, DeclinesOnceTheConnectionIsBroken) {
    X11StripCopy copy;
    copy.aim(connection, window, QRect(0, 0, 200, 50));
    ASSERT_TRUE(copy.upload(strip(0xff0000), 0xc0c0c0));
    // Shut the socket under xcb's feet, as a server that goes away would.
    const auto previous = std::signal(SIGPIPE, SIG_IGN);
    ::shutdown(xcb_get_file_descriptor(connection), SHUT_RDWR);
    xcb_discard_reply(connection, xcb_get_input_focus(connection).sequence);
    xcb_flush(connection);
    std::signal(SIGPIPE, previous);
    ASSERT_NE(xcb_connection_has_error(connection), 0);
    EXPECT_FALSE(copy.upload(strip(0x00ff00), 0xc0c0c0));
}

} // namespace
