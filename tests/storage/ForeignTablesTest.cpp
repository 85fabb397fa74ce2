// Both table engines on tables that other programs, or the other engine, wrote and named.
#include "StorageTestSupport.h"
#include "TableBytes.h"
#include "common/FileSizeLimit.h"
#include "common/MessageBoxAnswerer.h"
#include "dbtable/DbTableTestSupport.h"
#include "framework/data/Fields.h"
#include "storage/dbase/DbfLayout.h"
#include "storage/dbdataset/DbDataset.h"
#include "storage/dbtable/DbTable.h"

#include <QFile>
#include <gtest/gtest.h>
#include <memory>

using namespace storagetest;
namespace tb = tablebytes;

namespace {

enum class Engine { Windows, Second };

class ForeignTablesTest : public ::testing::Test {
protected:
    void SetUp() override { dbdataset::SetDefaultFolder(dir.path() + "/"); }

    // The table `name` with a caption and a memo field, opened by one engine (made when
    // missing); or, `asFound`, the existing table opened with no fields given.
    std::unique_ptr<TDataSet> Open(Engine engine, const QString& name, bool asFound = false) {
        if (engine == Engine::Second) {
            auto d = std::make_unique<dbdataset::TDbDataset>();
            d->SetOpenMode(asFound ? dbdataset::omNormal : dbdataset::omAutoCreate);
            if (!asFound) {
                d->FieldDefs().AddFieldDef("CAPTION", ftString, 120, false);
                d->FieldDefs().AddFieldDef("COMMENTS", ftMemo, 0, false);
            }
            d->SetTableName(dir.filePath(name));
            d->Open();
            return d;
        }
        auto t = std::make_unique<TDbTable>();
        if (!asFound) {
            t->FieldDefs().Add("CAPTION", ftString, 120, false);
            t->FieldDefs().Add("COMMENTS", ftMemo, 0, false);
        }
        t->SetRunTimePath(dir.path());
        t->SetTableName(name);
        if (!QFile::exists(dir.filePath(name)))
            t->CreateTable();
        t->Open();
        return t;
    }
    static void Append(TDataSet& d, const QString& caption, const QString& memo = {}) {
        d.Append();
        d.FieldByName("CAPTION")->SetAsString(caption);
        d.FieldByName("COMMENTS")->SetAsString(memo);
        d.Post();
    }
    static QStringList Memos(TDataSet& d) {
        QStringList out;
        for (d.First(); !d.Eof(); d.Next())
            out << d.FieldByName("COMMENTS")->AsString();
        return out;
    }

    QTemporaryDir dir;
    MessageBoxAnswerer boxes;
};

TEST_F(ForeignTablesTest, FieldsAreReadAtTheirStatedSizeAndOpeningWritesNothing) {
    const QByteArray record = " pear      " + QByteArray("3.2500").rightJustified(20) + "code ";
    // The record size the fields give, and one that disagrees with them.
    for (const Engine engine : {Engine::Windows, Engine::Second}) {
        for (const int recordSize : {36, 37}) {
            const QByteArray file =
                tb::Table(0x03,
                          {tb::Short("NAME", 'C', 10), tb::Short("PRICE", 'F', 20, 4),
                           tb::Short("CODE", 'C', 5)},
                          record + '\x1A', 1, -1, recordSize);
            WriteAll(dir.filePath("f.dbf"), file);
            const std::unique_ptr<TDataSet> d = Open(engine, "f.dbf", true);
            EXPECT_EQ(d->FieldByName("NAME")->AsString() + d->FieldByName("CODE")->AsString(),
                      "pearcode");
            EXPECT_EQ(d->FieldByName("PRICE")->AsFloat(), 3.25);
            EXPECT_EQ(d->CanModify(), recordSize == 36);
            d->Close();
            EXPECT_EQ(ReadAll(dir.filePath("f.dbf")), file) << int(engine) << recordSize;
        }
    }
}

TEST_F(ForeignTablesTest, TheSecondEngineStoresCodePage850AndRefusesWhatItLacks) {
    const QString text = QString::fromUtf8("─┼ ı ░ ƒ ‗");
    Append(*Open(Engine::Second, "cp.dbf"), text);
    EXPECT_TRUE(ReadAll(dir.filePath("cp.dbf")).contains("\xC4\xC5 \xD5 \xB0 \x9F \xF2"));
    auto d = Open(Engine::Second, "cp.dbf");
    EXPECT_EQ(Shown(*d), QStringList{text});
    d->Edit();
    try {
        d->FieldByName("CAPTION")->SetAsString(QString::fromUtf8("5 €"));
        ADD_FAILURE() << "the euro sign was stored";
    } catch (const EDatabaseError& error) {
        EXPECT_EQ(error.Message, QString::fromUtf8("The character \"€\" (U+20AC) cannot be stored "
                                                   "in the field \"CAPTION\"."));
    }
}

TEST_F(ForeignTablesTest, EachEngineReadsTheMemosTheOtherWrote) {
    const QStringList memos = {"short", QString(600, 'x'), "", QString(1100, 'y') + "end"};
    // The writer, and a version byte given to its table afterwards (0: none), as the second
    // engine's earlier tables have it over their dBase IV memos.
    const std::pair<Engine, char> cases[] = {
        {Engine::Second, 0}, {Engine::Windows, 0}, {Engine::Second, 0x03}};
    for (const auto& [writer, version] : cases) {
        const QString name = QString("m%1_%2.dbf").arg(int(writer)).arg(int(version));
        {
            auto w = Open(writer, name);
            for (const QString& memo : memos)
                Append(*w, "r", memo);
        }
        QByteArray f = ReadAll(dir.filePath(name));
        EXPECT_EQ(quint8(f[0]), 0x8B) << name.toStdString();
        f[0] = version ? version : f[0];
        WriteAll(dir.filePath(name), f);
        const Engine reader = writer == Engine::Second ? Engine::Windows : Engine::Second;
        EXPECT_EQ(Memos(*Open(reader, name)), memos) << name.toStdString();
    }
}

TEST_F(ForeignTablesTest, NamesThatDifferInLetterCaseAreTwoTables) {
    for (const Engine e : {Engine::Windows, Engine::Second}) {
        const QString prefix = e == Engine::Second ? "s" : "w";
        auto upper = Open(e, prefix.toUpper() + ".dbf");
        Append(*upper, "upper");
        auto lower = Open(e, prefix + ".dbf");
        Append(*lower, "lower");
        EXPECT_EQ(Shown(*upper), QStringList{"upper"});
        EXPECT_EQ(Shown(*lower), QStringList{"lower"});
    }
}

TEST_F(ForeignTablesTest, AWriteTheDiskRefusesLeavesTheTableAndItsMemoFileAsTheyWere) {
    for (const Engine engine : {Engine::Windows, Engine::Second}) {
        const QString name = QString("full%1.dbf").arg(int(engine));
        const QString dbf = dir.filePath(name);
        const QString dbt = QString(dbf).replace(".dbf", ".dbt");
        for (int i = 0; i < 11; ++i)
            Append(*Open(engine, name), "kept");
        const QByteArray table = ReadAll(dbf);
        const QByteArray memos = ReadAll(dbt);
        // The memo file reaches the limit within the new memo, or the table within the record
        // after its memo was stored.
        for (const bool memoFirst : {true, false}) {
            const qint64 limit = memoFirst ? memos.size() + 600 : table.size() + 64;
            EXPECT_TRUE(InLimitedChild(rlim_t(limit), [&] {
                try {
                    Append(*Open(engine, name), "lost", memoFirst ? QString(1000, 'm') : "memo");
                } catch (const EInOutError&) {
                    return true;
                }
                return false;
            }));
            EXPECT_EQ(ReadAll(dbf), table) << int(engine) << memoFirst;
            EXPECT_EQ(ReadAll(dbt), memos) << int(engine) << memoFirst;
        }
    }
}

TEST_F(ForeignTablesTest, ADBase3MemoRefusesATextItsEndMarkWouldCutShort) {
    const QString text = "abc" + QString(2, QChar(0x1A)) + "def";
    for (const Engine engine : {Engine::Windows, Engine::Second}) {
        for (const quint8 version : {0x83, 0x8B}) {
            const QString name = QString("e%1_%2.dbf").arg(int(engine)).arg(version);
            Open(engine, name);
            QByteArray f = ReadAll(dir.filePath(name));
            f[0] = char(version);
            WriteAll(dir.filePath(name), f);
            const QByteArray memos = ReadAll(QString(dir.filePath(name)).replace(".dbf", ".dbt"));
            auto d = Open(engine, name);
            try {
                Append(*d, "r", text);
            } catch (const EDatabaseError& e) {
                EXPECT_EQ(e.Message,
                          "The text cannot be stored in the memo field \"COMMENTS\": its "
                          "memo file ends a text at a NUL character or at two "
                          "characters U+001A in a row.");
                d->Cancel();
                EXPECT_EQ(ReadAll(QString(dir.filePath(name)).replace(".dbf", ".dbt")), memos);
            }
            EXPECT_EQ(Memos(*d), version == 0x83 ? QStringList() : QStringList{text});
        }
    }
}

TEST_F(ForeignTablesTest, ARecordCountTheFileContradictsIsStoredWhenAWritableTableCloses) {
    QByteArray records;
    for (int i = 0; i < 12; ++i)
        records += ' ' + QByteArray::number(i).leftJustified(10);
    for (const Engine engine : {Engine::Windows, Engine::Second}) {
        WriteAll(dir.filePath("c.dbf"),
                 tb::Table(0x03, {tb::Short("NAME", 'C', 10)}, records + '\x1A', 10));
        EXPECT_EQ(Open(engine, "c.dbf", true)->RecordCount(), 12);
        EXPECT_EQ(ReadAll(dir.filePath("c.dbf"))[4], 12);
        boxes.Clear();
        Open(engine, "c.dbf", true);
        EXPECT_TRUE(boxes.Boxes().empty()) << int(engine);
    }
}

} // namespace

// Other writers pad fields with blanks or control bytes: a field reads as its bytes from the
// first to the last above 0x20, whatever its width and wherever its text stands in it.
TEST(FieldPadding, AFieldReadsFromItsFirstToItsLastByteThatIsNoPadding) {
    for (const char pad : {' ', '\0', '\x1F'})
        for (int width = 0; width <= 140; width += 3)
            for (int at = 0; at <= width; at += 5) {
                QByteArray field(width, pad);
                const QByteArray text = QByteArray("\xE9 b\x7F").left(width - at);
                field.replace(at, text.size(), text);
                int begin = 0, end = width;
                while (begin < end && quint8(field[begin]) <= 0x20)
                    ++begin;
                while (end > begin && quint8(field[end - 1]) <= 0x20)
                    --end;
                EXPECT_EQ(dbflayout::trimmedView(field.constData(), width).toByteArray(),
                          field.mid(begin, end - begin))
                    << width << " " << at << " " << int(pad);
            }
}
