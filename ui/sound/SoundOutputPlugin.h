#pragma once

#include "SoundOutput.h"

#include <QStringList>
#include <memory>

namespace zumzik {

// Finds the sound output, which lives in a plugin of its own: its sound libraries are loaded with
// the first cue, so that start-up and a session without cues never pay for them.
class SoundOutputPlugin {
public:
    // Where the plugin is looked for: beside the program, as in the build tree, then where it is
    // installed.
    static QStringList defaultDirectories();
    // A new output from the first of directories that holds a plugin that loads, or none: then
    // the cues are silent. To be called on the thread that plays the cues.
    static std::unique_ptr<SoundOutput> open(const QStringList& directories);
};

} // namespace zumzik
