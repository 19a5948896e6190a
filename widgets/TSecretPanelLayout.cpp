#include "TSecretPanel.h"

#include <QFontMetrics>
#include <algorithm>

// Where the text area, the glyph and the lines lie in the panel, and where a line lies at a
// position of the pass.

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

} // namespace

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

} // namespace zumzik
