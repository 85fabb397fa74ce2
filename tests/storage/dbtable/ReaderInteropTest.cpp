#include "DbTableTestSupport.h"
#include "StorageTestSupport.h"
#include "common/MessageBoxAnswerer.h"
#include "platform/Oem.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace dbtable;
using namespace storagetest;

// Tables written by this engine are read by independent dBase readers, and tables written by
// an independent tool are read by this engine; the tools run as black boxes.
namespace {

const QStringList FieldNames = {"GROUP", "CAPTION", "DESCRIPTOR", "COMMENTS", "PICTURE", "FILE"};

// Records of the item table; memo texts cross block boundaries, one record has none.
QList<QStringList> ItemRecords() {
    QStringList words;
    for (int i = 0; i < 130; ++i)
        words << QString("line %1").arg(i);
    const QString longMemo = words.join(' ');
    return {
        {"grp01", "First caption", "A description, with a comma", "short memo", "pic1.bmp",
         "setup.exe"},
        {"grp02", QString(120, 'c'), QString(180, 'd'), longMemo, QString(160, 'p'),
         QString(160, 'f')},
        {"grp01", "Third", "", "", "", "readme.txt"},
        {"grp03", "Fourth", "desc", QString(512, 'x'), "p.bmp", "f"},
    };
}

class ReaderInteropTest : public ::testing::Test {
protected:
    // The item table in the given version, filled with ItemRecords().
    QString MakeItemTable(const QString& name, int version) {
        const QString path = dir.filePath(name + ".dbf");
        CreateTable(path, ItemFields());
        if (version != 0x8B) {
            QByteArray f = ReadAll(path);
            f[0] = char(version);
            WriteAll(path, f);
        }
        OpenTable t(path);
        for (const QStringList& r : ItemRecords())
            t.Append(r);
        return path;
    }

    QTemporaryDir dir;
    MessageBoxAnswerer boxes;
};

TEST_F(ReaderInteropTest, DbfdumpReadsTheItemTableValueForValue) {
    if (!HaveTool("dbfdump"))
        GTEST_SKIP() << "dbfdump (shapelib) is not installed";
    const QString path = MakeItemTable("qor", 0x8B);
    bool ok = false;
    const QList<QMap<QString, QString>> dumped =
        ParseDbfDump(QString::fromLatin1(RunTool("dbfdump", {"-m", path}, &ok)));
    ASSERT_TRUE(ok);
    const QList<QStringList> records = ItemRecords();
    ASSERT_EQ(dumped.size(), records.size());

    OpenTable t(path);
    for (int r = 0; r < records.size(); ++r) {
        const QByteArray image = t.Image(r);
        for (int i = 0; i < FieldNames.size(); ++i) {
            if (i == 3) {
                // The memo field holds its block number; its text is in the memo file.
                const quint32 block = t.files.Table()->ReadMemoBlock(3, image.constData());
                EXPECT_EQ(dumped[r][FieldNames[i]], QString::number(block));
                EXPECT_EQ(t.Values(r)[i], records[r][i]);
            } else {
                EXPECT_EQ(dumped[r][FieldNames[i]], records[r][i]) << r << " " << i;
            }
        }
    }
}

TEST_F(ReaderInteropTest, DbviewReadsTheDBase3FormAndSkipsDeletedRecords) {
    if (!HaveTool("dbview"))
        GTEST_SKIP() << "dbview is not installed";
    const QString path = MakeItemTable("old", 0x83);
    {
        OpenTable t(path);
        QByteArray image = t.Image(2);
        image[0] = '*';
        t.files.Table()->WriteRecordImage(2, image.constData());
    }
    bool ok = false;
    const QStringList lines =
        QString::fromLatin1(RunTool("dbview", {"-b", "-t", "-d", "|", path}, &ok))
            .split('\n', Qt::SkipEmptyParts);
    ASSERT_TRUE(ok);
    QList<QStringList> records = ItemRecords();
    records.removeAt(2);
    ASSERT_EQ(lines.size(), records.size()) << lines.join("\n").toStdString();
    OpenTable t(path);
    for (int r = 0; r < records.size(); ++r) {
        QStringList fields = lines[r].split('|');
        ASSERT_EQ(fields.size(), 7) << lines[r].toStdString();
        const QByteArray image = t.Image(r < 2 ? r : r + 1);
        records[r][3] = QString::number(t.files.Table()->ReadMemoBlock(3, image.constData()));
        EXPECT_EQ(fields.mid(0, 6), records[r]);
    }
}

TEST_F(ReaderInteropTest, PgdbfReadsDBase3MemosAndTheOemCodePage) {
    if (!HaveTool("pgdbf"))
        GTEST_SKIP() << "pgdbf is not installed";
    const QString path = MakeItemTable("old", 0x83);
    {
        OpenTable t(path);
        t.Append({"grp04", QString::fromLatin1(CharToOemA(QString::fromUtf8("Äpfel für Öl"))), "",
                  QString::fromLatin1(CharToOemA(QString::fromUtf8("Grüße"))), "", ""});
    }
    bool ok = false;
    const QString out = QString::fromUtf8(
        RunTool("pgdbf", {"-s", "CP850", "-m", dir.filePath("old.dbt"), path}, &ok));
    ASSERT_TRUE(ok);
    const QStringList lines = PgdbfLines(out);
    QList<QStringList> records = ItemRecords();
    records.append(
        {"grp04", QString::fromUtf8("Äpfel für Öl"), "", QString::fromUtf8("Grüße"), "", ""});
    ASSERT_EQ(lines.size(), records.size());
    for (int r = 0; r < records.size(); ++r) {
        QStringList fields = lines[r].split('\t');
        for (QString& f : fields)
            if (f == "\\N")
                f.clear();
        EXPECT_EQ(fields.join('|').toStdString(), records[r].join('|').toStdString()) << r;
    }
}

TEST_F(ReaderInteropTest, TablesWrittenByShapelibAreReadByTheEngine) {
    if (!HaveTool("dbfcreate") || !HaveTool("dbfadd"))
        GTEST_SKIP() << "dbfcreate/dbfadd (shapelib) are not installed";
    const QString path = dir.filePath("shp.dbf");
    struct Row {
        QString name;
        QString amount;
        int count;
        int total;
    };
    const QList<Row> rows = {{"first item", "3.5", 42, 1234567},
                             {"second", "-1.25", -7, -88},
                             {"", "0", 0, 0},
                             {QString(20, 'z'), "12345.678", 32767, 999999999}};
    QList<QStringList> texts;
    for (const Row& r : rows)
        texts.append({r.name, r.amount, QString::number(r.count), QString::number(r.total)});
    ASSERT_TRUE(MakeShapelibTable(path,
                                  {"-s", "NAME", "20", "-n", "AMOUNT", "10", "3", "-n", "COUNT",
                                   "6", "0", "-n", "TOTAL", "9", "0"},
                                  texts));

    OpenTable t(path, true);
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(t.types, (std::vector<TDbfType>{TDbfType::String, TDbfType::Float, TDbfType::Smallint,
                                              TDbfType::Integer}));
    TDbfFile* f = t.files.Table();
    ASSERT_EQ(f->RecordCount(), rows.size());
    EXPECT_EQ(t.files.Memo(), nullptr);
    for (int i = 0; i < rows.size(); ++i) {
        const QByteArray image = t.Image(i);
        EXPECT_EQ(t.Values(i)[0], rows[i].name);
        double amount = -1;
        qint16 count = -1;
        qint32 total = -1;
        f->ReadFieldData(1, TDbfType::Float, &amount, image.constData());
        f->ReadFieldData(2, TDbfType::Smallint, &count, image.constData());
        f->ReadFieldData(3, TDbfType::Integer, &total, image.constData());
        EXPECT_DOUBLE_EQ(amount, rows[i].amount.toDouble()) << i;
        EXPECT_EQ(count, rows[i].count) << i;
        EXPECT_EQ(total, rows[i].total) << i;
    }
}

} // namespace
