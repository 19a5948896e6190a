#include "FakeServices.h"
#include "LinkLabel.h"
#include "TAboutBox.h"
#include "TRxLabel.h"
#include "ui_AboutBox.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

using namespace zumzik;

namespace {

class AboutBoxTest : public ::testing::Test {
protected:
    test::ServiceLog log;
    test::FakeLinkOpener links{log};
    TAboutBox about{links};
    Ui::AboutBox& ui() { return about.controls(); }

    // Opens the window modally, runs the action once it is up, and returns the window's result.
    int openAnd(const std::function<void()>& action) {
        QMetaObject::invokeMethod(
            &about,
            [this, action] {
                EXPECT_TRUE(QTest::qWaitFor([this] { return about.isVisible(); }, 5000));
                action();
            },
            Qt::QueuedConnection);
        return about.openModal();
    }
};

// Start-up does not build a window that may never open: its controls come with its first opening.
TEST_F(AboutBoxTest, ItsControlsAreBuiltWhenItFirstOpens) {
    EXPECT_TRUE(about.findChildren<QWidget*>().isEmpty());
    openAnd([this] {
        EXPECT_EQ(about.size(), QSize(277, 201));
        EXPECT_EQ(about.focusWidget(), ui().BitBtn1);
        about.close();
    });
}

TEST_F(AboutBoxTest, ControlsStandInsideTheFrame) {
    EXPECT_EQ(ui().Bevel1->geometry(), QRect(104, 8, 169, 153));
    EXPECT_EQ(about.size(), QSize(277, 201));
    EXPECT_EQ(about.minimumSize(), about.maximumSize());
    EXPECT_EQ(about.windowTitle(), "О программе...");
    EXPECT_FALSE(about.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(ui().Image1->geometry(), QRect(8, 32, 89, 81));
    EXPECT_EQ(ui().Image1->pixmap().size(), QSize(240, 180)) << "stretched, not scaled down";
    EXPECT_EQ(ui().BitBtn1->geometry(), QRect(104, 170, 75, 25));

    const QRect inside = ui().Bevel1->geometry().adjusted(1, 1, -1, -1);
    const std::pair<QWidget*, QPoint> places[] = {
        {ui().RxLabel1, {112, 16}}, {ui().RxLabel2, {112, 40}}, {ui().RxLabel3, {112, 64}},
        {ui().RxLabel4, {112, 88}}, {ui().Label4, {152, 88}},   {ui().RxLabel5, {112, 112}},
        {ui().Label5, {152, 112}}};
    for (const auto& [label, place] : places) {
        EXPECT_EQ(label->pos(), place) << label->objectName().toStdString();
        EXPECT_TRUE(inside.contains(label->geometry()))
            << label->objectName().toStdString() << " is cut off by the frame";
    }
    // The version line in the window's 11-pixel font with its one-pixel shadow.
    EXPECT_EQ(ui().RxLabel2->height(), 14);
    EXPECT_EQ(QFontInfo(ui().RxLabel1->font()).family(), "Liberation Sans");
    EXPECT_EQ(QFontInfo(ui().RxLabel1->font()).pixelSize(), 16);
    EXPECT_TRUE(ui().RxLabel1->font().bold());
    EXPECT_EQ(ui().RxLabel1->palette().color(QPalette::WindowText), QColor(Qt::blue));
    EXPECT_EQ(ui().RxLabel1->shadowPos(), TRxCustomLabel::spRightBottom);
    for (QLabel* link : {static_cast<QLabel*>(ui().Label4), static_cast<QLabel*>(ui().Label5)}) {
        EXPECT_TRUE(link->font().underline());
        EXPECT_EQ(QFontInfo(link->font()).pixelSize(), 11);
        EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(Qt::blue));
        EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    }
    EXPECT_EQ(ui().Label4->toolTip(), "Присылайте замечания и предложения...");
    EXPECT_EQ(ui().Label5->toolTip(), "Здесь можно получить свежие версии программ...");
}

TEST_F(AboutBoxTest, LinkLabelsAreAsLargeAsTheirAddresses) {
    for (LinkLabel* link : {ui().Label4, ui().Label5})
        EXPECT_EQ(link->size(), link->sizeHint()) << link->objectName().toStdString();
    LinkLabel& web = *ui().Label5;
    const QSize before = web.size();
    web.setText("https://zumzik.example.org/downloads/latest/");
    EXPECT_GE(web.width(), QFontMetrics(web.font()).horizontalAdvance(web.text())) << "cut off";
    QFont larger = web.font();
    larger.setPixelSize(20);
    web.setFont(larger);
    EXPECT_EQ(web.size(), web.sizeHint());
    EXPECT_GT(web.height(), before.height());
}

TEST_F(AboutBoxTest, OkIsTheDefaultAndOnlyFocusableControl) {
    EXPECT_TRUE(ui().BitBtn1->isDefault());
    for (QWidget* child : about.findChildren<QWidget*>()) {
        if (child != ui().BitBtn1) {
            EXPECT_EQ(child->focusPolicy() & Qt::TabFocus, 0) << child->objectName().toStdString();
        }
    }
}

TEST_F(AboutBoxTest, LinksHandTheirAddressesToTheOpener) {
    const int result = openAnd([this] {
        QTest::mouseClick(ui().Label4, Qt::LeftButton);
        QTest::mouseClick(ui().Label5, Qt::LeftButton);
        QTest::mouseClick(ui().Label5, Qt::RightButton); // only the left button opens
        EXPECT_TRUE(about.isVisible()) << "the window stays open";
        QTest::mouseClick(ui().BitBtn1, Qt::LeftButton);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(log.events,
              (QStringList{"open: mailto:zumzik@example.org", "open: zumzik.example.org"}));
}

TEST_F(AboutBoxTest, EscapeDoesNothingEnterAndCloseDo) {
    int result = openAnd([this] {
        QTest::keyClick(&about, Qt::Key_Escape);
        EXPECT_TRUE(about.isVisible());
        QTest::keyClick(&about, Qt::Key_Return); // presses the default button
    });
    EXPECT_EQ(result, QDialog::Accepted);
    result = openAnd([this] { about.close(); }); // the title bar's close button, Alt+F4
    EXPECT_EQ(result, QDialog::Rejected);
}

TEST_F(AboutBoxTest, ReopensWhereTheUserLeftIt) {
    openAnd([this] { about.close(); });
    const QPoint centred = about.pos();
    openAnd([this] {
        about.move(40, 30);
        about.close();
    });
    QPoint reopened;
    openAnd([&] {
        reopened = about.pos();
        about.close();
    });
    EXPECT_EQ(reopened, QPoint(40, 30));
    EXPECT_NE(centred, QPoint(40, 30));
}

} // namespace
