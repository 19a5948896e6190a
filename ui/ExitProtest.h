#pragma once

#include <QString>

namespace zumzik {

class MessageBoxes;
class RandomGenerator;
class SoundPlayer;

// What every close request of the main window sets off: the protest sound and one of eight pleas,
// drawn from the program's one random generator. It never prevents the close.
class ExitProtest {
public:
    ExitProtest(RandomGenerator& random, SoundPlayer& sound, MessageBoxes& boxes);

    // Draws a plea, starts the sound, and returns when the user has dismissed the box.
    void run();

    static QString plea(int index);
    static constexpr int kPleaCount = 8;

private:
    RandomGenerator& m_random;
    SoundPlayer& m_sound;
    MessageBoxes& m_boxes;
};

} // namespace zumzik
