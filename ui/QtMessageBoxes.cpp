#include "QtMessageBoxes.h"

#include "ApplicationTitle.h"

#include <QEventLoop>
#include <QMessageBox>

namespace zumzik {

void QtMessageBoxes::showError(const QString& text) {
    QMessageBox box(QMessageBox::Critical, applicationTitle(), text, QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

void QtMessageBoxes::showProtest(const QString& text) {
    // The protest box has no owner and leaves the main window enabled, so it is shown modeless
    // and waited for in a local event loop rather than with exec(), which would block the others.
    QMessageBox box(QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::Ok);
    box.setWindowModality(Qt::NonModal);
    QEventLoop loop;
    QObject::connect(&box, &QMessageBox::finished, &loop, &QEventLoop::quit);
    box.show();
    box.raise();
    box.activateWindow();
    loop.exec();
}

} // namespace zumzik
