#pragma once

#include "SoundPlayer.h"

#include <QStringList>
#include <QThread>
#include <memory>

namespace zumzik {

class SoundCueWorker;

// Plays cues through the sound plugin on a thread of its own, which starts with the first cue: no
// sound library is loaded before a sound is wanted, and however slow or broken the sound system,
// play() returns at once and never holds up a message box or a window.
class QtSoundPlayer final : public SoundPlayer {
public:
    // pluginDirectories: where the sound plugin is looked for.
    explicit QtSoundPlayer(QStringList pluginDirectories);
    ~QtSoundPlayer() override;

    void play(const QString& fileName) override;

private:
    QStringList m_pluginDirectories;
    QThread m_thread;
    SoundCueWorker* m_worker = nullptr; // lives on m_thread, deleted when it finishes
};

} // namespace zumzik
