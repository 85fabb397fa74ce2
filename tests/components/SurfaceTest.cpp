#include "components/Surface.h"
#include "components/PaintCounting.h"

#include <QFrame>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr QRgb kUntouched = qRgb(1, 2, 3);

// Every pixel of the picture tells where in the picture it lies.
QImage Picture(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x % 256, y % 256, 200));
    return image;
}

QRgb PictureAt(int x, int y) {
    return qRgb(x % 256, y % 256, 200);
}

QImage Render(const TSurface& surface, int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(kUntouched);
    QPainter painter(&image);
    surface.PaintTo(painter, QSize(w, h));
    return image;
}

using CountingSurface = PaintCounting<TSurface>;

// A shown window with a surface over its client area, ready to count paints.
struct Shown {
    QWidget window;
    CountingSurface* surface;
    Shown() {
        window.resize(120, 90);
        surface = new CountingSurface(&window);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        surface->paints = 0;
    }
};

} // namespace

TEST(SurfaceTest, StartsTiledOnTheButtonFaceColour) {
    TSurface s;
    EXPECT_EQ(s.Mode(), sfTiled);
    EXPECT_EQ(s.Color(), clBtnFace);
    EXPECT_TRUE(s.Visible());
    EXPECT_TRUE(s.Bitmap().isNull());
    EXPECT_EQ(s.Align(), alClient);
}

TEST(SurfaceTest, TilesFromTheTopLeftCutAtTheEdges) {
    TSurface s;
    s.SetBitmap(Picture(100, 50));
    const QImage image = Render(s, 250, 120);
    // 3 columns by 3 rows, the last ones cut.
    for (int y : {0, 49, 50, 99, 100, 119})
        for (int x : {0, 99, 100, 199, 200, 249})
            ASSERT_EQ(image.pixel(x, y), PictureAt(x % 100, y % 50)) << x << "," << y;
}

TEST(SurfaceTest, CentresSmallPicturesAndCutsLargeOnesFromTheTopLeft) {
    TSurface s;
    s.SetColor(clRed);
    s.SetMode(sfCentered);
    s.SetBitmap(Picture(101, 50));
    QImage image = Render(s, 250, 120);
    // x = (250 - 101) div 2 = 74, y = (120 - 50) div 2 = 35.
    EXPECT_EQ(image.pixel(73, 35), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(74, 34), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(74, 35), PictureAt(0, 0));
    EXPECT_EQ(image.pixel(174, 84), PictureAt(100, 49));
    EXPECT_EQ(image.pixel(175, 84), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));

    s.SetBitmap(Picture(300, 200));
    image = Render(s, 250, 120);
    EXPECT_EQ(image.pixel(0, 0), PictureAt(0, 0));
    EXPECT_EQ(image.pixel(249, 119), PictureAt(249, 119));

    // Wider only: centred vertically, from the left edge horizontally.
    s.SetBitmap(Picture(300, 20));
    image = Render(s, 250, 120);
    EXPECT_EQ(image.pixel(0, 50), PictureAt(0, 0));
    EXPECT_EQ(image.pixel(0, 49), qRgb(255, 0, 0));
}

TEST(SurfaceTest, NormalAndFixedFillTheRestWithTheColour) {
    TSurface s;
    s.SetColor(clNavy);
    s.SetBitmap(Picture(30, 20));
    for (TMode mode : {sfNormal, sfFixed}) {
        s.SetMode(mode);
        const QImage image = Render(s, 60, 40);
        EXPECT_EQ(image.pixel(0, 0), PictureAt(0, 0));
        EXPECT_EQ(image.pixel(29, 19), PictureAt(29, 19));
        EXPECT_EQ(image.pixel(30, 0), qRgb(0, 0, 128));
        EXPECT_EQ(image.pixel(0, 20), qRgb(0, 0, 128));
    }
}

TEST(SurfaceTest, StretchesOverTheWholeArea) {
    QImage quarters(2, 2, QImage::Format_RGB32);
    quarters.setPixel(0, 0, qRgb(255, 0, 0));
    quarters.setPixel(1, 0, qRgb(0, 255, 0));
    quarters.setPixel(0, 1, qRgb(0, 0, 255));
    quarters.setPixel(1, 1, qRgb(255, 255, 255));
    TSurface s;
    s.SetMode(sfStreched);
    s.SetBitmap(quarters);
    const QImage image = Render(s, 100, 60);
    EXPECT_EQ(image.pixel(10, 10), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(90, 10), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(10, 50), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(99, 59), qRgb(255, 255, 255));
}

TEST(SurfaceTest, ColouredNeedsNoBitmapAndOtherModesDrawNothingWithout) {
    TSurface s;
    s.SetColor(ColorFromRGB(10, 20, 30));
    for (TMode mode : {sfTiled, sfCentered, sfFixed, sfStreched, sfNormal}) {
        s.SetMode(mode);
        EXPECT_EQ(Render(s, 20, 20).pixel(5, 5), kUntouched) << mode;
    }
    s.SetMode(sfColored);
    EXPECT_EQ(Render(s, 20, 20).pixel(19, 19), qRgb(10, 20, 30));
    s.SetBitmap(Picture(5, 5));
    EXPECT_EQ(Render(s, 20, 20).pixel(0, 0), qRgb(10, 20, 30));
    s.SetVisible(false);
    EXPECT_EQ(Render(s, 20, 20).pixel(0, 0), kUntouched);
}

TEST(SurfaceTest, FixedModeFitsTheParentsClientAreaOnEveryBitmapChange) {
    QFrame window;
    window.setFrameStyle(QFrame::Box | QFrame::Plain);
    window.setLineWidth(2);
    window.resize(355, 104);
    auto* s = new TSurface(&window);
    s->SetMode(sfFixed);
    EXPECT_EQ(window.size(), QSize(355, 104)); // no bitmap yet

    s->SetBitmap(Picture(200, 100));
    EXPECT_EQ(window.contentsRect().size(), QSize(200, 100));
    EXPECT_EQ(window.size(), QSize(204, 104));
    EXPECT_EQ(s->geometry(), window.contentsRect());

    // A picture loaded straight into the bitmap shows once the mode is set again.
    s->Bitmap() = Picture(64, 48);
    EXPECT_EQ(window.contentsRect().size(), QSize(200, 100));
    s->SetMode(sfFixed);
    EXPECT_EQ(window.contentsRect().size(), QSize(64, 48));
    EXPECT_EQ(s->size(), QSize(64, 48));

    // An empty bitmap leaves the size alone, and so do the other modes.
    s->SetBitmap(QImage());
    EXPECT_EQ(window.contentsRect().size(), QSize(64, 48));
    s->SetBitmap(Picture(10, 10));
    s->SetMode(sfNormal);
    s->SetBitmap(Picture(30, 30));
    EXPECT_EQ(window.contentsRect().size(), QSize(10, 10));

    // A window of fixed size is kept fixed, at the picture's size.
    QWidget dialog;
    dialog.setFixedSize(355, 104);
    auto* d = new TSurface(&dialog);
    d->SetBitmap(Picture(80, 60));
    d->SetMode(sfFixed);
    EXPECT_EQ(dialog.size(), QSize(80, 60));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
}

TEST(SurfaceTest, BitmapIsCopied) {
    QImage source = Picture(4, 4);
    TSurface s;
    s.SetBitmap(source);
    source.setPixel(0, 0, qRgb(9, 9, 9));
    EXPECT_EQ(s.Bitmap().pixel(0, 0), PictureAt(0, 0));
}

TEST(SurfaceTest, SettersRepaintOnlyWhenTheyShould) {
    Shown shown;
    CountingSurface& s = *shown.surface;
    s.SetMode(sfTiled); // same mode
    s.SetColor(clBtnFace);
    EXPECT_EQ(s.paints, 0);
    s.SetMode(sfCentered); // bitmap empty: nothing to show
    s.SetBitmap(QImage());
    EXPECT_EQ(s.paints, 0);
    s.SetColor(clRed);
    EXPECT_EQ(s.paints, 1);
    s.SetBitmap(Picture(10, 10));
    EXPECT_EQ(s.paints, 2);
    s.SetMode(sfCentered); // same again
    EXPECT_EQ(s.paints, 2);
    s.SetMode(sfNormal);
    EXPECT_EQ(s.paints, 3);
    s.SetMode(sfFixed);
    s.SetMode(sfFixed);
    EXPECT_GE(s.paints, 5);
    const int before = s.paints;
    s.SetVisible(true);
    EXPECT_EQ(s.paints, before + 1);
}

TEST(SurfaceTest, HiddenByItsOwnFlagItShowsTheParentsColourAtOnce) {
    QWidget window;
    window.resize(100, 80);
    QPalette blue = window.palette();
    blue.setColor(QPalette::Window, QColor(0, 0, 255));
    window.setPalette(blue);
    window.setAutoFillBackground(true);
    // The parent paints no background of its own; its colour is green.
    auto* parent = new QWidget(&window);
    parent->setGeometry(10, 10, 60, 40);
    QPalette pal = parent->palette();
    pal.setColor(QPalette::Window, QColor(0, 255, 0));
    parent->setPalette(pal);
    auto* s = new CountingSurface(parent);
    s->SetMode(sfColored);
    s->SetColor(clRed);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.grab().toImage().pixel(30, 30), qRgb(255, 0, 0));

    s->paints = 0;
    s->SetVisible(false);
    EXPECT_EQ(s->paints, 1);
    EXPECT_EQ(window.grab().toImage().pixel(30, 30), qRgb(0, 255, 0));
    s->SetVisible(true);
    EXPECT_EQ(window.grab().toImage().pixel(30, 30), qRgb(255, 0, 0));
}

TEST(SurfaceTest, ClicksReachTheHandlers) {
    Shown shown;
    CountingSurface& s = *shown.surface;
    QStringList seen;
    s.OnMouseDown = [&](QObject*, Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
        seen << QString("down %1 %2,%3").arg(int(button)).arg(x).arg(y);
    };
    s.OnClick = [&](QObject* sender) { seen << (sender == &s ? "click" : "?"); };
    QTest::mouseClick(&s, Qt::LeftButton, {}, QPoint(5, 7));
    QTest::mouseClick(&s, Qt::RightButton, {}, QPoint(6, 8));
    EXPECT_EQ(seen, QStringList({"down 1 5,7", "click", "down 2 6,8"}));
}
