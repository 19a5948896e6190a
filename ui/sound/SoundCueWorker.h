#pragma once

#include "WaveSound.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

namespace zumzik {

class SoundOutput;

// The sound thread's side of the sound player: opens the sound output with the first cue, reads
// each wave file on its first use and keeps it; starting a cue stops whatever else is playing.
class SoundCueWorker : public QObject {
public:
    explicit SoundCueWorker(QStringList pluginDirectories, QObject* parent = nullptr);
    ~SoundCueWorker() override;

    void play(const QString& fileName);

private:
    QStringList m_pluginDirectories;
    bool m_outputOpened = false;
    std::unique_ptr<SoundOutput> m_output;
    QHash<QString, WaveSound> m_sounds;
};

} // namespace zumzik
