#include "TInfoBox.h"

#include "WindowFont.h"
#include "ui_InfoBox.h"

namespace zumzik {

TInfoBox::TInfoBox(QWidget* parent) : ModalWindow(parent), m_ui(std::make_unique<Ui::InfoBox>()) {
    m_ui->setupUi(this);
    setFont(windowFont());
    setFixedSize(size());
}

TInfoBox::~TInfoBox() = default;

} // namespace zumzik
