// The second floor for the desktop figures: the main window's standard controls alone, with the
// main window's fonts, geometry, flags and centring, and nothing else: no scrolling panels, no
// tray icon, no sound, no artwork, no secondary windows and no conversation. It is what any
// window that shows this text and takes this input costs.

#include "CentredPlacement.h"
#include "WindowFont.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

namespace {

QPushButton* button(const QString& text, int top, QWidget& window) {
    auto* pushButton = new QPushButton(text, &window);
    pushButton->setGeometry(384, top, 105, 22);
    pushButton->setFocusPolicy(Qt::NoFocus);
    pushButton->setAutoDefault(false);
    return pushButton;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    zumzik::installFontSubstitutes();
    QWidget window(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                Qt::WindowCloseButtonHint);
    window.setWindowTitle(QStringLiteral("Same controls"));
    window.resize(504, 178);
    window.setFont(zumzik::windowFont());
    window.setFixedSize(window.size());

    // A reply line of the usual length: one of the opening requests for the user's name.
    auto* replyLine = new QLabel(QStringLiteral("Как зовут-то тебя, братишка?"), &window);
    replyLine->setGeometry(25, 112, 479, 13);
    replyLine->setTextFormat(Qt::PlainText);
    replyLine->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // The input field reads as a line: no border, the face colour behind it, and the focus.
    auto* input = new QLineEdit(&window);
    input->setGeometry(24, 144, 457, 21);
    input->setFrame(false);
    input->setAutoFillBackground(true);
    QPalette inputPalette = input->palette();
    inputPalette.setColor(QPalette::Base, window.palette().color(QPalette::Button));
    input->setPalette(inputPalette);
    input->setFocus();

    button(QStringLiteral("О программе"), 8, window);
    button(QStringLiteral("Информация"), 40, window);
    button(QStringLiteral("Выход...         "), 72, window);

    zumzik::CentredPlacement::place(window, window.screen()->availableGeometry());
    window.show();
    window.activateWindow();
    return app.exec();
}
