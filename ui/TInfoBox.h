#pragma once

#include "ModalWindow.h"

#include <memory>

namespace Ui {
class InfoBox;
}

namespace zumzik {

// the Information window: a slowly scrolling text about the program.
class TInfoBox : public ModalWindow {
    Q_OBJECT
public:
    explicit TInfoBox(QWidget* parent = nullptr);
    ~TInfoBox() override;

    Ui::InfoBox& controls() { return *m_ui; }

private:
    std::unique_ptr<Ui::InfoBox> m_ui;
};

} // namespace zumzik
