#pragma once

#include "ModalWindow.h"

#include <chrono>
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

    Ui::InfoBox& controls();

protected:
    void buildContents() override;

private:
    std::unique_ptr<Ui::InfoBox> m_ui;
    // The text scrolls from here on, although its panel is built only when it is first needed.
    std::chrono::steady_clock::time_point m_created = std::chrono::steady_clock::now();
};

} // namespace zumzik
