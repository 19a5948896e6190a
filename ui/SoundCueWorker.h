#pragma once

#include <QHash>
#include <QObject>
#include <QString>

class QSoundEffect;

namespace zumzik {

// The sound thread's side of the sound player: one sound effect per wave file, loaded on first
// use; starting a cue stops whatever else is playing.
class SoundCueWorker : public QObject {
public:
    using QObject::QObject;

    void play(const QString& fileName);

private:
    QHash<QString, QSoundEffect*> m_effects;
};

} // namespace zumzik
