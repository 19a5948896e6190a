#include "TRxTrayIcon.h"

#include "ApplicationErrorReport.h"

#include <QAction>
#include <QCoreApplication>
#include <QWidget>
#include <algorithm>

namespace zumzik {
namespace {

// The notification area takes tips of up to 63 characters.
constexpr int kTipLength = 63;

TShiftState shiftState(Qt::KeyboardModifiers modifiers) {
    TShiftState shift;
    if (modifiers & Qt::ShiftModifier)
        shift |= ssShift;
    if (modifiers & Qt::ControlModifier)
        shift |= ssCtrl;
    if (modifiers & Qt::AltModifier)
        shift |= ssAlt;
    return shift;
}

} // namespace

TRxTrayIcon::TRxTrayIcon(TrayService& service, QObject* parent)
    : QObject(parent), m_service(service), m_icon(std::make_unique<TIcon>()),
      m_icons(std::make_unique<TIconList>()) {
    connect(&m_frameTimer, &QTimer::timeout, this, &TRxTrayIcon::FrameTimerTimeout);
    m_icon->SetOnChange([this](TIcon*) { RefreshIcon(); });
    m_icons->SetOnChange([this](TIconList*) { RefreshIcon(); });
    m_service.setMouseListener([this](TrayMouseMessage message) { MouseMessage(message); });
}

TRxTrayIcon::~TRxTrayIcon() {
    m_enabled = false;
    m_destroying = true;
    m_service.setMouseListener({});
    m_icons->SetOnChange({});
    m_icon->SetOnChange({});
    // Animation off without the refresh that would show the still picture just before removal.
    m_animated = false;
    m_frameTimer.stop();
    RemoveFromTray();
}

void TRxTrayIcon::Loaded() {
    if (m_active)
        AddToTray();
}

void TRxTrayIcon::SetActive(bool value) {
    if (value == m_active)
        return;
    m_active = value;
    if (m_active)
        AddToTray();
    else
        RemoveFromTray();
}

void TRxTrayIcon::SetHint(const QString& value) {
    if (value == m_hint)
        return;
    m_hint = value;
    m_tip = ShortHint().left(kTipLength);
    RefreshIcon();
}

void TRxTrayIcon::SetAnimated(bool value) {
    const bool effective = value && m_icons->Count() > 0;
    if (effective == m_animated)
        return;
    m_animated = effective;
    // Off, the animation stops at once; on, the first step comes one interval after frame 0.
    m_frameTimer.stop();
    PauseAnimation(!m_shown);
    m_frameIndex = 0;
    RefreshIcon();
}

TIcon* TRxTrayIcon::CurrentIcon() const {
    const int count = m_icons->Count();
    if (m_animated && count > 0)
        return m_icons->Icons(std::max(std::min(m_frameIndex, count - 1), 0));
    return m_icon.get();
}

QString TRxTrayIcon::ShortHint() const {
    return m_hint.section(QLatin1Char('|'), 0, 0);
}

void TRxTrayIcon::FillNotifyRecord() {
    const TIcon* icon = CurrentIcon();
    m_record.icon = icon ? icon->Handle() : QIcon();
    m_record.tip = m_tip;
}

void TRxTrayIcon::AddToTray() {
    RemoveFromTray();
    const TIcon* icon = CurrentIcon();
    if (!icon || icon->Empty())
        return;
    m_pressed = 0;
    FillNotifyRecord();
    m_shown = m_service.add(m_record);
    if (m_tip.isEmpty() && m_shown)
        m_service.modify(m_record);
    // Also when the add failed: the next step refreshes, and so tries the add again.
    PauseAnimation(false);
}

void TRxTrayIcon::RemoveFromTray() {
    m_service.remove();
    m_shown = false;
    m_pressed = 0;
    PauseAnimation(true);
}

void TRxTrayIcon::PauseAnimation(bool paused) {
    if (!m_animated)
        return;
    if (paused)
        m_frameTimer.stop();
    else if (!m_frameTimer.isActive())
        m_frameTimer.start(m_interval);
}

void TRxTrayIcon::FrameTimerTimeout() {
    // The pause that starts now takes the interval as it is now.
    if (m_frameTimer.interval() != m_interval)
        m_frameTimer.setInterval(m_interval);
    try {
        AdvanceFrame();
    } catch (...) {
        ApplicationErrorReport::reportCurrentException();
    }
}

void TRxTrayIcon::RefreshIcon() {
    if (m_icons->Count() == 0)
        SetAnimated(false);
    if (m_shown) {
        const TIcon* icon = CurrentIcon();
        if (!icon || icon->Empty()) {
            RemoveFromTray();
        } else {
            FillNotifyRecord();
            m_service.modify(m_record);
        }
    } else if (m_active) {
        AddToTray();
    }
}

void TRxTrayIcon::AdvanceFrame() {
    if (m_destroying || !m_animated)
        return;
    if (++m_frameIndex >= m_icons->Count())
        m_frameIndex = 0;
    RefreshIcon();
}

bool TRxTrayIcon::PopupAtCursor(int x, int y) {
    if (!m_active || !m_popupMenu || !m_popupMenu->AutoPopup())
        return false;
    m_popupMenu->SetPopupComponent(this);
    // A drag or a mouse grab under way would keep the menu from getting the mouse.
    if (!m_destroying) {
        if (QWidget* grabber = QWidget::mouseGrabber())
            grabber->releaseMouse();
    }
    QCoreApplication::processEvents();
    m_popupMenu->exec(QPoint(x, y));
    return true;
}

bool TRxTrayIcon::ClickDefaultItem() {
    if (!m_active || !m_popupMenu || m_popupMenu->actions().isEmpty())
        return false;
    QAction* item = m_popupMenu->defaultAction();
    if (!item || !item->isEnabled() || !m_popupMenu->actions().contains(item))
        return false;
    item->trigger();
    return true;
}

void TRxTrayIcon::MouseMessage(TrayMouseMessage message) {
    if (!m_enabled)
        return;
    const QPoint cursor = m_service.cursorPosition();
    const int x = cursor.x();
    const int y = cursor.y();
    const TShiftState shift = shiftState(m_service.keyboardModifiers());
    try {
        switch (message) {
        case TrayMouseMessage::Move: DispatchMouseMove(shift, x, y); break;
        case TrayMouseMessage::LeftDown:
            DispatchMouseDown(mbLeft, shift | ssLeft, x, y);
            m_pressed |= LeftPressed;
            break;
        case TrayMouseMessage::LeftUp: ButtonUp(LeftPressed, mbLeft, shift | ssLeft, x, y); break;
        case TrayMouseMessage::LeftDoubleClick:
            DispatchDoubleClick();
            DispatchMouseDown(mbLeft, shift | ssDouble, x, y);
            break;
        case TrayMouseMessage::RightDown:
            DispatchMouseDown(mbRight, shift | ssRight, x, y);
            m_pressed |= RightPressed;
            break;
        case TrayMouseMessage::RightUp:
            ButtonUp(RightPressed, mbRight, shift | ssRight, x, y);
            break;
        case TrayMouseMessage::RightDoubleClick:
            DispatchMouseDown(mbRight, shift | ssDouble, x, y);
            break;
        case TrayMouseMessage::MiddleDown:
            DispatchMouseDown(mbMiddle, shift | ssMiddle, x, y);
            break;
        case TrayMouseMessage::MiddleUp: DispatchMouseUp(mbMiddle, shift | ssMiddle, x, y); break;
        case TrayMouseMessage::MiddleDoubleClick:
            DispatchMouseDown(mbMiddle, shift | ssDouble, x, y);
            break;
        }
    } catch (...) {
        ApplicationErrorReport::reportCurrentException();
    }
}

void TRxTrayIcon::ButtonUp(PressedButton pressed, TMouseButton button, TShiftState shift, int x,
                           int y) {
    if (m_pressed & pressed) {
        m_pressed &= ~pressed;
        DispatchClick(button, shift, x, y);
    }
    DispatchMouseUp(button, shift, x, y);
}

void TRxTrayIcon::DispatchDoubleClick() {
    if (ClickDefaultItem())
        return;
    if (m_onDblClick)
        m_onDblClick(this);
}

void TRxTrayIcon::DispatchClick(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbRight && PopupAtCursor(x, y))
        return;
    if (m_onClick)
        m_onClick(this, button, shift, x, y);
}

void TRxTrayIcon::DispatchMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (m_onMouseDown)
        m_onMouseDown(this, button, shift, x, y);
}

void TRxTrayIcon::DispatchMouseMove(TShiftState shift, int x, int y) {
    if (m_onMouseMove)
        m_onMouseMove(this, shift, x, y);
}

void TRxTrayIcon::DispatchMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (m_onMouseUp)
        m_onMouseUp(this, button, shift, x, y);
}

} // namespace zumzik
