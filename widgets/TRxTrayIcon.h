#pragma once

#include "MouseEvents.h"
#include "TIcon.h"
#include "TIconList.h"
#include "TPopupMenu.h"
#include "TrayService.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <memory>

namespace zumzik {

// An icon with a tooltip in the desktop's notification area. It can animate the icon through the
// frames of Icons, one step every Interval milliseconds, and it turns mouse activity over the icon
// into mouse events: down, up, move, click and double click; with a PopupMenu, a right click shows
// the menu and a double click runs its default item.
//
// The component lives on the user-interface thread and everything it does happens there,
// animation included: a frame timer of that thread's event loop makes the steps, so refreshes never
// interleave, the tray service is only called from that thread, and no step outlives the
// component. The timer runs only while the icon animates and is in the notification area; a
// still icon, or one taken out, costs no wake-up at all.
class TRxTrayIcon : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE SetActive)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool Animated READ Animated WRITE SetAnimated)
    Q_PROPERTY(quint16 Interval READ Interval WRITE SetInterval)
    Q_PROPERTY(bool ShowDesign READ ShowDesign WRITE SetShowDesign)
public:
    // The service stands for the icon's place in the notification area; it outlives the
    // component. Nothing is shown until Loaded or a change of Icon, Icons or Hint.
    explicit TRxTrayIcon(TrayService& service, QObject* parent = nullptr);
    ~TRxTrayIcon() override;

    // Called by the owner once it has set the properties: puts the icon into the notification
    // area afresh when Active.
    virtual void Loaded();

    bool Active() const { return m_active; }
    void SetActive(bool value);
    // While false, mouse activity is ignored; the icon stays and keeps animating.
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool value) { m_enabled = value; }
    // The tooltip is the text before the first "|", cut to 63 characters.
    const QString& Hint() const { return m_hint; }
    void SetHint(const QString& value);
    // The still picture. Changes inside it refresh the icon.
    TIcon* Icon() const { return m_icon.get(); }
    void SetIcon(const TIcon* value) { m_icon->Assign(value); }
    // The animation frames. Changes inside the list refresh the icon.
    TIconList* Icons() const { return m_icons.get(); }
    void SetIcons(const TIconList* value) { m_icons->Assign(value); }
    // Switching animation on needs at least one frame; without one it stays off.
    bool Animated() const { return m_animated; }
    void SetAnimated(bool value);
    // Milliseconds between frames; read afresh before every pause, so a change applies from the
    // pause after the one under way.
    quint16 Interval() const { return m_interval; }
    void SetInterval(quint16 value) { m_interval = value; }
    // Becomes none by itself when the menu is destroyed.
    TPopupMenu* PopupMenu() const { return m_popupMenu; }
    void SetPopupMenu(TPopupMenu* value) { m_popupMenu = value; }
    // Only a form designer would show the icon while designing; at run time it does nothing.
    bool ShowDesign() const { return m_showDesign; }
    void SetShowDesign(bool value) { m_showDesign = value; }

    void SetOnClick(TMouseEvent handler) { m_onClick = std::move(handler); }
    void SetOnDblClick(TNotifyEvent handler) { m_onDblClick = std::move(handler); }
    void SetOnMouseMove(TMouseMoveEvent handler) { m_onMouseMove = std::move(handler); }
    void SetOnMouseDown(TMouseEvent handler) { m_onMouseDown = std::move(handler); }
    void SetOnMouseUp(TMouseEvent handler) { m_onMouseUp = std::move(handler); }

    // The picture to show now: the current frame while animated, the still picture otherwise.
    TIcon* CurrentIcon() const;
    void AddToTray();
    void RemoveFromTray();
    // Brings the notification area up to date: modifies a shown icon, takes it out when the
    // current picture is empty, and tries again to add an icon that is not shown while Active.
    void RefreshIcon();
    // One animation step: the next frame, back to the first after the last.
    void AdvanceFrame();
    // Shows PopupMenu at the screen position when it may pop up; true when it was shown.
    bool PopupAtCursor(int x, int y);
    // Runs the menu's enabled default item; true when there was one.
    bool ClickDefaultItem();

    // Whether the icon is in the notification area, as far as the component knows.
    bool Shown() const { return m_shown; }
    int FrameIndex() const { return m_frameIndex; }

protected:
    // Fills the record sent to the tray service from the current picture and the hint.
    virtual void FillNotifyRecord();
    const TrayRecord& NotifyRecord() const { return m_record; }

    virtual void DispatchDoubleClick();
    virtual void DispatchClick(TMouseButton button, TShiftState shift, int x, int y);
    virtual void DispatchMouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void DispatchMouseMove(TShiftState shift, int x, int y);
    virtual void DispatchMouseUp(TMouseButton button, TShiftState shift, int x, int y);

private:
    enum PressedButton { LeftPressed = 0x1, RightPressed = 0x2 };

    QString ShortHint() const;
    void MouseMessage(TrayMouseMessage message);
    void ButtonUp(PressedButton pressed, TMouseButton button, TShiftState shift, int x, int y);
    // Stops the frame timer while the icon is out of the notification area, and starts it again
    // with a full interval once it is back, for as long as the icon animates.
    void PauseAnimation(bool paused);
    void FrameTimerTimeout();

    TrayService& m_service;
    std::unique_ptr<TIcon> m_icon;
    std::unique_ptr<TIconList> m_icons;
    QString m_hint;
    // The tooltip that the hint gives, worked out when the hint changes rather than per frame.
    QString m_tip;
    QPointer<TPopupMenu> m_popupMenu;
    TrayRecord m_record;
    QTimer m_frameTimer;
    quint16 m_interval = 150;
    int m_frameIndex = 0;
    int m_pressed = 0;
    bool m_active = true;
    bool m_enabled = true;
    bool m_animated = false;
    bool m_shown = false;
    bool m_showDesign = false;
    bool m_destroying = false;

    TMouseEvent m_onClick;
    TNotifyEvent m_onDblClick;
    TMouseMoveEvent m_onMouseMove;
    TMouseEvent m_onMouseDown;
    TMouseEvent m_onMouseUp;
};

} // namespace zumzik
