#include "SoundCueWorker.h"

#include "SoundOutput.h"
#include "SoundOutputPlugin.h"
#include "WaveFile.h"

#include <QDir>

namespace zumzik {

SoundCueWorker::SoundCueWorker(QStringList pluginDirectories, QObject* parent)
    : QObject(parent), m_pluginDirectories(std::move(pluginDirectories)) {}

SoundCueWorker::~SoundCueWorker() = default;

void SoundCueWorker::play(const QString& fileName) {
    // Opened on the sound thread, whose event loop feeds the device. Without an output nothing
    // needs reading.
    if (!m_outputOpened) {
        m_output = SoundOutputPlugin::open(m_pluginDirectories);
        m_outputOpened = true;
    }
    if (!m_output)
        return;
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
