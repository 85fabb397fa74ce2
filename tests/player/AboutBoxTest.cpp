#include "player/AboutBox.h"
#include "common/StartRecorder.h"
#include "platform/Shell.h"
#include "player/MenuTestSupport.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include <gtest/gtest.h>

TEST(AboutBox, PlacementLeavesTheButtonColumnFreeOnWideWindows) {
    const QSize box(289, 228);
    // (650 - 289 - 163 - 24) div 2 = 87; (427 - 228) div 2 = 99.
    EXPECT_EQ(TAbout::Placement({100, 50}, {650, 427}, 163, box), QPoint(187, 149));
    EXPECT_EQ(TAbout::Placement({100, 50}, {600, 427}, 163, box), QPoint(162, 149));
    // Narrower than 600: centred over the whole window.
    EXPECT_EQ(TAbout::Placement({100, 50}, {471, 427}, 163, box), QPoint(191, 149));
    // Truncation toward zero, also for a window smaller than the box.
    EXPECT_EQ(TAbout::Placement({0, 0}, {200, 100}, 163, box), QPoint(-44, -64));
}

// The box's frame is placed from both windows' outer sizes.
TEST(AboutBox, ActivationPlacesTheBoxOverTheMenuWindow) {
    Framed<TForm> menu;
    menu.setGeometry(300, 200, 642, 400);
    QWidget exitBtn(&menu);
    exitBtn.setObjectName("ExitBtn");
    exitBtn.resize(163, 25);
    Framed<TAbout> about;
    about.MenuWindow = &menu;
    about.FormActivate(&about);
    const QPoint frame = QPoint((650 - 297 - 187) / 2, (427 - 255) / 2);
    EXPECT_EQ(about.geometry().topLeft(), QPoint(300, 200) + frame + QPoint(4, 23));
    EXPECT_EQ(about.size(), QSize(289, 228));
}

TEST(AboutBox, LinksGoThroughTheLaunchRoutine) {
    TAbout about;
    QStringList calls;
    about.RunFile = [&](const QString& file, const QString& folder, const QString& params) {
        calls << file + "|" + folder + "|" + params;
    };
    about.AWeb->setText("http://example.org");
    about.AMail->setText("mailto:me@example.org");
    QTest::mouseClick(about.AWeb, Qt::LeftButton);
    QTest::mouseClick(about.AMail, Qt::LeftButton);
    EXPECT_EQ(calls, (QStringList{"http://example.org|.|", "mailto:me@example.org|.|"}));

    // A project without addresses: the rows are empty and lose their handler.
    about.AWeb->setText("");
    about.AWeb->OnClick = nullptr;
    QTest::mouseClick(about.AWeb, Qt::LeftButton);
    EXPECT_EQ(calls.size(), 2);

    // A caption wider than its designed 61 pixels is shown whole, its link beside it; one too
    // wide for the box is shortened, whole in its tool tip, and the link keeps room for an address.
    const QString wide = "Our homepage :", huge = QString(80, 'W');
    about.SetLinkCaptions(wide, "Email adr. :");
    EXPECT_EQ(about.AWebText->text(), wide);
    EXPECT_GE(about.AWebText->width(), about.AWebText->fontMetrics().horizontalAdvance(wide));
    EXPECT_GT(about.AWeb->x(), 90);
    EXPECT_EQ(about.AWeb->geometry().right() + 1, 265);
    EXPECT_EQ(about.AMail->x(), about.AWeb->x());
    about.SetLinkCaptions(huge, "");
    EXPECT_NE(about.AWebText->text(), huge);
    EXPECT_EQ(about.AWebText->toolTip(), huge);
    EXPECT_EQ(about.AWeb->width(), 120);

    // A link cut at the end of its place shows whole in its tool tip; one that fits has none.
    for (const QString& address : {QString("mailto:me@x.org"), "mailto:" + QString(40, 'm')}) {
        about.AMail->setText(address);
        QHelpEvent help(QEvent::ToolTip, {1, 1}, about.AMail->mapToGlobal(QPoint(1, 1)));
        QApplication::sendEvent(about.AMail, &help);
        EXPECT_EQ(QToolTip::isVisible() ? QToolTip::text() : "",
                  address.size() > 20 ? address : "");
    }
}

TEST(AboutBox, LinksWithoutLaunchRoutineUseTheShell) {
    Shell::SetDesktopOpener(QStringLiteral(ORV_RECORDARGS));
    StartRecorder rec;
    TAbout about;
    about.AMail->setText("mailto:me@example.org");
    about.AWebClick(about.AMail);
    const auto start = rec.Wait();
    ASSERT_TRUE(start);
    EXPECT_EQ(start->args, QStringList{"mailto:me@example.org"});

    Shell::SetDesktopOpener(rec.Folder() + "/none");
    about.AWeb->setText("http://example.org");
    try {
        about.AWebClick(about.AWeb);
        ADD_FAILURE() << "a refused start must raise";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "http://example.org could not be launched !");
    }
    about.AWeb->setText("");
    EXPECT_NO_THROW(about.AWebClick(about.AWeb));
    Shell::SetDesktopOpener(QString());
}

TEST(AboutBox, ButtonClosesTheModalBoxAndIconFollowsTheApplication) {
    TAbout about;
    QTimer::singleShot(0, about.BitBtn1, [&] { about.BitBtn1->click(); });
    about.ShowModal();
    EXPECT_FALSE(about.isVisible());

    QPixmap red(32, 32);
    red.fill(Qt::red);
    Application().Icon = QIcon(red);
    about.TakeApplicationIcon();
    EXPECT_EQ(about.Image1->pixmap().toImage().pixelColor(5, 5), QColor(Qt::red));
    // Without a project icon the program's own shows.
    QPixmap blue(32, 32);
    blue.fill(Qt::blue);
    const QIcon programIcon = QApplication::windowIcon();
    QApplication::setWindowIcon(QIcon(blue));
    Application().Icon = QIcon();
    about.TakeApplicationIcon();
    EXPECT_EQ(about.Image1->pixmap().toImage().pixelColor(5, 5), QColor(Qt::blue));
    QApplication::setWindowIcon(programIcon);
}
