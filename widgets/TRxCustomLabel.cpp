#include "TRxCustomLabel.h"

#include "AccessibleShadowLabel.h"

#include <QAccessible>
#include <QApplication>
#include <QCursor>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace zumzik {
namespace {

QPoint shadowOffset(TRxCustomLabel::TShadowPosition position, int size) {
    switch (position) {
    case TRxCustomLabel::spLeftTop: return {-size, -size};
    case TRxCustomLabel::spLeftBottom: return {-size, size};
    case TRxCustomLabel::spRightBottom: return {size, size};
    case TRxCustomLabel::spRightTop: return {size, -size};
    }
    return {};
}

Qt::Alignment horizontalAlignment(TRxCustomLabel::TAlignment alignment) {
    switch (alignment) {
    case TRxCustomLabel::taLeftJustify: return Qt::AlignLeft;
    case TRxCustomLabel::taRightJustify: return Qt::AlignRight;
    case TRxCustomLabel::taCenter: return Qt::AlignHCenter;
    }
    return Qt::AlignLeft;
}

// Stores value in field; false when it was there already, so that setters can skip the work.
template <typename T> bool assignChanged(T& field, const T& value) {
    if (field == value)
        return false;
    field = value;
    return true;
}

bool applicationInForeground() {
    return QApplication::activeWindow() != nullptr;
}

} // namespace

TRxCustomLabel::TRxCustomLabel(QWidget* parent)
    : QWidget(parent), m_accelerator(new QShortcut(this)) {
    AccessibleShadowLabel::install();
    resize(65, 17);
    connect(m_accelerator, &QShortcut::activated, this, &TRxCustomLabel::focusAccelerated);
    // Two labels with the same accelerator take turns, as Qt cycles through ambiguous shortcuts.
    connect(m_accelerator, &QShortcut::activatedAmbiguously, this,
            &TRxCustomLabel::focusAccelerated);
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { focusChanged(now); });
}

TRxCustomLabel::~TRxCustomLabel() = default;

QSize TRxCustomLabel::sizeHint() const {
    return measuredSize();
}

QString TRxCustomLabel::displayText() const {
    const QString text = labelText();
    if (!m_showAccelChar)
        return text;
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && ++i == text.size())
            break;
        shown += text[i];
    }
    return shown;
}

void TRxCustomLabel::setCaption(const QString& caption) {
    if (assignChanged(m_caption, caption))
        textChanged();
}

QColor TRxCustomLabel::shadowColor() const {
    return m_shadowColor.isValid() ? m_shadowColor : palette().color(QPalette::Light);
}

void TRxCustomLabel::setShadowColor(const QColor& color) {
    if (assignChanged(m_shadowColor, color))
        update();
}

void TRxCustomLabel::resetShadowColor() {
    setShadowColor(QColor());
}

void TRxCustomLabel::setShadowSize(quint8 size) {
    if (assignChanged(m_shadowSize, size))
        resizeAndRepaint();
}

void TRxCustomLabel::setShadowPos(TShadowPosition position) {
    if (assignChanged(m_shadowPos, position))
        update();
}

void TRxCustomLabel::setAutoSize(bool on) {
    m_autoSize = on;
    adjustBounds();
}

void TRxCustomLabel::setAlignment(TAlignment alignment) {
    if (assignChanged(m_alignment, alignment))
        update();
}

void TRxCustomLabel::setTextLayout(TTextLayout layout) {
    if (assignChanged(m_textLayout, layout))
        update();
}

void TRxCustomLabel::setWordWrap(bool on) {
    if (assignChanged(m_wordWrap, on))
        resizeAndRepaint();
}

void TRxCustomLabel::setTransparent(bool on) {
    if (assignChanged(m_transparent, on))
        update();
}

void TRxCustomLabel::setShowAccelChar(bool on) {
    if (!assignChanged(m_showAccelChar, on))
        return;
    // "&&" becomes one character or two, so the width changes as much as with a new caption.
    textChanged();
}

void TRxCustomLabel::setFocusControl(QWidget* control) {
    if (control == m_focusControl)
        return;
    disconnect(m_focusControlDestroyed);
    m_focusControl = control;
    if (control) {
        m_focusControlDestroyed =
            connect(control, &QObject::destroyed, this, &TRxCustomLabel::forgetFocusControl);
    }
    m_focused = control && QApplication::focusWidget() == control;
    updateAccelerator();
    if (m_showFocus)
        update();
}

void TRxCustomLabel::setShowFocus(bool on) {
    if (assignChanged(m_showFocus, on))
        update();
}

QColor TRxCustomLabel::color() const {
    return palette().color(backgroundRole());
}

void TRxCustomLabel::setColor(const QColor& color) {
    if (color == this->color())
        return;
    QPalette changed = palette();
    changed.setColor(backgroundRole(), color);
    setPalette(changed);
}

QColor TRxCustomLabel::defaultFontColor() const {
    return palette().color(foregroundRole());
}

QString TRxCustomLabel::labelText() const {
    return m_caption;
}

void TRxCustomLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!m_transparent)
        painter.fillRect(rect(), color());

    int flags = Qt::TextExpandTabs | Qt::AlignTop | horizontalAlignment(m_alignment);
    if (m_wordWrap)
        flags |= Qt::TextWordWrap;
    // A pixel of margin on either side of the text.
    QRect textRect = rect().adjusted(1, 0, -1, 0);
    if (m_textLayout != tlTop) {
        const QRect extent = drawShadowedText(nullptr, textRect, flags);
        int shift = height() - (extent.bottom() + 1);
        if (m_textLayout == tlCenter)
            shift /= 2;
        textRect = QRect(0, extent.top() + shift, width(), extent.height());
    }
    textRect = drawShadowedText(&painter, textRect, flags);

    if (m_showFocus && m_focusControl && m_focused)
        drawFocusRect(painter, textRect.adjusted(-1, 0, 1, 0));
}

void TRxCustomLabel::changeEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::FontChange: adjustBounds(); break;
    case QEvent::EnabledChange:
        if (!isEnabled())
            m_pressed = false;
        recheckHover();
        break;
    default: break;
    }
    QWidget::changeEvent(event);
}

void TRxCustomLabel::showEvent(QShowEvent* event) {
    recheckHover();
    QWidget::showEvent(event);
}

void TRxCustomLabel::enterEvent(QEnterEvent* event) {
    if (!m_hover && isEnabled() && applicationInForeground())
        setHover(true);
    QWidget::enterEvent(event);
}

void TRxCustomLabel::leaveEvent(QEvent* event) {
    if (m_hover && isEnabled() && !m_pressed)
        setHover(false);
    QWidget::leaveEvent(event);
}

// The label takes its presses (rather than passing them to the parent) so that the release comes
// back to it and the held-back leave can be reported.
void TRxCustomLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && isEnabled())
        m_pressed = true;
    else if (event->button() == Qt::RightButton)
        recheckHover();
    event->accept();
}

void TRxCustomLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_pressed = false;
    recheckHover();
    event->accept();
}

QRect TRxCustomLabel::drawShadowedText(QPainter* painter, const QRect& rect, int flags) const {
    const bool measuring = painter == nullptr;
    QString text = labelText();
    // An empty caption, or a lone accelerator marker, still takes one line's height.
    if (measuring && (text.isEmpty() || (m_showAccelChar && text == QStringLiteral("&"))))
        text += u' ';
    if (m_showAccelChar)
        flags |= Qt::TextShowMnemonic;

    QColor textColor = defaultFontColor();
    QColor shadow = shadowColor();
    TShadowPosition position = m_shadowPos;
    int size = m_shadowSize;
    if (!isEnabled()) {
        // The usual embossed look of disabled text: grey, with a light edge to the right and below.
        textColor = palette().color(QPalette::Disabled, QPalette::WindowText);
        shadow = palette().color(QPalette::Disabled, QPalette::Light);
        if (size == 0) {
            position = spRightBottom;
            size = 1;
        }
    }
    const QRect shadowRect = rect.translated(shadowOffset(position, size));

    if (measuring) {
        const QFontMetrics metrics = fontMetrics();
        return metrics.boundingRect(shadowRect, flags, text) |
               metrics.boundingRect(rect, flags, text);
    }
    painter->setPen(shadow);
    painter->drawText(shadowRect, flags, text);
    painter->setPen(textColor);
    painter->drawText(rect, flags, text);
    return shadowRect | rect;
}

QSize TRxCustomLabel::measuredSize() const {
    int flags = Qt::TextExpandTabs | Qt::AlignLeft | Qt::AlignTop;
    if (m_wordWrap)
        flags |= Qt::TextWordWrap;
    const QRect extent =
        drawShadowedText(nullptr, QRect(1, 0, qMax(0, width() - 2), height()), flags);
    // The size reaches from the origin to the extent's right and bottom edges, with the one-pixel
    // margin on the right: a shadow to the right or below enlarges the label, one to the left or
    // above falls partly outside it.
    return {extent.right() + 2, extent.bottom() + 1};
}

void TRxCustomLabel::adjustBounds() {
    if (!m_autoSize)
        return;
    const QSize size = measuredSize();
    QRect bounds = geometry();
    const Qt::Alignment effective =
        QStyle::visualAlignment(layoutDirection(), horizontalAlignment(m_alignment));
    // A right-justified label keeps its right edge and grows to the left.
    if (effective & Qt::AlignRight)
        bounds.moveLeft(bounds.left() + bounds.width() - size.width());
    bounds.setSize(size);
    setGeometry(bounds);
}

void TRxCustomLabel::drawFocusRect(QPainter& painter, const QRect& rect) const {
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = rect;
    option.backgroundColor = color();
    // Some styles draw the frame only for focus that came from the keyboard; the label shows it
    // whenever its control has the focus.
    option.state |= QStyle::State_KeyboardFocusChange;
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}

void TRxCustomLabel::textChanged() {
    updateAccelerator();
    QAccessibleEvent nameChanged(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&nameChanged);
    resizeAndRepaint();
}

void TRxCustomLabel::resizeAndRepaint() {
    adjustBounds();
    update();
}

void TRxCustomLabel::setHover(bool on) {
    if (on == m_hover)
        return;
    m_hover = on;
    if (on)
        emit OnMouseEnter();
    else
        emit OnMouseLeave();
}

void TRxCustomLabel::recheckHover() {
    setHover(isEnabled() && applicationInForeground() &&
             QApplication::widgetAt(QCursor::pos()) == this);
}

void TRxCustomLabel::focusAccelerated() {
    QWidget* control = m_focusControl;
    if (!control || !isEnabled() || !m_showAccelChar)
        return;
    if (control->isEnabled() && control->isVisible() && control->focusPolicy() != Qt::NoFocus)
        control->setFocus(Qt::ShortcutFocusReason);
}

void TRxCustomLabel::updateAccelerator() {
    // Without a control to focus the key is left to others.
    const bool active = m_showAccelChar && m_focusControl;
    m_accelerator->setKey(active ? QKeySequence::mnemonic(labelText()) : QKeySequence());
}

void TRxCustomLabel::focusChanged(QWidget* now) {
    const bool focused = m_focusControl && now == m_focusControl;
    if (focused == m_focused)
        return;
    m_focused = focused;
    if (m_showFocus)
        update();
}

void TRxCustomLabel::forgetFocusControl() {
    m_focusControl = nullptr;
    m_focused = false;
    updateAccelerator();
    if (m_showFocus)
        update();
}

} // namespace zumzik
