#include "TSecretPanel.h"
#include "ThreadDoorbell.h"

#include <QPainter>
#include <QTextOption>
#include <algorithm>

// The frames: drawn into the image of the text area, or copied from the strip of pre-drawn
// lines, and handed to the user-interface thread to show.

namespace zumzik {
namespace {

// The largest strip of pre-drawn lines kept, in pixels (16 MiB); a larger block is drawn line by
// line on every frame instead.
constexpr qint64 kMaxStripPixels = qint64(1) << 22;

// Set by the base PaintClient when it has filled the background plainly, on the thread that
// painted, so that a repaint on the user-interface thread cannot mislead a tick on the worker.
thread_local bool t_plainBackground = false;

} // namespace

QImage TSecretPanel::frame() const {
    const std::lock_guard lock(m_imageMutex);
    if (!m_scene.image || m_scene.image->isNull() || !m_scene.frameReady)
        return m_scene.image ? m_scene.image->copy() : QImage();
    QImage shown(m_scene.image->size(), QImage::Format_RGB32);
    QPainter painter(&shown);
    drawFrame(painter, m_scene, QPoint(), m_limit.load());
    return shown;
}

void TSecretPanel::renderFrame() {
    if (!m_onScreen)
        return;
    {
        const std::lock_guard lock(m_imageMutex);
        Scene& scene = m_scene;
        if (!scene.image || scene.image->isNull() || scene.lines.isEmpty() || !m_onScreen)
            return;
        scene.framePosition = m_position.load();
        scene.frameReady = true;
        if (!scene.copiesStrip)
            drawIntoImage(scene);
        if (copyOnServer(scene, m_limit.load()))
            return;
    }
    ringForCopy();
}

int TSecretPanel::stripRowAtTop(const Scene& scene, int limit) {
    return scene.stripOrigin.y() - firstLineRect(scene, scene.framePosition, limit).top();
}

void TSecretPanel::drawIntoImage(Scene& scene) {
    const int limit = m_limit.load();
    const QRect firstLine = firstLineRect(scene, scene.framePosition, limit);
    QPainter painter(&*scene.image);
    // The image receives the part of the background that lies under the text area.
    painter.translate(-scene.textArea.topLeft());
    painter.setPen(Qt::NoPen);
    painter.setBrush(scene.background);
    t_plainBackground = false;
    PaintClient(painter, scene.interior);
    painter.resetTransform();
    // The strip holds the same pixels on the same background: from now on until the next layout,
    // the paint copies each frame from it and the ticks draw nothing.
    scene.copiesStrip = t_plainBackground && prepareStrip(scene, limit);
    if (!scene.copiesStrip)
        drawLines(painter, scene, firstLine, scene.image->height());
}

void TSecretPanel::ringForCopy() {
    // Rung once the lock is released, so that the copy never has to wait for it.
    if (!m_copyRequested.exchange(true))
        m_copyBell->ring();
}

void TSecretPanel::drawFrame(QPainter& painter, const Scene& scene, QPoint origin, int limit) {
    if (!scene.copiesStrip) {
        painter.drawImage(origin, *scene.image);
        return;
    }
    // The rows of the strip that the text area shows, with the plain background above and below.
    const int width = scene.image->width();
    const int height = scene.image->height();
    const int shift = stripRowAtTop(scene, limit);
    const int top = std::clamp(-shift, 0, height);
    const int bottom = std::clamp(scene.strip.height() - shift, top, height);
    if (top > 0)
        painter.fillRect(origin.x(), origin.y(), width, top, scene.background);
    if (bottom > top)
        painter.drawImage(QPoint(origin.x(), origin.y() + top), scene.strip,
                          QRect(0, top + shift, width, bottom - top));
    if (bottom < height)
        painter.fillRect(origin.x(), origin.y() + bottom, width, height - bottom, scene.background);
}

bool TSecretPanel::prepareStrip(Scene& scene, int limit) {
    // Sideways, glyphs fall on fractional pixel positions that depend on where the line starts,
    // so that a copy moved by whole pixels would differ from the drawing; those lines are drawn
    // on every frame. Upwards only the rows move, and a copy matches the drawing exactly.
    if (scene.horizontal)
        return false;
    if (!scene.strip.isNull())
        return true;
    const int width = scene.image->width();
    const int rows = static_cast<int>(scene.lines.size()) - scene.startLine;
    // Room for what reaches beyond the rows: overhanging glyphs and the shadow's pixel.
    const int margin = scene.pitch + 2;
    const int height = rows * scene.pitch + 2 * margin;
    if (qint64(width) * height > kMaxStripPixels)
        return false;
    scene.strip = QImage(width, height, QImage::Format_RGB32);
    scene.strip.fill(scene.background);
    scene.stripOrigin = QPoint(0, margin);
    QPainter painter(&scene.strip);
    drawLines(painter, scene, QRect(scene.stripOrigin, firstLineRect(scene, 0, limit).size()),
              height);
    return true;
}

void TSecretPanel::drawLines(QPainter& painter, const Scene& scene, QRect line, int bottomEdge) {
    QTextOption format;
    format.setWrapMode(QTextOption::NoWrap);
    format.setTabStopDistance(scene.tabStop);
    format.setTextDirection(scene.rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    static constexpr Qt::Alignment kAlignments[] = {Qt::AlignLeft, Qt::AlignRight,
                                                    Qt::AlignHCenter};
    format.setAlignment(kAlignments[scene.alignment] | Qt::AlignTop);
    painter.setFont(scene.font);
    // A copy of each line in the light colour lies under it, moved by one pixel: down and right
    // for lowered text, up and left for raised text.
    const QPoint shadow = scene.textStyle == bvLowered  ? QPoint(1, 1)
                          : scene.textStyle == bvRaised ? QPoint(-1, -1)
                                                        : QPoint();
    const int count = static_cast<int>(scene.lines.size());
    for (int i = scene.startLine; i < count && line.top() < bottomEdge; ++i) {
        if (line.bottom() >= 0) {
            const QString text = scene.lines[i].left(kMaxLineLength);
            if (!shadow.isNull()) {
                painter.setPen(scene.light);
                painter.drawText(line.translated(shadow), text, format);
            }
            painter.setPen(scene.text);
            painter.drawText(line, text, format);
        }
        line.translate(0, scene.pitch);
    }
}

void TSecretPanel::copyFrame() {
    m_copyRequested = false;
    m_showFrame = true;
    // Painted at once rather than queued: one wake-up of this thread per tick.
    repaint(m_scene.textArea);
}

void TSecretPanel::PaintClient(QPainter& canvas, const QRect& rect) {
    if (m_scene.paintClient) {
        m_scene.paintClient(this, canvas, rect);
    } else {
        canvas.fillRect(rect, canvas.brush());
        t_plainBackground = true;
    }
}

} // namespace zumzik
