#pragma once

#include "TRxCustomLabel.h"

namespace zumzik {

// The shadow label as forms use it: TRxCustomLabel with its properties published, so that they can
// be set by name (from a form file, or with setProperty) as well as through the accessors.
// The font, the text colour (the palette's foreground) and Enabled are the widget's own.
class TRxLabel : public TRxCustomLabel {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(QColor ShadowColor READ shadowColor WRITE setShadowColor RESET resetShadowColor)
    Q_PROPERTY(quint8 ShadowSize READ shadowSize WRITE setShadowSize)
    Q_PROPERTY(zumzik::TRxCustomLabel::TShadowPosition ShadowPos READ shadowPos WRITE setShadowPos)
    Q_PROPERTY(bool AutoSize READ autoSize WRITE setAutoSize)
    Q_PROPERTY(zumzik::TRxCustomLabel::TAlignment Alignment READ alignment WRITE setAlignment)
    Q_PROPERTY(zumzik::TRxCustomLabel::TTextLayout Layout READ textLayout WRITE setTextLayout)
    Q_PROPERTY(bool WordWrap READ wordWrap WRITE setWordWrap)
    Q_PROPERTY(bool Transparent READ transparent WRITE setTransparent)
    Q_PROPERTY(bool ShowAccelChar READ showAccelChar WRITE setShowAccelChar)
    Q_PROPERTY(QWidget* FocusControl READ focusControl WRITE setFocusControl)
    Q_PROPERTY(bool ShowFocus READ showFocus WRITE setShowFocus)
    Q_PROPERTY(QColor Color READ color WRITE setColor)
public:
    using TRxCustomLabel::TRxCustomLabel;

    using TRxCustomLabel::alignment;
    using TRxCustomLabel::autoSize;
    using TRxCustomLabel::caption;
    using TRxCustomLabel::color;
    using TRxCustomLabel::focusControl;
    using TRxCustomLabel::resetShadowColor;
    using TRxCustomLabel::setAlignment;
    using TRxCustomLabel::setAutoSize;
    using TRxCustomLabel::setCaption;
    using TRxCustomLabel::setColor;
    using TRxCustomLabel::setFocusControl;
    using TRxCustomLabel::setShadowColor;
    using TRxCustomLabel::setShadowPos;
    using TRxCustomLabel::setShadowSize;
    using TRxCustomLabel::setShowAccelChar;
    using TRxCustomLabel::setShowFocus;
    using TRxCustomLabel::setTextLayout;
    using TRxCustomLabel::setTransparent;
    using TRxCustomLabel::setWordWrap;
    using TRxCustomLabel::shadowColor;
    using TRxCustomLabel::shadowPos;
    using TRxCustomLabel::shadowSize;
    using TRxCustomLabel::showAccelChar;
    using TRxCustomLabel::showFocus;
    using TRxCustomLabel::textLayout;
    using TRxCustomLabel::transparent;
    using TRxCustomLabel::wordWrap;
};

} // namespace zumzik
