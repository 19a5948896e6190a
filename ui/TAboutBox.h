#pragma once

#include "ModalWindow.h"

#include <memory>

namespace Ui {
class AboutBox;
}

namespace zumzik {

class LinkOpener;

// the About window: the product name, the version and the maker's contacts.
class TAboutBox : public ModalWindow {
    Q_OBJECT
public:
    explicit TAboutBox(LinkOpener& links, QWidget* parent = nullptr);
    ~TAboutBox() override;

    Ui::AboutBox& controls();

public slots:
    // Writes a new message to the e-mail address shown.
    void Label4Click();
    // Opens the web address shown.
    void Label5Click();

protected:
    void buildContents() override;

private:
    std::unique_ptr<Ui::AboutBox> m_ui;
    LinkOpener& m_links;
};

} // namespace zumzik
