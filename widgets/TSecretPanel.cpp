#include "TSecretPanel.h"

#include "AccessibleSecretPanel.h"
#include "ThreadDoorbell.h"
#include "X11Display.h"

#include <QAccessible>
#include <QBitmap>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QTextOption>
#include <algorithm>
#include <utility>

namespace zumzik {
namespace {

// Blank: nothing left once the leading and trailing blanks and control characters are gone.
bool isBlank(const QString& line) {
    return std::all_of(line.cbegin(), line.cend(), [](QChar ch) { return ch.unicode() <= 32; });
}

// Edges of a rectangle as the layout reckons them: right and bottom lie just outside.
struct Edges {
    int left, top, right, bottom;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    QRect toRect() const { return QRect(left, top, right - left, bottom - top); }
};

// The spacing of tab stops: eight average characters.
constexpr int kTabStopCharacters = 8;
// The gap between the frame and the text, and between the glyph and the text.
constexpr int kTextMargin = 3;
// The largest strip of pre-drawn lines kept, in pixels (16 MiB); a larger block is drawn line by
// line on every frame instead.
constexpr qint64 kMaxStripPixels = qint64(1) << 22;

// Set by the base PaintClient when it has filled the background plainly, on the thread that
// painted, so that a repaint on the user-interface thread cannot mislead a tick on the worker.
thread_local bool t_plainBackground = false;

} // namespace

TSecretPanel::TSecretPanel(QWidget* parent)
    : QWidget(parent), m_copyBell(new ThreadDoorbell(this)) {
    connect(m_copyBell, &ThreadDoorbell::rung, this, &TSecretPanel::copyFrame);
    AccessibleSecretPanel::install();
    setBackgroundRole(QPalette::Button);
    setForegroundRole(QPalette::WindowText);
    // Every pixel is painted: the frame, then the background over the whole interior.
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_timer.setEnabled(false);
    m_timer.setInterval(30);
    m_timer.setSyncEvent(false);
    m_timer.setOnTimer([this](TRxTimer*) { tick(); });
}

TSecretPanel::~TSecretPanel() {
    m_destroying = true;
    setActive(false);
}

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

void TSecretPanel::setLines(const QStringList& lines) {
    m_lines = lines;
    QAccessibleEvent changed(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&changed);
    relayout(true);
}

void TSecretPanel::setScrollDirection(TScrollDirection direction) {
    if (direction == m_scrollDirection)
        return;
    m_scrollDirection = direction;
    relayout(true);
}

void TSecretPanel::setAlignment(TAlignment alignment) {
    if (alignment == m_alignment)
        return;
    m_alignment = alignment;
    if (!m_active)
        return;
    {
        const std::lock_guard lock(m_imageMutex);
        m_scene.alignment = alignment;
        m_scene.strip = QImage();
        m_scene.serverStrip.release();
        m_scene.copiesStrip = false;
        m_scene.frameReady = false;
    }
    update();
}

void TSecretPanel::setTextStyle(TBevelCut style) {
    if (style == m_textStyle)
        return;
    m_textStyle = style;
    relayout(false);
}

void TSecretPanel::setGlyph(const QPixmap& glyph) {
    m_glyph = glyph;
    m_maskedGlyph = glyph;
    if (!glyph.isNull()) {
        const QImage image = glyph.toImage();
        m_maskedGlyph.setMask(
            QBitmap::fromImage(image.createMaskFromColor(image.pixel(0, image.height() - 1))));
    }
    relayout(false);
}

void TSecretPanel::setGlyphLayout(TGlyphLayout layout) {
    if (layout == m_glyphLayout)
        return;
    m_glyphLayout = layout;
    relayout(false);
}

void TSecretPanel::setAsyncDrawing(bool on) {
    if (on != asyncDrawing())
        m_timer.setSyncEvent(!on);
}

void TSecretPanel::setBevelOuter(TBevelCut bevel) {
    if (bevel == m_bevelOuter)
        return;
    m_bevelOuter = bevel;
    relayout(false);
}

void TSecretPanel::setBevelInner(TBevelCut bevel) {
    if (bevel == m_bevelInner)
        return;
    m_bevelInner = bevel;
    relayout(false);
}

void TSecretPanel::setBevelWidth(int width) {
    width = std::max(width, 1);
    if (width == m_bevelWidth)
        return;
    m_bevelWidth = width;
    relayout(false);
}

void TSecretPanel::setBorderWidth(int width) {
    width = std::max(width, 0);
    if (width == m_borderWidth)
        return;
    m_borderWidth = width;
    relayout(false);
}

QColor TSecretPanel::color() const {
    return palette().color(backgroundRole());
}

void TSecretPanel::setColor(const QColor& color) {
    if (color == this->color())
        return;
    QPalette changed = palette();
    changed.setColor(backgroundRole(), color);
    setPalette(changed); // the palette change re-lays out an active panel
}

void TSecretPanel::setOnPaintClient(PanelDrawEvent handler) {
    {
        const std::lock_guard lock(m_imageMutex);
        m_scene.paintClient = std::move(handler);
        m_scene.copiesStrip = false;
        m_scene.frameReady = false;
    }
    update();
}

QRect TSecretPanel::textArea() const {
    const std::lock_guard lock(m_imageMutex);
    return m_scene.textArea;
}

QPoint TSecretPanel::glyphOrigin() const {
    const std::lock_guard lock(m_imageMutex);
    return m_scene.glyphOrigin;
}

int TSecretPanel::startLine() const {
    const std::lock_guard lock(m_imageMutex);
    return m_scene.startLine;
}

int TSecretPanel::linePitch() const {
    const std::lock_guard lock(m_imageMutex);
    return m_scene.pitch;
}

QImage TSecretPanel::frame() const {
    const std::lock_guard lock(m_imageMutex);
    if (!m_scene.image || m_scene.image->isNull() || !m_scene.frameReady)
        return m_scene.image ? m_scene.image->copy() : QImage();
    QImage shown(m_scene.image->size(), QImage::Format_RGB32);
    QPainter painter(&shown);
    drawFrame(painter, m_scene, QPoint(), m_limit.load());
    return shown;
}

int TSecretPanel::borderExtent() const {
    return m_borderWidth + (m_bevelOuter != bvNone ? m_bevelWidth : 0) +
           (m_bevelInner != bvNone ? m_bevelWidth : 0);
}

QRect TSecretPanel::interior() const {
    const int border = borderExtent();
    return rect().marginsRemoved(QMargins(border, border, border, border));
}

void TSecretPanel::layOutTextArea(Scene& scene) const {
    const int border = borderExtent();
    const int inset = border + kTextMargin;
    Edges area{inset, inset, width() - inset, height() - inset};
    const int w = m_glyph.width();
    const int h = m_glyph.height();
    QPoint glyph;
    switch (m_glyphLayout) {
    case glGlyphLeft:
    case glGlyphRight:
        glyph.setY(std::max(area.top, (area.top + area.bottom - h) / 2));
        if (m_glyphLayout == glGlyphLeft) {
            glyph.setX(area.left);
            if (w > 0) {
                glyph.rx() += kTextMargin;
                area.left = glyph.x() + w + border + kTextMargin;
            }
        } else {
            glyph.setX(area.right - w);
            if (w > 0) {
                glyph.setX(std::max(glyph.x() - kTextMargin, area.left));
                area.right = glyph.x() - border - kTextMargin;
            }
        }
        break;
    case glGlyphTop:
    case glGlyphBottom:
        glyph.setX(std::max(area.left, (area.left + area.right - w) / 2));
        if (m_glyphLayout == glGlyphTop) {
            glyph.setY(area.top);
            if (h > 0) {
                glyph.ry() += kTextMargin;
                area.top = glyph.y() + h + border + 2 * kTextMargin;
            }
        } else {
            glyph.setY(area.bottom - h);
            if (h > 0) {
                glyph.setY(std::max(glyph.y() - kTextMargin, area.top));
                area.bottom = glyph.y() - border - 2 * kTextMargin;
            }
        }
        break;
    }
    if (m_scrollDirection == sdHorizontal) {
        // The block of lines stands centred in the height.
        int last = static_cast<int>(m_lines.size()) - 1;
        while (last >= 0 && isBlank(m_lines[last]))
            --last;
        const int spare = area.height() - (last + 1 - scene.startLine) * scene.pitch;
        if (spare > 0) {
            area.top += spare / 2;
            area.bottom -= spare / 2;
        }
    }
    if (area.left >= area.right || area.top >= area.bottom)
        area = Edges{0, 0, 0, 0};
    scene.textArea = area.toRect();
    scene.glyphOrigin = glyph;
}

void TSecretPanel::rebuildLayout() {
    const std::lock_guard lock(m_imageMutex);
    Scene& scene = m_scene;
    if (!scene.image)
        scene.image.emplace();
    scene.lines = m_lines;
    const int count = static_cast<int>(m_lines.size());
    scene.startLine = static_cast<int>(std::find_if_not(m_lines.cbegin(), m_lines.cend(), isBlank) -
                                       m_lines.cbegin());
    const QFontMetrics metrics(font());
    // Held in a byte: a font too tall for it gets the largest pitch rather than a wrapped one.
    scene.pitch = std::clamp(metrics.height() + std::max(metrics.leading(), 0) +
                                 (m_textStyle != bvNone ? 1 : 0),
                             1, 255);
    layOutTextArea(scene);
    const QRect& area = scene.textArea;
    scene.tabStop = kTabStopCharacters * metrics.averageCharWidth();
    if (m_scrollDirection == sdVertical) {
        m_limit = area.height() + (count - scene.startLine) * scene.pitch;
    } else {
        int widest = 0;
        for (int i = scene.startLine; i < count; ++i)
            widest = std::max(
                widest,
                metrics.size(Qt::TextSingleLine | Qt::TextExpandTabs, m_lines[i], scene.tabStop)
                    .width());
        m_limit = widest + area.width();
    }
    scene.interior = interior();
    scene.alignment = m_alignment;
    scene.textStyle = m_textStyle;
    scene.horizontal = m_scrollDirection == sdHorizontal;
    scene.rightToLeft = layoutDirection() == Qt::RightToLeft;
    scene.font = font();
    scene.background = color();
    scene.text = palette().color(foregroundRole());
    scene.light = palette().color(QPalette::Light);
    *scene.image = area.isEmpty() ? QImage() : QImage(area.size(), QImage::Format_RGB32);
    scene.image->fill(scene.background);
    scene.frameReady = false;
    scene.copiesStrip = false;
    scene.strip = QImage();
    scene.serverStrip.release();
}

void TSecretPanel::relayout(bool restart) {
    update();
    if (!m_active)
        return;
    if (restart) {
        m_timer.takeLapsedTicks();
        m_position = 0;
    } else {
        // What fell due so far counts against the old limit.
        catchUp();
        if (!m_active)
            return;
    }
    rebuildLayout();
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

bool TSecretPanel::copyOnServer(Scene& scene, int limit) {
    if (!scene.copiesStrip || !scene.serverStrip.aimed() ||
        !scene.serverStrip.upload(scene.strip, scene.background.rgb()))
        return false;
    scene.serverStrip.copy(stripRowAtTop(scene, limit));
    return true;
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

QRect TSecretPanel::firstLineRect(const Scene& scene, int position, int limit) {
    const int width = scene.image->width();
    const int height = scene.image->height();
    Edges line{0, height - position, width, height - position + scene.pitch};
    if (scene.horizontal) {
        line.top = 0;
        line.bottom = scene.pitch;
        if (scene.rightToLeft) {
            line.right = position;
            line.left = position - limit + width;
        } else {
            line.left = width - position;
            line.right = limit - position;
        }
    }
    return line.toRect();
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

void TSecretPanel::drawBevel(QPainter& painter, QRect& rect, TBevelCut bevel) const {
    if (bevel == bvNone)
        return;
    const QColor light = palette().color(QPalette::Light);
    const QColor dark = palette().color(QPalette::Dark);
    const QColor& topLeft = bevel == bvLowered ? dark : light;
    const QColor& bottomRight = bevel == bvLowered ? light : dark;
    for (int i = 0; i < m_bevelWidth; ++i) {
        painter.fillRect(rect.left(), rect.top(), rect.width(), 1, topLeft);
        painter.fillRect(rect.left(), rect.top(), 1, rect.height(), topLeft);
        painter.fillRect(rect.left() + 1, rect.bottom(), rect.width() - 1, 1, bottomRight);
        painter.fillRect(rect.right(), rect.top() + 1, 1, rect.height() - 1, bottomRight);
        rect.adjust(1, 1, -1, -1);
    }
}

void TSecretPanel::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    // The text shows only when a frame has been rendered for this paint; any other repaint
    // leaves the plain background until the next tick.
    const bool showFrame = std::exchange(m_showFrame, false);
    std::unique_lock lock(m_imageMutex);
    const bool frameReady = showFrame && m_scene.image && m_scene.frameReady;
    // A tick's copy asks for the text area alone, which the opaque frame covers whole. Only this
    // thread takes the frame away, so it is still there after the background.
    if (!frameReady || !m_scene.textArea.contains(event->rect())) {
        // The background handler may ask the panel for its layout, which takes the lock.
        lock.unlock();
        paintBackground(painter);
        lock.lock();
    }
    if (frameReady)
        drawFrame(painter, m_scene, m_scene.textArea.topLeft(), m_limit.load());
    lock.unlock();
    // A paint follows every move and every change of what covers the panel.
    aimServerStrip();
}

void TSecretPanel::aimServerStrip() {
    QWindow* handle = window()->windowHandle();
    // Out of sight the server's pixmap goes; it comes back with the first frame in sight.
    xcb_connection_t* connection =
        m_active && m_onScreen && handle ? X11Display::connection() : nullptr;
    xcb_window_t target = XCB_WINDOW_NONE;
    QRect frame;
    // Only this thread changes the text area.
    const QRect area = m_scene.textArea;
    if (connection && devicePixelRatioF() == 1.0 && !area.isEmpty() &&
        QRegion(area).subtracted(visibleRegion()).isEmpty()) {
        target = static_cast<xcb_window_t>(handle->winId());
        frame = QRect(mapTo(window(), area.topLeft()), area.size());
    }
    if (connection && handle != m_watchedWindow) {
        if (m_watchedWindow)
            m_watchedWindow->removeEventFilter(this);
        m_watchedWindow = handle;
        handle->installEventFilter(this);
    }
    const std::lock_guard lock(m_imageMutex);
    m_scene.serverStrip.aim(connection, target, frame);
}

bool TSecretPanel::eventFilter(QObject* watched, QEvent* event) {
    // Queued, so that it comes after Qt has put the stored pixels back on the window.
    if (watched == m_watchedWindow && event->type() == QEvent::Expose)
        QMetaObject::invokeMethod(this, &TSecretPanel::recopyFrame, Qt::QueuedConnection);
    return QWidget::eventFilter(watched, event);
}

void TSecretPanel::recopyFrame() {
    const std::lock_guard lock(m_imageMutex);
    if (m_scene.image && m_scene.frameReady)
        copyOnServer(m_scene, m_limit.load());
}

void TSecretPanel::paintBackground(QPainter& painter) {
    QRect area = rect();
    drawBevel(painter, area, m_bevelOuter);
    if (m_borderWidth > 0) {
        const QRect inner = area.marginsRemoved(
            QMargins(m_borderWidth, m_borderWidth, m_borderWidth, m_borderWidth));
        painter.save();
        painter.setClipRegion(QRegion(area).subtracted(inner));
        painter.fillRect(area, color());
        painter.restore();
        area = inner;
    }
    drawBevel(painter, area, m_bevelInner);
    painter.save();
    painter.setClipRect(area);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color());
    PaintClient(painter, area);
    painter.restore();
    if (m_active && !m_maskedGlyph.isNull())
        painter.drawPixmap(m_scene.glyphOrigin, m_maskedGlyph);
}

void TSecretPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    relayout(false);
}

void TSecretPanel::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::PaletteChange:
    case QEvent::LayoutDirectionChange: relayout(false); break;
    default: break;
    }
}

void TSecretPanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_onScreen = true;
    updateLapse();
    aimServerStrip();
}

void TSecretPanel::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    m_onScreen = false;
    updateLapse();
    aimServerStrip();
}

} // namespace zumzik
