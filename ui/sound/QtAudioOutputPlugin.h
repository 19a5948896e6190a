#pragma once

#include "SoundOutputFactory.h"

#include <QObject>

namespace zumzik {

// The sound plugin: cues played through Qt Multimedia.
class QtAudioOutputPlugin : public QObject, public SoundOutputFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.example.Zumzik.SoundOutputFactory/1")
    Q_INTERFACES(zumzik::SoundOutputFactory)
public:
    std::unique_ptr<SoundOutput> create() override;
};

} // namespace zumzik
