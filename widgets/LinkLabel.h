#pragma once

#include <QLabel>

namespace zumzik {

// A label that stands for an address: blue, underlined, with the hand pointer, and a click on it
// (press and release over the label with the left button) is reported.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};

} // namespace zumzik
