#include "TAboutBox.h"

#include "WindowFont.h"
#include "ui_AboutBox.h"

namespace zumzik {

TAboutBox::TAboutBox(QWidget* parent)
    : ModalWindow(parent), m_ui(std::make_unique<Ui::AboutBox>()) {
    m_ui->setupUi(this);
    setFont(windowFont());
    setFixedSize(size());
}

TAboutBox::~TAboutBox() = default;

} // namespace zumzik
