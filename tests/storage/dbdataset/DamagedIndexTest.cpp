#include "IndexTreeCheck.h"
#include "StorageTestSupport.h"
#include "common/MessageBoxAnswerer.h"
#include "framework/data/Field.h"
#include "storage/dbdataset/DbDataset.h"

#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace dbdataset;
using indexcheck::Word32;
using storagetest::ReadAll;
using storagetest::WriteAll;

namespace {

void Put32(QByteArray& b, qsizetype at, quint32 v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = char(v >> (8 * i));
}

// A table of 70 names with an index on NAME (C 10): 28 keys a page, so leaves under a root.
class DamagedIndexTest : public ::testing::Test {
protected:
    void SetUp() override {
        TrimFieldStrings = true;
        SetDefaultFolder(dir.path() + "/");
        TDbDataset d;
        d.SetTableName("names.dbf");
        d.FieldDefs().AddFieldDef("NAME", ftString, 10, false);
        d.Open();
        for (int i = 0; i < 70; ++i) {
            d.Append();
            d.FieldByName("NAME")->SetAsString(
                QString("name%1").arg(i * 37 % 70, 2, 10, QChar('0')));
            d.Post();
        }
        d.Close();
        Prepare(d);
        d.Open(); // builds the index
        d.Close();
    }
    void TearDown() override { EXPECT_TRUE(TPagedFile::OpenFiles().empty()); }

    void Prepare(TDbDataset& d) {
        d.SetTableName("names.dbf");
        TDbfIndexDef* def = d.Indexes().Add();
        def->SetIndexFile("names.mdx");
        def->SetSortField("NAME");
        d.SetIndexName("names.mdx");
    }
    // Opens the table in the index's order, walks it and appends a record; the error's text,
    // or how many records were shown.
    QString Use() {
        TDbDataset d;
        Prepare(d);
        d.SetOpenMode(omNormal);
        try {
            d.Open();
            int shown = 0;
            for (d.First(); !d.Eof(); d.Next())
                shown += !d.FieldByName("NAME")->AsString().isEmpty();
            d.Append();
            d.FieldByName("NAME")->SetAsString("added");
            d.Post();
            return QString("%1 shown").arg(shown);
        } catch (const EDbfEngineError& e) {
            return e.Message;
        }
    }

    QTemporaryDir dir;
    MessageBoxAnswerer boxes;
};

TEST_F(DamagedIndexTest, ADamagedIndexIsRefusedByNameAndNeverWritten) {
    const QString table = dir.filePath("names.dbf");
    const QString index = dir.filePath("names.mdx");
    const QByteArray records = ReadAll(table);
    const QByteArray sound = ReadAll(index);
    const int root = Word32(sound, 0);
    const int pages = int(sound.size() / 512 - 1);
    ASSERT_GT(root, 1);
    const int leaf = Word32(sound, root * 512 + 4 + 18); // the root's second child
    const qsizetype firstLeafEntry = qsizetype(leaf) * 512 + 4;

    const std::pair<const char*, std::function<void(QByteArray&)>> cases[] = {
        {"a root far beyond the file", [](QByteArray& b) { Put32(b, 0, 0x7FFFFFFF); }},
        {"a page counter beyond the file", [](QByteArray& b) { Put32(b, 4, 0x7FFFFFF0); }},
        {"a child beyond the file's end",
         [&](QByteArray& b) { Put32(b, root * 512 + 4 + 18, quint32(pages + 3)); }},
        {"a leaf that names a child: an uneven depth",
         [&](QByteArray& b) { Put32(b, firstLeafEntry, 1); }},
        {"a leaf of garbage",
         [&](QByteArray& b) { b.replace(leaf * 512, 512, QByteArray(512, '\xA5')); }},
        {"a record number 0", [&](QByteArray& b) { Put32(b, firstLeafEntry + 4, 0); }},
        {"a record beyond the table", [&](QByteArray& b) { Put32(b, firstLeafEntry + 4, 71); }},
        {"keys out of order", [&](QByteArray& b) { b[firstLeafEntry + 8] = 'z'; }},
    };
    EXPECT_EQ(Use(), "70 shown");
    for (const auto& [what, damage] : cases) {
        SCOPED_TRACE(what);
        QByteArray damaged = sound;
        damage(damaged);
        WriteAll(table, records);
        WriteAll(index, damaged);
        EXPECT_EQ(Use(), "The index file \"" + index + "\" is damaged.");
        EXPECT_EQ(ReadAll(index), damaged);
    }
}

} // namespace
