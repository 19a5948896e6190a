#include "SoundCueWorker.h"

#include "QtAudioOutput.h"
#include "WaveFile.h"

#include <QDir>

namespace zumzik {

SoundCueWorker::SoundCueWorker(QObject* parent) : QObject(parent) {}

SoundCueWorker::~SoundCueWorker() = default;

void SoundCueWorker::play(const QString& fileName) {
    // Made on the sound thread, whose event loop feeds the device.
    if (!m_output)
        m_output = std::make_unique<QtAudioOutput>();
    m_output->stop();
    auto known = m_sounds.constFind(fileName);
    if (known == m_sounds.cend()) {
        // A bare name, looked up in the working directory as it is when the cue first plays. A
        // file that is missing, too large or no wave file is silence, and is looked at again
        // next time.
        std::optional<WaveSound> sound = WaveFile::read(QDir::current().absoluteFilePath(fileName));
        if (!sound)
            return;
        known = m_sounds.insert(fileName, std::move(*sound));
    }
    m_output->play(*known);
}

} // namespace zumzik
