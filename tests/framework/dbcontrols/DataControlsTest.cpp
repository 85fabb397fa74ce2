#include "common/MemDataSet.h"

#include "common/EventLoop.h"
#include "common/MessageBoxAnswerer.h"
#include "framework/data/DataSource.h"
#include "framework/data/Field.h"
#include "framework/dbcontrols/DBEdit.h"
#include "framework/dbcontrols/DBGrid.h"
#include "framework/dbcontrols/DBMemo.h"
#include "framework/dbcontrols/DBNavigator.h"

#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

// A window with a table of items bound to one data source, as the item-table windows are.
struct Window {
    explicit Window(int records) {
        table = new TMemDataSet(
            {{"GROUP", ftString, 20}, {"CAPTION", ftString, 40}, {"COMMENTS", ftMemo, 0}}, &form);
        for (int i = 1; i <= records; ++i)
            table->AddRow({"grp01", QString("Item %1").arg(i), QString("Memo %1").arg(i)});
        source = new TDataSource(&form);
        source->SetDataSet(table);
        auto* layout = new QVBoxLayout(&form);
        grid = new TDBGrid(&form);
        grid->SetDataSource(source);
        edit = new TDBEdit(&form);
        edit->SetDataSource(source);
        edit->SetDataField("CAPTION");
        memo = new TDBMemo(&form);
        memo->SetDataSource(source);
        memo->SetDataField("COMMENTS");
        navigator = new TDBNavigator(&form);
        navigator->SetDataSource(source);
        layout->addWidget(grid);
        layout->addWidget(edit);
        layout->addWidget(memo);
        layout->addWidget(navigator);
        form.resize(400, 400);
    }
    ~Window() { table->Close(); }

    void Show() {
        form.show();
        QApplication::setActiveWindow(&form);
        (void)QTest::qWaitForWindowActive(&form, 1000);
    }
    // Opens the table on the shown window and lets the grid settle its rows and scroll bars.
    void ShowOpen() {
        Show();
        table->Open();
        QCoreApplication::processEvents();
    }
    QString Cell(int row, int column) const {
        return grid->model()->index(row, column).data().toString();
    }
    bool Enabled(TNavigateBtn b) const { return navigator->Button(b)->isEnabled(); }

    QWidget form;
    TMemDataSet* table;
    TDataSource* source;
    TDBGrid* grid;
    TDBEdit* edit;
    TDBMemo* memo;
    TDBNavigator* navigator;
};

QLineEdit* cellEditor(TDBGrid* grid) {
    // Closed editors linger until deferred deletions run.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return grid->viewport()->findChild<QLineEdit*>();
}

} // namespace

TEST(DBGrid, ShowsTheRowsOnTheScreenWithFieldColumns) {
    Window w(100);
    w.ShowOpen();
    QAbstractItemModel* m = w.grid->model();
    const int rows = w.grid->VisibleRowCount();
    ASSERT_GT(rows, 3);
    ASSERT_LT(rows, 50);
    // Only the rows on the screen are read, not the whole table.
    EXPECT_EQ(m->rowCount(), rows);
    EXPECT_LE(w.table->Fetches, rows + 2);
    EXPECT_EQ(m->columnCount(), 3);
    EXPECT_EQ(m->headerData(1, Qt::Horizontal).toString(), "CAPTION");
    EXPECT_EQ(w.Cell(0, 1), "Item 1");
    EXPECT_EQ(w.Cell(rows - 1, 1), QString("Item %1").arg(rows));
    EXPECT_EQ(w.Cell(0, 2), "(MEMO)");
    EXPECT_EQ(w.table->FieldByName("CAPTION")->AsString(), "Item 1"); // reading rows moves nothing

    // A taller grid shows more rows.
    w.form.resize(400, 700);
    EXPECT_TRUE(ProcessEventsUntil([&] { return w.grid->VisibleRowCount() > rows; }));
    EXPECT_EQ(m->rowCount(), w.grid->VisibleRowCount());

    // Given columns: only those, with their widths; hidden fields keep them.
    w.grid->SetColumns({{"CAPTION", QString(), 300}});
    EXPECT_EQ(m->columnCount(), 1);
    EXPECT_EQ(w.grid->columnWidth(0), 300);
    w.grid->SetColumns({});
    w.table->FieldByName("GROUP")->SetVisible(false);
    EXPECT_EQ(m->columnCount(), 2);
    w.table->FieldByName("CAPTION")->SetDisplayLabel("Caption");
    EXPECT_EQ(m->headerData(0, Qt::Horizontal).toString(), "Caption");

    w.table->Close();
    EXPECT_EQ(m->rowCount(), 0);
    EXPECT_FALSE(w.grid->RecordScrollBar()->isEnabled());
}

TEST(DBGrid, CurrentRowFollowsTheDataSetAndTheOtherWay) {
    Window w(100);
    w.ShowOpen();
    const int rows = w.grid->VisibleRowCount();
    auto current = [&] { return w.Cell(w.grid->currentIndex().row(), 1); };
    EXPECT_EQ(w.grid->currentIndex().row(), 0);
    w.table->Next();
    EXPECT_EQ(w.grid->currentIndex().row(), 1);
    w.table->Last();
    EXPECT_EQ(w.grid->currentIndex().row(), rows - 1);
    EXPECT_EQ(current(), "Item 100");
    w.table->First();
    EXPECT_EQ(w.grid->currentIndex().row(), 0);

    w.grid->setCurrentIndex(w.grid->model()->index(2, 1));
    EXPECT_EQ(w.table->FieldByName("CAPTION")->AsString(), "Item 3");
    EXPECT_EQ(w.table->RecNo(), 3);

    // The keys move through every record, also past the rows on the screen.
    w.grid->setFocus();
    QTest::keyClick(w.grid, Qt::Key_Down);
    EXPECT_EQ(w.table->RecNo(), 4);
    QTest::keyClick(w.grid, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(w.table->RecNo(), 100);
    EXPECT_EQ(current(), "Item 100");
    QTest::keyClick(w.grid, Qt::Key_Down); // no further
    EXPECT_EQ(w.table->RecNo(), 100);
    QTest::keyClick(w.grid, Qt::Key_PageUp);
    EXPECT_EQ(w.table->RecNo(), 100 - rows);
    EXPECT_EQ(current(), QString("Item %1").arg(100 - rows));
    QTest::keyClick(w.grid, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(w.table->RecNo(), 1);
    for (int i = 0; i < rows + 2; ++i)
        QTest::keyClick(w.grid, Qt::Key_Down);
    EXPECT_EQ(w.table->RecNo(), rows + 3);
    EXPECT_EQ(current(), QString("Item %1").arg(rows + 3));
    QTest::keyClick(w.grid, Qt::Key_Up);
    EXPECT_EQ(current(), QString("Item %1").arg(rows + 2));
}

TEST(DBGrid, ScrollBarMovesThroughTheRecords) {
    Window w(100);
    // Only the odd items are shown.
    w.table->OnFilterRecord = [](TDataSet* ds, bool& accept) {
        accept = ds->FieldByName("CAPTION")->AsString().mid(5).toInt() % 2 == 1;
    };
    w.table->SetFiltered(true);
    w.ShowOpen();
    QScrollBar* bar = w.grid->RecordScrollBar();
    EXPECT_TRUE(bar->isEnabled());
    EXPECT_EQ(bar->minimum(), 1);
    EXPECT_EQ(bar->maximum(), 100);
    EXPECT_EQ(bar->value(), 1);

    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(w.table->FieldByName("CAPTION")->AsString(), "Item 99");
    EXPECT_EQ(bar->value(), 99); // where the dataset went
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(w.table->FieldByName("CAPTION")->AsString(), "Item 97");
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(w.table->RecNo(), 97 - 2 * w.grid->VisibleRowCount());

    // Dragging the thumb: a record that is not shown gives way to the next one that is.
    bar->setSliderDown(true);
    bar->setSliderPosition(50);
    EXPECT_EQ(w.table->FieldByName("CAPTION")->AsString(), "Item 51");
    bar->setSliderPosition(1);
    EXPECT_EQ(w.table->RecNo(), 1);
    bar->setSliderPosition(40);
    bar->setSliderDown(false);
    EXPECT_EQ(w.table->FieldByName("CAPTION")->AsString(), "Item 41");
    EXPECT_EQ(bar->value(), 41);
    EXPECT_EQ(w.Cell(w.grid->currentIndex().row(), 1), "Item 41");

    // The wheel moves a record a notch.
    QWheelEvent wheel(QPointF(5, 5), w.grid->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w.grid->viewport(), &wheel);
    EXPECT_EQ(w.table->FieldByName("CAPTION")->AsString(), "Item 43");
}

TEST(DBGrid, EditingACellPostsWhenLeavingTheRow) {
    Window w(3);
    w.table->Open();
    w.Show();
    const QModelIndex cell = w.grid->model()->index(1, 1);
    w.grid->setCurrentIndex(cell);
    EXPECT_TRUE(w.grid->model()->flags(cell) & Qt::ItemIsEditable);
    w.grid->edit(cell);
    QLineEdit* editor = cellEditor(w.grid);
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "Changed");
    EXPECT_EQ(w.table->State(), dsBrowse); // nothing stored while typing
    w.grid->setCurrentIndex(w.grid->model()->index(2, 1));
    EXPECT_EQ(w.table->State(), dsBrowse);
    EXPECT_EQ(w.table->StoredString(1, 1), "Changed");
    EXPECT_EQ(w.table->FieldByName("CAPTION")->AsString(), "Item 3");
    EXPECT_EQ(w.grid->currentIndex(), w.grid->model()->index(2, 1)); // the column stays

    // Enter stores the cell, then the window's key-press handler posts.
    QStringList keys;
    w.grid->OnKeyPress = [&](QObject*, QChar& key) {
        keys << QString(key);
        if (key.unicode() == 13) {
            key = QChar(0);
            if (w.table->State() == dsEdit)
                w.table->Post();
        }
    };
    w.grid->edit(w.grid->currentIndex());
    editor = cellEditor(w.grid);
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "X");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(keys, QStringList({"X", "\r"}));
    EXPECT_EQ(w.table->State(), dsBrowse);
    EXPECT_EQ(w.table->StoredString(2, 1), "X");
}

TEST(DBGrid, ReadOnlyDataSetAndConfirmDelete) {
    Window w(3);
    w.table->ReadOnly = true;
    w.ShowOpen();
    EXPECT_FALSE(w.grid->model()->flags(w.grid->model()->index(0, 1)) & Qt::ItemIsEditable);
    MessageBoxAnswerer boxes;
    QTest::keyClick(w.grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(w.table->StoredCount(), 3);
    w.table->Close();
    w.table->ReadOnly = false;
    w.table->Open();

    boxes.Queue(IDCANCEL);
    QTest::keyClick(w.grid, Qt::Key_Delete, Qt::ControlModifier);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "Delete record?");
    EXPECT_EQ(w.table->StoredCount(), 3);
    boxes.Queue(IDOK);
    QTest::keyClick(w.grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(w.table->StoredCount(), 2);
    EXPECT_EQ(w.grid->model()->rowCount(), 2);
    EXPECT_EQ(w.Cell(0, 1), "Item 2");

    // Insert adds a row at the current one; Escape takes it back.
    QTest::keyClick(w.grid, Qt::Key_Insert);
    EXPECT_EQ(w.table->State(), dsInsert);
    EXPECT_EQ(w.grid->model()->rowCount(), 3);
    EXPECT_EQ(w.grid->model()->headerData(0, Qt::Vertical).toString(), "*");
    QTest::keyClick(w.grid, Qt::Key_Escape);
    EXPECT_EQ(w.table->State(), dsBrowse);
    EXPECT_EQ(w.grid->model()->rowCount(), 2);
}

TEST(DBEdit, TypingEditsAndThePostStoresTheText) {
    Window w(2);
    EXPECT_TRUE(w.edit->isReadOnly()); // nothing to show yet
    w.table->Open();
    EXPECT_EQ(w.edit->text(), "Item 1");
    EXPECT_FALSE(w.edit->isReadOnly());
    EXPECT_EQ(w.edit->maxLength(), 40);
    w.table->Next();
    EXPECT_EQ(w.edit->text(), "Item 2");

    w.edit->setCursorPosition(6);
    QTest::keyClicks(w.edit, "!");
    EXPECT_EQ(w.table->State(), dsEdit);
    EXPECT_EQ(w.edit->text(), "Item 2!");
    EXPECT_EQ(w.table->FieldByName("CAPTION")->AsString(), "Item 2"); // not stored yet
    w.table->Post();                                                  // asks the edit first
    EXPECT_EQ(w.table->StoredString(1, 1), "Item 2!");

    // Escape shows the field's value again.
    QTest::keyClicks(w.edit, "??");
    QTest::keyClick(w.edit, Qt::Key_Escape);
    EXPECT_EQ(w.edit->text(), "Item 2!");
    w.table->Cancel();

    // Enter reaches the window's handler, which may swallow it.
    int enters = 0;
    w.edit->OnKeyPress = [&](QObject*, QChar& key) {
        if (key.unicode() == 13) {
            ++enters;
            key = QChar(0);
        }
    };
    QTest::keyClick(w.edit, Qt::Key_Return);
    EXPECT_EQ(enters, 1);

    w.table->Close();
    w.table->ReadOnly = true;
    w.table->Open();
    EXPECT_TRUE(w.edit->isReadOnly());
}

TEST(DBEdit, LeavingTheEditStoresTheText) {
    Window w(2);
    w.table->Open();
    w.Show();
    w.edit->setFocus();
    QTest::keyClicks(w.edit, "+");
    w.memo->setFocus();
    EXPECT_EQ(w.table->FieldByName("CAPTION")->AsString(), "Item 1+");
    EXPECT_TRUE(w.table->Modified());
    w.table->Next(); // posts
    EXPECT_EQ(w.table->StoredString(0, 1), "Item 1+");
}

TEST(DBMemo, TypingThenPostingStoresTheMemo) {
    Window w(2);
    w.table->Open();
    EXPECT_EQ(w.memo->toPlainText(), "Memo 1");
    w.memo->selectAll();
    QTest::keyClicks(w.memo, "line 1");
    QTest::keyClick(w.memo, Qt::Key_Return);
    QTest::keyClicks(w.memo, "line 2");
    EXPECT_EQ(w.table->State(), dsEdit);
    w.table->Post();
    EXPECT_EQ(w.table->StoredBlob(0, 2), "line 1\r\nline 2");
    w.table->Next();
    EXPECT_EQ(w.memo->toPlainText(), "Memo 2");
    w.table->Prior();
    EXPECT_EQ(w.memo->toPlainText(), "line 1\nline 2");
}

TEST(DBNavigator, ButtonsFollowTheDataSet) {
    Window w(3);
    // No font need have the buttons' signs: none shows as a box for a missing character.
    for (int b = nbFirst; b <= nbRefresh; ++b) {
        EXPECT_FALSE(w.Enabled(TNavigateBtn(b))) << b;
        const QToolButton* button = w.navigator->Button(TNavigateBtn(b));
        EXPECT_FALSE(button->icon().isNull() && button->text().isEmpty()) << b;
        for (char32_t c : button->text().toUcs4())
            EXPECT_TRUE(QFontMetrics(button->font()).inFontUcs4(c)) << b;
    }
    w.table->Open();
    EXPECT_FALSE(w.Enabled(nbFirst));
    EXPECT_FALSE(w.Enabled(nbPrior));
    EXPECT_TRUE(w.Enabled(nbNext));
    EXPECT_TRUE(w.Enabled(nbLast));
    EXPECT_TRUE(w.Enabled(nbInsert));
    EXPECT_TRUE(w.Enabled(nbDelete));
    EXPECT_TRUE(w.Enabled(nbEdit));
    EXPECT_FALSE(w.Enabled(nbPost));
    EXPECT_FALSE(w.Enabled(nbCancel));
    QTest::mouseClick(w.navigator->Button(nbLast), Qt::LeftButton);
    EXPECT_EQ(w.table->RecNo(), 3);
    EXPECT_TRUE(w.Enabled(nbFirst));
    EXPECT_FALSE(w.Enabled(nbNext));
    EXPECT_FALSE(w.Enabled(nbLast));
    QTest::mouseClick(w.navigator->Button(nbEdit), Qt::LeftButton);
    EXPECT_EQ(w.table->State(), dsEdit);
    EXPECT_FALSE(w.Enabled(nbEdit));
    EXPECT_TRUE(w.Enabled(nbPost));
    EXPECT_TRUE(w.Enabled(nbCancel));
    QTest::mouseClick(w.navigator->Button(nbCancel), Qt::LeftButton);
    EXPECT_EQ(w.table->State(), dsBrowse);

    w.table->Close();
    w.table->ReadOnly = true;
    w.table->Open();
    EXPECT_TRUE(w.Enabled(nbNext));
    EXPECT_FALSE(w.Enabled(nbInsert));
    EXPECT_FALSE(w.Enabled(nbDelete));
    EXPECT_FALSE(w.Enabled(nbEdit));

    Window empty(0);
    empty.table->Open();
    EXPECT_FALSE(empty.Enabled(nbNext));
    EXPECT_FALSE(empty.Enabled(nbDelete));
    EXPECT_TRUE(empty.Enabled(nbInsert));

    w.navigator->SetVisibleButtons({nbFirst, nbPrior, nbNext, nbLast});
    EXPECT_TRUE(w.navigator->Button(nbFirst)->isVisibleTo(w.navigator));
    EXPECT_FALSE(w.navigator->Button(nbInsert)->isVisibleTo(w.navigator));
    w.navigator->setEnabled(false);
    EXPECT_FALSE(w.Enabled(nbNext));
}

TEST(DBNavigator, BeforeActionMayAbortAndDeleteAsks) {
    Window w(3);
    w.table->Open();
    std::vector<TNavigateBtn> seen;
    w.navigator->BeforeAction = [&](QObject* sender, TNavigateBtn b) {
        EXPECT_EQ(sender, w.navigator);
        seen.push_back(b);
        if (b == nbNext)
            throw EAbort();
    };
    QTest::mouseClick(w.navigator->Button(nbNext), Qt::LeftButton);
    EXPECT_EQ(w.table->RecNo(), 1);
    QTest::mouseClick(w.navigator->Button(nbLast), Qt::LeftButton);
    EXPECT_EQ(w.table->RecNo(), 3);
    EXPECT_EQ(seen, std::vector<TNavigateBtn>({nbNext, nbLast}));

    MessageBoxAnswerer boxes;
    boxes.Queue(IDCANCEL);
    QTest::mouseClick(w.navigator->Button(nbDelete), Qt::LeftButton);
    EXPECT_EQ(w.table->StoredCount(), 3);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "Delete record?");
    boxes.Queue(IDOK);
    QTest::mouseClick(w.navigator->Button(nbDelete), Qt::LeftButton);
    EXPECT_EQ(w.table->StoredCount(), 2);
    w.navigator->ConfirmDelete = false;
    QTest::mouseClick(w.navigator->Button(nbDelete), Qt::LeftButton);
    EXPECT_EQ(w.table->StoredCount(), 1);
    EXPECT_EQ(boxes.Boxes().size(), 2u);

    // Insert, fill in the edit, post through the navigator.
    QTest::mouseClick(w.navigator->Button(nbInsert), Qt::LeftButton);
    EXPECT_EQ(w.table->State(), dsInsert);
    QTest::keyClicks(w.edit, "New item");
    QTest::mouseClick(w.navigator->Button(nbPost), Qt::LeftButton);
    EXPECT_EQ(w.table->State(), dsBrowse);
    EXPECT_EQ(w.table->StoredCount(), 2);
    EXPECT_EQ(w.table->StoredString(0, 1), "New item");
}

TEST(DBGrid, UntouchedInsertIsCancelledWhenFocusLeaves) {
    Window w(2);
    QLineEdit other(&w.form);
    w.form.layout()->addWidget(&other);
    w.table->Open();
    w.Show();
    w.grid->setFocus();
    QTest::keyClick(w.grid, Qt::Key_Insert);
    ASSERT_EQ(w.table->State(), dsInsert);
    // Into an edit of the same record: the user goes on filling it in.
    w.edit->setFocus();
    EXPECT_EQ(w.table->State(), dsInsert);
    w.grid->setFocus();
    other.setFocus();
    EXPECT_EQ(w.table->State(), dsBrowse);
    EXPECT_EQ(w.table->StoredCount(), 2);

    // A new row with its cell editor open, nothing typed yet.
    auto insertWithCellEditor = [&] {
        w.grid->setFocus();
        QTest::keyClick(w.grid, Qt::Key_Insert);
        QTest::keyClick(w.grid, Qt::Key_F2);
        return cellEditor(w.grid);
    };

    // Left without typing: Next cancels the row.
    ASSERT_NE(insertWithCellEditor(), nullptr);
    QTest::mouseClick(w.navigator->Button(nbNext), Qt::LeftButton);
    EXPECT_EQ(w.table->State(), dsBrowse);
    EXPECT_EQ(w.table->StoredCount(), 2);

    // The same, leaving the cell editor for another control.
    QLineEdit* editor = insertWithCellEditor();
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(editor->hasFocus());
    other.setFocus();
    EXPECT_EQ(w.table->State(), dsBrowse);
    EXPECT_EQ(w.table->StoredCount(), 2);

    // Typed into, the new row is kept and posted.
    editor = insertWithCellEditor();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "typed");
    other.setFocus();
    EXPECT_EQ(w.table->State(), dsInsert);
    QTest::mouseClick(w.navigator->Button(nbPost), Qt::LeftButton);
    EXPECT_EQ(w.table->StoredCount(), 3);
}
