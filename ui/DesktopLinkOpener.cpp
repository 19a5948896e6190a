#include "DesktopLinkOpener.h"

#include <QDesktopServices>
#include <QUrl>

namespace zumzik {

void DesktopLinkOpener::open(const QString& address) {
    // A web address written without its scheme ("site.example.org") is read as the user means it.
    QDesktopServices::openUrl(QUrl::fromUserInput(address));
}

} // namespace zumzik
