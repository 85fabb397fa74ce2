#include "storage/dbdataset/DbDataset.h"
#include "IndexTreeCheck.h"
#include "StorageTestSupport.h"
#include "TableBytes.h"
#include "common/MessageBoxAnswerer.h"
#include "framework/data/Fields.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace dbdataset;
using indexcheck::CheckTree;
using indexcheck::Word32;
using storagetest::Caption;
using storagetest::ReadAll;
using storagetest::Shown;
using storagetest::WriteAll;
namespace tb = tablebytes;

namespace {

// The dataset with its buffers and slots within reach.
class TProbe : public TDbDataset {
public:
    using TDbDataset::ActiveBuffer;
    using TDbDataset::LoadFieldDefs;
};

struct Item {
    QString caption;
    QString group;
    int qty;
    QString comments;
};

class DbDatasetTest : public ::testing::Test {
protected:
    void SetUp() override {
        TrimFieldStrings = true;
        SetDefaultFolder(dir.path() + "/");
    }
    void TearDown() override { EXPECT_TRUE(TPagedFile::OpenFiles().empty()); }

    QString Path(const QString& name) const { return dir.filePath(name); }

    // A caption, a group, a quantity and comments.
    void Define(TDbDataset& d, const QString& table = "items.dbf") {
        d.FieldDefs().Clear();
        d.FieldDefs().AddFieldDef("CAPTION", ftString, 120, false);
        d.FieldDefs().AddFieldDef("GROUP", ftString, 20, false);
        d.FieldDefs().AddFieldDef("QTY", ftInteger, 6, false);
        d.FieldDefs().AddFieldDef("COMMENTS", ftMemo, 0, false);
        d.SetTableName(table);
    }
    void Indexed(TDbDataset& d) {
        TDbfIndexDef* caption = d.Indexes().Add();
        caption->SetIndexFile("caption.mdx");
        caption->SetSortField("CAPTION");
        TDbfIndexDef* qty = d.Indexes().Add();
        qty->SetIndexFile("qty.mdx");
        qty->SetSortField("QTY");
    }
    void Append(TDbDataset& d, const Item& i) {
        d.Append();
        Set(d, i);
        d.Post();
    }
    void Set(TDbDataset& d, const Item& i) {
        d.FieldByName("CAPTION")->SetAsString(i.caption);
        d.FieldByName("GROUP")->SetAsString(i.group);
        d.FieldByName("QTY")->SetAsInteger(i.qty);
        d.FieldByName("COMMENTS")->SetAsString(i.comments);
    }
    // A table of the items, closed again.
    void Fill(const QList<Item>& items, bool indexed = false) {
        TDbDataset d;
        Define(d);
        if (indexed)
            Indexed(d);
        d.Open();
        for (const Item& i : items)
            Append(d, i);
        d.Close();
    }
    void ExpectSound(const QString& index) {
        const QByteArray file = ReadAll(Path(index));
        EXPECT_EQ(CheckTree(file, Word32(file, 0), Word32(file, 12) & 0xFFFF).problem, "")
            << index.toStdString();
    }

    QTemporaryDir dir;
    MessageBoxAnswerer boxes;
};

TEST_F(DbDatasetTest, ANewDatasetReportsItsVersionAndDefaults) {
    TDbDataset d;
    EXPECT_EQ(d.Version(), "TDbDataset v4.006");
    d.SetVersion("x");
    EXPECT_EQ(d.Version(), "TDbDataset v4.006");
    EXPECT_EQ(d.ComponentInfo(), "TDbDataset V4.6");
    EXPECT_EQ(d.OpenMode(), omAutoCreate);
    EXPECT_EQ(d.Storage(), stoFile);
    EXPECT_EQ(d.IndexName(), "");
    EXPECT_EQ(d.FilePath(), "");
    EXPECT_EQ(d.AbsolutePath(), QDir(dir.path()).absolutePath() + "/");
    EXPECT_FALSE(d.Active());
    EXPECT_TRUE(TrimFieldStrings);
}

TEST_F(DbDatasetTest, OpenModesCreateAMissingTableOrRefuseIt) {
    TDbDataset normal;
    Define(normal, "missing.dbf");
    normal.SetOpenMode(omNormal);
    try {
        normal.Open();
        FAIL() << "a missing table was opened";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "Open: Table file not found : " + Path("missing.dbf"));
    }
    EXPECT_FALSE(normal.Active());
    EXPECT_FALSE(QFileInfo::exists(Path("missing.dbf")));

    for (TDbfOpenMode mode : {omAutoCreate, omTemporary}) {
        TDbDataset d;
        Define(d, QString("made%1.dbf").arg(int(mode)));
        d.SetOpenMode(mode);
        d.Open();
        EXPECT_TRUE(d.IsEmpty());
        EXPECT_EQ(d.FieldCount(), 4);
        EXPECT_EQ(d.FieldByName("QTY")->DataType(), ftInteger);
        Append(d, {"first", "g", 1, "note"});
        d.Close();
        EXPECT_TRUE(QFileInfo::exists(Path(QString("made%1.dbt").arg(int(mode)))));
        d.SetOpenMode(omNormal);
        d.Open();
        EXPECT_EQ(Shown(d), QStringList{"first"});
        EXPECT_EQ(d.FieldByName("COMMENTS")->AsString(), "note");
        d.Close();
    }

    // Without definitions, the persistent fields give the structure.
    TDbDataset p;
    p.AddField<TStringField>("NAME");
    p.AddField<TIntegerField>("N");
    p.SetTableName("persistent.dbf");
    p.Open();
    EXPECT_EQ(p.FieldDefs().Count(), 2);
    EXPECT_EQ(p.FieldDefs().Items(0)->Size(), 20);
    p.Append();
    p.FieldByName("NAME")->SetAsString("x");
    p.FieldByName("N")->SetAsInteger(-4);
    p.Post();
    EXPECT_EQ(p.FieldByName("N")->AsInteger(), -4);
    p.Close();
    EXPECT_EQ(ReadAll(Path("persistent.dbf")).size(), 32 + 2 * 32 + 1 + 1 + 20 + 8 + 1);
}

TEST_F(DbDatasetTest, PhysicalOrderNumbersRecordsFromOneAndHidesDeletedOnes) {
    Fill({{"one", "a", 1, ""}, {"two", "a", 2, ""}, {"three", "b", 3, ""}});
    TDbDataset d;
    Define(d);
    d.Open();
    EXPECT_EQ(d.RecordCount(), 3);
    QList<int> recNos;
    for (d.First(); !d.Eof(); d.Next())
        recNos << d.RecNo();
    EXPECT_EQ(recNos, QList<int>({1, 2, 3}));
    d.Last();
    EXPECT_EQ(Caption(d), "three");
    d.Prior();
    EXPECT_EQ(Caption(d), "two");
    d.SetRecNo(1);
    EXPECT_EQ(Caption(d), "one");

    d.SetRecNo(2);
    d.Delete();
    EXPECT_EQ(Caption(d), "three");
    EXPECT_EQ(Shown(d), QStringList({"one", "three"}));
    EXPECT_EQ(d.RecordCount(), 3);
    d.SetShowDeleted(true);
    EXPECT_EQ(Shown(d), QStringList({"one", "two", "three"}));
    d.Close();
    const QByteArray file = ReadAll(Path("items.dbf"));
    const int header = quint8(file[8]) | quint8(file[9]) << 8;
    const int size = quint8(file[10]) | quint8(file[11]) << 8;
    EXPECT_EQ(file[header + size], '*');
    EXPECT_EQ(file.mid(header + size + 1, 3), "two");
}

TEST_F(DbDatasetTest, AnIndexOrdersTheRecordsAndEveryIndexFollowsAppendsAndEdits) {
    Fill({{"pear", "fruit", 30, ""}, {"apple", "fruit", 10, ""}, {"Fig", "fruit", 20, ""}});
    TDbDataset d;
    Define(d);
    Indexed(d); // missing files: built from the table at open
    d.SetIndexName("caption.mdx");
    d.Open();
    EXPECT_EQ(Shown(d), QStringList({"apple", "Fig", "pear"}));

    // A new record takes its place in the order and stays the current one.
    Append(d, {"banana", "fruit", 5, ""});
    EXPECT_EQ(Caption(d), "banana");
    EXPECT_EQ(Shown(d), QStringList({"apple", "banana", "Fig", "pear"}));
    // An edit that changes both keys moves the record in both indexes.
    ASSERT_TRUE(d.Locate("CAPTION", "apple", 0));
    d.Edit();
    d.FieldByName("CAPTION")->SetAsString("quince");
    d.FieldByName("QTY")->SetAsInteger(1);
    d.Post();
    EXPECT_EQ(Caption(d), "quince");
    EXPECT_EQ(Shown(d), QStringList({"banana", "Fig", "pear", "quince"}));

    // Switching the order keeps the current record.
    ASSERT_TRUE(d.Locate("CAPTION", "Fig", 0));
    d.SetIndexName("qty.mdx");
    EXPECT_EQ(Caption(d), "Fig");
    EXPECT_EQ(Shown(d), QStringList({"quince", "banana", "Fig", "pear"}));
    d.SetIndexName("");
    EXPECT_EQ(Shown(d), QStringList({"pear", "quince", "Fig", "banana"}));
    d.SetIndexName("no such.mdx");
    EXPECT_EQ(Shown(d), QStringList({"pear", "quince", "Fig", "banana"}));
    d.Close();
    ExpectSound("caption.mdx");
    ExpectSound("qty.mdx");

    // The files alone give the same orders.
    d.SetIndexName("caption.mdx");
    d.Open();
    EXPECT_EQ(Shown(d), QStringList({"banana", "Fig", "pear", "quince"}));
    d.Close();
}

TEST_F(DbDatasetTest, AnEditReachesItsOwnRecordAfterAnotherDatasetReshapedTheIndex) {
    Fill({{"m", "g", 0, ""}}, true);
    TDbDataset a;
    Define(a);
    Indexed(a);
    a.SetIndexName("caption.mdx");
    a.Open();
    ASSERT_EQ(Caption(a), "m");

    // The other dataset shares the index file: its appends split the pages (three captions
    // a page) and move the index's position.
    TDbDataset b;
    Define(b);
    Indexed(b);
    b.SetIndexName("caption.mdx");
    b.Open();
    for (int i = 0; i < 60; ++i)
        Append(b, {QString("a%1").arg(i, 2, 10, QChar('0')), "g", i + 1, ""});
    b.Close();

    a.Edit();
    a.FieldByName("QTY")->SetAsInteger(99);
    a.Post();
    EXPECT_EQ(Caption(a), "m");
    a.SetIndexName("");
    a.First();
    EXPECT_EQ(Caption(a), "m");
    EXPECT_EQ(a.FieldByName("QTY")->AsInteger(), 99);
    int changed = 0;
    for (a.Next(); !a.Eof(); a.Next())
        changed += a.FieldByName("QTY")->AsInteger() == 99;
    EXPECT_EQ(changed, 0);
    EXPECT_EQ(a.RecordCount(), 61);
    a.Close();
    ExpectSound("caption.mdx");
    ExpectSound("qty.mdx");
}

TEST_F(DbDatasetTest, AReadOnlyDatasetRefusesChangesAndWritesNothing) {
    Fill({{"one", "g", 1, "memo"}});
    const QByteArray before = ReadAll(Path("items.dbf"));
    TDbDataset d;
    Define(d);
    Indexed(d);
    d.SetReadOnly(true);
    d.Open();
    EXPECT_FALSE(d.CanModify());
    EXPECT_THROW(d.Edit(), EDatabaseError);
    EXPECT_THROW(d.Append(), EDatabaseError);
    EXPECT_EQ(d.FieldByName("COMMENTS")->AsString(), "memo");
    d.Close();
    EXPECT_EQ(ReadAll(Path("items.dbf")), before);
}

TEST_F(DbDatasetTest, FiltersPassRecordsByTheirUpperCasedImageOrByTheEvent) {
    Fill({{"abc thing", "g", 1, ""}, {"other", "ABC", 2, ""}, {"xyz", "g", 3, ""}});
    TDbDataset d;
    Define(d);
    d.RecordFilterText = "ABC";
    d.Open();
    EXPECT_EQ(Shown(d), QStringList({"abc thing", "other"}));
    d.Close();
    d.RecordFilterText = "abc"; // the text itself is not upper-cased
    d.Open();
    EXPECT_TRUE(d.IsEmpty());
    d.Close();

    d.RecordFilterText.clear();
    d.OnFilterRecord = [](TDataSet* ds, bool& accept) {
        accept = ds->FieldByName("QTY")->AsInteger() != 2;
    };
    d.Open();
    EXPECT_EQ(Shown(d).size(), 3); // the event works only while Filtered
    d.SetFiltered(true);
    EXPECT_EQ(Shown(d), QStringList({"abc thing", "xyz"}));
    d.Close();
}

TEST_F(DbDatasetTest, LocateFindsWholeOrPartialKeysAndOtherwiseStaysPut) {
    Fill({{"Saw", "tools", 3, ""}, {"Hammer", "tools", 1, ""}, {"hammer drill", "power", 2, ""}});
    TDbDataset d;
    Define(d);
    int before = 0;
    int after = 0;
    d.BeforeScroll = [&](TDataSet*) { ++before; };
    d.AfterScroll = [&](TDataSet*) { ++after; };
    d.Open();
    d.Last();
    before = after = 0;

    EXPECT_TRUE(d.Locate("CAPTION", "Ham", loPartialKey));
    EXPECT_EQ(Caption(d), "Hammer");
    EXPECT_EQ(before, 1);
    EXPECT_EQ(after, 1);
    EXPECT_TRUE(d.Locate("CAPTION", "ham", loPartialKey));
    EXPECT_EQ(Caption(d), "hammer drill");
    EXPECT_FALSE(d.Locate("CAPTION", "Drill", loPartialKey));
    EXPECT_EQ(Caption(d), "hammer drill"); // no match: where it was
    EXPECT_TRUE(d.Locate("CAPTION", "HAMMER D", loPartialKey | loCaseInsensitive));
    EXPECT_EQ(Caption(d), "hammer drill");
    EXPECT_FALSE(d.Locate("CAPTION", "hammer", 0));
    EXPECT_TRUE(d.Locate("CAPTION", "hammer", loCaseInsensitive));
    EXPECT_EQ(Caption(d), "Hammer");

    EXPECT_FALSE(d.Locate("CAPTION;QTY", "Saw", 0)); // two fields, one value
    EXPECT_EQ(Caption(d), "Hammer");
    EXPECT_TRUE(d.Locate("GROUP;QTY", QVariantList{"tools", 3}, 0));
    EXPECT_EQ(Caption(d), "Saw");
    EXPECT_FALSE(d.Locate("GROUP;QTY", QVariantList{"tools", 2}, 0));
    EXPECT_EQ(Caption(d), "Saw");
    EXPECT_TRUE(d.Locate("QTY", 2, 0));
    EXPECT_EQ(Caption(d), "hammer drill");
    EXPECT_THROW(d.Locate("NOPE", 1, 0), EDatabaseError);
    d.Close();
}

TEST_F(DbDatasetTest, NewRecordsAreBlankAndBinaryFieldsStartWithoutValue) {
    // A level-5 table with an auto-increment and a binary integer field.
    WriteAll(Path("auto.dbf"), tb::Table(0x8C,
                                         {tb::Wide("ID", '+', 4, 0, 41), tb::Wide("I", 'I', 4),
                                          tb::Wide("NAME", 'C', 6)},
                                         {}, 0));
    TProbe d;
    d.SetTableName("auto.dbf");
    d.Open();
    d.Append();
    const char* buffer = d.ActiveBuffer();
    qint32 bookmark = 0;
    std::memcpy(&bookmark, buffer, 4);
    EXPECT_EQ(bookmark, -1);
    EXPECT_EQ(QByteArray(buffer + 5, 1), " ");
    EXPECT_EQ(QByteArray(buffer + 5 + 9, 6), "      ");
    EXPECT_EQ(d.FieldByName("ID")->AsInteger(), 41);
    EXPECT_TRUE(d.FieldByName("I")->IsNull());
    d.FieldByName("NAME")->SetAsString("first");
    d.Post();
    d.Append();
    EXPECT_EQ(d.FieldByName("ID")->AsInteger(), 42);
    d.Cancel();
    d.Close();
    d.Open();
    d.Append();
    EXPECT_EQ(d.FieldByName("ID")->AsInteger(), 42);
    d.Cancel();
    d.Close();

    // A level-3 table blanks its image and nothing else.
    Fill({});
    TProbe plain;
    Define(plain);
    plain.Open();
    plain.Append();
    const char* image = plain.ActiveBuffer() + 5;
    EXPECT_EQ(QByteArray(image, 1 + 120 + 20 + 6 + 10), QByteArray(157, ' '));
    plain.Cancel();
    plain.Close();
}

TEST_F(DbDatasetTest, CalculatedFieldsHaveNoValueUntilTheCalculationGivesOne) {
    Fill({{"one", "g", 1, ""}, {"two", "g", 2, ""}});
    TDbDataset d;
    d.AddField<TStringField>("CAPTION")->SetSize(120);
    auto* calc = d.AddField<TStringField>("CALC");
    calc->SetFieldKind(fkCalculated);
    d.OnCalcFields = [](TDataSet* ds) {
        if (ds->FieldByName("CAPTION")->AsString() == "two")
            ds->FieldByName("CALC")->SetAsString("computed");
    };
    d.SetTableName("items.dbf");
    d.Open();
    EXPECT_TRUE(calc->IsNull());
    EXPECT_EQ(calc->AsString(), "");
    d.Next();
    EXPECT_EQ(calc->AsString(), "computed");
    d.Close();
}

TEST_F(DbDatasetTest, MemosReachTheFileWithThePostAndCancelDiscardsThem) {
    Fill({{"one", "g", 1, "first note"}, {"two", "g", 2, ""}});
    TDbDataset d;
    Define(d);
    d.Open();
    TField* comments = d.FieldByName("COMMENTS");
    EXPECT_EQ(comments->AsString(), "first note");
    const QByteArray memoBefore = ReadAll(Path("items.dbt"));

    d.Edit();
    comments->SetAsString("changed but cancelled");
    EXPECT_EQ(comments->AsString(), "changed but cancelled");
    EXPECT_EQ(ReadAll(Path("items.dbt")), memoBefore);
    d.Cancel();
    EXPECT_EQ(comments->AsString(), "first note");

    const QString longer(2000, 'L');
    d.Edit();
    comments->SetAsString(longer);
    d.Post();
    d.Next();
    EXPECT_TRUE(comments->IsNull());
    d.Edit();
    comments->SetAsString(QString::fromUtf8("Grüße"));
    d.Post();
    d.Close();
    d.Open();
    comments = d.FieldByName("COMMENTS"); // the fields were made anew
    EXPECT_EQ(comments->AsString(), longer);
    d.Next();
    EXPECT_EQ(comments->AsString(), QString::fromUtf8("Grüße"));
    d.Edit();
    comments->Clear();
    d.Post();
    EXPECT_TRUE(comments->IsNull());
    d.Close();
}

TEST_F(DbDatasetTest, TextIsStoredInTheOemCodePageUnlessTheTranslateEventConverts) {
    Fill({{QString::fromUtf8("Äpfel"), "g", 1, ""}});
    QByteArray file = ReadAll(Path("items.dbf"));
    const int header = quint8(file[8]) | quint8(file[9]) << 8;
    EXPECT_EQ(quint8(file[header + 1]), 0x8E); // Ä in the OEM code page

    TDbDataset d;
    Define(d);
    int calls = 0;
    d.OnTranslate = [&](TDbDataset* dbf, const QByteArray& source, QByteArray& target, bool toOem) {
        EXPECT_EQ(dbf, &d);
        ++calls;
        target = toOem ? source.toUpper() : source.toLower();
    };
    d.Open();
    // What the event gives back is the program's text (the stored byte of Ä is Ž there).
    EXPECT_EQ(Caption(d), QString::fromUtf8("Žpfel"));
    Append(d, {"Mixed", "g", 2, ""});
    EXPECT_GT(calls, 0);
    d.Close();
    file = ReadAll(Path("items.dbf"));
    const int size = quint8(file[10]) | quint8(file[11]) << 8;
    EXPECT_EQ(file.mid(header + size + 1, 5), "MIXED");
}

TEST_F(DbDatasetTest, PathsAndDefinitions) {
    TProbe d;
    d.SetTableName(Path("sub/t.dbf"));
    EXPECT_EQ(d.TableName(), "t.dbf");
    EXPECT_EQ(d.FilePath(), "sub/");
    EXPECT_EQ(d.AbsolutePath(), QDir(dir.path()).absolutePath() + "/sub/");
    QTemporaryDir other;
    d.SetTableName(other.filePath("x.dbf"));
    EXPECT_TRUE(d.FilePath().startsWith("../")) << d.FilePath().toStdString();
    EXPECT_EQ(d.AbsolutePath(), QDir(other.path()).absolutePath() + "/");
    EXPECT_EQ(d.FullIndexFileName("idx/name.mdx"),
              QDir(dir.path()).absolutePath() + "/idx/name.mdx");

    Fill({{"one", "g", 1, ""}});
    d.SetTableName(Path("items.dbf"));
    EXPECT_EQ(d.FilePath(), "");
    d.LoadFieldDefs();
    ASSERT_EQ(d.FieldDefs().Count(), 4);
    EXPECT_EQ(d.FieldDefs().Items(1)->Name(), "GROUP");
    EXPECT_EQ(d.TDataSet::FieldDefs().Count(), 4);
    EXPECT_TRUE(TPagedFile::OpenFiles().empty());
    d.Open();
    try {
        d.SetFilePath("elsewhere");
        FAIL() << "the folder of an open dataset changed";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message, "Cannot perform this operation on an open dataset");
    }
    d.Close();
}

TEST_F(DbDatasetTest, DatasetsOnOneTableShareItsFiles) {
    Fill({{"one", "g", 1, "memo"}});
    TDbDataset a;
    TDbDataset b;
    Define(a);
    Define(b);
    a.Open();
    b.Open();
    EXPECT_EQ(a.Engine().DbfFile(), b.Engine().DbfFile());
    EXPECT_EQ(a.Engine().MemoFile(), b.Engine().MemoFile());
    Append(b, {"two", "g", 2, "second memo"});
    EXPECT_EQ(Shown(a), QStringList({"one", "two"}));
    a.Last();
    EXPECT_EQ(a.FieldByName("COMMENTS")->AsString(), "second memo");
    a.Close();
    EXPECT_EQ(Word32(ReadAll(Path("items.dbf")), 4), 2);
    Append(b, {"three", "g", 3, ""});
    b.Close();
    EXPECT_EQ(Word32(ReadAll(Path("items.dbf")), 4), 3);
}

} // namespace
