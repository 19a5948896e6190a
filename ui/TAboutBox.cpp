#include "TAboutBox.h"

#include "AccessibleRole.h"
#include "Artwork.h"
#include "LinkOpener.h"
#include "ui_AboutBox.h"

#include <QStyle>

namespace zumzik {

TAboutBox::TAboutBox(LinkOpener& links, QWidget* parent) : ModalWindow(parent), m_links(links) {
    // The window shows itself to screen readers as a message box, as the toolkit's own About
    // boxes do: a screen reader reads a message box out whole as it opens, every line of it,
    // where of a dialog it reads only the lines of several words, not the name, the version or
    // the addresses.
    presentAccessibleAs<TAboutBox, QAccessible::AlertMessage>();
}

TAboutBox::~TAboutBox() = default;

Ui::AboutBox& TAboutBox::controls() {
    return builtForm(m_ui);
}

void TAboutBox::buildContents() {
    Artwork::registerResources(); // the picture comes from the resources
    setUpForm(m_ui);

    // The title: "Arial", 16-pixel bold characters in blue with a white shadow.
    QFont title(QStringLiteral("Arial"));
    title.setPixelSize(16);
    title.setBold(true);
    m_ui->RxLabel1->setFont(title);
    QPalette blue = m_ui->RxLabel1->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    m_ui->RxLabel1->setPalette(blue);
    m_ui->RxLabel1->setShadowColor(palette().color(QPalette::HighlightedText));

    m_ui->BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    m_ui->BitBtn1->setFocus();
    connect(m_ui->Label4, &LinkLabel::clicked, this, &TAboutBox::Label4Click);
    connect(m_ui->Label5, &LinkLabel::clicked, this, &TAboutBox::Label5Click);
}

void TAboutBox::Label4Click() {
    m_links.open(QStringLiteral("mailto:") + m_ui->Label4->text());
}

void TAboutBox::Label5Click() {
    m_links.open(m_ui->Label5->text());
}

} // namespace zumzik
