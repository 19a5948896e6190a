#pragma once

#include "SoundPlayer.h"

#include <QThread>
#include <memory>

namespace zumzik {

class SoundCueWorker;

// Plays cues through Qt Multimedia on a thread of its own, which starts with the first cue: no
// audio start-up is paid before a sound is wanted, and however slow or broken the sound system,
// play() returns at once and never holds up a message box or a window.
class QtSoundPlayer final : public SoundPlayer {
public:
    QtSoundPlayer();
    ~QtSoundPlayer() override;

    void play(const QString& fileName) override;

private:
    QThread m_thread;
    SoundCueWorker* m_worker = nullptr; // lives on m_thread, deleted when it finishes
};

} // namespace zumzik
