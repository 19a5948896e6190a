// The scrolling panel on a real X server: its ticks reach the window without the user-interface
// thread, and what the window shows is exactly the frame.

#include "TSecretPanel.h"

#include <QGuiApplication>
#include <QPaintEvent>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

using zumzik::TSecretPanel;

namespace {

const QColor kText(0, 0, 255);
const QColor kBackground(192, 192, 192);

// Counts the paints that reach the panel.
class CountingPanel : public TSecretPanel {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* event) override {
        ++paints;
        TSecretPanel::paintEvent(event);
    }
};

class SecretPanelOnX11 : public ::testing::Test {
protected:
    CountingPanel panel;

    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
        panel.setInterval(0); // the test gives the ticks
        panel.resize(220, 90);
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(14);
        panel.setFont(font);
        QPalette colours = panel.palette();
        colours.setColor(QPalette::WindowText, kText);
        colours.setColor(QPalette::Button, kBackground);
        panel.setPalette(colours);
        panel.setLines({"Первая строка", "Вторая строка", "Третья"});
        panel.setCycled(true);
        panel.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
        panel.setActive(true);
        QTest::qWait(50);
    }
    // The text area as the X server has it.
    QImage shown() {
        return panel.screen()
            ->grabWindow(panel.winId())
            .toImage()
            .convertToFormat(QImage::Format_RGB32)
            .copy(panel.textArea());
    }
    bool showsFrame() {
        return QTest::qWaitFor([&] { return shown() == panel.frame(); }, 5000);
    }
};

TEST_F(SecretPanelOnX11, TicksShowEachFrameWithoutAPaint) {
    const int paintsBefore = panel.paints;
    for (int position : {1, 17, 40}) {
        while (panel.scrollPosition() < position)
            panel.tick();
        EXPECT_TRUE(showsFrame()) << "at position " << position;
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(panel.paints, paintsBefore);
}

TEST_F(SecretPanelOnX11, AFrameCoveredAndUncoveredShowsAgain) {
    for (int i = 0; i < 30; ++i)
        panel.tick();
    ASSERT_TRUE(showsFrame());
    QWidget cover;
    cover.setWindowFlags(Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
    cover.setGeometry(QRect(panel.mapToGlobal(QPoint()), panel.size()));
    cover.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&cover));
    cover.hide();
    EXPECT_TRUE(showsFrame());
}

} // namespace
