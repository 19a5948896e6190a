#pragma once

#include <QLabel>

namespace zumzik {

// A label that stands for an address: blue, underlined, with the hand pointer, and a click on it
// (press and release over the label with the left button) is reported. Its size follows its text
// and font, so that the clickable area is the address and nothing else.
class LinkLabel : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)
public:
    explicit LinkLabel(QWidget* parent = nullptr);

    // QLabel's text, and the label's size to fit it.
    void setText(const QString& text);

signals:
    void clicked();

protected:
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};

} // namespace zumzik
