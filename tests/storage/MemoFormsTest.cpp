#include "StorageTestSupport.h"
#include "common/MessageBoxAnswerer.h"
#include "storage/dbdataset/DbMemo.h"
#include "storage/dbtable/DbtMemoFile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace storagetest;

// Both table engines read one memo file alike, whatever other writers left in it.
namespace {

class MemoFormsTest : public ::testing::Test {
protected:
    QString Path() const { return dir.filePath("m.dbt"); }
    // A memo file: a 512-byte header with the next free block and the block size word, then
    // the blocks given.
    void Write(int blockWord, const QByteArray& blocks) {
        QByteArray header(512, '\0');
        header[0] = 99;
        header[20] = char(blockWord & 0xFF);
        header[21] = char(blockWord >> 8);
        WriteAll(Path(), header + blocks);
    }
    // The text of a memo as the engine of the windows and the second-generation engine read
    // it; both must agree.
    QByteArray Read(bool dbase3, quint32 block) {
        dbtable::TDbtFile first(Path(), dbase3 ? 0 : 1, dbtable::TPagedMode::Read);
        dbdataset::TFileRef<dbdataset::TDBTFile> second(
            new dbdataset::TDBTFile(Path(), 0, false, true, dbase3 ? 2 : 4));
        const QByteArray a = first.ReadMemo(block);
        const QByteArray b = second->ReadMemo(block);
        EXPECT_EQ(a, b) << "block " << block;
        return a;
    }

    QTemporaryDir dir;
    MessageBoxAnswerer boxes;
};

TEST_F(MemoFormsTest, EndMarksOfTheDBase3Form) {
    // Block 1: text whose last byte is 0x1A, then a block that starts with the pair: the end
    // mark is the first two of the three.
    const QByteArray b1 = QByteArray(511, 't') + "\x1A";
    const QByteArray b2 = QByteArray("\x1A\x1A") + QByteArray(510, 'x');
    // Block 3: a pair in the middle; block 4: a NUL before a pair; block 5: a lone 0x1A as
    // the block's last byte followed by the end of the file.
    const QByteArray b3 = QByteArray("ab\x1A\x1A") + QByteArray(508, 'y');
    const QByteArray b4 = QByteArray("cd\0e\x1A\x1A", 6) + QByteArray(506, 'z');
    const QByteArray b5 = QByteArray(511, 'w') + "\x1A";
    Write(512, b1 + b2 + b3 + b4 + b5);
    EXPECT_EQ(Read(true, 1), QByteArray(511, 't'));
    EXPECT_EQ(Read(true, 2), "");
    EXPECT_EQ(Read(true, 3), "ab");
    EXPECT_EQ(Read(true, 4), "cd");
    EXPECT_EQ(Read(true, 5), b5);
    EXPECT_EQ(Read(true, 9), "");
}

TEST_F(MemoFormsTest, LengthWordsOfTheDBase4Form) {
    auto memo = [](quint32 length, const QByteArray& text) {
        QByteArray b("\xFF\xFF\x08\x00", 4);
        for (int i = 0; i < 4; ++i)
            b.append(char((length >> (8 * i)) & 0xFF));
        b.append(text);
        return b + QByteArray(512 - b.size() % 512, '\0');
    };
    // 1: a text of 600 bytes over two blocks; 3: a length below the prefix; 4: another
    // prefix; 5: a length that runs far beyond the end of the file.
    const QByteArray b1 = memo(608, QByteArray(600, 'L'));
    const QByteArray b3 = memo(4, "short");
    const QByteArray b4 =
        QByteArray("\xFF\xFF\x09\x00\x10\x00\x00\x00text", 12) + QByteArray(500, '\0');
    const QByteArray b5 = memo(0xFFFFFFFFu, "end\x1A\x1Alater");
    Write(512, b1 + b3 + b4 + b5);
    EXPECT_EQ(Read(false, 1), QByteArray(600, 'L'));
    EXPECT_EQ(Read(false, 3), "");
    EXPECT_EQ(Read(false, 4), "");
    // A damaged length: the text ends at its end mark or the end of the file.
    EXPECT_EQ(Read(false, 5), "end");

    // A block size word that is no multiple of 128 counts as 512 for both.
    Write(1000, b1 + b3);
    EXPECT_EQ(Read(false, 1), QByteArray(600, 'L'));
}

} // namespace
