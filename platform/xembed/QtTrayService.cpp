#include "QtTrayService.h"

#include <QCursor>
#include <QGuiApplication>
#include <QThread>

namespace zumzik {

QtTrayService::QtTrayService(QObject* parent) : QObject(parent) {
    connect(&m_icon, &QSystemTrayIcon::activated, this, &QtTrayService::activated);
}

bool QtTrayService::available() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool QtTrayService::add(const TrayRecord& record) {
    modify(record);
    // A visible QSystemTrayIcon also moves into a notification area that appears later.
    m_icon.show();
    return available();
}

void QtTrayService::modify(const TrayRecord& record) {
    Q_ASSERT_X(QThread::currentThread() == thread(), "QtTrayService::modify",
               "the tray icon is only changed from its own thread");
    // Each picture is a QIcon made once, so an unchanged one costs no repaint.
    if (m_icon.icon().cacheKey() != record.icon.cacheKey())
        m_icon.setIcon(record.icon);
    if (m_icon.toolTip() != record.tip)
        m_icon.setToolTip(record.tip);
}

void QtTrayService::remove() {
    Q_ASSERT_X(QThread::currentThread() == thread(), "QtTrayService::remove",
               "the tray icon is only hidden from its own thread");
    m_icon.hide();
}

QPoint QtTrayService::cursorPosition() const {
    return QCursor::pos();
}

Qt::KeyboardModifiers QtTrayService::keyboardModifiers() const {
    return QGuiApplication::queryKeyboardModifiers();
}

void QtTrayService::setMouseListener(MouseListener listener) {
    m_clicks.setListener(std::move(listener));
}

void QtTrayService::activated(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        m_clicks.click(TrayMouseMessage::LeftDown, TrayMouseMessage::LeftUp);
        break;
    case QSystemTrayIcon::Context:
        m_clicks.click(TrayMouseMessage::RightDown, TrayMouseMessage::RightUp);
        break;
    case QSystemTrayIcon::MiddleClick:
        m_clicks.click(TrayMouseMessage::MiddleDown, TrayMouseMessage::MiddleUp);
        break;
    case QSystemTrayIcon::DoubleClick:
        m_clicks.click(TrayMouseMessage::LeftDoubleClick, TrayMouseMessage::LeftUp);
        break;
    case QSystemTrayIcon::Unknown: break;
    }
}

} // namespace zumzik
