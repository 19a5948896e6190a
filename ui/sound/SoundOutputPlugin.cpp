#include "SoundOutputPlugin.h"

#include "SoundOutputFactory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>

namespace zumzik {

QStringList SoundOutputPlugin::defaultDirectories() {
    const QString program = QCoreApplication::applicationDirPath();
    return {program,
            QDir::cleanPath(program + QStringLiteral("/" ZUMZIK_SOUND_PLUGIN_FROM_PROGRAM))};
}

std::unique_ptr<SoundOutput> SoundOutputPlugin::open(const QStringList& directories) {
    for (const QString& directory : directories) {
        const QString path = QDir(directory).filePath(QStringLiteral(ZUMZIK_SOUND_PLUGIN_FILE));
        if (!QFileInfo::exists(path))
            continue;
        // A plugin that does not load (a sound library missing, say) is passed over quietly.
        QPluginLoader loader(path);
        if (auto* factory = qobject_cast<SoundOutputFactory*>(loader.instance()))
            return factory->create();
    }
    return nullptr;
}

} // namespace zumzik
