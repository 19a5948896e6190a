#pragma once

#include "ChatView.h"
#include "Conversation.h"
#include "RandomGenerator.h"
#include "Services.h"
#include "TRxTrayIcon.h"

#include <QTimer>
#include <QWidget>
#include <memory>

namespace Ui {
class MainForm;
}

namespace zumzik {

class Announcer;
class TAboutBox;
class TInfoBox;
class TrayAvailabilityWait;

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
    // Start-up without showing the window: into the tray, as a minimise would hide it, once the
    // tray answers, or minimised onto the taskbar where the window cannot hide in a tray.
    void startMinimised();

    // ChatView
    void setReplyLine(const std::string& text) override;
    std::string inputText() const override;
    void clearInput() override;

    RandomGenerator& random() { return m_random; }
    Conversation& conversation() { return m_conversation; }
    Ui::MainForm& controls() { return *m_ui; }
    QTimer& Timer1() { return m_timer1; }
    TRxTrayIcon& TrayIcon() { return *m_trayIcon; }

signals:
    // The window has been allowed to close: the program ends.
    void closed();

public slots:
    void AboutButtonClick();
    void HelpButtonClick();
    void ExitBtnClick();
    // The application's minimise handler: the window hides into the animated tray icon, and the
    // idle recall starts counting.
    void MyMin();
    // Every click on the tray icon is treated alike: the window comes back.
    void TrayIconClick(QObject* sender, TMouseButton button, TShiftState shift, int x, int y);
    // The idle recall: the window comes back by itself and reproaches the user.
    void Timer1Timer();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Runs the exit protest; closing is always allowed afterwards.
    void FormCloseQuery(bool& canClose);
    // The tray icon as the window describes it: the smiling face, its two frames, the hint.
    void setUpTrayIcon();
    // What a tray click and the idle recall share: the window back on top with the focus where
    // it was, the icon still, the recall off.
    void bringBack();
    // Whether a minimise hides the window in the tray: the creation step installed the handler
    // and there is a notification area to hide in.
    bool hidesInTray() const;
    // Centred on the screen before the window's first showing; afterwards it stays where it is.
    void placeForFirstShowing();
    // The idle recall starts counting, unless it counts already.
    void startRecall();

    std::unique_ptr<Ui::MainForm> m_ui;
    Services m_services;
    RandomGenerator m_random;
    Conversation m_conversation;
    QTimer m_timer1;
    TRxTrayIcon* m_trayIcon;
    TrayAvailabilityWait* m_trayWait;
    // Has screen readers speak every reply as it appears.
    Announcer* m_announcer = nullptr;
    TAboutBox* m_aboutBox = nullptr;
    TInfoBox* m_infoBox = nullptr;
    bool m_protesting = false;
    bool m_closing = false;
    bool m_placed = false;
    // The window's client area when it last hid in the tray.
    QRect m_placeBeforeHiding;
    // Set by the creation step; when it stopped before, a minimise stays an ordinary one.
    bool m_minimiseHandlerInstalled = false;
};

} // namespace zumzik
