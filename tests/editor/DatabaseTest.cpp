#include "EditorTestSupport.h"
#include "editor/DataWindow.h"
#include "framework/data/Fields.h"
#include "itemtable/ItemTableTestSupport.h"

#include <QComboBox>
#include <QLabel>
#include <QTest>

using namespace Orvello;
using namespace itemtest;

namespace {

QStringList groupsOf(const TData* data) {
    QStringList items;
    for (int i = 0; i < data->Groups->count(); ++i)
        items << data->Groups->itemText(i);
    return items;
}

// The captions of the records the window shows, from the first.
QStringList captionsOf(TData* data) {
    QStringList captions;
    for (data->Table1->First(); !data->Table1->Eof(); data->Table1->Next())
        captions << data->Table1CAPTION->AsString();
    data->Table1->First();
    return captions;
}

// The field names of a table file, in table order.
QStringList fieldNamesOf(const QString& path) {
    TDbTable table;
    table.SetTableName(path);
    table.SetReadOnly(true);
    table.Open();
    QStringList names;
    for (int i = 0; i < table.FieldCount(); ++i)
        names << table.Field(i)->FieldName();
    table.Close();
    return names;
}

} // namespace

// Opens the item-table window with "Edit data" and runs `body` while it is up, then closes it.
// False when the window did not come up.
class DatabaseTest : public EditorTest {
protected:
    bool EditData(TForm1* f, const std::function<void(TData*)>& body = {}) {
        bool shown = false;
        WhenModal([&] {
            if (!f->Data->isVisible())
                return;
            shown = true;
            if (body)
                body(f->Data);
            f->Data->close();
        });
        f->BitBtn9->click();
        QCoreApplication::processEvents();
        return shown;
    }
};

TEST_F(DatabaseTest, NewMakesAnEmptyTableOfTheItemFieldsWhateverWasOpenBefore) {
    TForm1* f = Start();
    // Another extension, or a cancelled dialog: nothing at all.
    Choose(Path("proj/items.txt"));
    f->BitBtn6->click();
    EXPECT_EQ(seen_.back().title, "Create new database as ...");
    Cancel();
    f->BitBtn6->click();
    EXPECT_TRUE(f->TableName->text().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(Path("proj/items.dbf")));

    // A table of other fields, opened through the page: its records cannot be edited here.
    {
        TDbTable foreign;
        foreign.AddField(std::make_unique<TStringField>("NAME", 10));
        foreign.SetTableName(Path("proj/Other.DBF"));
        foreign.CreateTable();
    }
    Choose(Path("proj/Other.DBF"));
    f->BitBtn7->click();
    EXPECT_TRUE(f->DBCheck->isChecked());
    EXPECT_FALSE(EditData(f));
    ASSERT_EQ(boxes_.Boxes().size(), 1u);
    EXPECT_EQ(boxes_.Boxes()[0].text, "Field 'GROUP' not found");

    // A new table after it has the six item fields, empty, with its memo file; the name keeps
    // its spelling and the page shows it. The database switch stays as it was.
    Choose(Path("proj/New Items.DBF"));
    f->BitBtn6->click();
    EXPECT_EQ(f->TableName->text(), Path("proj/New Items.DBF"));
    EXPECT_TRUE(f->DBCheck->isChecked());
    EXPECT_TRUE(QFileInfo::exists(Path("proj/New Items.DBT")));
    EXPECT_EQ(fieldNamesOf(Path("proj/New Items.DBF")),
              (QStringList{"GROUP", "CAPTION", "DESCRIPTOR", "COMMENTS", "PICTURE", "FILE"}));
    EXPECT_TRUE(ReadItemTable(Path("proj"), "New Items.DBF").isEmpty());

    // Under the name of a table with records, the new one replaces it.
    WriteItemTable(Path("proj"), "full.dbf", {{"grp01", "One"}, {"grp01", "Two"}});
    Choose(Path("proj/full.dbf"));
    f->BitBtn6->click();
    EXPECT_TRUE(ReadItemTable(Path("proj"), "full.dbf").isEmpty());
    EXPECT_EQ(boxes_.Boxes().size(), 1u);
}

TEST_F(DatabaseTest, OpenSwitchesTheDatabaseOnOnlyForATable) {
    WriteItemTable(Path("proj"), "items.dbf", {});
    TForm1* f = Start();
    EXPECT_FALSE(f->CKTables->isChecked());
    Choose(Path("proj/items.dbf"));
    f->BitBtn7->click();
    EXPECT_EQ(seen_.back().title, "Open database ...");
    EXPECT_EQ(f->TableName->text(), Path("proj/items.dbf"));
    EXPECT_TRUE(f->DBCheck->isChecked());
    // The player's Tables button follows the switch.
    EXPECT_TRUE(f->CKTables->isChecked());

    // A cancelled dialog changes nothing; a file of another kind switches the database off.
    Cancel();
    f->BitBtn7->click();
    EXPECT_TRUE(f->DBCheck->isChecked());
    Write("proj/notes.txt", "x");
    Choose(Path("proj/notes.txt"));
    f->BitBtn7->click();
    EXPECT_FALSE(f->DBCheck->isChecked());
    EXPECT_FALSE(f->CKTables->isChecked());
    EXPECT_EQ(f->TableName->text(), Path("proj/items.dbf"));
    // The extension is compared without regard to case.
    WriteItemTable(Path("proj"), "LOUD.DBF", {});
    Choose(Path("proj/LOUD.DBF"));
    f->BitBtn7->click();
    EXPECT_EQ(f->TableName->text(), Path("proj/LOUD.DBF"));
    EXPECT_TRUE(f->DBCheck->isChecked());
    EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(DatabaseTest, DeleteAsksAndRemovesTheTableAndItsMemoButKeepsTheGroups) {
    WriteItemTable(Path("proj"), "items.dbf", {{"grp01", "One"}});
    Write("proj/items.mdx", "index");
    TForm1* f = Start();

    // No table named, or none there: no question.
    f->BitBtn8->click();
    f->TableName->setText(Path("proj/gone.dbf"));
    f->BitBtn8->click();
    EXPECT_TRUE(boxes_.Boxes().empty());

    f->TableName->setText(Path("proj/items.dbf"));
    f->DBCheck->setChecked(true);
    f->TableTitle->setText("Items");
    f->StringGrid1->SetCell(1, 1, "Songs");
    boxes_.Queue(IDNO);
    f->BitBtn8->click();
    ASSERT_EQ(boxes_.Boxes().size(), 1u);
    EXPECT_EQ(boxes_.Boxes()[0].text,
              "Do you really want to delete table : " + Path("proj/items.dbf") + " ?");
    EXPECT_EQ(boxes_.Boxes()[0].style & 0xF00, unsigned(MB_DEFBUTTON2));
    EXPECT_TRUE(QFileInfo::exists(Path("proj/items.dbf")));
    EXPECT_TRUE(f->DBCheck->isChecked());

    // Yes, while the item-table window still has the table open.
    ASSERT_TRUE(EditData(f));
    f->Data->Table1->Open();
    boxes_.Queue(IDYES);
    f->BitBtn8->click();
    EXPECT_FALSE(f->Data->Table1->Active());
    EXPECT_FALSE(QFileInfo::exists(Path("proj/items.dbf")));
    EXPECT_FALSE(QFileInfo::exists(Path("proj/items.dbt")));
    EXPECT_TRUE(QFileInfo::exists(Path("proj/items.mdx")));
    EXPECT_TRUE(f->TableName->text().isEmpty());
    EXPECT_EQ(f->TableTitle->text(), "Data");
    EXPECT_FALSE(f->DBCheck->isChecked());
    EXPECT_FALSE(f->CKTables->isChecked());
    EXPECT_EQ(f->StringGrid1->Cell(1, 1), "Songs");
}

TEST_F(DatabaseTest, DeleteSaysWhatCouldNotBeDeletedAndKeepsTheTableWhole) {
    WriteItemTable(Path("proj"), "items.dbf", {{"grp01", "One"}});
    // A memo "file" that cannot be removed: a folder with something in it.
    ASSERT_TRUE(QFile::remove(Path("proj/items.dbt")));
    Write("proj/items.dbt/inside", "x");
    TForm1* f = Start();
    f->TableName->setText(Path("proj/items.dbf"));
    f->DBCheck->setChecked(true);
    boxes_.Queue(IDYES);
    f->BitBtn8->click();
    ASSERT_EQ(boxes_.Boxes().size(), 2u);
    EXPECT_EQ(boxes_.Boxes()[1].text, "\"" + Path("proj/items.dbt") + "\" could not be deleted !");
    // The table is whole and still the project's.
    EXPECT_EQ(ReadItemTable(Path("proj"), "items.dbf").size(), 1);
    EXPECT_EQ(f->TableName->text(), Path("proj/items.dbf"));
    EXPECT_TRUE(f->DBCheck->isChecked());
    EXPECT_TRUE(f->CKTables->isChecked());
}

TEST_F(DatabaseTest, DeleteAllEntriesResetsTheGroupsOnlyWhenTheAuthorAgrees) {
    TForm1* f = Start();
    f->StringGrid1->SetCell(1, 1, "Songs");
    f->StringGrid1->SetCell(2, 1, "song");
    f->StringGrid1->SetCell(1, 50, "Last");
    f->TableName->setText("items.dbf");
    f->TableTitle->setText("Items");
    f->DBEditable->setChecked(false);
    f->DBCheck->setChecked(true);
    boxes_.Queue(IDNO);
    f->SpeedButton11->click();
    ASSERT_EQ(boxes_.Boxes().size(), 1u);
    EXPECT_EQ(boxes_.Boxes()[0].text, "Do you really want to delete all entries ?");
    EXPECT_EQ(boxes_.Boxes()[0].style & 0xF00, unsigned(MB_DEFBUTTON2));
    EXPECT_EQ(f->StringGrid1->Cell(1, 1), "Songs");

    boxes_.Queue(IDYES);
    f->SpeedButton11->click();
    for (int row : {1, 50}) {
        const QString number = QString("%1").arg(row, 2, 10, QChar('0'));
        EXPECT_EQ(f->StringGrid1->Cell(0, row), number);
        EXPECT_EQ(f->StringGrid1->Cell(1, row), "");
        EXPECT_EQ(f->StringGrid1->Cell(2, row), "grp" + number);
    }
    // The reset takes the switches and the table's name and title with it.
    EXPECT_FALSE(f->DBCheck->isChecked());
    EXPECT_FALSE(f->CKTables->isChecked());
    EXPECT_TRUE(f->DBEditable->isChecked());
    EXPECT_TRUE(f->TableName->text().isEmpty());
    EXPECT_EQ(f->TableTitle->text(), "Data");
}

TEST_F(DatabaseTest, EditDataListsTheGroupsUpToTheFirstWithoutCaption) {
    WriteItemTable(Path("proj"), "items.dbf",
                   {{"song", "Tune"}, {"video", "Clip"}, {"", "Loose"}, {"song", "Hymn"}});
    TForm1* f = Start();

    // No table, or one that is not there.
    EXPECT_FALSE(EditData(f));
    f->TableName->setText(Path("proj/missing.dbf"));
    EXPECT_FALSE(EditData(f));
    ASSERT_EQ(boxes_.Boxes().size(), 2u);
    EXPECT_EQ(boxes_.Boxes()[1].text, "Database not found !");
    EXPECT_EQ(boxes_.Boxes()[1].style & 0xF0, unsigned(MB_ICONINFORMATION));

    // Groups up to the first empty caption; the all-groups entry ends the list. The switch
    // plays no part.
    f->TableName->setText(Path("proj/items.dbf"));
    f->StringGrid1->SetCell(1, 1, "Songs");
    f->StringGrid1->SetCell(2, 1, "song");
    f->StringGrid1->SetCell(1, 2, "Videos");
    f->StringGrid1->SetCell(2, 2, "video");
    f->StringGrid1->SetCell(1, 4, "After the gap");
    EXPECT_FALSE(f->DBCheck->isChecked());
    ASSERT_TRUE(EditData(f, [](TData* data) {
        EXPECT_TRUE(data->Modal());
        EXPECT_TRUE(data->IsTopmost());
        EXPECT_EQ(data->windowTitle(), "Tavolin 1.1 - Database ...");
        EXPECT_EQ(groupsOf(data), (QStringList{"Songs", "Videos", "* * *"}));
        EXPECT_EQ(data->GroupIdentifiers[2], "* * *");
        // The first group is chosen and the table shows its records.
        EXPECT_EQ(data->Groups->currentIndex(), 0);
        EXPECT_EQ(data->Panel1->text(), "song");
        EXPECT_EQ(captionsOf(data), (QStringList{"Tune", "Hymn"}));
        ChooseItem(data->Groups, 2);
        EXPECT_EQ(data->Panel1->text(), "");
        EXPECT_FALSE(data->Table1->Filtered());
        EXPECT_EQ(captionsOf(data), (QStringList{"Tune", "Clip", "Loose", "Hymn"}));
    }));
    // Closing the window closes the table.
    EXPECT_FALSE(f->Data->Table1->Active());

    // A caption in row 3 alone gives no groups: all records.
    for (int row : {1, 2, 4})
        f->StringGrid1->SetCell(1, row, "");
    f->StringGrid1->SetCell(1, 3, "Third");
    ASSERT_TRUE(EditData(f, [](TData* data) {
        EXPECT_EQ(groupsOf(data), QStringList{"* * *"});
        EXPECT_EQ(data->GroupIdentifiers[0], "* * *");
        EXPECT_EQ(data->Table1->RecordFilterText(), "");
        EXPECT_EQ(data->Table1CAPTION->AsString(), "Tune");
    }));
    EXPECT_EQ(boxes_.Boxes().size(), 2u);
}

TEST_F(DatabaseTest, ATableNamedWithoutFolderIsTheOpenedProjectsOwn) {
    WriteItemTable(Path("proj"), "qor.dbf", {{"grp01", "Mine"}});
    Project("proj/cd.qor", {"[Buttons]", "EnTables=0", "[DB]", "Active=1", "Name=qor.dbf",
                            "[DB-Groups]", "01=One", "[DB-Identifiers]", "01=grp01"});
    TForm1* f = Start();
    ASSERT_TRUE(f->LoadProject(Path("proj/cd.qor")));
    // Read quietly: the Tables button keeps what the file says.
    EXPECT_TRUE(f->DBCheck->isChecked());
    EXPECT_FALSE(f->CKTables->isChecked());
    QDir::setCurrent(root_); // wherever the editor's working folder goes meanwhile
    ASSERT_TRUE(
        EditData(f, [](TData* data) { EXPECT_EQ(data->Table1CAPTION->AsString(), "Mine"); }));
    // After reading, the author's clicks couple the switches again.
    f->DBCheck->setChecked(false);
    f->DBCheck->setChecked(true);
    EXPECT_TRUE(f->CKTables->isChecked());
    EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(DatabaseTest, AnIdentifierTakesNoMoreTypingThanTheGroupFieldHolds) {
    TForm1* f = Start();
    f->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f));
    f->PageControl1->setCurrentWidget(f->TabSheet4);
    QTableWidget* grid = f->StringGrid1;
    for (int column : {0, 1}) {
        grid->setCurrentCell(0, column);
        grid->editItem(grid->item(0, column));
        QWidget* editor = QApplication::focusWidget();
        ASSERT_TRUE(editor && grid->isAncestorOf(editor));
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, "abcdefghijklmnopqrstuvwxyz");
        f->StringGrid1->CommitEdit();
    }
    // The caption is free; the identifier stops where GROUP does.
    EXPECT_EQ(f->StringGrid1->Cell(1, 1), "abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(f->StringGrid1->Cell(2, 1), "abcdefghijklmnopqrst");
}
