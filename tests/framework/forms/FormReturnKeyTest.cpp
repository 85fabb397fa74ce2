#include "framework/forms/Form.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Return on whatever has the focus: which buttons click, with and without a default button.
TEST(FormReturnKeyTest, ReturnClicksTheFocusedButtonElseTheDefaultOne) {
    enum Focus { OtherButton, Edit, CheckBox };
    const struct {
        Focus focus;
        bool withDefault;
        int otherClicks, defaultClicks;
    } cases[] = {{OtherButton, false, 1, 0},
                 {OtherButton, true, 1, 0},
                 {Edit, true, 0, 1},
                 {CheckBox, true, 0, 1},
                 {Edit, false, 0, 0}};
    for (const auto& c : cases) {
        TForm form;
        auto* other = new QPushButton(QStringLiteral("Other"), &form);
        auto* ok = new QPushButton(QStringLiteral("OK"), &form);
        QWidget* targets[] = {other, new QLineEdit(&form), new QCheckBox(&form)};
        for (QPushButton* b : {other, ok})
            b->setAutoDefault(false);
        ok->setDefault(c.withDefault);
        int clicks[2] = {0, 0};
        QObject::connect(other, &QPushButton::clicked, [&] { ++clicks[0]; });
        QObject::connect(ok, &QPushButton::clicked, [&] { ++clicks[1]; });
        form.show();
        targets[c.focus]->setFocus();
        QTest::keyClick(targets[c.focus], Qt::Key_Return);
        EXPECT_EQ(clicks[0], c.otherClicks) << c.focus << c.withDefault;
        EXPECT_EQ(clicks[1], c.defaultClicks) << c.focus << c.withDefault;
        EXPECT_FALSE(static_cast<QCheckBox*>(targets[CheckBox])->isChecked());
    }
}

} // namespace
