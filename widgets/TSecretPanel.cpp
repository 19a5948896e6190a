#include "TSecretPanel.h"

#include "AccessibleSecretPanel.h"
#include "ThreadDoorbell.h"

#include <QAccessible>
#include <QBitmap>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <utility>

// The panel as a widget: its construction, its properties, and the paint of its frame and
// background. The layout of the text area, the strip and its frames, the pass and its lapses,
// and the copy on the X server have files of their own beside this one.

namespace zumzik {

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
