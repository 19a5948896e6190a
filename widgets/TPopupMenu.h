#pragma once

#include <QMenu>
#include <QPointer>

namespace zumzik {

// A popup menu that a component can show on its own: AutoPopup says whether it may, and
// PopupComponent is the component that showed it last. The default item is QMenu's
// defaultAction().
class TPopupMenu : public QMenu {
    Q_OBJECT
    Q_PROPERTY(bool AutoPopup READ AutoPopup WRITE SetAutoPopup)
public:
    using QMenu::QMenu;

    bool AutoPopup() const { return m_autoPopup; }
    void SetAutoPopup(bool value) { m_autoPopup = value; }

    QObject* PopupComponent() const { return m_popupComponent; }
    void SetPopupComponent(QObject* component) { m_popupComponent = component; }

private:
    bool m_autoPopup = true;
    QPointer<QObject> m_popupComponent;
};

} // namespace zumzik
