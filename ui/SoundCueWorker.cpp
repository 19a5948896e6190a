#include "SoundCueWorker.h"

#include <QDir>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace zumzik {

void SoundCueWorker::play(const QString& fileName) {
    for (QSoundEffect* effect : std::as_const(m_effects))
        effect->stop();
    QSoundEffect*& effect = m_effects[fileName];
    if (!effect) {
        // A bare name, looked up in the working directory as it is when the cue first plays. A
        // missing file is silence; asking the decoder for it would only log a complaint.
        const QString path = QDir::current().absoluteFilePath(fileName);
        if (!QFileInfo::exists(path)) {
            m_effects.remove(fileName);
            return;
        }
        effect = new QSoundEffect(this);
        effect->setSource(QUrl::fromLocalFile(path));
    }
    // A cue that is still loading plays as soon as it has loaded; one that failed stays silent.
    effect->play();
}

} // namespace zumzik
