#include "TSecretPanel.h"

#include <algorithm>
#include <utility>

// The pass: starting and stopping it, its ticks, and its lapses while the panel is out of sight,
// reckoned from the time when it comes back.

namespace zumzik {

void TSecretPanel::setActive(bool on) {
    if (on == m_active)
        return;
    if (on)
        activate();
    else
        deactivate();
}

void TSecretPanel::activate() {
    m_active = true;
    m_position = 0;
    rebuildLayout();
    try {
        // Before the timer starts, so that a panel out of sight starts no worker: it lapses from
        // the first tick on. Windows set Active before Cycled, so one that is not cycled yet is
        // looked at again once they are built.
        if (!m_onScreen) {
            m_timer.lapse();
            if (!m_cycled)
                QMetaObject::invokeMethod(this, &TSecretPanel::updateLapse, Qt::QueuedConnection);
        }
        m_timer.setEnabled(true);
        emit OnStartPlay();
    } catch (...) {
        m_active = false;
        m_timer.setEnabled(false);
        updateLapse();
        const std::lock_guard lock(m_imageMutex);
        m_scene.image.reset();
        throw;
    }
    if (!m_destroying) {
        for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (!child->isHidden()) {
                m_hiddenChildren << child;
                child->hide();
            }
        }
    }
    update();
}

void TSecretPanel::deactivate() {
    m_active = false;
    {
        // Waits for a frame in progress; no tick starts once the timer is off, and one that is
        // already past its start finds no image to draw into.
        const std::lock_guard lock(m_imageMutex);
        m_timer.setEnabled(false);
        updateLapse();
        m_position = 0;
        m_scene.image.reset();
        m_scene.frameReady = false;
    }
    // Inactive, the panel stops aiming at the window, which also frees the server's pixmap.
    aimServerStrip();
    emit OnStopPlay();
    if (m_destroying)
        return;
    for (const QPointer<QWidget>& child : std::as_const(m_hiddenChildren)) {
        if (child) {
            child->show();
            child->update();
        }
    }
    m_hiddenChildren.clear();
    update();
}

void TSecretPanel::setCycled(bool on) {
    catchUp();
    m_cycled = on;
    updateLapse();
}

void TSecretPanel::setInterval(quint32 milliseconds) {
    catchUp();
    m_timer.setInterval(milliseconds);
}

int TSecretPanel::scrollPosition() const {
    return advanced(m_timer.lapsedTicks());
}

void TSecretPanel::restartPass(std::chrono::steady_clock::time_point since) {
    if (!m_active)
        return;
    m_timer.takeLapsedTicks();
    m_position = 0;
    m_timer.backdateLapse(since);
}

void TSecretPanel::updateLapse() {
    // Only a cycled panel lapses: the end of another's pass is an event that must come on time.
    const bool lapse = m_active && m_cycled && !m_onScreen;
    if (lapse == m_timer.lapsed())
        return;
    if (lapse)
        m_timer.lapse();
    else
        catchUp(m_timer.endLapse());
}

void TSecretPanel::catchUp() {
    catchUp(m_timer.takeLapsedTicks());
}

void TSecretPanel::catchUp(quint64 ticks) {
    if (ticks == 0)
        return;
    if (!m_cycled && ticks > quint64(std::max(m_limit.load() - m_position.load(), 0)))
        setActive(false); // the pass ended meanwhile
    else
        m_position = advanced(ticks);
}

int TSecretPanel::advanced(quint64 ticks) const {
    int position = m_position.load();
    if (ticks == 0)
        return position;
    // A pass runs through the positions 1 to the limit; a cycled one then goes on with 0 and a
    // kept position beyond the limit goes to 0 first, another one stops there.
    const int limit = m_limit.load();
    if (!m_cycled)
        return static_cast<int>(
            std::min<quint64>(quint64(position) + ticks, std::max(position, limit)));
    if (position > limit) {
        position = 0;
        --ticks;
    }
    return static_cast<int>((quint64(position) + ticks) % quint64(limit + 1));
}

void TSecretPanel::tick() {
    const int position = m_position.load();
    if (position < m_limit.load()) {
        m_position.fetch_add(1);
        renderFrame();
    } else if (m_cycled) {
        m_position = 0;
        renderFrame();
    } else {
        // The end of a pass stops the panel on the user-interface thread; nothing is drawn.
        m_timer.synchronize([this] { setActive(false); });
    }
}

} // namespace zumzik
