#pragma once

namespace zumzik {

class Clock;
class LinkOpener;
class MessageBoxes;
class SoundPlayer;
class TrayService;

// The platform services that the windows use, gathered so that tests can put fakes in their place.
struct Services {
    MessageBoxes& boxes;
    SoundPlayer& sound;
    const Clock& clock;
    LinkOpener& links;
    TrayService& tray;
};

} // namespace zumzik
