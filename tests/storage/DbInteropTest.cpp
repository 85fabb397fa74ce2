#include "StorageTestSupport.h"
#include "common/MessageBoxAnswerer.h"
#include "dbdataset/DbDatasetTestSupport.h"
#include "dbtable/DbTableTestSupport.h"
#include "framework/data/DateStamp.h"
#include "storage/dbdataset/DbFile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

// Tables of the dBase III form written by the second-generation engine are read by the engine
// of TDbTable and by independent readers, and a table written by an independent tool is read
// by the second-generation engine; the tools run as black boxes.
namespace {

using storagetest::HaveTool;
using storagetest::RunTool;

struct Row {
    QString name;
    qint32 count;
    qint16 small;
    double price;
    qint16 flag;
    QDate day;
};

QList<Row> Rows() {
    return {{"first item", 1234567, 42, 3.5, 1, QDate(2024, 2, 29)},
            {QString::fromUtf8("Äpfel für Öl"), -2147483647, -999, -0.25, 0, QDate(1, 1, 1)},
            {QString(20, 'z'), 2147483647, 9999, 9999999.99, 1, QDate(9999, 12, 31)},
            {"x", 0, 0, 0, 0, QDate(1999, 12, 31)}};
}

// The texts the readers show for a row: name, count, small, price with two places, flag as
// T or F, date as yyyymmdd.
QStringList Texts(const Row& r) {
    return {r.name,
            QString::number(r.count),
            QString::number(r.small),
            QString::number(r.price, 'f', 2),
            r.flag ? "T" : "F",
            r.day.toString("yyyyMMdd")};
}

class DbInteropTest : public ::testing::Test {
protected:
    // The rows in a table made by the second-generation engine.
    QString MakeTable() {
        using namespace dbdataset;
        const QString path = dir.filePath("gen.dbf");
        TDbfFieldDefs defs;
        defs.AddFieldDef("NAME", ftString, 20, false);
        defs.AddFieldDef("COUNT", ftInteger, 11, false);
        defs.AddFieldDef("SMALL", ftSmallint, 4, false);
        storagetest::AddNumberField(defs, "PRICE", 10, 2);
        defs.AddFieldDef("FLAG", ftBoolean, 1, false);
        defs.AddFieldDef("DAY", ftDate, 8, false);
        TFileRef<TDbfFile> t(new TDbfFile(path, 0, true, false));
        t->CreateStructure(defs);
        TDbfFieldDefs read;
        t->CopyFieldDefs(read);
        int n = 0;
        for (const Row& r : Rows()) {
            QByteArray rec(t->RecordSize(), ' ');
            t->SetFieldText(0, r.name, rec.data());
            t->SetFieldValue(1, ftInteger, &r.count, rec.data());
            t->SetFieldValue(2, ftSmallint, &r.small, rec.data());
            t->SetFieldValue(3, ftFloat, &r.price, rec.data());
            t->SetFieldValue(4, ftBoolean, &r.flag, rec.data());
            const qint32 day = DateStamp::DayNumber(r.day);
            t->SetFieldValue(5, ftDate, &day, rec.data());
            t->WriteRecord(++n, rec.constData());
        }
        t->WriteHeader();
        return path;
    }

    QTemporaryDir dir;
    MessageBoxAnswerer boxes;
};

TEST_F(DbInteropTest, TheTableEngineOfTheWindowsReadsItValueForValue) {
    using namespace dbtable;
    const QString path = MakeTable();
    storagetest::OpenTable t(path, true);
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(t.types,
              (std::vector<TDbfType>{TDbfType::String, TDbfType::Integer, TDbfType::Smallint,
                                     TDbfType::Float, TDbfType::Boolean, TDbfType::Date}));
    const QList<Row> rows = Rows();
    TDbfFile* f = t.files.Table();
    ASSERT_EQ(f->RecordCount(), rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        const QByteArray image = t.Image(i);
        char name[21] = {};
        qint32 count = 0, day = 0;
        qint16 small = 0, flag = 0;
        double price = 0;
        ASSERT_TRUE(f->ReadFieldData(0, TDbfType::String, name, image.constData()));
        ASSERT_TRUE(f->ReadFieldData(1, TDbfType::Integer, &count, image.constData()));
        ASSERT_TRUE(f->ReadFieldData(2, TDbfType::Smallint, &small, image.constData()));
        ASSERT_TRUE(f->ReadFieldData(3, TDbfType::Float, &price, image.constData()));
        ASSERT_TRUE(f->ReadFieldData(4, TDbfType::Boolean, &flag, image.constData()));
        ASSERT_TRUE(f->ReadFieldData(5, TDbfType::Date, &day, image.constData()));
        EXPECT_EQ(dbdataset::FromTableText(name), rows[i].name);
        EXPECT_EQ(count, rows[i].count);
        EXPECT_EQ(small, rows[i].small);
        EXPECT_DOUBLE_EQ(price, rows[i].price);
        EXPECT_EQ(flag, rows[i].flag);
        EXPECT_EQ(DateStamp::FromDayNumber(day), rows[i].day);
    }
}

TEST_F(DbInteropTest, DbfdumpAndDbviewReadItValueForValue) {
    if (!HaveTool("dbfdump") || !HaveTool("dbview"))
        GTEST_SKIP() << "dbfdump (shapelib) or dbview is not installed";
    const QString path = MakeTable();
    const QList<Row> rows = Rows();
    bool ok = false;
    const QList<QMap<QString, QString>> dumped =
        storagetest::ParseDbfDump(dbdataset::FromTableText(RunTool("dbfdump", {"-m", path}, &ok)));
    ASSERT_TRUE(ok);
    ASSERT_EQ(dumped.size(), rows.size());
    // dbfdump knows text and numbers only; it leaves the logical and date fields empty.
    for (int i = 0; i < rows.size(); ++i)
        EXPECT_EQ((QStringList{dumped[i]["NAME"], dumped[i]["COUNT"], dumped[i]["SMALL"],
                               dumped[i]["PRICE"]}),
                  Texts(rows[i]).mid(0, 4))
            << i;

    const QStringList lines =
        dbdataset::FromTableText(RunTool("dbview", {"-b", "-t", "-d", "|", path}, &ok))
            .split('\n', Qt::SkipEmptyParts);
    ASSERT_TRUE(ok);
    ASSERT_EQ(lines.size(), rows.size());
    for (int i = 0; i < rows.size(); ++i)
        EXPECT_EQ(lines[i].split('|').mid(0, 6), Texts(rows[i])) << i;
}

TEST_F(DbInteropTest, PgdbfReadsItInTheOemCodePage) {
    if (!HaveTool("pgdbf"))
        GTEST_SKIP() << "pgdbf is not installed";
    const QString path = MakeTable();
    bool ok = false;
    const QString out = QString::fromUtf8(RunTool("pgdbf", {"-s", "CP850", path}, &ok));
    ASSERT_TRUE(ok);
    const QStringList lines = storagetest::PgdbfLines(out);
    const QList<Row> rows = Rows();
    ASSERT_EQ(lines.size(), rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        const Row& r = rows[i];
        const QStringList expected = {r.name,
                                      QString::number(r.count),
                                      QString::number(r.small),
                                      QString::number(r.price, 'f', 2),
                                      r.flag ? "t" : "f",
                                      r.day.toString("yyyy-MM-dd")};
        EXPECT_EQ(lines[i].split('\t'), expected) << i;
    }
}

TEST_F(DbInteropTest, TablesWrittenByShapelibAreRead) {
    using namespace dbdataset;
    if (!HaveTool("dbfcreate") || !HaveTool("dbfadd"))
        GTEST_SKIP() << "dbfcreate/dbfadd (shapelib) are not installed";
    const QString path = dir.filePath("shp.dbf");
    struct ShpRow {
        QString name;
        double amount;
        qint16 count;
        qint32 total;
    };
    const QList<ShpRow> rows = {{"first item", 3.5, 42, 1234567},
                                {"second", -1.25, -7, -88},
                                {"", 0, 0, 0},
                                {QString(20, 'z'), 12345.678, 9999, -2147483647}};
    QList<QStringList> texts;
    for (const ShpRow& r : rows)
        texts.append({r.name, QString::number(r.amount, 'f', 3), QString::number(r.count),
                      QString::number(r.total)});
    ASSERT_TRUE(storagetest::MakeShapelibTable(path,
                                               {"-s", "NAME", "20", "-n", "AMOUNT", "10", "3", "-n",
                                                "COUNT", "4", "0", "-n", "TOTAL", "11", "0"},
                                               texts));
    TFileRef<TDbfFile> t(new TDbfFile(path, 0, false, true));
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(t->Level(), 3);
    TDbfFieldDefs& defs = t->FieldDefs();
    ASSERT_EQ(defs.Count(), 4);
    EXPECT_EQ(defs.Items(1)->FieldType(), ftFloat);
    EXPECT_EQ(defs.Items(2)->FieldType(), ftSmallint);
    EXPECT_EQ(defs.Items(3)->FieldType(), ftInteger);
    ASSERT_EQ(t->RecordCount(), rows.size());
    TDbfCursor cursor(t.get());
    for (const ShpRow& r : rows) {
        ASSERT_TRUE(cursor.Next());
        QByteArray rec(t->RecordSize(), '\0');
        t->ReadRecord(cursor.GetPhysicalRecNo(), rec.data());
        QString name;
        double amount = -1;
        qint16 count = -1;
        qint32 total = -1;
        EXPECT_EQ(t->GetFieldText(0, rec.constData(), name), !r.name.isEmpty());
        EXPECT_TRUE(t->GetFieldValue(1, ftFloat, rec.constData(), &amount));
        EXPECT_TRUE(t->GetFieldValue(2, ftSmallint, rec.constData(), &count));
        EXPECT_TRUE(t->GetFieldValue(3, ftInteger, rec.constData(), &total));
        EXPECT_EQ(name, r.name);
        EXPECT_DOUBLE_EQ(amount, r.amount);
        EXPECT_EQ(count, r.count);
        EXPECT_EQ(total, r.total);
    }
    EXPECT_FALSE(cursor.Next());
}

TEST_F(DbInteropTest, TablesAProgramStillHoldsAtItsEndAreStored) {
    bool ok = false;
    RunTool(ORV_HELDTABLES, {dir.path()}, &ok);
    EXPECT_TRUE(ok);
    for (const char* name : {"held1.dbf", "held2.dbf"})
        EXPECT_EQ(storagetest::ReadAll(dir.filePath(name)).mid(4, 4), QByteArray("\1\0\0\0", 4));
}

} // namespace
