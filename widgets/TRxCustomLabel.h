#pragma once

#include <QColor>
#include <QMetaObject>
#include <QPointer>
#include <QString>
#include <QWidget>

class QPainter;
class QShortcut;

namespace zumzik {

// A label that paints its caption twice: first a shadow copy in the shadow colour, moved
// diagonally by the shadow size, then the caption itself in the text colour on top. It sizes
// itself to its text and shadow, places the text block horizontally and vertically, and offers the
// usual label extras: word wrap, an accelerator ("&x") that moves the focus to FocusControl, a
// focus rectangle while FocusControl has the focus, and signals when the pointer enters or leaves.
//
// The text colour is the palette's foreground colour, the background the palette's background
// colour (Color), both inherited from the parent unless set. All behaviour lives here; TRxLabel
// publishes the accessors as properties.
class TRxCustomLabel : public QWidget {
    Q_OBJECT
public:
    enum TShadowPosition { spLeftTop, spLeftBottom, spRightBottom, spRightTop };
    Q_ENUM(TShadowPosition)
    enum TAlignment { taLeftJustify, taRightJustify, taCenter };
    Q_ENUM(TAlignment)
    enum TTextLayout { tlTop, tlCenter, tlBottom };
    Q_ENUM(TTextLayout)

    explicit TRxCustomLabel(QWidget* parent = nullptr);
    ~TRxCustomLabel() override;

    // The size that sizing to the text gives at the current width.
    QSize sizeHint() const override;
    // The label text as a reader sees it: with the accelerator markers resolved when they are on.
    QString displayText() const;

signals:
    // The pointer came onto the label, or left it. Reported only for an enabled label while the
    // application has the active window; a leave is held back while a left-button press that began
    // on the label is still down, and reported when the button is released.
    void OnMouseEnter();
    void OnMouseLeave();

protected:
    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);
    // Without an explicit colour the shadow takes the palette's light colour, which follows the
    // palette when it changes.
    QColor shadowColor() const;
    void setShadowColor(const QColor& color);
    void resetShadowColor();
    quint8 shadowSize() const { return m_shadowSize; }
    void setShadowSize(quint8 size);
    TShadowPosition shadowPos() const { return m_shadowPos; }
    void setShadowPos(TShadowPosition position);
    bool autoSize() const { return m_autoSize; }
    // Switching sizing on sizes at once, even when it was on already.
    void setAutoSize(bool on);
    TAlignment alignment() const { return m_alignment; }
    void setAlignment(TAlignment alignment);
    TTextLayout textLayout() const { return m_textLayout; }
    void setTextLayout(TTextLayout layout);
    bool wordWrap() const { return m_wordWrap; }
    void setWordWrap(bool on);
    bool transparent() const { return m_transparent; }
    void setTransparent(bool on);
    bool showAccelChar() const { return m_showAccelChar; }
    void setShowAccelChar(bool on);
    QWidget* focusControl() const { return m_focusControl; }
    void setFocusControl(QWidget* control);
    bool showFocus() const { return m_showFocus; }
    void setShowFocus(bool on);
    QColor color() const;
    void setColor(const QColor& color);

    // The colour of the text while the label is enabled: the palette's foreground colour.
    virtual QColor defaultFontColor() const;
    // The text that is drawn and measured: the caption.
    virtual QString labelText() const;

    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Draws the shadow copy and then the text into rect, or with no painter only measures them.
    // Returns the rectangle that holds both: the drawing rectangles, or the measured extents.
    QRect drawShadowedText(QPainter* painter, const QRect& rect, int flags) const;
    QSize measuredSize() const;
    void adjustBounds();
    void drawFocusRect(QPainter& painter, const QRect& rect) const;
    // The caption or the way it is shown changed: accelerator, accessible name, size, look.
    void textChanged();
    void resizeAndRepaint();
    void setHover(bool on);
    void recheckHover();
    void focusAccelerated();
    void updateAccelerator();
    void focusChanged(QWidget* now);
    void forgetFocusControl();

    QString m_caption;
    QColor m_shadowColor;
    quint8 m_shadowSize = 1;
    TShadowPosition m_shadowPos = spLeftTop;
    bool m_autoSize = true;
    TAlignment m_alignment = taLeftJustify;
    TTextLayout m_textLayout = tlTop;
    bool m_wordWrap = false;
    bool m_transparent = false;
    bool m_showAccelChar = true;
    QPointer<QWidget> m_focusControl;
    QMetaObject::Connection m_focusControlDestroyed;
    bool m_showFocus = false;

    bool m_hover = false;
    bool m_pressed = false;
    bool m_focused = false;
    QShortcut* m_accelerator;
};

} // namespace zumzik
