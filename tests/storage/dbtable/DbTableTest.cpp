#include "storage/dbtable/DbTable.h"
#include "DbTableTestSupport.h"
#include "StorageTestSupport.h"
#include "common/MessageBoxAnswerer.h"
#include "framework/data/BlobStream.h"
#include "framework/data/DataSource.h"
#include "framework/data/Fields.h"
#include "framework/dbcontrols/DBGrid.h"
#include "storage/project/ItemTableFields.h"

#include <QApplication>
#include <QDate>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace dbtable;
using namespace storagetest;

namespace {

struct Item {
    QString group, caption, descriptor, comments, picture, file;
};

// The item table as the windows hold it: six persistent fields in table order.
void AddItemFields(TDbTable& t) {
    AddItemTableFields(t);
}

void SetItem(TDbTable& t, const Item& i) {
    t.FieldByName("GROUP")->SetAsString(i.group);
    t.FieldByName("CAPTION")->SetAsString(i.caption);
    t.FieldByName("DESCRIPTOR")->SetAsString(i.descriptor);
    t.FieldByName("COMMENTS")->SetAsString(i.comments);
    t.FieldByName("PICTURE")->SetAsString(i.picture);
    t.FieldByName("FILE")->SetAsString(i.file);
}

class DbTableTest : public ::testing::Test {
protected:
    // A new item table "items.dbf" in the test's folder, made through the dataset.
    void SetUp() override {
        path = dir.filePath("items.dbf");
        Prepare(table);
        table.CreateTable();
    }
    void Prepare(TDbTable& t, const QString& name = "items") {
        if (t.FieldCount() == 0)
            AddItemFields(t);
        t.SetRunTimePath(dir.path());
        t.SetTableName(name);
    }
    void Fill(const QList<Item>& items) {
        table.Open();
        for (const Item& i : items) {
            table.Append();
            SetItem(table, i);
            table.Post();
        }
        table.Close();
    }
    void FillFive() {
        QList<Item> items;
        for (int i = 1; i <= 5; ++i)
            items.append({"grp01", QString("Item %1").arg(i), "d", QString("memo %1").arg(i),
                          "p.bmp", "f.exe"});
        Fill(items);
    }
    QByteArray RecordBytes(int n) { return ReadAll(path).mid(225 + n * 651, 651); }

    QTemporaryDir dir;
    MessageBoxAnswerer boxes;
    QString path;
    TDbTable table;
};

} // namespace

TEST_F(DbTableTest, CreatesTheItemTableAndAnEmptyTableHasNoRecords) {
    const QByteArray file = ReadAll(path);
    ASSERT_EQ(file.size(), 226);
    EXPECT_EQ(quint8(file[0]), 0x8B);
    EXPECT_EQ(quint8(file[8]) | quint8(file[9]) << 8, 225);
    EXPECT_EQ(quint8(file[10]) | quint8(file[11]) << 8, 651);
    EXPECT_EQ(ReadAll(dir.filePath("items.dbt")).size(), 512);
    EXPECT_EQ(TDbTable::ComponentInfo(), "TDbDataset V3.7");

    table.Open();
    EXPECT_TRUE(table.IsEmpty());
    EXPECT_TRUE(table.Bof());
    EXPECT_TRUE(table.Eof());
    EXPECT_EQ(table.RecordCount(), 0);
    table.Last();
    EXPECT_TRUE(table.IsEmpty());
    EXPECT_THROW(table.CreateTable(), EDatabaseError); // only while closed
    table.Close();
    EXPECT_EQ(TPagedFile::OpenFileCount(), 0);
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(DbTableTest, PathsResolveAgainstTheRunTimeFolder) {
    TDbTable t;
    t.SetRunTimePath(dir.path());
    t.SetTableName("qor.txt");
    EXPECT_EQ(QFileInfo(t.TablePaths().Table).fileName(), "qor.dbf");
    EXPECT_EQ(QFileInfo(t.TablePaths().Memo).fileName(), "qor.dbt");
    EXPECT_EQ(QFileInfo(t.TablePaths().Index).fileName(), "qor.mdx");
    // The table's own extension keeps its spelling; one in capitals gives the others theirs.
    t.SetTableName("ITEMS.DBF");
    EXPECT_EQ(QFileInfo(t.TablePaths().Table).fileName(), "ITEMS.DBF");
    EXPECT_EQ(QFileInfo(t.TablePaths().Memo).fileName(), "ITEMS.DBT");
    EXPECT_EQ(QFileInfo(t.TablePaths().Index).fileName(), "ITEMS.MDX");
    WriteAll(dir.filePath("ITEMS.dbt"), ""); // other programs spell it either way
    EXPECT_EQ(QFileInfo(t.TablePaths().Memo).fileName(), "ITEMS.dbt");
    t.SetTableName("Items.Dbf");
    EXPECT_EQ(QFileInfo(t.TablePaths().Table).fileName(), "Items.Dbf");
    EXPECT_EQ(QFileInfo(t.TablePaths().Memo).fileName(), "Items.dbt");
    t.SetTableName("my.tables/qor");
    EXPECT_EQ(QFileInfo(t.TablePaths().Table).fileName(), "qor.dbf");
    t.SetTableName(path); // an absolute name ignores the folder
    t.SetRunTimePath("elsewhere");
    EXPECT_EQ(t.TablePaths().Table, QDir::toNativeSeparators(path));

    t.SetTableName("missing");
    t.SetRunTimePath(dir.path());
    try {
        t.Open();
        FAIL() << "opened a missing table";
    } catch (const EBinaryDataSetError& e) {
        EXPECT_EQ(e.Message, "Open: Table file not found : " + t.TablePaths().Table);
    }
    EXPECT_FALSE(t.Active());
    EXPECT_FALSE(QFileInfo::exists(t.TablePaths().Table));

    // A table made under a name in capitals opens again under that name.
    AddItemTableFields(t);
    t.SetTableName("CAPS.DBF");
    t.CreateTable();
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("CAPS.DBF")));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("CAPS.DBT")));
    t.Open();
    EXPECT_EQ(t.FieldCount(), 6);
    t.Close();
}

TEST_F(DbTableTest, AppendEditCancelAndReopen) {
    FillFive();
    EXPECT_EQ(ReadAll(path).size(), 225 + 5 * 651 + 1);

    table.Open();
    EXPECT_EQ(table.RecordCount(), 5);
    QList<int> recNos;
    EXPECT_EQ(Shown(table, &recNos),
              QStringList({"Item 1", "Item 2", "Item 3", "Item 4", "Item 5"}));
    EXPECT_EQ(recNos, QList<int>({1, 2, 3, 4, 5}));

    table.SetRecNo(2);
    EXPECT_EQ(Caption(table), "Item 2");
    table.Edit();
    table.FieldByName("CAPTION")->SetAsString("changed");
    table.Cancel();
    EXPECT_EQ(Caption(table), "Item 2");
    EXPECT_TRUE(RecordBytes(1).contains("Item 2"));

    table.Edit();
    table.FieldByName("CAPTION")->SetAsString("changed");
    table.FieldByName("FILE")->SetAsString(QString(200, 'x')); // cut to its 160 characters
    table.Post();
    EXPECT_EQ(table.RecNo(), 2);
    const QByteArray second = RecordBytes(1);
    EXPECT_EQ(second.mid(21, 7), "changed");
    EXPECT_EQ(second.mid(491, 160), QByteArray(160, 'x'));
    table.Close();

    // Reopening finds the records as they were written.
    table.Open();
    EXPECT_EQ(Shown(table), QStringList({"Item 1", "changed", "Item 3", "Item 4", "Item 5"}));
    table.Close();
    EXPECT_EQ(TPagedFile::OpenFileCount(), 0);
}

TEST_F(DbTableTest, InsertedRecordsGoToTheEndOfTheFile) {
    FillFive();
    table.Open();
    table.First();
    table.Insert();
    SetItem(table, {"grp02", "inserted", "", "", "", ""});
    table.Post();
    EXPECT_EQ(table.RecNo(), 6);
    EXPECT_EQ(Caption(table), "inserted");
    table.Close();
    const QByteArray file = ReadAll(path);
    EXPECT_EQ(quint8(file[4]), 6); // the header counts it
    EXPECT_EQ(file.size(), 225 + 6 * 651 + 1);
    EXPECT_EQ(quint8(file.back()), 0x1A);
    EXPECT_TRUE(RecordBytes(5).startsWith(" grp02"));
    EXPECT_TRUE(RecordBytes(0).contains("Item 1"));
}

TEST_F(DbTableTest, DeletedRecordsStayInTheFileAndShowOnlyWhenAsked) {
    FillFive();
    table.Open();
    table.SetRecNo(3);
    table.Delete();
    EXPECT_EQ(RecordBytes(2)[0], '*');
    EXPECT_TRUE(RecordBytes(2).contains("Item 3"));
    EXPECT_EQ(table.RecordCount(), 5);
    QList<int> recNos;
    EXPECT_EQ(Shown(table, &recNos).size(), 4);
    EXPECT_EQ(recNos, QList<int>({1, 2, 4, 5}));
    // A record that is not shown cannot be reached by its number either.
    EXPECT_THROW(table.SetRecNo(3), EDatabaseError);
    EXPECT_THROW(table.SetRecNo(9), EBinaryDataSetError);
    table.Close();

    table.SetShowDeleted(true);
    table.Open();
    EXPECT_EQ(Shown(table).size(), 5);
    table.Close();
}

TEST_F(DbTableTest, BookmarksAreRecordNumbers) {
    FillFive();
    table.Open();
    table.SetRecNo(4);
    const TBookmark mark = table.GetBookmark();
    table.First();
    table.GotoBookmark(mark);
    EXPECT_EQ(Caption(table), "Item 4");
    TBookmark seven;
    seven.Data = QByteArray("\x07\0\0\0", 4);
    try {
        table.GotoBookmark(seven);
        FAIL();
    } catch (const EBinaryDataSetError& e) {
        EXPECT_EQ(e.Message, "Bookmark 7 not found");
    }
    EXPECT_FALSE(table.BookmarkValid(seven));
    EXPECT_TRUE(table.BookmarkValid(mark));
}

TEST_F(DbTableTest, FilterTextMatchesTheRecordInAnyLetterCase) {
    Fill({{"grp01", "one", "", "", "", ""},
          {"grp02", "two", "mentions GRP01 in its description", "", "", ""},
          {"grp02", "three", "", "", "", ""},
          {"Grp01", "four", "", "", "", ""},
          {"bücher", "five", "", "", "", ""}});
    table.SetRecordFilterText("grp01");
    table.Open();
    QList<int> recNos;
    EXPECT_EQ(Shown(table, &recNos), QStringList({"one", "two", "four"}));
    EXPECT_EQ(recNos, QList<int>({1, 2, 4}));
    EXPECT_EQ(table.RecordCount(), 5); // counts every record of the file
    table.Close();

    // An identifier with capitals still finds its group.
    table.SetRecordFilterText("Grp01");
    table.Open();
    EXPECT_EQ(Shown(table), QStringList({"one", "two", "four"}));
    table.Close();
    table.SetRecordFilterText("BÜCHER");
    table.Open();
    EXPECT_EQ(Shown(table), QStringList({"five"}));
    table.Close();

    // The text filters whatever Filtered says; Filtered adds the event.
    table.SetRecordFilterText("grp02");
    table.SetFiltered(false);
    table.OnFilterRecord = [](TDataSet* ds, bool& accept) {
        accept = ds->FieldByName("CAPTION")->AsString() != "two";
    };
    table.Open();
    EXPECT_EQ(Shown(table), QStringList({"two", "three"}));
    table.SetFiltered(true);
    EXPECT_EQ(Shown(table), QStringList({"three"}));
    table.Close();
    table.OnFilterRecord = nullptr;
    table.Open();
    EXPECT_EQ(Shown(table), QStringList({"two", "three"}));
    table.Close();
    table.SetRecordFilterText("nothing like it");
    table.Open();
    EXPECT_TRUE(table.IsEmpty());
}

TEST_F(DbTableTest, MemosRoundTripAndCancelDiscardsThem) {
    const QString longText = QString(1100, 'm');
    Fill({{"g", "a", "", "short memo", "", ""}, {"g", "b", "", longText, "", ""}});
    EXPECT_EQ(RecordBytes(0).mid(321, 10), "         1");
    table.Open();
    table.First();
    EXPECT_EQ(table.FieldByName("COMMENTS")->AsString(), "short memo");
    table.Next();
    EXPECT_EQ(table.FieldByName("COMMENTS")->AsString(), longText);

    // Written through a blob stream, the memo is there at once and in the file after posting.
    table.First();
    table.Edit();
    {
        auto stream = table.CreateBlobStream(table.FieldByName("COMMENTS"), bmWrite);
        stream->write("streamed");
        stream->Commit();
    }
    EXPECT_EQ(table.FieldByName("COMMENTS")->AsString(), "streamed");
    table.Post();
    {
        auto stream = table.CreateBlobStream(table.FieldByName("COMMENTS"), bmRead);
        EXPECT_EQ(stream->readAll(), "streamed");
    }

    // Cancel leaves memo file and record as they were.
    const QByteArray memoFile = ReadAll(dir.filePath("items.dbt"));
    table.Edit();
    table.FieldByName("COMMENTS")->SetAsString("discarded");
    EXPECT_EQ(table.FieldByName("COMMENTS")->AsString(), "discarded");
    table.Cancel();
    EXPECT_EQ(table.FieldByName("COMMENTS")->AsString(), "streamed");
    EXPECT_EQ(ReadAll(dir.filePath("items.dbt")), memoFile);

    // A memo given to a new record, and a cleared memo.
    table.Append();
    SetItem(table, {"g", "c", "", "new memo", "", ""});
    table.Post();
    table.First();
    table.Edit();
    table.FieldByName("COMMENTS")->Clear();
    table.Post();
    EXPECT_TRUE(table.FieldByName("COMMENTS")->IsNull());
    table.Close();

    table.Open();
    table.Last();
    EXPECT_EQ(table.FieldByName("COMMENTS")->AsString(), "new memo");
    table.Prior();
    EXPECT_EQ(table.FieldByName("COMMENTS")->AsString(), longText);
}

TEST_F(DbTableTest, TextIsStoredInTheOemCodePage) {
    Fill({{"g", QString::fromUtf8("café über 5 ╬"), "", QString::fromUtf8("Grüße"), "", ""}});
    const QByteArray record = RecordBytes(0);
    EXPECT_EQ(record.mid(21, 13), QByteArray("caf\x82 \x81"
                                             "ber 5 \xCE"));
    table.Open();
    table.First();
    EXPECT_EQ(Caption(table), QString::fromUtf8("café über 5 ╬"));
    EXPECT_EQ(table.FieldByName("COMMENTS")->AsString(), QString::fromUtf8("Grüße"));
    table.Close();
    EXPECT_TRUE(ReadAll(dir.filePath("items.dbt"))
                    .contains("Gr\x81\xE1"
                              "e"));
}

TEST_F(DbTableTest, ReadOnlyTableIsNeverWritten) {
    FillFive();
    // An old date in the header shows whether the header is rewritten.
    QByteArray file = ReadAll(path);
    file[1] = 90;
    WriteAll(path, file);
    const QByteArray memo = ReadAll(dir.filePath("items.dbt"));

    table.SetReadOnly(true);
    table.Open();
    EXPECT_FALSE(table.CanModify());
    EXPECT_EQ(Shown(table).size(), 5);
    EXPECT_THROW(table.Edit(), EDatabaseError);
    EXPECT_THROW(table.Append(), EDatabaseError);
    EXPECT_THROW(table.Delete(), EDatabaseError);
    table.Close();
    EXPECT_EQ(ReadAll(path), file);
    EXPECT_EQ(ReadAll(dir.filePath("items.dbt")), memo);
}

TEST_F(DbTableTest, OneFileIsSharedBetweenDataSets) {
    FillFive();
    TDbTable other;
    Prepare(other, "items");
    table.Open();
    other.Open();
    EXPECT_EQ(TPagedFile::OpenFileCount(), 2); // table and memo, once each
    EXPECT_EQ(table.Files().Table(), other.Files().Table());

    // Move away from the first record so that a buffer keeps its old state, then change it
    // through the other dataset: coming back shows the change.
    table.First();
    const TBookmark first = table.GetBookmark();
    table.Next();
    other.First();
    other.Edit();
    other.FieldByName("CAPTION")->SetAsString("by other");
    other.Post();
    table.GotoBookmark(first);
    EXPECT_EQ(Caption(table), "by other");

    other.Append();
    SetItem(other, {"g", "appended", "", "", "", ""});
    other.Post();
    table.Last();
    EXPECT_EQ(Caption(table), "appended");

    table.Close();
    EXPECT_EQ(TPagedFile::OpenFileCount(), 2);
    other.Close();
    EXPECT_EQ(TPagedFile::OpenFileCount(), 0);
    EXPECT_EQ(quint8(ReadAll(path)[4]), 6);
}

TEST_F(DbTableTest, ATableOpenInTheProcessIsNotMadeAnew) {
    FillFive();
    table.Open();
    const QByteArray before = ReadAll(path);

    // Another dataset making a wider table under the same name would empty the file under
    // the open one and change the record layout its buffers were made for.
    TDbTable other;
    other.SetRunTimePath(dir.path());
    other.SetTableName("items");
    other.FieldDefs().Add("WIDE", ftString, 250, false);
    other.FieldDefs().Add("WIDER", ftString, 250, false);
    other.FieldDefs().Add("WIDEST", ftString, 250, false);
    EXPECT_THROW(other.CreateTable(), EBinaryDataSetError);

    EXPECT_EQ(ReadAll(path), before);
    EXPECT_EQ(Shown(table).size(), 5);
    table.Close();
    EXPECT_EQ(TPagedFile::OpenFileCount(), 0);
}

TEST_F(DbTableTest, ReadOnlyOpenerMakesTheSharedFileReadOnlyForAll) {
    FillFive();
    TDbTable browser;
    Prepare(browser);
    browser.SetReadOnly(true);
    browser.Open();
    table.Open();
    EXPECT_FALSE(table.CanModify());
    EXPECT_THROW(table.Edit(), EDatabaseError);
    EXPECT_NO_THROW(table.Close());
    browser.Close();
}

TEST_F(DbTableTest, HeaderCountNoticeAndAFailedOpenWritesNothing) {
    FillFive();
    QByteArray file = ReadAll(path);
    file[4] = 3;
    WriteAll(path, file);
    table.Open();
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "Invalid Record Count,\rRecordCount in Hdr : 3\rexpected : 5");
    table.Append();
    SetItem(table, {"g", "sixth", "", "", "", ""});
    table.Post();
    EXPECT_EQ(table.RecNo(), 6);
    table.Close();
    EXPECT_TRUE(RecordBytes(5).contains("sixth"));

    // A header that announces no fields cannot be read; the file stays as it was.
    file = ReadAll(path);
    file[8] = 32;
    file[9] = 0;
    WriteAll(path, file);
    try {
        table.Open();
        FAIL();
    } catch (const EBinaryDataSetError& e) {
        EXPECT_EQ(e.Message, "Invalid field count : 0 (must be between 1 and 255)");
    }
    EXPECT_FALSE(table.Active());
    EXPECT_EQ(ReadAll(path), file);
    EXPECT_EQ(TPagedFile::OpenFileCount(), 0);
}

TEST_F(DbTableTest, IndexFileIsSharedAndAMissingMemoFileFailsCleanly) {
    FillFive();
    WriteAll(dir.filePath("items.mdx"), QByteArray(1024, '\0'));
    table.Open();
    EXPECT_NE(table.Files().Index(), nullptr);
    EXPECT_EQ(TPagedFile::OpenFileCount(), 3);
    table.Close();
    EXPECT_EQ(TPagedFile::OpenFileCount(), 0);

    ASSERT_TRUE(QFile::remove(dir.filePath("items.dbt")));
    table.Open();
    table.First();
    EXPECT_EQ(Caption(table), "Item 1");
    EXPECT_THROW(table.FieldByName("COMMENTS")->AsString(), EBinaryDataSetError);
    const QByteArray before = RecordBytes(0);
    table.Edit();
    try {
        table.FieldByName("COMMENTS")->SetAsString("x");
        FAIL();
    } catch (const EBinaryDataSetError& e) {
        EXPECT_EQ(e.Message, "Memo file not found : " + table.Files().Paths().Memo);
    }
    table.FieldByName("CAPTION")->SetAsString("still posts");
    table.Post();
    EXPECT_EQ(RecordBytes(0).mid(321, 10), before.mid(321, 10));
    table.Close();
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("items.dbt")));
}

TEST_F(DbTableTest, FieldsMadeFromTheTableWhenThereAreNone) {
    FillFive();
    TDbTable plain;
    plain.SetRunTimePath(dir.path());
    plain.SetTableName("items");
    plain.Open();
    ASSERT_EQ(plain.FieldCount(), 6);
    EXPECT_EQ(plain.Field(3)->DataType(), ftMemo);
    EXPECT_EQ(plain.Field(1)->Size(), 120);
    plain.Last();
    EXPECT_EQ(plain.FieldByName("COMMENTS")->AsString(), "memo 5");
    plain.Close();
    EXPECT_EQ(plain.FieldCount(), 0);

    // A new table from the definitions the last open left.
    plain.SetTableName("copy");
    plain.CreateTable();
    EXPECT_EQ(ReadAll(dir.filePath("copy.dbf")).mid(32, 225 - 32), ReadAll(path).mid(32, 225 - 32));
}

TEST_F(DbTableTest, GridShowsTheRowsOfTheTable) {
    FillFive();
    QWidget form;
    auto* layout = new QVBoxLayout(&form);
    TDataSource source;
    source.SetDataSet(&table);
    auto* grid = new TDBGrid(&form);
    grid->SetDataSource(&source);
    layout->addWidget(grid);
    form.resize(600, 300);
    form.show();
    QApplication::setActiveWindow(&form);
    (void)QTest::qWaitForWindowActive(&form, 1000);

    table.SetRecordFilterText("item 4");
    table.Open();
    QAbstractItemModel* m = grid->model();
    ASSERT_EQ(m->rowCount(), 1);
    EXPECT_EQ(m->index(0, 1).data().toString(), "Item 4");
    table.Close();
    table.SetRecordFilterText("");
    table.Open();
    ASSERT_EQ(m->rowCount(), 5);
    EXPECT_EQ(m->index(4, 1).data().toString(), "Item 5");
    EXPECT_EQ(m->index(0, 0).data().toString(), "grp01");

    table.Close();
    table.SetReadOnly(true);
    table.Open();
    EXPECT_FALSE(table.CanModify());
    grid->setCurrentIndex(m->index(1, 1));
    EXPECT_FALSE(m->flags(m->index(1, 1)) & Qt::ItemIsEditable);
    table.Close();
}

TEST_F(DbTableTest, DbfdumpReadsWhatTheDataSetWrote) {
    if (!HaveTool("dbfdump"))
        GTEST_SKIP() << "dbfdump (shapelib) is not installed";
    Fill({{"grp01", "First", "desc", "memo", "a.bmp", "setup.exe"},
          {"grp02", "Second", "", "", "", "readme.txt"}});
    bool ok = false;
    const QString out = QString::fromLatin1(RunTool("dbfdump", {"-m", path}, &ok));
    ASSERT_TRUE(ok);
    EXPECT_TRUE(out.contains("CAPTION: First"));
    EXPECT_TRUE(out.contains("FILE: readme.txt"));
    EXPECT_EQ(out.count("Record:"), 2);
}
