#include "TrayClickReport.h"

namespace zumzik {

void TrayClickReport::click(TrayMouseMessage press, TrayMouseMessage release) {
    // A copy, as the press may replace the listener while it runs.
    const TrayService::MouseListener listener = m_listener;
    if (!listener)
        return;
    listener(press);
    if (m_listener)
        m_listener(release);
}

} // namespace zumzik
