#pragma once

#include "TrayClickReport.h"
#include "TrayService.h"

#include <QObject>
#include <QSystemTrayIcon>

namespace zumzik {

// The notification area of the desktop through QSystemTrayIcon: on X11, an icon window embedded
// into the tray (XEmbed), when Qt chose that protocol for the process (DesktopTrayService makes
// sure of it). The desktop tells Qt only of whole clicks, so each one is reported as the press and
// release it stands for: a left click as left down and up, a right click (the desktop's context
// request) as right down and up, a middle click as middle down and up, and a double click as the
// double-click press and its release. The desktop reports no mouse movement over the icon.
class QtTrayService final : public QObject, public TrayService {
    Q_OBJECT
public:
    explicit QtTrayService(QObject* parent = nullptr);

    bool available() const override;
    bool add(const TrayRecord& record) override;
    void modify(const TrayRecord& record) override;
    void remove() override;
    QPoint cursorPosition() const override;
    Qt::KeyboardModifiers keyboardModifiers() const override;
    void setMouseListener(MouseListener listener) override;

private:
    void activated(QSystemTrayIcon::ActivationReason reason);

    QSystemTrayIcon m_icon{this};
    TrayClickReport m_clicks;
};

} // namespace zumzik
