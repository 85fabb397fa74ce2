#include "EditorTestSupport.h"

#include <QTest>

using namespace Orvello;

namespace {

QStringList entryTexts(const TForm1* f) {
    QStringList rows;
    for (int i = 0; i < f->ListBox1->count(); ++i)
        rows << QStringList{f->ListBox1->item(i)->text(), f->EntryNames.value(i),
                            f->EntryPaths.value(i),       f->EntryParams.value(i),
                            f->EntryExitFlags.value(i),   f->EntryPopupFlags.value(i)}
                    .join('|');
    return rows;
}

QPoint rowCentre(const TListBox* list, int row) {
    return list->visualItemRect(list->item(row)).center();
}

} // namespace

TEST_F(EditorTest, TheEntryDialogAddsEntriesAndCommandsLoseTheirFolder) {
    TForm1* f = Start();
    EXPECT_EQ(TEntry::Commands.size(), 15);
    EXPECT_EQ(TEntry::Commands.last(), "*select datagroup, defined  in parameters");
    WhenModal([f] {
        TEntry* e = f->Entry;
        EXPECT_TRUE(e->isVisible());
        EXPECT_EQ(e->windowTitle(), "Menu entry ...");
        QTest::keyClicks(e->Edit0, "Help");
        e->Edit1->setCurrentIndex(TEntry::Commands.indexOf("*help"));
        e->Edit2->setText("/opt/typed");
        e->Edit3->setText("x");
        e->CheckBox1->setChecked(true);
        e->BitBtn2->click();
    });
    f->SpeedButton5->click();
    EXPECT_FALSE(f->Entry->isVisible());

    // A blank before the "*" makes it no command: the folder stays.
    WhenModal([f] {
        TEntry* e = f->Entry;
        EXPECT_TRUE(e->Edit0->text().isEmpty());
        EXPECT_FALSE(e->CheckBox1->isChecked()); // a new entry starts cleared
        EXPECT_EQ(e->EditIndex, -1);
        e->Edit0->setText("Odd");
        e->Edit1->setEditText(" *help");
        e->Edit2->setText("/opt/kept");
        e->CheckBox2->setChecked(true);
        e->BitBtn2->click();
    });
    f->SpeedButton5->click();

    // No field is checked: an empty entry is stored as it is.
    WhenModal([f] { f->Entry->BitBtn2->click(); });
    f->SpeedButton5->click();

    EXPECT_EQ(entryTexts(f),
              (QStringList{"Help|*help||x|1|0", "Odd| *help|/opt/kept||0|1", "||||0|0"}));
}

TEST_F(EditorTest, EditingFillsTheDialogAndAbortChangesNothing) {
    TForm1* f = Start();
    f->StoreEntry(-1, {"One", "one.exe", "/opt", "-a", "1", "1"});
    f->StoreEntry(-1, {"Two", "two.exe", "", "", "0", "0"});

    f->SpeedButton7->click(); // nothing selected: no dialog
    EXPECT_FALSE(f->Entry->isVisible());

    f->ListBox1->setCurrentRow(0);
    WhenModal([f] {
        TEntry* e = f->Entry;
        EXPECT_EQ(e->EditIndex, 0);
        EXPECT_EQ(e->Edit0->text(), "One");
        EXPECT_EQ(e->Edit1->currentText(), "one.exe");
        EXPECT_EQ(e->Edit2->text(), "/opt");
        EXPECT_EQ(e->Edit3->text(), "-a");
        EXPECT_TRUE(e->CheckBox1->isChecked());
        EXPECT_TRUE(e->CheckBox2->isChecked());
        e->Edit0->setText("Changed");
        QTest::keyClick(e->Edit0, Qt::Key_Escape); // as Abort does
        EXPECT_EQ(e->ModalResult(), mrCancel);
        e->close();
    });
    f->SpeedButton7->click();
    EXPECT_EQ(f->ListBox1->item(0)->text(), "One");

    f->ListBox1->setCurrentRow(1);
    WhenModal([f] {
        f->Entry->Edit0->setText("Second");
        f->Entry->CheckBox1->setChecked(true);
        f->Entry->BitBtn2->click();
    });
    f->SpeedButton7->click();
    EXPECT_EQ(entryTexts(f), (QStringList{"One|one.exe|/opt|-a|1|1", "Second|two.exe|||1|0"}));

    // A new entry after an edit with both boxes checked starts with both cleared.
    f->ListBox1->setCurrentRow(0);
    WhenModal([f] { f->Entry->BitBtn3->click(); });
    f->SpeedButton7->click();
    WhenModal([f] {
        EXPECT_FALSE(f->Entry->CheckBox1->isChecked());
        EXPECT_FALSE(f->Entry->CheckBox2->isChecked());
        f->Entry->BitBtn3->click();
    });
    f->SpeedButton5->click();
    EXPECT_EQ(f->EntryCount(), 2);
}

TEST_F(EditorTest, TenEntriesAreTheLimitButAllOfThemCanBeEdited) {
    TForm1* f = Start();
    for (int i = 0; i < 10; ++i)
        f->StoreEntry(-1, {QString("E%1").arg(i), "x.exe", "", "", "0", "0"});
    f->SpeedButton5->click();
    ASSERT_EQ(boxes_.Boxes().size(), 1u);
    EXPECT_EQ(boxes_.Boxes()[0].text, "You can only store up to 10 menu entries !");
    EXPECT_EQ(boxes_.Boxes()[0].style & 0xFF, unsigned(MB_ICONINFORMATION | MB_OK));
    EXPECT_FALSE(f->Entry->isVisible());
    EXPECT_EQ(f->EntryCount(), 10);

    f->ListBox1->setCurrentRow(9);
    WhenModal([f] {
        f->Entry->Edit0->setText("Last");
        f->Entry->BitBtn2->click();
    });
    f->SpeedButton7->click();
    EXPECT_EQ(f->ListBox1->item(9)->text(), "Last");
}

TEST_F(EditorTest, SelectingAProgramFillsItsFolderWithTheCdMarkerWhereItApplies) {
    QDir(root_).mkpath("cd/bin");
    QDir(root_).mkpath("disk/tools");
    const std::vector<Volumes::MountEntry> cd =
        Volumes::ParseMountTable(QString("/dev/sr0 %1 iso9660 ro 0 0\n").arg(Path("cd")).toUtf8());
    TForm1* f = Start(cd);
    TEntry* e = f->Entry;

    Choose(Path("cd/setup.exe"));
    e->Edit3->setText("old");
    e->BitBtn1->click();
    EXPECT_EQ(seen_.back().title, "Select file ...");
    EXPECT_EQ(e->Edit1->currentText(), "?:/setup.exe");
    EXPECT_EQ(e->Edit2->text(), "?:");
    EXPECT_TRUE(e->Edit3->text().isEmpty());

    Choose(Path("cd/bin/Play Me.EXE"));
    e->BitBtn1->click();
    EXPECT_EQ(e->Edit1->currentText(), "?:/bin/Play Me.EXE");
    EXPECT_EQ(e->Edit2->text(), "?:/bin");

    Choose(Path("disk/tools/run"));
    e->BitBtn1->click();
    EXPECT_EQ(e->Edit1->currentText(), Path("disk/tools/run"));
    EXPECT_EQ(e->Edit2->text(), Path("disk/tools"));

    Cancel();
    e->BitBtn1->click();
    EXPECT_EQ(e->Edit1->currentText(), Path("disk/tools/run"));
}

TEST_F(EditorTest, DeletingAsksWithNoAsTheDefault) {
    TForm1* f = Start();
    f->StoreEntry(-1, {"Keep", "a.exe", "", "", "0", "0"});
    f->StoreEntry(-1, {"Drop", "b.exe", "/b", "-b", "1", "1"});
    f->ListBox1->setCurrentRow(-1);
    f->SpeedButton6->click(); // nothing selected
    EXPECT_TRUE(boxes_.Boxes().empty());

    f->ListBox1->setCurrentRow(1);
    boxes_.Queue(IDNO);
    f->SpeedButton6->click();
    ASSERT_EQ(boxes_.Boxes().size(), 1u);
    EXPECT_EQ(boxes_.Boxes()[0].text, "Do you want to delete \" Drop \" ?");
    EXPECT_EQ(boxes_.Boxes()[0].style & 0xF00, unsigned(MB_DEFBUTTON2));
    EXPECT_EQ(f->EntryCount(), 2);

    boxes_.Queue(IDYES);
    f->SpeedButton6->click();
    EXPECT_EQ(entryTexts(f), QStringList{"Keep|a.exe|||0|0"});
    EXPECT_EQ(f->EntryPaths.size(), 1);
}

TEST_F(EditorTest, DraggingAnEntryMovesItInAllSixLists) {
    TForm1* f = Start();
    for (int i = 0; i < 5; ++i)
        f->StoreEntry(-1, {QString("C%1").arg(i), QString("N%1").arg(i), QString("P%1").arg(i),
                           QString("A%1").arg(i), QString::number(i % 2), QString::number(i)});
    f->show();
    f->PageControl1->setCurrentWidget(f->TabSheet6);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f));
    QWidget* viewport = f->ListBox1->viewport();

    QTest::mousePress(viewport, Qt::LeftButton, {}, rowCentre(f->ListBox1, 0));
    EXPECT_EQ(f->DragIndex, 0);
    QTest::mouseMove(viewport, rowCentre(f->ListBox1, 2));
    QTest::mouseMove(viewport, rowCentre(f->ListBox1, 3));
    EXPECT_TRUE(f->ListBox1->Dragging());
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, rowCentre(f->ListBox1, 3));
    EXPECT_EQ(f->ListBox1->Items(), (QStringList{"C1", "C2", "C3", "C0", "C4"}));
    EXPECT_EQ(f->EntryNames, (QStringList{"N1", "N2", "N3", "N0", "N4"}));
    EXPECT_EQ(f->EntryPaths, (QStringList{"P1", "P2", "P3", "P0", "P4"}));
    EXPECT_EQ(f->EntryParams, (QStringList{"A1", "A2", "A3", "A0", "A4"}));
    EXPECT_EQ(f->EntryExitFlags, (QStringList{"1", "0", "1", "0", "0"}));
    EXPECT_EQ(f->EntryPopupFlags, (QStringList{"1", "2", "3", "0", "4"}));

    // A drop below the last entry moves nothing.
    const QPoint below(rowCentre(f->ListBox1, 4).x(), viewport->height() - 2);
    QTest::mousePress(viewport, Qt::LeftButton, {}, rowCentre(f->ListBox1, 1));
    QTest::mouseMove(viewport, below);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, below);
    EXPECT_EQ(f->ListBox1->Items(), (QStringList{"C1", "C2", "C3", "C0", "C4"}));

    // A press that does not move past the threshold, and Ctrl with the press, drag nothing.
    QTest::mousePress(viewport, Qt::LeftButton, {}, rowCentre(f->ListBox1, 0));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, rowCentre(f->ListBox1, 0) + QPoint(1, 0));
    EXPECT_EQ(f->ListBox1->Items(), (QStringList{"C1", "C2", "C3", "C0", "C4"}));
    f->DragIndex = -1;
    QTest::mousePress(viewport, Qt::LeftButton, Qt::ControlModifier, rowCentre(f->ListBox1, 0));
    EXPECT_EQ(f->DragIndex, -1);
    QTest::mouseMove(viewport, rowCentre(f->ListBox1, 4));
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::ControlModifier, rowCentre(f->ListBox1, 4));
    EXPECT_EQ(f->ListBox1->Items(), (QStringList{"C1", "C2", "C3", "C0", "C4"}));
}
