#include "ModalWindow.h"

#include "CentredPlacement.h"
#include "WindowFont.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QScreen>

namespace zumzik {

ModalWindow::ModalWindow(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {}

void ModalWindow::ensureBuilt() {
    if (m_built)
        return;
    m_built = true;
    buildContents();
}

void ModalWindow::fitToForm() {
    setFont(windowFont());
    setFixedSize(size());
}

int ModalWindow::openModal() {
    ensureBuilt();
    if (m_lastPosition) {
        move(*m_lastPosition);
    } else {
        // Centred on the screen, not over the main window.
        CentredPlacement::place(
            *this, (parentWidget() ? parentWidget()->screen() : screen())->availableGeometry());
    }
    // Afterwards the window that was active before gets the keyboard again, with its focus where
    // it was (the main window's input field), whatever the window manager does on its own.
    const QPointer<QWidget> previous = QApplication::activeWindow();
    const int result = exec();
    if (previous && previous->isVisible()) {
        previous->raise();
        previous->activateWindow();
    }
    return result;
}

void ModalWindow::cancelOpenWindow() {
    if (auto* open = qobject_cast<ModalWindow*>(QApplication::activeModalWidget()))
        open->reject();
}

void ModalWindow::keyPressEvent(QKeyEvent* event) {
    // There is no cancel button, so Esc does nothing; Enter still presses a default button.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ModalWindow::hideEvent(QHideEvent* event) {
    m_lastPosition = pos();
    QDialog::hideEvent(event);
}

} // namespace zumzik
