// The floor for the desktop figures: a Qt window of the main window's size, centred the same way,
// that shows nothing and does nothing.

#include <QApplication>
#include <QScreen>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Minimal"));
    window.setFixedSize(504, 178);
    QRect frame(QPoint(), window.size());
    frame.moveCenter(window.screen()->availableGeometry().center());
    window.move(frame.topLeft());
    window.show();
    return app.exec();
}
