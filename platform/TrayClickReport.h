#pragma once

#include "TrayService.h"

namespace zumzik {

// The mouse listener of a tray service. Desktops report whole clicks, and the tray icon
// component wants the press and the release they stand for; this sends both.
class TrayClickReport {
public:
    void setListener(TrayService::MouseListener listener) { m_listener = std::move(listener); }

    // Reports a click as its press and release. The press may replace the listener or take it
    // away; the release then goes to the one set by then, if any.
    void click(TrayMouseMessage press, TrayMouseMessage release);

private:
    TrayService::MouseListener m_listener;
};

} // namespace zumzik
