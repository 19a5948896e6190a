#pragma once

#include "SoundOutput.h"

#include <QtPlugin>
#include <memory>

namespace zumzik {

// The sound plugin's entry point: makes the outputs that the cues are played on.
class SoundOutputFactory {
public:
    virtual ~SoundOutputFactory() = default;
    // A new output, to be used on the calling thread, which must run an event loop.
    virtual std::unique_ptr<SoundOutput> create() = 0;
};

} // namespace zumzik

Q_DECLARE_INTERFACE(zumzik::SoundOutputFactory, "org.example.Zumzik.SoundOutputFactory/1")
