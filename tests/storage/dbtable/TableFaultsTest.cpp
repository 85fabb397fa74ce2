// Tables as other tools leave them, and the dataset's own corners: nothing of a table is
// lost or overwritten, no character is silently replaced, and every error names its file.
#include "DbTableTestSupport.h"
#include "StorageTestSupport.h"
#include "common/FileSizeLimit.h"
#include "common/MessageBoxAnswerer.h"
#include "framework/data/BlobStream.h"
#include "framework/data/Fields.h"
#include "storage/dbtable/DbTable.h"
#include "storage/project/ItemTableFields.h"

#include <QFile>
#include <cstring>
#include <gtest/gtest.h>

using namespace dbtable;
using namespace storagetest;

namespace {

class TableFaultsTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.filePath("items.dbf");
        memoPath = dir.filePath("items.dbt");
        Prepare(table);
        table.CreateTable();
    }
    void Prepare(TDbTable& t) {
        if (t.FieldCount() == 0)
            AddItemTableFields(t);
        t.SetRunTimePath(dir.path());
        t.SetTableName("items");
    }
    void Append(const QString& caption, const QString& memo) {
        table.Append();
        table.FieldByName("CAPTION")->SetAsString(caption);
        table.FieldByName("COMMENTS")->SetAsString(memo);
        table.Post();
    }
    QByteArray RecordBytes(int n) { return ReadAll(path).mid(225 + n * 651, 651); }
    QString Caption() { return table.FieldByName("CAPTION")->AsString(); }
    QString Memo() { return table.FieldByName("COMMENTS")->AsString(); }
    static quint32 At32(const QByteArray& b, int at) {
        quint32 v;
        std::memcpy(&v, b.constData() + at, 4);
        return v;
    }

    QTemporaryDir dir;
    MessageBoxAnswerer boxes;
    QString path;
    QString memoPath;
    TDbTable table;
};

} // namespace

TEST_F(TableFaultsTest, ARecordSizeThatDisagreesWithTheFieldsOpensReadOnly) {
    table.Open();
    for (const char* caption : {"one", "two", "three"})
        Append(caption, "memo");
    table.Close();
    // The header's record size damaged to 65535: by it the file holds no record at all.
    QByteArray file = ReadAll(path);
    file[10] = char(0xFF);
    file[11] = char(0xFF);
    WriteAll(path, file);
    const QByteArray memo = ReadAll(memoPath);

    table.Open();
    ASSERT_EQ(boxes.Boxes().size(), 2u); // the record count and the record size
    EXPECT_TRUE(boxes.Boxes()[1].text.startsWith("Invalid Record Size,"));
    EXPECT_TRUE(table.IsEmpty());
    EXPECT_FALSE(table.CanModify());
    EXPECT_THROW(table.Append(), EDatabaseError);
    table.Close();
    EXPECT_EQ(ReadAll(path), file);
    EXPECT_EQ(ReadAll(memoPath), memo);

    // Another program may write it meanwhile: this one holds no right to write it.
    table.Open();
    TTableFiles writer;
    writer.Open(table.TablePaths(), false);
    EXPECT_EQ(writer.Table()->Mode(), TPagedMode::Read); // shared with the read-only table
    writer.Close();
    table.Close();
    EXPECT_EQ(ReadAll(path), file);
}

TEST_F(TableFaultsTest, AnAppendTheDiskRefusesLeavesNoRecordBehind) {
    table.Open();
    Append("one", "");
    {
        const FileSizeLimit disk(ReadAll(path).size() + 100);
        table.Append();
        table.FieldByName("CAPTION")->SetAsString("lost");
        EXPECT_THROW(table.Post(), EInOutError);
    }
    table.Close();
    EXPECT_EQ(At32(ReadAll(path), 4), 1u);
    EXPECT_EQ(ReadAll(path).size(), 225 + 651 + 1);
}

TEST_F(TableFaultsTest, EveryCharacterOfTheCodePageIsKeptAndOthersAreRefused) {
    // Box drawing, the dotless i and the double low line are in code page 850 but not in
    // Windows-1252.
    const QString caption = QString::fromUtf8("╔═╗ ı ‗ ░ Ä");
    const QString memo = QString::fromUtf8("└─┘ ı\r\n‗");
    table.Open();
    Append(caption, memo);
    EXPECT_EQ(RecordBytes(0).mid(21, 13), QByteArray("\xC9\xCD\xBB \xD5 \xF2 \xB0 \x8E  "));
    EXPECT_TRUE(ReadAll(memoPath).contains("\xC0\xC4\xD9 \xD5\r\n\xF2"));
    EXPECT_EQ(Caption(), caption);
    EXPECT_EQ(Memo(), memo);

    // Editing another field writes the record back as it was read.
    table.Edit();
    table.FieldByName("FILE")->SetAsString("setup.exe");
    table.Post();
    table.Close();
    table.Open();
    table.First();
    EXPECT_EQ(Caption(), caption);
    EXPECT_EQ(Memo(), memo);
    const QByteArray record = RecordBytes(0);

    // A character the code page cannot hold is refused where it is set, naming it and the
    // field; the record keeps what it had.
    table.Edit();
    try {
        table.FieldByName("CAPTION")->SetAsString(QString::fromUtf8("5 €"));
        FAIL() << "stored a euro sign";
    } catch (const EDatabaseError& e) {
        EXPECT_TRUE(e.Message.contains(QString::fromUtf8("\"€\""))) << e.Message.toStdString();
        EXPECT_EQ(e.Message, QString::fromUtf8("The character \"€\" (U+20AC) cannot be stored in "
                                               "the field \"CAPTION\"."));
    }
    try {
        table.FieldByName("COMMENTS")->SetAsString(QString::fromUtf8("smile 😀"));
        FAIL() << "stored an emoji";
    } catch (const EDatabaseError& e) {
        EXPECT_TRUE(e.Message.contains(QString::fromUtf8("😀"))) << e.Message.toStdString();
        EXPECT_TRUE(e.Message.contains("U+1F600"));
        EXPECT_TRUE(e.Message.contains("\"COMMENTS\""));
    }
    EXPECT_EQ(Caption(), caption);
    EXPECT_EQ(Memo(), memo);
    // Beyond the field's size the text is cut, so what is cut away is not refused.
    table.FieldByName("GROUP")->SetAsString(QString(20, 'g') + QString::fromUtf8("€"));
    EXPECT_EQ(table.FieldByName("GROUP")->AsString(), QString(20, 'g'));
    table.Cancel();
    table.Close();
    EXPECT_EQ(RecordBytes(0), record);
}

TEST_F(TableFaultsTest, RewritingAMemoThatFillsItsBlocksKeepsThem) {
    table.Open();
    // 510 characters and the 8 bytes before them take two blocks exactly as much as 504.
    Append("near the boundary", QString(510, 'a'));
    const qint64 size = ReadAll(memoPath).size();
    const quint32 next = At32(ReadAll(memoPath), 0);
    EXPECT_EQ(next, 3u);
    for (int length : {510, 1016, 600, 1016, 505}) {
        table.Edit();
        table.FieldByName("COMMENTS")->SetAsString(QString(length, 'b'));
        table.Post();
        EXPECT_EQ(RecordBytes(0).mid(321, 10), "         1") << length;
        EXPECT_EQ(Memo(), QString(length, 'b'));
    }
    EXPECT_LE(ReadAll(memoPath).size(), 512 + 1024);
    EXPECT_GE(ReadAll(memoPath).size(), size);
    EXPECT_EQ(At32(ReadAll(memoPath), 0), next);
    // One byte more than the two blocks hold moves it to the end.
    table.Edit();
    table.FieldByName("COMMENTS")->SetAsString(QString(1017, 'c'));
    table.Post();
    EXPECT_EQ(RecordBytes(0).mid(321, 10), "         3");
    table.Close();
}

TEST_F(TableFaultsTest, DBase3MemosAreRewrittenInTheirBlocksAndNoFurther) {
    table.Open();
    Append("first", "x");
    Append("second", "y");
    table.Close();
    QByteArray dbf = ReadAll(path);
    dbf[0] = char(0x83);
    WriteAll(path, dbf);
    // A foreign memo file: block 1 holds 510 characters ended by a NUL alone, block 2 the
    // next record's memo.
    QByteArray dbt(512, '\0');
    dbt[0] = 3;
    dbt += QByteArray(510, 'q') + '\0' + 'z';
    dbt += QByteArray("next memo\x1A\x1A", 11);
    WriteAll(memoPath, dbt);
    const QByteArray next = dbt.mid(1024);

    table.Open();
    table.First();
    EXPECT_EQ(Memo(), QString(510, 'q'));
    // 510 characters and the end mark fill the block; one more needs a second.
    for (int length : {510, 511}) {
        table.Edit();
        table.FieldByName("COMMENTS")->SetAsString(QString(length, 'r'));
        table.Post();
        EXPECT_EQ(ReadAll(memoPath).mid(1024, 11), next) << length;
    }
    EXPECT_EQ(RecordBytes(0).mid(321, 10).trimmed(), "3");
    // A memo of 1023 characters takes three blocks with its mark: rewritten there.
    table.Edit();
    table.FieldByName("COMMENTS")->SetAsString(QString(1023, 's'));
    table.Post();
    const qint64 size = ReadAll(memoPath).size();
    table.Edit();
    table.FieldByName("COMMENTS")->SetAsString(QString(1023, 't'));
    table.Post();
    EXPECT_EQ(ReadAll(memoPath).size(), size);
    EXPECT_EQ(Memo(), QString(1023, 't'));
    table.Next();
    EXPECT_EQ(Memo(), "next memo");
    table.Close();
}

TEST_F(TableFaultsTest, ErrorsNameTheFileTheyAreAbout) {
    auto openError = [&](TDbTable& t) -> QString {
        try {
            t.Open();
        } catch (const Exception& e) {
            return e.Message;
        }
        return "opened";
    };
    const QByteArray good = ReadAll(path);
    for (const QByteArray& bytes : {QByteArray(), QByteArray(10, '\x03')}) {
        WriteAll(path, bytes);
        TDbTable t;
        Prepare(t);
        EXPECT_EQ(openError(t), "Stream read error : " + t.TablePaths().Table);
        EXPECT_EQ(TPagedFile::OpenFileCount(), 0);
    }
    WriteAll(path, good);
    WriteAll(memoPath, QByteArray(10, '\0'));
    TDbTable t;
    Prepare(t);
    EXPECT_EQ(openError(t), "Stream read error : " + t.TablePaths().Memo);
    EXPECT_EQ(ReadAll(path), good);
    EXPECT_EQ(TPagedFile::OpenFileCount(), 0);
}

TEST_F(TableFaultsTest, CalculatedTextsAreKeptWithinTheirSlots) {
    auto* calc = table.AddField<TStringField>("SHOWN");
    calc->SetSize(200);
    calc->SetFieldKind(fkCalculated);
    table.OnCalcFields = [](TDataSet* ds) {
        const QString caption = ds->FieldByName("CAPTION")->AsString();
        ds->FieldByName("SHOWN")->SetAsString("[" + caption + "]");
    };
    table.Open();
    Append("a long caption for the first record", "");
    Append("b", "");
    table.First();
    EXPECT_EQ(calc->AsString(), "[a long caption for the first record]");
    table.Next();
    EXPECT_EQ(calc->AsString(), "[b]");
    table.Close();
}

TEST_F(TableFaultsTest, AMemoWrittenThroughABlobStreamIsPostedWhenLeavingTheRecord) {
    table.Open();
    Append("one", "old memo");
    Append("two", "");
    table.First();
    table.Edit();
    {
        auto stream = table.CreateBlobStream(table.FieldByName("COMMENTS"), bmWrite);
        stream->write("streamed memo");
        stream->Commit();
    }
    EXPECT_TRUE(table.Modified());
    table.Next(); // leaving the record posts it
    EXPECT_EQ(table.State(), dsBrowse);
    table.First();
    EXPECT_EQ(Memo(), "streamed memo");
    table.Close();
    table.Open();
    table.First();
    EXPECT_EQ(Memo(), "streamed memo");
}
