#include "framework/forms/Controls.h"
#include "framework/forms/Application.h"
#include "framework/forms/Form.h"
#include "framework/forms/InputBox.h"
#include "framework/forms/OpenDialog.h"
#include "framework/forms/Stacking.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

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

// The prompt names a file; a name that looks like markup is shown as it stands.
TEST(InputBoxTest, RealBoxShowsThePromptAsPlainTextAndCancelGivesTheDefault) {
    TInputBoxHook saved = SetInputBoxHook(nullptr);
    Qt::TextFormat format = Qt::AutoText;
    QString shown;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        if (auto* label = box->findChild<QLabel*>()) {
            format = label->textFormat();
            shown = label->text();
        }
        box->reject();
    });
    const QString prompt = QStringLiteral("Rename : <b>a</b>.txt ...");
    EXPECT_EQ(InputBox(QStringLiteral("Title"), prompt, QStringLiteral("def")), "def");
    SetInputBoxHook(std::move(saved));
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(shown, prompt);
}

TEST(FormTest, ReturnClicksTheFocusedButtonElseTheFormsDefaultButton) {
    // The focus (0 another button, 1 an edit, 2 a check box), OK the default button or not,
    // and the clicks that Return gives the other button and OK.
    for (const auto& [at, isDefault, other, ok] : std::vector<std::array<qsizetype, 4>>{
             {0, 1, 1, 0}, {1, 1, 0, 1}, {2, 1, 0, 1}, {1, 0, 0, 0}}) {
        TForm form;
        QPushButton* buttons[] = {new QPushButton(&form), new QPushButton(&form)};
        QWidget* focus[] = {buttons[0], new QLineEdit(&form), new QCheckBox(&form)};
        buttons[1]->setDefault(isDefault);
        QSignalSpy otherClicks(buttons[0], &QPushButton::clicked),
            okClicks(buttons[1], &QPushButton::clicked);
        form.show();
        focus[at]->setFocus();
        QTest::keyClick(focus[at], Qt::Key_Return);
        EXPECT_EQ(std::pair(otherClicks.size(), okClicks.size()), std::pair(other, ok)) << at;
    }
}

TEST(FormTest, GraphicControlsLieBeneathTheWindowedOnes) {
    // Children made in this order (L a label, G a graphic control, W a windowed one), the one
    // then raised and the one lowered, and their stacking from the lowest.
    for (const auto& [made, raised, lowered, stacked] :
         std::vector<std::array<QString, 4>>{{"W1 L1 W2 L2", "", "", "L1 L2 W1 W2"},
                                             {"L1 L2 W1", "L1", "", "L2 L1 W1"},
                                             {"G1 W1 L1", "G1", "W1", "L1 G1 W1"},
                                             {"L1 W1 W2", "", "W2", "L1 W2 W1"}}) {
        TForm form;
        form.show();
        for (const QString& name : made.split(' ')) {
            QWidget* child = name[0] == 'L'   ? new QLabel(&form)
                             : name[0] == 'G' ? new TGraphicWidget(&form)
                                              : new QWidget(&form);
            child->setObjectName(name);
            child->show();
        }
        if (QWidget* child = form.findChild<QWidget*>(raised))
            child->raise();
        if (QWidget* child = form.findChild<QWidget*>(lowered))
            child->lower();
        QStringList order;
        for (const QObject* child : form.children())
            order << child->objectName();
        EXPECT_EQ(order.join(' '), stacked) << made.toStdString();
    }
}

// A form framed as the test says, as by a window manager that settles the frame's size late.
class TFramedForm : public TForm {
public:
    QMargins Frame{1, 20, 1, 5};
    QMargins FrameMargins() const override { return Frame; }
};

TEST(FormTest, AFrameThatChangesItsSizeIsPlacedAgain) {
    TFramedForm form;
    form.setFixedSize(100, 100);
    form.show();
    // Centred by its outer size on an area of 500 by 500.
    form.PlaceFrame([&form](const QMargins& m) {
        return QPoint((500 - form.width() - m.left() - m.right()) / 2,
                      (500 - form.height() - m.top() - m.bottom()) / 2);
    });
    EXPECT_EQ(form.geometry().topLeft(), QPoint(199 + 1, 187 + 20));
    form.Frame = {1, 20, 1, 1};
    form.FrameChanged();
    EXPECT_EQ(form.geometry().topLeft(), QPoint(199 + 1, 189 + 20));
}

TEST(FileDialogTest, EachFilterEntryShowsOnceAndIsReportedByItsNumber) {
    const QString filter(
        "Configuration files (*.qor;*.zun))|;*.qor;*.zun|Bitmaps (*.bmp)|*.bmp|*.*|*.*");
    QFileDialog dialog;
    PrepareFileDialog(dialog, filter, 2);
    const auto* entries = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(entries, nullptr);
    QStringList shown;
    for (int i = 0; i < entries->count(); ++i)
        shown << entries->itemText(i);
    EXPECT_EQ(shown, QStringList({"Configuration files (*.qor;*.zun))", "Bitmaps (*.bmp)", "*.*"}));
    EXPECT_EQ(FileFilterIndexOf(filter, dialog.selectedNameFilter()), 2);
}
