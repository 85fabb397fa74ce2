#include "framework/Controls.h"
#include "framework/Application.h"

#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

class ControlsTest : public testing::Test {
protected:
    void SetUp() override { Application().Reset(); }
    void TearDown() override { Application().Reset(); }
    QWidget window;
};

TEST_F(ControlsTest, CheckBoxClicksOnEveryChangeByCodeOrUser) {
    auto* box = new TCheckBox(&window);
    std::vector<bool> seen;
    QObject* sender = nullptr;
    box->OnClick = [&](QObject* s) {
        sender = s;
        seen.push_back(box->isChecked());
    };
    window.show();
    box->setChecked(true);
    box->setChecked(true); // no change, no click
    box->setChecked(false);
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_EQ(seen, (std::vector<bool>{true, false, true}));
    EXPECT_EQ(sender, box);
}

TEST_F(ControlsTest, RadioButtonClicksOnlyWhenItBecomesChecked) {
    auto* first = new TRadioButton(&window);
    first->setText(QStringLiteral("Colour"));
    auto* second = new TRadioButton(&window);
    second->setText(QStringLiteral("Picture"));
    second->move(0, 40);
    int firstClicks = 0, secondClicks = 0;
    first->OnClick = [&](QObject*) { ++firstClicks; };
    second->OnClick = [&](QObject*) { ++secondClicks; };
    window.show();

    first->setChecked(true);
    second->setChecked(true); // unchecks the first one, which runs nothing
    EXPECT_EQ(firstClicks, 1);
    EXPECT_EQ(secondClicks, 1);
    EXPECT_FALSE(first->isChecked());

    QTest::mouseClick(first, Qt::LeftButton);
    EXPECT_EQ(firstClicks, 2);
    EXPECT_EQ(secondClicks, 1);
}

TEST_F(ControlsTest, EditChangesOnEveryTextChangeByCodeOrUser) {
    auto* edit = new TEdit(&window);
    QStringList seen;
    edit->OnChange = [&](QObject*) { seen << edit->text(); };
    window.show();
    edit->setText(QStringLiteral("ab"));
    edit->setText(QStringLiteral("ab")); // same text, no change
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("xy"));
    EXPECT_EQ(seen, (QStringList{"ab", "", "x", "xy"}));
}

TEST_F(ControlsTest, HandlerFailuresGoToTheErrorHandlerAndTheSetterReturns) {
    QStringList caught;
    Application().OnException = [&](QObject*, const std::exception& e) {
        caught << ExceptionMessage(e);
    };
    auto* box = new TCheckBox(&window);
    auto* edit = new TEdit(&window);
    box->OnClick = [](QObject*) { throw Exception(QStringLiteral("box")); };
    edit->OnChange = [](QObject*) { throw Exception(QStringLiteral("edit")); };
    box->setChecked(true);
    edit->setText(QStringLiteral("x"));
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(edit->text(), "x");
    EXPECT_EQ(caught, (QStringList{"box", "edit"}));
}

} // namespace
