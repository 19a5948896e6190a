#include "QtAudioOutputPlugin.h"

#include "QtAudioOutput.h"

namespace zumzik {

std::unique_ptr<SoundOutput> QtAudioOutputPlugin::create() {
    return std::make_unique<QtAudioOutput>();
}

} // namespace zumzik
