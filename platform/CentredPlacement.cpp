#include "CentredPlacement.h"

#include "WindowManagerFrame.h"

#include <QRect>
#include <QWidget>

namespace zumzik {

void CentredPlacement::place(QWidget& window, const QRect& area) {
    const QMargins frame = WindowManagerFrame::extentsBeforeShowing(window).value_or(QMargins());
    const QSize framed = window.size().grownBy(frame);
    const QPoint frameTopLeft(area.x() + (area.width() - framed.width()) / 2,
                              area.y() + (area.height() - framed.height()) / 2);
    // Placed by its client area: Qt then asks the window manager to leave the client where it is
    // put, rather than to put the frame's corner there, so the frame learnt above decides nothing
    // twice. Qt creates the native window where the window is then.
    window.setGeometry(QRect(frameTopLeft + QPoint(frame.left(), frame.top()), window.size()));
}

} // namespace zumzik
