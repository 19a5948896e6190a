#include "TMainForm.h"

#include "Announcer.h"
#include "ApplicationErrorReport.h"
#include "Artwork.h"
#include "BlockedCloseRequests.h"
#include "CentredPlacement.h"
#include "Cp1251.h"
#include "ExitProtest.h"
#include "ModalWindow.h"
#include "PanelText.h"
#include "ReplyLineText.h"
#include "SoundPlayer.h"
#include "TAboutBox.h"
#include "TInfoBox.h"
#include "TrayAvailabilityWait.h"
#include "WindowFont.h"
#include "ui_MainForm.h"

#include <QAccessible>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QScreen>
#include <stdexcept>

namespace zumzik {
namespace {

constexpr int kIdleRecallMilliseconds = 50000;
constexpr quint16 kTrayFrameMilliseconds = 200;
constexpr const char* kReproachLine = "Вы что же, забыли обо мне? Нехорошо как-то это!";

// Reads an artwork file of the program into an icon or an icon list.
template <typename Target> void loadArtwork(Target& target, const QString& fileName) {
    QFile file(Artwork::path(fileName));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("The built-in artwork lacks " + fileName.toStdString());
    target.LoadFromStream(file);
}

// The code page 1251 character that a key press types, or 0 when it types none.
char typedCharacter(const QKeyEvent& key) {
    if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter)
        return '\r';
    if (key.text().isEmpty())
        return 0;
    return Cp1251::fromUtf8(QString(key.text().front()).toStdString()).front();
}

} // namespace

TMainForm::TMainForm(Services services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      m_ui(std::make_unique<Ui::MainForm>()), m_services(services),
      m_conversation(*this, m_random, services.clock),
      m_trayIcon(new TRxTrayIcon(services.tray, this)),
      m_trayWait(new TrayAvailabilityWait(services.tray, this)) {
    m_ui->setupUi(this);
    m_announcer = new Announcer(this);
    setFont(windowFont());
    setFixedSize(size());

    // The input field reads as a line inside the frame: no border, the face colour behind it.
    QPalette editPalette = m_ui->Edit1->palette();
    editPalette.setColor(QPalette::Base, palette().color(QPalette::Button));
    m_ui->Edit1->setPalette(editPalette);
    m_ui->Edit1->installEventFilter(this);
    m_ui->Edit1->setFocus();

    // The aphorisms: "Times New Roman", 16-pixel bold characters in blue.
    QFont quotesFont(QStringLiteral("Times New Roman"));
    quotesFont.setPixelSize(16);
    quotesFont.setBold(true);
    // The font has every character of the aphorisms, so no other fonts are gathered to stand in
    // for missing ones: that search through the font configuration is a good part of start-up.
    quotesFont.setStyleStrategy(QFont::NoFontMerging);
    m_ui->SecretPanel->setFont(quotesFont);
    QPalette blue = m_ui->SecretPanel->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    m_ui->SecretPanel->setPalette(blue);
    m_ui->SecretPanel->setLines(panelText(QStringLiteral("quotes.txt")));

    m_ui->AboutButton->setIcon(Artwork::buttonGlyph(QStringLiteral("about-glyph.bmp"), 2));
    m_ui->HelpButton->setIcon(Artwork::buttonGlyph(QStringLiteral("help-glyph.bmp"), 2));
    m_ui->ExitButton->setIcon(Artwork::buttonGlyph(QStringLiteral("exit-glyph.bmp"), 1));
    m_ui->ExitButton->setIconSize(QSize(19, 18));

    connect(m_ui->AboutButton, &QPushButton::clicked, this, &TMainForm::AboutButtonClick);
    connect(m_ui->HelpButton, &QPushButton::clicked, this, &TMainForm::HelpButtonClick);
    connect(m_ui->ExitButton, &QPushButton::clicked, this, &TMainForm::ExitBtnClick);

    m_timer1.setInterval(kIdleRecallMilliseconds);
    connect(&m_timer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);
    setUpTrayIcon();
    // Closing from outside stays possible while a secondary window is open: the window manager's
    // close and the taskbar's Close run the protest then, too.
    new BlockedCloseRequests(*this, [this] { close(); });
}

void TMainForm::setUpTrayIcon() {
    m_trayIcon->setObjectName(QStringLiteral("TrayIcon"));
    m_trayIcon->SetHint(QStringLiteral("Zumzik!"));
    loadArtwork(*m_trayIcon->Icon(), QStringLiteral("zumzik.ico"));
    loadArtwork(*m_trayIcon->Icons(), QStringLiteral("tray-frames.bin"));
    m_trayIcon->SetInterval(kTrayFrameMilliseconds);
    m_trayIcon->SetOnClick([this](QObject* sender, TMouseButton button, TShiftState shift, int x,
                                  int y) { TrayIconClick(sender, button, shift, x, y); });
    m_trayIcon->Loaded();
}

TMainForm::~TMainForm() = default;

void TMainForm::FormCreate() {
    m_conversation.FormCreate([this] { m_minimiseHandlerInstalled = true; });
}

void TMainForm::setSecondaryWindows(TAboutBox* about, TInfoBox* info) {
    m_aboutBox = about;
    m_infoBox = info;
}

void TMainForm::showCentred() {
    placeForFirstShowing();
    show();
    activateWindow();
}

void TMainForm::startMinimised() {
    const auto toTheTaskbar = [this] {
        placeForFirstShowing();
        showMinimized();
        if (m_minimiseHandlerInstalled)
            startRecall();
    };
    if (m_minimiseHandlerInstalled)
        m_trayWait->start([this] { MyMin(); }, toTheTaskbar);
    else
        toTheTaskbar();
}

void TMainForm::placeForFirstShowing() {
    if (m_placed)
        return;
    CentredPlacement::place(*this, screen()->availableGeometry());
    m_placed = true;
}

void TMainForm::setReplyLine(const std::string& text) {
    m_ui->Label1->setText(replyLineText(text));
    // Screen readers follow the input field, not the reply line: each reply is announced as the
    // line shows it, without mnemonic markers.
    if (QAccessibleInterface* line = QAccessible::queryAccessibleInterface(m_ui->Label1))
        m_announcer->announce(line->text(QAccessible::Name));
}

std::string TMainForm::inputText() const {
    return Cp1251::fromUtf8(m_ui->Edit1->text().toStdString());
}

void TMainForm::clearInput() {
    m_ui->Edit1->clear();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_ui->Edit1 && event->type() == QEvent::KeyPress) {
        // The conversation sees every typed character first; the field then handles it as usual.
        // An error abandons the key: it is reported here rather than thrown on through Qt's
        // event dispatch, which does not unwind its own state for exceptions.
        if (const char typed = typedCharacter(*static_cast<QKeyEvent*>(event))) {
            try {
                m_conversation.Edit1KeyPress(typed);
            } catch (...) {
                ApplicationErrorReport::reportCurrentException();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TMainForm::AboutButtonClick() {
    if (m_aboutBox)
        m_aboutBox->openModal();
}

void TMainForm::HelpButtonClick() {
    m_services.sound.play(QStringLiteral("ohh.wav"));
    if (m_infoBox)
        m_infoBox->openModal();
}

void TMainForm::ExitBtnClick() {
    close();
}

void TMainForm::FormCloseQuery(bool& canClose) {
    ExitProtest(m_random, m_services.sound, m_services.boxes).run();
    canClose = true;
}

void TMainForm::closeEvent(QCloseEvent* event) {
    // The protest box keeps the event loop running, so another close request can arrive while it
    // is open; the close under way ends the program anyway, so it gets no box of its own.
    if (m_protesting || m_closing) {
        event->ignore();
        return;
    }
    // A close from outside (the window manager, the taskbar, log-off) can come while a secondary
    // window is open. It is cancelled first, as the program's end would cancel it, so that it does
    // not block the protest box.
    ModalWindow::cancelOpenWindow();
    bool canClose = false;
    {
        const QScopedValueRollback protesting(m_protesting, true);
        FormCloseQuery(canClose);
    }
    if (!canClose) {
        event->ignore();
        return;
    }
    m_closing = true;
    event->accept();
    emit closed();
}

void TMainForm::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    const auto* change = static_cast<QWindowStateChangeEvent*>(event);
    const bool minimised =
        isMinimized() && !(change->oldState() & Qt::WindowMinimized) && isVisible();
    // Without a notification area there is nothing to hide in: the minimise stays an ordinary
    // one, and the window can come back from the taskbar, or by the idle recall all the same.
    // The handler runs once the minimise is complete, as a hide in the middle of it would be
    // undone.
    if (minimised && hidesInTray()) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (isMinimized())
                    MyMin();
            },
            Qt::QueuedConnection);
    } else if (minimised && m_minimiseHandlerInstalled) {
        startRecall();
    } else if (!isMinimized() && (change->oldState() & Qt::WindowMinimized) && isVisible()) {
        // Restored by the user from the taskbar: nothing left to recall.
        m_timer1.stop();
    }
}

bool TMainForm::hidesInTray() const {
    return m_minimiseHandlerInstalled && m_services.tray.available();
}

void TMainForm::MyMin() {
    // Some window managers move a window that they stop managing to where its frame was (mutter
    // does), so where the window lies is kept for its return; one never shown has no place yet.
    if (m_placed)
        m_placeBeforeHiding = geometry();
    hide();
    m_trayIcon->SetAnimated(true);
    startRecall();
}

void TMainForm::startRecall() {
    if (!m_timer1.isActive())
        m_timer1.start();
}

void TMainForm::bringBack() {
    // Restored before it is shown, so that the window comes back in its normal state at once
    // rather than mapped minimised first.
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    // A program started minimised shows its window here for the first time; one that hid in
    // the tray comes back where it was.
    placeForFirstShowing();
    if (isHidden() && m_placeBeforeHiding.isValid())
        setGeometry(m_placeBeforeHiding);
    show();
    raise();
    // The input field is the only control that takes the focus, so it had it last.
    m_ui->Edit1->setFocus();
    // A modal window, if one is open, is the one the user was last working in.
    QWidget* last = QApplication::activeModalWidget();
    if (!last)
        last = this;
    if (last->isVisible() && last->isEnabled()) {
        last->raise();
        last->activateWindow();
    }
    m_trayIcon->SetAnimated(false);
    m_timer1.stop();
}

void TMainForm::TrayIconClick(QObject*, TMouseButton, TShiftState, int, int) {
    bringBack();
}

void TMainForm::Timer1Timer() {
    bringBack();
    setReplyLine(Cp1251::fromUtf8(kReproachLine));
}

} // namespace zumzik
