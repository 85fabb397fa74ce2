#include "framework/forms/Colors.h"

#include <QGuiApplication>
#include <QPalette>
#include <gtest/gtest.h>

TEST(ColorsTest, PlainValuesKeepRedInTheLowByte) {
    EXPECT_EQ(ColorToQColor(clRed), QColor(255, 0, 0));
    EXPECT_EQ(ColorToQColor(clBlue), QColor(0, 0, 255));
    EXPECT_EQ(ColorToQColor(0x00336699), QColor(0x99, 0x66, 0x33));
    EXPECT_EQ(ColorFromRGB(0x99, 0x66, 0x33), 0x00336699);
    EXPECT_EQ(QColorToColor(QColor(0x99, 0x66, 0x33)), 0x00336699);
    // A palette-relative value (high byte 2) stands for its low three bytes.
    EXPECT_EQ(ColorToQColor(0x02FF0000), QColor(0, 0, 255));
    // Decimal values from a project file: 16777215 is white, 8388608 navy.
    EXPECT_EQ(ColorToQColor(16777215), QColor(Qt::white));
    EXPECT_EQ(ColorToQColor(8388608), QColor(0, 0, 128));
}

TEST(ColorsTest, SystemColoursAreNegativeAndFollowThePalette) {
    EXPECT_LT(clBtnFace, 0);
    EXPECT_EQ(clBtnFace, -2147483633); // as a project file stores it
    const QPalette pal = QGuiApplication::palette();
    EXPECT_EQ(ColorToQColor(clBtnFace), pal.color(QPalette::Button));
    EXPECT_EQ(ColorToQColor(clWindow), pal.color(QPalette::Base));
    EXPECT_EQ(ColorToQColor(clWindowText), pal.color(QPalette::Text));
    EXPECT_EQ(ColorToQColor(clHighlight), pal.color(QPalette::Active, QPalette::Highlight));
    EXPECT_TRUE(ColorToQColor(SystemColor(200)).isValid());
}
