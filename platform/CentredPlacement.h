#pragma once

class QRect;
class QWidget;

namespace zumzik {

// Places a top-level window, before it is first shown (before its native window is created), so
// that the whole window, the window manager's frame included, is centred on an area of the screen.
// The frame is asked of the window manager beforehand, so the window appears where it belongs
// rather than moving once it is up. Where the frame cannot be known in advance, the client area is
// centred instead, which is off by half the difference between the frame's opposite sides; where
// the window system places windows itself (Wayland), the position is only a wish.
class CentredPlacement {
public:
    static void place(QWidget& window, const QRect& area);
};

} // namespace zumzik
