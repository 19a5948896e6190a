#include "TInfoBox.h"

#include "PanelText.h"
#include "ui_InfoBox.h"

namespace zumzik {

TInfoBox::TInfoBox(QWidget* parent) : ModalWindow(parent) {}

TInfoBox::~TInfoBox() = default;

Ui::InfoBox& TInfoBox::controls() {
    return builtForm(m_ui);
}

void TInfoBox::buildContents() {
    setUpForm(m_ui);
    // The text scrolls in the window's font, in navy, also while the window is hidden.
    QPalette navy = m_ui->SecretPanel1->palette();
    navy.setColor(QPalette::WindowText, QColor(0, 0, 128));
    m_ui->SecretPanel1->setPalette(navy);
    m_ui->SecretPanel1->setLines(panelText(QStringLiteral("information.txt")));
    // It stands where it would stand had it scrolled since the window was created.
    m_ui->SecretPanel1->restartPass(m_created);
}

} // namespace zumzik
