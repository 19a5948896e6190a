#pragma once

#include "ChatView.h"
#include "Conversation.h"
#include "RandomGenerator.h"
#include "Services.h"

#include <QTimer>
#include <QWidget>
#include <memory>

namespace Ui {
class MainForm;
}

namespace zumzik {

class TAboutBox;
class TInfoBox;

// The main window: the reply line, the input field, the three buttons, and the conversation behind
// them. The window's layout lives in MainForm.ui; this class binds its events to their handlers.
class TMainForm : public QWidget, public ChatView {
    Q_OBJECT
public:
    explicit TMainForm(Services services, QWidget* parent = nullptr);
    ~TMainForm() override;

    // The creation step. An error stops it where it happened and goes on to the caller.
    void FormCreate();
    // The secondary windows that the About and Information buttons open.
    void setSecondaryWindows(TAboutBox* about, TInfoBox* info);
    // Shows the window centred on its screen the first time, where the user left it afterwards.
    void showCentred();

    // ChatView
    void setReplyLine(const std::string& text) override;
    std::string inputText() const override;
    void clearInput() override;

    RandomGenerator& random() { return m_random; }
    Conversation& conversation() { return m_conversation; }
    Ui::MainForm& controls() { return *m_ui; }
    QTimer& Timer1() { return m_timer1; }

signals:
    // The window has been allowed to close: the program ends.
    void closed();

public slots:
    void AboutButtonClick();
    void HelpButtonClick();
    void ExitBtnClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Runs the exit protest; closing is always allowed afterwards.
    void FormCloseQuery(bool& canClose);

    std::unique_ptr<Ui::MainForm> m_ui;
    Services m_services;
    RandomGenerator m_random;
    Conversation m_conversation;
    QTimer m_timer1;
    TAboutBox* m_aboutBox = nullptr;
    TInfoBox* m_infoBox = nullptr;
    bool m_protesting = false;
    bool m_closing = false;
};

} // namespace zumzik
