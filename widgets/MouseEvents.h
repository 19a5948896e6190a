#pragma once

#include <QFlags>
#include <QObject>
#include <functional>

namespace zumzik {

// The mouse button of a mouse event.
enum TMouseButton { mbLeft, mbRight, mbMiddle };

// The keys and buttons held down during a mouse event; ssDouble marks the press of a double click.
enum TShiftStateFlag {
    ssShift = 0x01,
    ssAlt = 0x02,
    ssCtrl = 0x04,
    ssLeft = 0x08,
    ssRight = 0x10,
    ssMiddle = 0x20,
    ssDouble = 0x40,
};
using TShiftState = QFlags<TShiftStateFlag>;
Q_DECLARE_OPERATORS_FOR_FLAGS(TShiftState)

// Event handlers of the components; the sender is the component that raises the event, and X and
// Y are where the mouse was.
using TNotifyEvent = std::function<void(QObject* sender)>;
using TMouseEvent =
    std::function<void(QObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(QObject* sender, TShiftState shift, int x, int y)>;

} // namespace zumzik
