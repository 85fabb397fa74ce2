// What two programs, and two datasets of one program, see of each other's use of a table:
// the share modes between programs, and reads that never serve bytes older than the file.
#include "DbTableTestSupport.h"
#include "StorageTestSupport.h"
#include "common/MessageBoxAnswerer.h"
#include "framework/data/Field.h"
#include "storage/dbtable/DbTable.h"
#include "storage/project/ItemTableFields.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

using namespace dbtable;
using namespace storagetest;

namespace {

// The helper program on a table, driven a line at a time. Its waits end with its answer;
// their deadline only keeps a broken test from hanging.
class OtherProgram {
public:
    OtherProgram(const QString& table, const char* mode) {
        process_.start(ORV_TABLEUSER, {table, mode});
        First = Answer();
    }
    ~OtherProgram() {
        process_.closeWriteChannel();
        if (!process_.waitForFinished(30000))
            process_.kill();
    }
    QString Do(const QString& command) {
        process_.write((command + "\n").toUtf8());
        return Answer();
    }
    // Ends the program at once, as a crash would.
    void Kill() {
        process_.kill();
        process_.waitForFinished(30000);
    }

    QString First;

private:
    QString Answer() {
        while (!process_.canReadLine())
            if (!process_.waitForReadyRead(30000))
                return "no answer";
        return QString::fromUtf8(process_.readLine()).trimmed();
    }

    QProcess process_;
};

class TableSharingTest : public ::testing::Test {
protected:
    void SetUp() override { path = dir.filePath("items.dbf"); }

    void Prepare(TDbTable& t, bool readOnly = false) {
        if (t.FieldCount() == 0)
            AddItemTableFields(t);
        t.SetRunTimePath(dir.path());
        t.SetTableName("items");
        t.SetReadOnly(readOnly);
    }
    // A new item table of `count` records "Item 1", "Item 2", ... with memos "memo 1", ...
    void MakeItems(int count) {
        TDbTable t;
        Prepare(t);
        t.CreateTable();
        t.Open();
        for (int i = 1; i <= count; ++i) {
            t.Append();
            t.FieldByName("GROUP")->SetAsString("grp01");
            t.FieldByName("CAPTION")->SetAsString(QString("Item %1").arg(i));
            t.FieldByName("COMMENTS")->SetAsString(QString("memo %1").arg(i));
            t.Post();
        }
        t.Close();
    }
    static QString Memo(TDbTable& t) { return t.FieldByName("COMMENTS")->AsString(); }
    static QStringList Expected(int count) {
        QStringList out;
        for (int i = 1; i <= count; ++i)
            out << QString("Item %1").arg(i);
        return out;
    }

    QTemporaryDir dir;
    MessageBoxAnswerer boxes;
    QString path;
};

} // namespace

TEST_F(TableSharingTest, OneProgramWritesATableWhileOthersMayOnlyRead) {
    MakeItems(3);
    OtherProgram writer(path, "write");
    ASSERT_EQ(writer.First, "open");

    TDbTable t;
    Prepare(t);
    try {
        t.Open();
        FAIL() << "a second writer opened the table";
    } catch (const EInOutError& e) {
        EXPECT_TRUE(e.Message.contains(path)) << e.Message.toStdString();
        EXPECT_TRUE(e.Message.contains("in use by another program")) << e.Message.toStdString();
    }
    EXPECT_FALSE(t.Active());
    EXPECT_EQ(TPagedFile::OpenFileCount(), 0);

    // Reading shares everything: here and in a third program, beside the writer.
    t.SetReadOnly(true);
    t.Open();
    EXPECT_EQ(Shown(t), Expected(3));
    OtherProgram reader(path, "read");
    EXPECT_EQ(reader.First, "open");
    t.Close();

    // The writer's close frees the table for the next writer, readers or not.
    EXPECT_EQ(writer.Do("close"), "closed");
    t.SetReadOnly(false);
    t.Open();
    EXPECT_TRUE(t.CanModify());
    OtherProgram second(path, "write");
    EXPECT_TRUE(second.First.startsWith("error ")) << second.First.toStdString();
    EXPECT_TRUE(second.First.contains(path));
    t.Close();
    EXPECT_EQ(second.Do("close"), "closed"); // closing a table that never opened is no error
}

TEST_F(TableSharingTest, AProgramsShareModeEndsWithTheProgram) {
    MakeItems(2);
    OtherProgram writer(path, "write");
    ASSERT_EQ(writer.First, "open");
    writer.Kill();
    TDbTable t;
    Prepare(t);
    t.Open();
    EXPECT_TRUE(t.CanModify());
    EXPECT_EQ(Shown(t), Expected(2));
}

TEST_F(TableSharingTest, ATableIsNotMadeAnewUnderAnotherProgram) {
    MakeItems(2);
    const QByteArray before = ReadAll(path);
    OtherProgram reader(path, "read");
    ASSERT_EQ(reader.First, "open");
    TDbTable t;
    Prepare(t);
    try {
        t.CreateTable();
        FAIL() << "made anew while open elsewhere";
    } catch (const EInOutError& e) {
        EXPECT_TRUE(e.Message.contains(path)) << e.Message.toStdString();
    }
    EXPECT_EQ(ReadAll(path), before);
    EXPECT_EQ(reader.Do("show 2"), "Item 2|memo 2");
}

TEST_F(TableSharingTest, AReadOnlyTableSeesAnotherProgramsWritesAtItsNextRead) {
    MakeItems(3);
    TDbTable t;
    Prepare(t, true);
    t.Open();
    EXPECT_EQ(Shown(t), Expected(3));
    t.SetRecNo(3);
    EXPECT_EQ(Memo(t), "memo 3");

    OtherProgram writer(path, "write");
    ASSERT_EQ(writer.First, "open");
    ASSERT_EQ(writer.Do("caption 1 changed"), "done");
    ASSERT_EQ(writer.Do("append fourth memo of the fourth"), "done");

    // Standing on the last record it knew, the next step finds the new one with its memo.
    t.Next();
    ASSERT_FALSE(t.Eof());
    EXPECT_EQ(Caption(t), "fourth");
    EXPECT_EQ(Memo(t), "memo of the fourth");
    EXPECT_EQ(t.RecordCount(), 4);
    t.First();
    EXPECT_EQ(Caption(t), "changed");

    // And what this program's reader shows after the writer's next change.
    ASSERT_EQ(writer.Do("caption 2 again"), "done");
    EXPECT_EQ(Shown(t), QStringList({"changed", "again", "Item 3", "fourth"}));
}

TEST_F(TableSharingTest, ATableChangedElsewhereIsReadAnewWhenOpenedAgain) {
    MakeItems(3);
    TDbTable t;
    Prepare(t);
    TDbTable reader;
    Prepare(reader, true);
    // Opened and closed both ways, so that whatever this program keeps of the table is kept.
    t.Open();
    EXPECT_EQ(Shown(t), Expected(3));
    t.Close();
    reader.Open();
    EXPECT_EQ(Shown(reader), Expected(3));
    reader.Close();

    {
        OtherProgram writer(path, "write");
        ASSERT_EQ(writer.First, "open");
        ASSERT_EQ(writer.Do("caption 3 third"), "done");
        ASSERT_EQ(writer.Do("append fourth its memo"), "done");
    }
    const QStringList changed{"Item 1", "Item 2", "third", "fourth"};
    reader.Open();
    EXPECT_EQ(Shown(reader), changed);
    reader.Last();
    EXPECT_EQ(Memo(reader), "its memo");
    reader.Close();
    t.Open();
    EXPECT_EQ(Shown(t), changed);
    t.Close();

    // Cut back to one record behind this program's back, then grown again.
    QByteArray file = ReadAll(path);
    WriteAll(path, file.left(225 + 651));
    reader.Open();
    EXPECT_EQ(Shown(reader), QStringList{"Item 1"});
    reader.Close();
    WriteAll(path, file);
    reader.Open();
    EXPECT_EQ(Shown(reader), changed);
}

TEST_F(TableSharingTest, BytesCutAwayUnderAReaderReadAsNothing) {
    // Thirty records span several pages of the file; all but the first are cut away while a
    // reader has them mapped.
    MakeItems(30);
    const QByteArray file = ReadAll(path);
    TDbTable t;
    Prepare(t, true);
    t.Open();
    EXPECT_EQ(Shown(t), Expected(30));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.resize(225 + 651));
    }
    // Going straight to a record the reader still counts reads where the file is gone.
    EXPECT_THROW(t.SetRecNo(20), EDatabaseError);
    EXPECT_EQ(Shown(t), QStringList{"Item 1"});
    EXPECT_EQ(t.RecordCount(), 1);
    // Grown back, the reader finds every record again.
    WriteAll(path, file);
    EXPECT_EQ(Shown(t), Expected(30));
}

TEST_F(TableSharingTest, ReadsAcrossTheCacheOfAWritableTable) {
    // 250 records of 651 bytes: several of them straddle the pieces the table is read in.
    MakeItems(250);
    TDbTable t;
    Prepare(t);
    t.Open();
    EXPECT_EQ(Shown(t), Expected(250));
    QStringList backwards;
    for (t.Last(); !t.Bof(); t.Prior())
        backwards.prepend(Caption(t));
    EXPECT_EQ(backwards, Expected(250));

    // Written through one dataset, read through another at once: records that straddle
    // a piece, the last one, and one appended.
    TDbTable other;
    Prepare(other);
    other.Open();
    for (int recNo : {101, 202, 250}) {
        t.SetRecNo(recNo);
        t.Edit();
        t.FieldByName("CAPTION")->SetAsString(QString("changed %1").arg(recNo));
        t.FieldByName("COMMENTS")->SetAsString(QString(600, QChar('a' + recNo % 26)));
        t.Post();
        other.SetRecNo(recNo);
        EXPECT_EQ(Caption(other), QString("changed %1").arg(recNo));
        EXPECT_EQ(Memo(other), QString(600, QChar('a' + recNo % 26)));
    }
    t.Append();
    t.FieldByName("CAPTION")->SetAsString("appended");
    t.Post();
    other.Last();
    EXPECT_EQ(Caption(other), "appended");
    other.Close();
    t.Close();

    // The file holds what the datasets showed.
    TTableFiles files;
    files.Open(ResolveTablePaths(path, ".", "", false), true);
    TDbfFile* f = files.Table();
    f->ReadFieldDescriptors();
    EXPECT_EQ(f->RecordCount(), 251);
    QByteArray image(f->ImageSize(), '\0');
    f->ReadRecordImage(100, image.data());
    EXPECT_EQ(f->FieldText(1, image.constData()), "changed 101");
    // Near the end: the last bytes, a read that runs over the end, and one beyond it.
    const qint64 size = ReadAll(path).size();
    char tail[16];
    EXPECT_EQ(f->ReadAt(size - 1, tail, 1), 1);
    EXPECT_EQ(tail[0], '\x1A');
    EXPECT_EQ(f->ReadAt(size - 4, tail, sizeof tail), 4);
    EXPECT_EQ(f->ReadAt(size, tail, sizeof tail), 0);
    EXPECT_EQ(f->ReadRecord(251, image.data()), 1); // only the end mark is there
    files.Close();
}
