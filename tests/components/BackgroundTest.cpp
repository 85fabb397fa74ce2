#include "components/Background.h"

#include "framework/data/Exceptions.h"
#include "framework/forms/Form.h"

#include <QEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

TEST(BackgroundTest, StartsVisibleTiledWithoutPicture) {
    TBackground b;
    EXPECT_TRUE(b.Visible());
    EXPECT_EQ(b.Mode(), TBackground::Tiled);
    EXPECT_TRUE(b.Picture().isNull());
}

TEST(BackgroundTest, VisibleRepaintsTheOwningFormAlwaysAndNothingElseDoes) {
    TForm form;
    form.resize(80, 60);
    auto* background = new TBackground(&form);
    PaintCounter counter;
    form.installEventFilter(&counter);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    ASSERT_TRUE(QTest::qWaitFor([&] { return counter.paints > 0; }));
    QTest::qWait(20);
    counter.paints = 0;

    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::red);
    background->SetPicture(picture);
    background->SetMode(TBackground::Streched);
    QTest::qWait(50);
    EXPECT_EQ(counter.paints, 0);
    EXPECT_EQ(background->Mode(), TBackground::Streched);

    background->SetVisible(true); // unchanged, still repaints
    EXPECT_TRUE(QTest::qWaitFor([&] { return counter.paints > 0; }));
    counter.paints = 0;
    background->SetVisible(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return counter.paints > 0; }));
    EXPECT_FALSE(background->Visible());
}

TEST(BackgroundTest, PictureIsCopied) {
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    TBackground b;
    b.SetPicture(picture);
    picture.fill(Qt::blue);
    EXPECT_EQ(b.Picture().pixel(0, 0), qRgb(255, 0, 0));
}

TEST(BackgroundTest, AnOwnerThatIsNoFormIsRefusedAfterTheFlagIsStored) {
    QObject owner;
    auto* b = new TBackground(&owner);
    EXPECT_THROW(b->SetVisible(false), EInvalidCast);
    EXPECT_FALSE(b->Visible());

    TBackground orphan; // no owner: nothing to repaint
    EXPECT_NO_THROW(orphan.SetVisible(false));
    EXPECT_FALSE(orphan.Visible());
}
