#include "components/Gradient.h"
#include "components/PaintCounting.h"

#include <QPainter>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

constexpr QRgb kUntouched = qRgb(1, 2, 3);

// Paints an area of w by h into an image at least 1 by 1 pixel large.
QImage Render(const TGradient& gradient, int w, int h) {
    QImage image(std::max(w, 1), std::max(h, 1), QImage::Format_RGB32);
    image.fill(kUntouched);
    QPainter painter(&image);
    gradient.PaintTo(painter, QSize(w, h));
    return image;
}

TColor At(const QImage& image, int x, int y) {
    return QColorToColor(QColor(image.pixel(x, y)));
}

using CountingGradient = PaintCounting<TGradient>;

TGradient& RedToBlack(TGradient& g) {
    g.SetStartColor(scRed);
    g.SetEndColor(ecBlack);
    g.SetDirection(gdDownRight);
    return g;
}

} // namespace

TEST(GradientTest, StartsAsTheFormsExpect) {
    TGradient g;
    EXPECT_EQ(g.Direction(), gdDownRight);
    EXPECT_EQ(g.EndColor(), ecBlack);
    EXPECT_EQ(g.StartColor(), scBlue);
    EXPECT_EQ(g.StepWidth(), 1);
    EXPECT_EQ(g.Style(), gsHorizontal);
    EXPECT_TRUE(g.Visible());
    EXPECT_EQ(g.Align(), alClient);
    EXPECT_EQ(g.Colors()[0], ColorFromRGB(0, 0, 255));
    EXPECT_EQ(g.Colors()[255], clBlack);
}

TEST(GradientTest, ColourTableRunsFromStartToEndColourInEitherDirection) {
    TGradient g;
    RedToBlack(g);
    // Red lies in the low byte of a colour value.
    EXPECT_EQ(g.Colors()[0], 0x0000FF);
    EXPECT_EQ(g.Colors()[128], ColorFromRGB(127, 0, 0));
    EXPECT_EQ(g.Colors()[255], clBlack);
    g.SetStartColor(scMaroon); // half levels come in pairs
    EXPECT_EQ(g.Colors()[1], ColorFromRGB(127, 0, 0));
    EXPECT_EQ(g.Colors()[2], ColorFromRGB(126, 0, 0));

    g.SetStartColor(scBlue);
    g.SetEndColor(ecWhite);
    g.SetDirection(gdUpLeft);
    EXPECT_EQ(g.Colors()[0], clWhite);
    EXPECT_EQ(g.Colors()[55], ColorFromRGB(200, 200, 255));
    EXPECT_EQ(g.Colors()[255], ColorFromRGB(0, 0, 255));
    g.SetEndColor(ecBlack);
    EXPECT_EQ(g.Colors()[0], clBlack);
    EXPECT_EQ(g.Colors()[255], ColorFromRGB(0, 0, 255));
}

TEST(GradientTest, EveryStartColourReachesItsNamedColourAndBothEnds) {
    const TColor named[] = {clAqua, clBlue,  clFuchsia, clGray, clGreen, clLime,  clMaroon,
                            clNavy, clOlive, clPurple,  clRed,  clTeal,  clWhite, clYellow};
    // Toward white the first entry is the standard colour, toward black its half levels are
    // one lower (127 for 128); the midway entry mixes in the level.
    const TColor midway[] = {ColorFromRGB(100, 255, 255),
                             ColorFromRGB(100, 100, 255),
                             ColorFromRGB(255, 100, 255),
                             ColorFromRGB(178, 178, 178),
                             ColorFromRGB(100, 178, 100),
                             ColorFromRGB(100, 255, 100),
                             ColorFromRGB(178, 100, 100),
                             ColorFromRGB(100, 100, 178),
                             ColorFromRGB(178, 178, 100),
                             ColorFromRGB(178, 100, 178),
                             ColorFromRGB(255, 100, 100),
                             ColorFromRGB(100, 178, 178),
                             clWhite,
                             ColorFromRGB(255, 255, 100)};
    TGradient g;
    for (int sc = scAqua; sc <= scYellow; ++sc) {
        g.SetStartColor(TStartColor(sc));
        g.SetEndColor(ecWhite);
        EXPECT_EQ(g.Colors()[0], named[sc]) << sc;
        EXPECT_EQ(g.Colors()[100], midway[sc]) << sc;
        EXPECT_EQ(g.Colors()[255], clWhite) << sc;
        g.SetEndColor(ecBlack);
        TColor expected = 0;
        for (int shift : {0, 8, 16}) {
            const int part = (named[sc] >> shift) & 0xFF;
            expected |= (part == 0x80 ? 0x7F : part) << shift;
        }
        EXPECT_EQ(g.Colors()[0], expected) << sc;
        EXPECT_EQ(g.Colors()[255], clBlack) << sc;
    }
}

TEST(GradientTest, WhiteToWhitePaintsPlainWhiteInEveryStyle) {
    TGradient g;
    g.SetStartColor(scWhite);
    g.SetEndColor(ecWhite);
    for (TGradStyle style : {gsHorizontal, gsVertical, gsEllipse, gsPyramid}) {
        g.SetStyle(style);
        const QImage image = Render(g, 40, 30);
        EXPECT_EQ(At(image, 20, 15), clWhite) << style;
        EXPECT_EQ(At(image, 20, 2), clWhite) << style;
    }
}

TEST(GradientTest, HorizontalBandsAtHeight255AreTwoRowsEachOffsetByOne) {
    TGradient g;
    RedToBlack(g);
    const QImage image = Render(g, 7, 255);
    // Band i starts at row i - 1 and the next band covers its second row.
    for (int row = 0; row < 255; ++row)
        ASSERT_EQ(At(image, row % 7, row), g.Colors()[std::size_t(row + 1)]) << row;
}

TEST(GradientTest, BandsAreThreeRowsAtHeight510) {
    TGradient g;
    RedToBlack(g);
    const QImage image = Render(g, 3, 510);
    for (int row = 0; row < 510; ++row)
        ASSERT_EQ(At(image, 1, row), g.Colors()[std::size_t(row / 2 + 1)]) << row;
}

TEST(GradientTest, BandStartsAreTruncatedFromTheSinglePrecisionFactor) {
    TGradient g;
    RedToBlack(g);
    // At 261 rows the factor held in single precision is a little below 261/255: band 86
    // starts at row 86, where the exact ratio (or a product rounded to single) gives 87.
    const QImage rows = Render(g, 2, 261);
    EXPECT_EQ(At(rows, 0, 85), g.Colors()[85]);
    EXPECT_EQ(At(rows, 0, 86), g.Colors()[86]);
    EXPECT_EQ(At(rows, 0, 173), g.Colors()[171]);
    EXPECT_EQ(At(rows, 0, 260), g.Colors()[255]);

    // The menu window's vertical gradient is 642 pixels wide.
    g.SetStyle(gsVertical);
    const QImage columns = Render(g, 642, 2);
    EXPECT_EQ(At(columns, 0, 1), g.Colors()[1]);
    EXPECT_EQ(At(columns, 2, 1), g.Colors()[2]);
    EXPECT_EQ(At(columns, 213, 0), g.Colors()[86]);
    EXPECT_EQ(At(columns, 427, 0), g.Colors()[171]);
    EXPECT_EQ(At(columns, 641, 1), g.Colors()[255]);
}

TEST(GradientTest, VerticalBandsFillWholeColumns) {
    TGradient g;
    RedToBlack(g);
    g.SetStyle(gsVertical);
    const QImage image = Render(g, 255, 9);
    for (int x = 0; x < 255; ++x)
        for (int y : {0, 4, 8})
            ASSERT_EQ(At(image, x, y), g.Colors()[std::size_t(x + 1)]) << x;
}

TEST(GradientTest, EllipsesNeedAWidthOfTen) {
    TGradient g;
    RedToBlack(g);
    g.SetStyle(gsEllipse);
    for (int w = 0; w < 10; ++w) {
        const QImage image = Render(g, w, 20);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < image.width(); ++x)
                ASSERT_EQ(image.pixel(x, y), kUntouched) << w;
    }
    // At 10 there is one ellipse, d = 2, coloured from entry Trunc(2 * 255/3) = 170.
    const QImage ten = Render(g, 10, 10);
    EXPECT_EQ(At(ten, 5, 5), g.Colors()[170]);
    EXPECT_EQ(ten.pixel(0, 0), kUntouched);
    EXPECT_EQ(ten.pixel(9, 9), kUntouched);
}

TEST(GradientTest, EllipsesShrinkTowardTheCentreAsTheColourRises) {
    TGradient g;
    RedToBlack(g);
    g.SetStyle(gsEllipse);
    // 100 by 100: L = 48, s = 5.3125, the last ellipse is d = 47.
    const QImage image = Render(g, 100, 100);
    EXPECT_EQ(image.pixel(0, 0), kUntouched);
    EXPECT_EQ(image.pixel(0, 50), kUntouched);
    EXPECT_EQ(At(image, 1, 50), g.Colors()[10]);
    EXPECT_EQ(At(image, 50, 1), g.Colors()[10]);
    EXPECT_EQ(At(image, 2, 50), g.Colors()[15]);
    EXPECT_EQ(At(image, 50, 50), g.Colors()[249]);

    // Step 10: d = 2, 12, 22, 32, 42; the one before the centre's is inset by 32.
    g.SetStepWidth(10);
    const QImage stepped = Render(g, 100, 100);
    EXPECT_EQ(At(stepped, 50, 50), g.Colors()[223]);
    EXPECT_EQ(At(stepped, 2, 50), g.Colors()[63]);
    EXPECT_EQ(At(stepped, 31, 50), g.Colors()[170]);
    EXPECT_EQ(At(stepped, 33, 50), g.Colors()[223]);
}

TEST(GradientTest, PyramidLinesRunFromTheEdgesToTheCentre) {
    TGradient g;
    RedToBlack(g);
    g.SetStyle(gsPyramid);
    g.SetStepWidth(10);
    // 100 by 60: s = 255/160 = 1.59375.
    const QImage image = Render(g, 100, 60);
    EXPECT_EQ(At(image, 20, 1), g.Colors()[31]);   // top: entry e * s
    EXPECT_EQ(At(image, 20, 58), g.Colors()[127]); // bottom: (H + e) * s
    EXPECT_EQ(At(image, 98, 20), g.Colors()[191]); // right: (W + e) * s
    EXPECT_EQ(At(image, 1, 20), g.Colors()[31]);   // left: e * s
    EXPECT_EQ(At(image, 1, 40), g.Colors()[63]);
    EXPECT_EQ(At(image, 98, 40), g.Colors()[223]);
    // Lines 10 wide every 10 pixels cover the whole area.
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 100; ++x)
            ASSERT_NE(image.pixel(x, y), kUntouched) << x << "," << y;
}

TEST(GradientTest, OwnVisibleOffPaintsNothing) {
    TGradient g;
    g.SetVisible(false);
    const QImage image = Render(g, 20, 20);
    EXPECT_EQ(image.pixel(10, 10), kUntouched);
    g.SetVisible(true);
    EXPECT_NE(Render(g, 20, 20).pixel(10, 10), kUntouched);
}

TEST(GradientTest, EverySetterRepaintsAtOnceEvenWithTheSameValue) {
    QWidget parent;
    parent.resize(120, 80);
    auto* g = new CountingGradient(&parent);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    EXPECT_EQ(g->geometry(), parent.rect());
    g->paints = 0;
    g->SetStartColor(g->StartColor());
    g->SetEndColor(ecWhite);
    g->SetDirection(gdUpLeft);
    g->SetStepWidth(3);
    g->SetStyle(g->Style());
    g->SetVisible(false);
    g->SetVisible(true);
    EXPECT_EQ(g->paints, 7);

    // Hidden by its own flag the control leaves the parent's area alone.
    parent.setStyleSheet("background: #00ff00");
    parent.setAttribute(Qt::WA_StyledBackground);
    g->SetVisible(false);
    EXPECT_EQ(parent.grab().toImage().pixel(60, 40), qRgb(0, 255, 0));
}

TEST(GradientTest, FollowsTheParentsClientAreaAndClampsOddValues) {
    QWidget parent;
    parent.resize(50, 40);
    auto* g = new TGradient(&parent);
    EXPECT_EQ(g->size(), QSize(50, 40));
    parent.show();
    parent.resize(90, 70);
    EXPECT_EQ(g->size(), QSize(90, 70));

    g->SetStepWidth(0);
    EXPECT_EQ(g->StepWidth(), 1);
    g->SetStepWidth(200);
    EXPECT_EQ(g->StepWidth(), 10);
    g->SetStartColor(TStartColor(14));
    EXPECT_EQ(g->StartColor(), scBlue);
    g->SetEndColor(TEndColor(-1));
    EXPECT_EQ(g->EndColor(), ecBlack);
    g->SetStyle(TGradStyle(4));
    EXPECT_EQ(g->Style(), gsHorizontal);
}
