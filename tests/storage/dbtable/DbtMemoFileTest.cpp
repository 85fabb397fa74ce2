#include "DbTableTestSupport.h"
#include "StorageTestSupport.h"
#include "common/MessageBoxAnswerer.h"
#include "storage/dbtable/DbtMemoFile.h"

#include <QFile>
#include <cstring>
#include <gtest/gtest.h>

using namespace dbtable;
using namespace storagetest;

namespace {

class DbtFileTest : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return dir.filePath(name); }

    // Writes a memo of the first record's memo field (field 3 of the item table) through the
    // blob stream and returns the block the record then names.
    quint32 WriteMemo(OpenTable& t, QByteArray& image, const QByteArray& text) {
        TDbfFile* f = t.files.Table();
        const quint32 block = f->ReadMemoBlock(3, image.constData());
        {
            TMyBlobFile blob(t.files.Memo(), t.files.Paths().Memo, TBlobMode::Write, block,
                             [&](quint32 b) { f->WriteMemoBlock(3, b, image.data()); });
            blob.Stream().write(text);
        }
        return f->ReadMemoBlock(3, image.constData());
    }
    static QByteArray ReadMemo(OpenTable& t, const QByteArray& image) {
        TMyBlobFile blob(t.files.Memo(), t.files.Paths().Memo, TBlobMode::Read,
                         t.files.Table()->ReadMemoBlock(3, image.constData()), nullptr);
        return blob.Stream().readAll();
    }
    static quint32 At32(const QByteArray& b, int at) {
        quint32 v;
        std::memcpy(&v, b.constData() + at, 4);
        return v;
    }
    // The item table turned into the dBase III form: version 0x83.
    void MakeDbase3Table(const QString& path) {
        CreateTable(path, ItemFields());
        QByteArray f = ReadAll(path);
        f[0] = char(0x83);
        WriteAll(path, f);
    }

    QTemporaryDir dir;
    MessageBoxAnswerer boxes;
};

TEST_F(DbtFileTest, DBase4MemosFollowTheBlockLayoutByteForByte) {
    const QString path = Path("qor.dbf");
    CreateTable(path, ItemFields());
    OpenTable t(path);
    ASSERT_TRUE(t.files.Memo());
    EXPECT_FALSE(t.files.Memo()->DBase3());
    QByteArray image(t.files.Table()->ImageSize(), ' ');

    const QByteArray text510(510, 'a');
    EXPECT_EQ(WriteMemo(t, image, text510), 1u);
    EXPECT_EQ(image.mid(t.files.Table()->Fields()[3].Offset, 10), "         1");
    QByteArray m = ReadAll(Path("qor.dbt"));
    ASSERT_EQ(m.size(), 512 + 8 + 510);
    EXPECT_EQ(At32(m, 0), 3u); // next free block
    EXPECT_EQ(m.mid(512, 4), QByteArray("\xFF\xFF\x08\x00", 4));
    EXPECT_EQ(At32(m, 516), 518u);
    EXPECT_EQ(m.mid(520), text510);
    EXPECT_EQ(ReadMemo(t, image), text510);

    // Shorter: rewritten in place, the header untouched.
    const QByteArray header = m.left(24);
    const QByteArray text400(400, 'b');
    EXPECT_EQ(WriteMemo(t, image, text400), 1u);
    m = ReadAll(Path("qor.dbt"));
    EXPECT_EQ(m.left(24), header);
    EXPECT_EQ(At32(m, 516), 408u);
    EXPECT_EQ(ReadMemo(t, image), text400);

    // Longer than its old blocks: moved to the end.
    const QByteArray text1100 = QByteArray(1100, 'c');
    EXPECT_EQ(WriteMemo(t, image, text1100), 3u);
    m = ReadAll(Path("qor.dbt"));
    EXPECT_EQ(At32(m, 0), 6u);
    EXPECT_EQ(m.mid(3 * 512, 4), QByteArray("\xFF\xFF\x08\x00", 4));
    EXPECT_EQ(At32(m, 3 * 512 + 4), 1108u);
    EXPECT_EQ(ReadMemo(t, image), text1100);

    // Cleared: block 0, nothing written.
    EXPECT_EQ(WriteMemo(t, image, ""), 0u);
    EXPECT_EQ(ReadAll(Path("qor.dbt")), m);
    EXPECT_EQ(image.mid(t.files.Table()->Fields()[3].Offset, 10), "         0");
    EXPECT_EQ(ReadMemo(t, image), "");
}

TEST_F(DbtFileTest, DBase3MemosRunOverBlocksUntilTheirEndMark) {
    const QString path = Path("old.dbf");
    MakeDbase3Table(path);
    OpenTable t(path);
    ASSERT_TRUE(t.files.Memo()->DBase3());
    QByteArray image(t.files.Table()->ImageSize(), ' ');

    QByteArray text1000;
    for (int i = 0; i < 1000; ++i)
        text1000 += char('a' + i % 26);
    EXPECT_EQ(WriteMemo(t, image, text1000), 1u);
    QByteArray m = ReadAll(Path("old.dbt"));
    ASSERT_EQ(m.size(), 512 + 1002);
    EXPECT_EQ(m.right(2), "\x1A\x1A");
    EXPECT_EQ(At32(m, 0), 3u);
    EXPECT_EQ(ReadMemo(t, image), text1000);

    // Exactly one block of text, the end mark in the next block.
    QByteArray image2(t.files.Table()->ImageSize(), ' ');
    const QByteArray text512(512, 'x');
    EXPECT_EQ(WriteMemo(t, image2, text512), 3u);
    EXPECT_EQ(ReadMemo(t, image2), text512);
    EXPECT_EQ(At32(ReadAll(Path("old.dbt")), 0), 5u);
}

TEST_F(DbtFileTest, DBase3EndMarksOfForeignFiles) {
    const QString path = Path("m.dbt");
    QByteArray f(512, '\0');
    f[0] = 9;
    // Block 1: 511 bytes of text and the first half of the end mark; block 2 starts with the
    // second half. Block 3: text ended by a NUL. Block 4: a file that ends without a mark.
    QByteArray b1 = QByteArray(511, 'q') + "\x1A";
    QByteArray b2 = QByteArray("\x1A") + QByteArray(511, '\0');
    QByteArray b3 = QByteArray("short") + QByteArray(507, '\0');
    QByteArray b4 = "tail without mark";
    WriteAll(path, f + b1 + b2 + b3 + b4);
    TDbtFile memo(path, 0, TPagedMode::Read);
    EXPECT_EQ(memo.BlockSize(), 512);
    EXPECT_EQ(memo.ReadMemo(1), QByteArray(511, 'q'));
    EXPECT_EQ(memo.ReadMemo(3), "short");
    EXPECT_EQ(memo.ReadMemo(4), "tail without mark");
    EXPECT_EQ(memo.ReadMemo(0), "");
    EXPECT_EQ(memo.ReadMemo(400), "");
    EXPECT_EQ(memo.ReadMemo(0xFFFFFFFFu), "");
}

TEST_F(DbtFileTest, DBase4BlockSizeAndDamagedBlocks) {
    const QString path = Path("m4.dbt");
    auto header = [](int word) {
        QByteArray h(512, '\0');
        h[0] = 4;
        h[20] = char(word & 0xFF);
        h[21] = char(word >> 8);
        return h;
    };
    // A word that is no multiple of 128 means 512.
    WriteAll(path, header(100) + QByteArray("\xFF\xFF\x08\x00\x0B\x00\x00\x00"
                                            "xyz",
                                            11));
    {
        TDbtFile memo(path, 1, TPagedMode::Read);
        EXPECT_EQ(memo.BlockSize(), 512);
        EXPECT_EQ(quint8(memo.Header()[20]) | quint8(memo.Header()[21]) << 8, 512);
        EXPECT_EQ(memo.ReadMemo(1), "xyz");
    }
    // A block size of 256 is used; the dBase III form ignores the word.
    QByteArray file = header(256) + QByteArray(256, '\0');
    file.truncate(256);
    file += QByteArray("\xFF\xFF\x08\x00\x0A\x00\x00\x00"
                       "hi",
                       10);
    WriteAll(path, file);
    {
        TDbtFile memo(path, 1, TPagedMode::Read);
        EXPECT_EQ(memo.BlockSize(), 256);
        EXPECT_EQ(memo.ReadMemo(1), "hi");
        TDbtFile old(path + "3", 0, TPagedMode::Create);
        EXPECT_EQ(old.BlockSize(), 512);
    }
    // No prefix, a length below 8, a length far beyond the file.
    WriteAll(path, header(512) + QByteArray("plain text", 10));
    EXPECT_EQ(TDbtFile(path, 1, TPagedMode::Read).ReadMemo(1), "");
    WriteAll(path, header(512) + QByteArray("\xFF\xFF\x08\x00\x07\x00\x00\x00"
                                            "abc",
                                            11));
    EXPECT_EQ(TDbtFile(path, 1, TPagedMode::Read).ReadMemo(1), "");
    WriteAll(path, header(512) + QByteArray("\xFF\xFF\x08\x00\xFF\xFF\xFF\x7F"
                                            "abc",
                                            11));
    EXPECT_EQ(TDbtFile(path, 1, TPagedMode::Read).ReadMemo(1), "abc");
    // A header cut short.
    WriteAll(path, QByteArray(10, '\0'));
    EXPECT_THROW(TDbtFile(path, 1, TPagedMode::Read), EInOutError);
}

TEST_F(DbtFileTest, NewMemosNeverOverwriteWhatTheFileHolds) {
    // A foreign memo file whose next free block points at a memo that is there.
    const QString path = Path("m.dbt");
    QByteArray f(512, '\0');
    f[0] = 1;
    f[20] = 0;
    f[21] = 2;
    QByteArray existing = QByteArray("\xFF\xFF\x08\x00\x0D\x00\x00\x00", 8) + "keep!";
    WriteAll(path, f + existing);
    TDbtFile memo(path, 1, TPagedMode::ReadWrite);
    const quint32 block = memo.WriteMemo(0, 0, "new");
    EXPECT_EQ(block, 2u);
    EXPECT_EQ(memo.ReadMemo(1), "keep!");
    EXPECT_EQ(memo.ReadMemo(2), "new");
    EXPECT_EQ(memo.NextFreeBlock(), 3u);

    // Far beyond the end: the memo goes to the end instead of making a huge file.
    QByteArray far = ReadAll(path);
    far[0] = char(0xFF);
    far[1] = char(0xFF);
    far[2] = char(0xFF);
    far[3] = char(0x7F);
    TDbtFile(path, 1, TPagedMode::Create); // empties it: write our own again
    WriteAll(path, far);
    TDbtFile memo2(path, 1, TPagedMode::ReadWrite);
    EXPECT_EQ(memo2.WriteMemo(0, 0, "end"), 3u);
    EXPECT_LT(QFile(path).size(), 4 * 512);
}

TEST_F(DbtFileTest, BlobStreamsStoreOnlyWhatWasWritten) {
    const QString path = Path("qor.dbf");
    CreateTable(path, ItemFields());
    OpenTable t(path);
    TDbfFile* f = t.files.Table();
    QByteArray image(f->ImageSize(), ' ');
    WriteMemo(t, image, "first text, long");
    const QByteArray memoBefore = ReadAll(Path("qor.dbt"));

    int stores = 0;
    auto store = [&](quint32 b) {
        ++stores;
        f->WriteMemoBlock(3, b, image.data());
    };
    {
        // Read-write without a change stores nothing.
        TMyBlobFile blob(t.files.Memo(), "", TBlobMode::ReadWrite, 1, store);
        EXPECT_EQ(blob.Stream().readAll(), "first text, long");
        EXPECT_EQ(blob.OldSize(), 16);
    }
    EXPECT_EQ(stores, 0);
    EXPECT_EQ(ReadAll(Path("qor.dbt")), memoBefore);
    {
        // Write mode: the text written from the start replaces all of the old one.
        TMyBlobFile blob(t.files.Memo(), "", TBlobMode::Write, 1, store);
        blob.Stream().write("short");
        blob.Flush();
        EXPECT_EQ(stores, 1);
    }
    EXPECT_EQ(stores, 1);
    EXPECT_EQ(ReadMemo(t, image), "short");
    // An exception while the stream is open stores nothing.
    try {
        TMyBlobFile blob(t.files.Memo(), "", TBlobMode::Write, 1, store);
        blob.Stream().write("lost");
        throw EAbort();
    } catch (const EAbort&) {
    }
    EXPECT_EQ(stores, 1);
    EXPECT_EQ(ReadMemo(t, image), "short");

    // A memo field holding no number means no memo.
    f->WriteFieldData(3, TDbfType::String, "abc", image.data());
    EXPECT_EQ(f->ReadMemoBlock(3, image.constData()), 0u);
    f->WriteFieldData(3, TDbfType::String, "-5", image.data());
    EXPECT_EQ(f->ReadMemoBlock(3, image.constData()), 0u);
    EXPECT_EQ(ReadMemo(t, image), "");
}

TEST_F(DbtFileTest, TableWithoutMemoFileFailsClearlyAndLosesNothing) {
    const QString path = Path("qor.dbf");
    CreateTable(path, ItemFields());
    {
        OpenTable t(path);
        t.Append({"g", "c", "d", "a memo"});
    }
    QFile::remove(Path("qor.dbt"));
    const QByteArray before = ReadAll(path);
    {
        OpenTable t(path);
        EXPECT_EQ(t.files.Memo(), nullptr);
        QByteArray image = t.Image(0);
        const quint32 block = t.files.Table()->ReadMemoBlock(3, image.constData());
        EXPECT_EQ(block, 1u);
        for (TBlobMode mode : {TBlobMode::Read, TBlobMode::Write, TBlobMode::ReadWrite}) {
            try {
                TMyBlobFile blob(nullptr, t.files.Paths().Memo, mode, block, nullptr);
                ADD_FAILURE() << "no error";
            } catch (const EBinaryDataSetError& e) {
                EXPECT_EQ(e.Message, "Memo file not found : " + Path("qor.dbt"));
            }
        }
        // An empty memo field can still be shown; writing one cannot.
        TMyBlobFile empty(nullptr, t.files.Paths().Memo, TBlobMode::Read, 0, nullptr);
        EXPECT_EQ(empty.Stream().size(), 0);
        EXPECT_THROW(TMyBlobFile(nullptr, "x", TBlobMode::Write, 0, nullptr), EBinaryDataSetError);
        t.files.Close();
    }
    // Only the header date may change.
    const QByteArray after = ReadAll(path);
    EXPECT_EQ(after.mid(4), before.mid(4));
    EXPECT_FALSE(QFile::exists(Path("qor.dbt")));
}

} // namespace
