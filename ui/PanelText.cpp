#include "PanelText.h"

#include "BuiltInResources.h"

#include <QFile>

namespace zumzik {

QStringList panelText(const QString& name) {
    registerBuiltInResources();
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
