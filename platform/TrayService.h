#pragma once

#include <QIcon>
#include <QPoint>
#include <QString>
#include <functional>

namespace zumzik {

// Mouse activity over an icon in the notification area, as the tray service reports it.
enum class TrayMouseMessage {
    Move,
    LeftDown,
    LeftUp,
    LeftDoubleClick,
    RightDown,
    RightUp,
    RightDoubleClick,
    MiddleDown,
    MiddleUp,
    MiddleDoubleClick,
};

// What the notification area shows of one icon: its picture and its tooltip.
struct TrayRecord {
    QIcon icon;
    QString tip;
};

// The desktop's notification area, for one icon. The tray icon component talks to it only through
// this interface, so that tests can record what it would show and feed it mouse activity.
// Every call comes from the thread that the component lives on.
class TrayService {
public:
    using MouseListener = std::function<void(TrayMouseMessage message)>;

    virtual ~TrayService() = default;

    // Whether the desktop has a notification area right now; it can come and go.
    virtual bool available() const = 0;
    // Puts the icon into the notification area; false when the desktop did not take it.
    virtual bool add(const TrayRecord& record) = 0;
    // Replaces the picture and the tooltip of the icon.
    virtual void modify(const TrayRecord& record) = 0;
    // Takes the icon out of the notification area; harmless when it is not there.
    virtual void remove() = 0;

    // The mouse cursor in screen coordinates and the keyboard modifiers held down, read when a
    // mouse message is handled.
    virtual QPoint cursorPosition() const = 0;
    virtual Qt::KeyboardModifiers keyboardModifiers() const = 0;

    // Where the mouse activity over the icon goes; an empty listener stops it.
    virtual void setMouseListener(MouseListener listener) = 0;
};

} // namespace zumzik
