#include "DbDatasetTestSupport.h"
#include "IndexTreeCheck.h"
#include "StorageTestSupport.h"
#include "common/MessageBoxAnswerer.h"
#include "storage/dbdataset/DbDataset.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <random>

using namespace dbdataset;
using indexcheck::Word16;
using indexcheck::Word32;
using storagetest::ReadAll;
using storagetest::WriteAll;

namespace {

// ---------------------------------------------------------------- memo file

class DbMemoTest : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

TEST_F(DbMemoTest, DBase4MemosGoToTheEndOrStayInTheirBlocks) {
    TFileRef<TDBTFile> memo(new TDBTFile(Path("m.dbt"), 0, true, false, 3));
    QByteArray file = ReadAll(Path("m.dbt"));
    ASSERT_EQ(file.size(), 512);
    EXPECT_EQ(Word32(file, 0), 1);
    EXPECT_EQ(file.mid(4), QByteArray(508, '\0')); // no name, no block size word
    EXPECT_FALSE(memo->DBase3());
    EXPECT_EQ(memo->BlockSize(), 512);

    const QByteArray first(510, 'a');
    EXPECT_EQ(memo->WriteMemo(0, 0, first), 1u); // 518 bytes with the prefix: blocks 1 and 2
    EXPECT_EQ(memo->NextFreeBlock(), 3u);
    file = ReadAll(Path("m.dbt"));
    EXPECT_EQ(Word32(file, 0), 3);
    EXPECT_EQ(file.mid(512, 4), QByteArray("\xFF\xFF\x08\x00", 4));
    EXPECT_EQ(Word32(file, 516), 518);
    EXPECT_EQ(memo->ReadMemo(1), first);

    const QByteArray shorter(400, 'b');
    EXPECT_EQ(memo->WriteMemo(1, first.size(), shorter), 1u);
    EXPECT_EQ(Word32(ReadAll(Path("m.dbt")), 0), 3); // header untouched
    EXPECT_EQ(memo->ReadMemo(1), shorter);
    const QByteArray longer(1100, 'c');
    EXPECT_EQ(memo->WriteMemo(1, shorter.size(), longer), 3u);
    EXPECT_EQ(memo->NextFreeBlock(), 6u);
    EXPECT_EQ(memo->ReadMemo(3), longer);
    EXPECT_EQ(memo->WriteMemo(3, longer.size(), QByteArray()), 0u);
    EXPECT_EQ(memo->ReadMemo(0), QByteArray());

    // A next free block that points into existing memos does not make a new memo overwrite
    // them; a length word the file does not back is damaged: the text ends at its end mark.
    memo.reset();
    file = ReadAll(Path("m.dbt"));
    file[0] = 2;
    file[3 * 512 + 5] = char(0x70);
    WriteAll(Path("m.dbt"), file);
    memo = TFileRef<TDBTFile>(new TDBTFile(Path("m.dbt"), 0, false, false, 5));
    EXPECT_EQ(memo->ReadMemo(3), longer);
    EXPECT_EQ(memo->WriteMemo(0, 0, "new"), 6u);
    EXPECT_EQ(memo->ReadMemo(1), shorter);
    EXPECT_EQ(memo->ReadMemo(99), QByteArray());
}

TEST_F(DbMemoTest, BlockSizesAndTheDBase3Form) {
    auto withWord = [&](int word) {
        QByteArray header(1024, '\0');
        header[0] = 1;
        header[20] = char(word & 0xFF);
        header[21] = char(word >> 8);
        WriteAll(Path("w.dbt"), header);
    };
    withWord(1024);
    {
        TFileRef<TDBTFile> m(new TDBTFile(Path("w.dbt"), 0, false, false, 3));
        EXPECT_EQ(m->BlockSize(), 1024);
    }
    withWord(1000); // not a multiple of 128: 512, and so it is written back
    {
        TFileRef<TDBTFile> m(new TDBTFile(Path("w.dbt"), 0, false, false, 3));
        EXPECT_EQ(m->BlockSize(), 512);
        m->WriteMemo(0, 0, "x");
        EXPECT_EQ(Word16(ReadAll(Path("w.dbt")), 20), 512);
    }
    withWord(1024); // the dBase III form of level-2 tables keeps 512
    TFileRef<TDBTFile> m(new TDBTFile(Path("w.dbt"), 0, false, false, 2));
    EXPECT_TRUE(m->DBase3());
    EXPECT_EQ(m->BlockSize(), 512);

    const QByteArray full(512, 'f');
    const quint32 b = m->WriteMemo(0, 0, full);
    EXPECT_EQ(ReadAll(Path("w.dbt")).mid(qsizetype(b + 1) * 512, 2), "\x1A\x1A");
    EXPECT_EQ(m->ReadMemo(b), full);
    // An end mark that straddles two blocks, and a NUL, end a text too.
    QByteArray file = ReadAll(Path("w.dbt"));
    const qsizetype at = file.size();
    file += QByteArray(511, 'g') + "\x1A" + "\x1A" + QByteArray(511, '\0');
    file += QByteArray("short\0rest", 10) + QByteArray(502, '\0');
    WriteAll(Path("w.dbt"), file);
    EXPECT_EQ(m->ReadMemo(quint32(at / 512)), QByteArray(511, 'g'));
    EXPECT_EQ(m->ReadMemo(quint32(at / 512) + 2), "short");
}

// ---------------------------------------------------------------- engine

class DbEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        TrimFieldStrings = true;
        SetDefaultFolder(dir.path() + "/");
    }

    QString Path(const QString& name) const { return dir.filePath(name); }

    // A table of a name and a count field with the given records; "*" before a name marks
    // the record deleted.
    void MakeTable(const QString& name, const QStringList& names) {
        TDbDataset owner;
        TDbfEngine& e = owner.Engine();
        TDbfFieldDefs defs;
        defs.AddFieldDef("NAME", ftString, 10, false);
        defs.AddFieldDef("COUNT", ftInteger, 5, false);
        e.OpenTableFile(defs, Path(name), 0, true, false);
        e.PublishFieldDefs(defs);
        for (int i = 0; i < names.size(); ++i) {
            QByteArray image(e.DbfFile()->RecordSize(), ' ');
            QString n = names[i];
            if (n.startsWith('*')) {
                image[0] = '*';
                n.remove(0, 1);
            }
            e.DbfFile()->SetFieldText(0, n, image.data());
            const qint32 count = i + 1;
            e.DbfFile()->SetFieldValue(1, ftInteger, &count, image.data());
            e.AppendRecord(image.constData());
        }
        e.CloseFiles();
    }
    TDbfEngine& Open(const QString& name) {
        TDbfFieldDefs defs;
        owner.Engine().OpenTableFile(defs, Path(name), 0, false, false);
        owner.Engine().PublishFieldDefs(defs);
        buffer = QByteArray(owner.Engine().GetRecordSize(), ' ');
        return owner.Engine();
    }
    QString Name() {
        QString text;
        owner.Engine().DbfFile()->GetFieldText(0, buffer.constData(), text);
        return text;
    }
    QStringList Next(TDbfEngine& e) {
        QStringList out;
        while (e.ReadVisibleRecord(buffer.data(), gmNext, false) == grOK)
            out << Name();
        return out;
    }

    QTemporaryDir dir;
    MessageBoxAnswerer boxes;
    TDbDataset owner;
    QByteArray buffer;
};

TEST_F(DbEngineTest, DeletedRecordsArePassedOverUnlessShown) {
    MakeTable("three.dbf", {"one", "*two", "three"});
    TDbfEngine& e = Open("three.dbf");
    EXPECT_EQ(Next(e), QStringList({"one", "three"}));
    EXPECT_EQ(e.PhysicalCursor()->RecNo, 4); // after the last record
    e.ShowDeleted = true;
    e.Cursor()->First();
    EXPECT_EQ(Next(e), QStringList({"one", "two", "three"}));
    e.ShowDeleted = false;
    e.Cursor()->SetPhysicalRecNo(2);
    EXPECT_EQ(e.ReadVisibleRecord(buffer.data(), gmCurrent, false), grError);
    e.Cursor()->SetPhysicalRecNo(3);
    EXPECT_EQ(e.ReadVisibleRecord(buffer.data(), gmPrior, false), grOK);
    EXPECT_EQ(Name(), "one");
    EXPECT_EQ(e.ReadVisibleRecord(buffer.data(), gmPrior, false), grBOF);
    e.CloseFiles();

    MakeTable("empty.dbf", {});
    TDbfEngine& empty = Open("empty.dbf");
    for (TGetMode mode : {gmNext, gmPrior, gmCurrent})
        EXPECT_EQ(empty.ReadVisibleRecord(buffer.data(), mode, false), grEOF);
    EXPECT_EQ(empty.PhysicalCursor()->RecNo, 0);
}

TEST_F(DbEngineTest, EnginesShareOneTableFileAndEachClosingWritesTheHeader) {
    MakeTable("shared.dbf", {"a"});
    TDbfEngine& first = Open("shared.dbf");
    TDbDataset other;
    TDbfFieldDefs defs;
    // Opened with other definitions and creation allowed: the table is taken as it is.
    defs.AddFieldDef("OTHER", ftString, 3, false);
    other.Engine().OpenTableFile(defs, Path("shared.dbf"), 0, true, false);
    EXPECT_EQ(other.Engine().DbfFile(), first.DbfFile());
    ASSERT_EQ(defs.Count(), 2);
    EXPECT_EQ(defs.Items(0)->Name(), "NAME");

    QByteArray image(first.GetRecordSize(), ' ');
    other.Engine().AppendRecord(image.constData());
    first.CloseFiles();
    EXPECT_EQ(Word32(ReadAll(Path("shared.dbf")), 4), 2);
    EXPECT_NE(TPagedFile::FindOpenFile(Path("shared.dbf")), nullptr);
    other.Engine().AppendRecord(image.constData());
    other.Engine().CloseFiles();
    EXPECT_EQ(Word32(ReadAll(Path("shared.dbf")), 4), 3);
    EXPECT_TRUE(TPagedFile::OpenFiles().empty());
}

TEST_F(DbEngineTest, ATableThatCannotBeMadeLeavesNoFile) {
    TDbfFieldDefs none;
    EXPECT_THROW(owner.Engine().OpenTableFile(none, Path("none.dbf"), 0, true, false),
                 EDbfFileError);
    EXPECT_FALSE(QFileInfo::exists(Path("none.dbf")));
    EXPECT_TRUE(TPagedFile::OpenFiles().empty());
    owner.Engine().CloseFiles();
    EXPECT_THROW(Open("missing.dbf"), Exception);
}

TEST_F(DbEngineTest, FieldDefinitionsArePublishedForTheDataset) {
    TDbfFieldDefs defs;
    defs.AddFieldDef("NAME", ftString, 30, false);
    storagetest::AddNumberField(defs, "PRICE", 10, 2);
    defs.AddFieldDef("DAY", ftDate, 0, false);
    defs.AddFieldDef("NOTE", ftMemo, 0, false);
    owner.Engine().OpenTableFile(defs, Path("defs.dbf"), 0, true, false);
    owner.Engine().PublishFieldDefs(defs);
    const TFieldDefs& published = owner.TDataSet::FieldDefs();
    ASSERT_EQ(published.Count(), 4);
    const std::pair<TFieldType, int> expected[] = {
        {ftString, 30}, {ftFloat, 0}, {ftDate, 0}, {ftMemo, 0}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(published.Items(i)->DataType(), expected[i].first) << i;
        EXPECT_EQ(published.Items(i)->Size(), expected[i].second) << i;
        EXPECT_FALSE(published.Items(i)->Required());
    }
    // A table made by this open takes the memo form its version byte will give it: the
    // memos written now read the same when the table is opened again.
    owner.Engine().OpenMemoFile(Path("defs.dbf"), 0, true, false);
    EXPECT_FALSE(owner.Engine().MemoFile()->DBase3());
    EXPECT_TRUE(QFileInfo::exists(Path("defs.dbt")));
    owner.Engine().CloseFiles();
}

TEST_F(DbEngineTest, IndexesAreBuiltFromEveryRecordAndSelectedByTheirRegisteredName) {
    MakeTable("idx.dbf", {"pear", "*apple", "fig", "Apple"});
    TDbfEngine& e = Open("idx.dbf");
    e.OpenIndexFile(Path("idx.mdx"), "name", 0, 1, false);
    ASSERT_EQ(e.IndexCursors().size(), 1u);
    TIndexCursor* index = e.IndexCursors()[0].get();
    EXPECT_EQ(index->IndexFile()->KeyFieldName(), "NAME");
    // The file registered under the upper-cased name; any other spelling is physical order.
    e.SelectIndex(Path("idx.mdx"));
    EXPECT_EQ(e.Cursor(), e.PhysicalCursor());
    e.SelectIndex(Path("idx.mdx").toUpper());
    EXPECT_EQ(e.Cursor(), index);
    EXPECT_EQ(e.IndexNo(), 0);

    e.ShowDeleted = true; // the deleted apple has its key too
    e.Cursor()->First();
    EXPECT_EQ(Next(e), QStringList({"apple", "Apple", "fig", "pear"}));
    e.ShowDeleted = false;
    e.Cursor()->First();
    EXPECT_EQ(Next(e), QStringList({"Apple", "fig", "pear"}));

    // Appending adds the key to every index and puts the physical cursor on the new record.
    QByteArray image(e.GetRecordSize(), ' ');
    e.DbfFile()->SetFieldText(0, "banana", image.data());
    e.AppendRecord(image.constData());
    EXPECT_EQ(e.PhysicalCursor()->RecNo, 5);
    EXPECT_EQ(e.Cursor(), index);
    e.Cursor()->First();
    EXPECT_EQ(Next(e), QStringList({"Apple", "banana", "fig", "pear"}));

    // Updating the record the cursor stands on moves its key.
    e.Cursor()->First();
    e.ReadVisibleRecord(buffer.data(), gmNext, false);
    ASSERT_EQ(Name(), "Apple");
    e.DbfFile()->SetFieldText(0, "zucchini", buffer.data());
    e.UpdateRecord(buffer.constData());
    e.Cursor()->First();
    EXPECT_EQ(Next(e), QStringList({"banana", "fig", "pear", "zucchini"}));
    e.CloseFiles();

    // Opened again, the existing index is used as it is.
    TDbfEngine& again = Open("idx.dbf");
    again.OpenIndexFile(Path("idx.mdx"), "ignored", 0, 1, false);
    again.SelectIndex(Path("idx.mdx").toUpper());
    again.Cursor()->First();
    EXPECT_EQ(Next(again), QStringList({"banana", "fig", "pear", "zucchini"}));
    again.CloseFiles();
}

// A new index is laid out in one pass: over 2,000 records of few keys in both letter cases (28
// keys a page, three levels) it is a sound tree in key and record order, and it takes more
// keys through splits of its full pages.
TEST_F(DbEngineTest, ANewIndexOfManyRecordsIsASoundTreeThatTakesMoreKeys) {
    std::mt19937 random(7);
    auto word = [&] {
        QString w = QString("k%1").arg(random() % 40);
        return random() % 2 ? w.toUpper() : w;
    };
    QStringList names;
    for (int i = 0; i < 2000; ++i)
        names << word();
    MakeTable("many.dbf", names);
    TDbfEngine& e = Open("many.dbf");
    e.OpenIndexFile(Path("many.mdx"), "NAME", 0, 1, false);
    auto expectModel = [&] {
        QList<indexcheck::TLeafEntry> model;
        for (int i = 0; i < names.size(); ++i)
            model.append({indexcheck::Key(names[i].toLatin1(), 10), i + 1});
        std::stable_sort(model.begin(), model.end(), [](const auto& a, const auto& b) {
            return indexcheck::Folded(a.key) < indexcheck::Folded(b.key);
        });
        const QByteArray file = ReadAll(Path("many.mdx"));
        const indexcheck::TTreeReport report = indexcheck::CheckTree(file, Word32(file, 0), 10);
        EXPECT_EQ(report.problem, "");
        EXPECT_EQ(report.depth, 3);
        EXPECT_EQ(report.leaves, model);
    };
    expectModel();
    for (int i = 0; i < 300; ++i) {
        QByteArray image(e.GetRecordSize(), ' ');
        names << word();
        e.DbfFile()->SetFieldText(0, names.last(), image.data());
        e.AppendRecord(image.constData());
    }
    expectModel();
    e.CloseFiles();
}

TEST_F(DbEngineTest, IndexesThatCannotServeTheTableAreRefused) {
    MakeTable("t.dbf", {"a", "b"});
    auto message = [&](const QString& file, const QString& field) -> QString {
        TDbfEngine& e = Open("t.dbf");
        QString text = "opened";
        try {
            e.OpenIndexFile(Path(file), field, 0, 1, false);
        } catch (const EDbfEngineError& ex) {
            text = ex.Message;
        }
        e.CloseFiles();
        EXPECT_TRUE(TPagedFile::OpenFiles().empty());
        return text;
    };
    EXPECT_EQ(message("x.mdx", "NOPE"), "Cannot create index based on field \"NOPE\"");
    EXPECT_FALSE(QFileInfo::exists(Path("x.mdx")));

    // An existing index whose field the table lacks, or whose keys are not its field's size.
    EXPECT_EQ(message("count.mdx", "COUNT"), "opened");
    QByteArray bytes = ReadAll(Path("count.mdx"));
    bytes.replace(24, 6, QByteArray("GONE\0\0", 6));
    WriteAll(Path("gone.mdx"), bytes);
    EXPECT_EQ(message("gone.mdx", "NAME"), "Index based on unknown field \"GONE\"");
    bytes = ReadAll(Path("count.mdx"));
    bytes.replace(24, 6, QByteArray("NAME\0\0", 6));
    WriteAll(Path("size.mdx"), bytes);
    EXPECT_EQ(message("size.mdx", "NAME"),
              "The index file \"" + Path("size.mdx") +
                  "\" does not fit the field \"NAME\": its keys have 5 bytes, the field 10.");
}

// Whatever the damage, the dataset refuses the index by name, reading or appending, and never
// writes it. 70 names, 28 keys a page: leaves under a root.
TEST_F(DbEngineTest, ADamagedIndexIsRefusedByNameAndNeverWritten) {
    QStringList names;
    for (int i = 0; i < 70; ++i)
        names << QString("name%1").arg(i * 37 % 70, 2, 10, QChar('0'));
    MakeTable("names.dbf", names);
    Open("names.dbf").OpenIndexFile(Path("names.mdx"), "NAME", 0, 1, false);
    owner.Engine().CloseFiles();
    // Opens the table in the index's order, appends a record and walks it; the error's text,
    // or how many records were shown.
    auto use = [&]() -> QString {
        TDbDataset d;
        d.SetTableName("names.dbf");
        TDbfIndexDef* def = d.Indexes().Add();
        def->SetIndexFile("names.mdx");
        def->SetSortField("NAME");
        d.SetIndexName("names.mdx");
        d.SetOpenMode(omNormal);
        try {
            d.Open();
            d.Append();
            d.FieldByName("NAME")->SetAsString("added");
            d.Post();
            int shown = 0;
            for (d.First(); !d.Eof(); d.Next())
                shown += !d.FieldByName("NAME")->AsString().isEmpty();
            return QString("%1 shown").arg(shown);
        } catch (const EDbfEngineError& e) {
            return e.Message;
        }
    };
    const QString table = Path("names.dbf");
    const QString index = Path("names.mdx");
    const QByteArray records = ReadAll(table);
    const QByteArray sound = ReadAll(index);
    const int root = Word32(sound, 0);
    const int pages = int(sound.size() / 512 - 1);
    ASSERT_GT(root, 1);
    const int leaf = Word32(sound, root * 512 + 4 + 18); // the root's second child
    const qsizetype firstLeafEntry = qsizetype(leaf) * 512 + 4;
    auto put32 = [](QByteArray& b, qsizetype at, quint32 v) { qToLittleEndian(v, b.data() + at); };

    const std::pair<const char*, std::function<void(QByteArray&)>> cases[] = {
        {"a root far beyond the file", [&](QByteArray& b) { put32(b, 0, 0x7FFFFFFF); }},
        {"a page counter beyond the file", [&](QByteArray& b) { put32(b, 4, 0x7FFFFFF0); }},
        {"a page two entries name",
         [&](QByteArray& b) { put32(b, root * 512 + 4 + 18, Word32(sound, root * 512 + 4)); }},
        {"a child beyond the file's end",
         [&](QByteArray& b) { put32(b, root * 512 + 4 + 18, quint32(pages + 3)); }},
        {"a leaf that names a child: an uneven depth",
         [&](QByteArray& b) { put32(b, firstLeafEntry, 1); }},
        {"a leaf of garbage",
         [&](QByteArray& b) { b.replace(leaf * 512, 512, QByteArray(512, '\xA5')); }},
        {"a record number 0", [&](QByteArray& b) { put32(b, firstLeafEntry + 4, 0); }},
        {"a record beyond the table", [&](QByteArray& b) { put32(b, firstLeafEntry + 4, 71); }},
        {"keys out of order", [&](QByteArray& b) { b[firstLeafEntry + 8] = 'z'; }},
    };
    EXPECT_EQ(use(), "71 shown");
    for (const auto& [what, damage] : cases) {
        SCOPED_TRACE(what);
        QByteArray damaged = sound;
        damage(damaged);
        WriteAll(table, records);
        WriteAll(index, damaged);
        EXPECT_EQ(use(), "The index file \"" + index + "\" is damaged.");
        EXPECT_EQ(ReadAll(index), damaged);
    }
    EXPECT_TRUE(TPagedFile::OpenFiles().empty());
}

TEST_F(DbEngineTest, KeysLongerThanASplitAllowsAreRefusedBeforeAnythingIsWritten) {
    TDbfFieldDefs defs;
    defs.AddFieldDef("LONG", ftString, 161, false);
    owner.Engine().OpenTableFile(defs, Path("long.dbf"), 0, true, false);
    owner.Engine().PublishFieldDefs(defs);
    try {
        owner.Engine().OpenIndexFile(Path("long.mdx"), "LONG", 0, 1, false);
        FAIL() << "an index of 161-byte keys was made";
    } catch (const EDbfEngineError& e) {
        EXPECT_EQ(e.Message.toStdString(),
                  "Cannot create index based on field \"LONG\": its 161 bytes are "
                  "more than the 160 an index key can have.");
    }
    EXPECT_FALSE(QFileInfo::exists(Path("long.mdx")));
    owner.Engine().CloseFiles();
}

} // namespace
