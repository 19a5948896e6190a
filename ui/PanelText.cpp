#include "PanelText.h"

#include <QFile>

// The resources live in a static library, whose registration nothing else would pull in.
static void registerTexts() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(texts);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace zumzik {

QStringList panelText(const QString& name) {
    registerTexts();
    // The texts are built in, so failing to open one is a fault of the build itself.
    QFile file(QStringLiteral(":/texts/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing built-in text %s", qPrintable(name));
    QString text = QString::fromUtf8(file.readAll());
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text.split(QLatin1Char('\n'));
}

} // namespace zumzik
