#pragma once

#include "ModalWindow.h"

#include <memory>

namespace Ui {
class AboutBox;
}

namespace zumzik {

// the About window: the product name, the version and the maker's contacts.
class TAboutBox : public ModalWindow {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
    ~TAboutBox() override;

private:
    std::unique_ptr<Ui::AboutBox> m_ui;
};

} // namespace zumzik
