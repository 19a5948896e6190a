#pragma once

#include <QMargins>
#include <optional>

class QWidget;

namespace zumzik {

// The frame (title bar and borders) that the window manager will put around a top-level window,
// learnt before the window is first shown, so that the window can be placed by its frame and need
// not move once it is on the screen. Only an X11 window manager that answers the frame extents
// request of the extended window manager hints can tell in advance; most do.
class WindowManagerFrame {
public:
    // Asks the window manager about a stand-in of the window's kind, and waits briefly for the
    // answer. Nothing when there is no X11, no such window manager, or no answer in time.
    static std::optional<QMargins> extentsBeforeShowing(const QWidget& window);
};

} // namespace zumzik
