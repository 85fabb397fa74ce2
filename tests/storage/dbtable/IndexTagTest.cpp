#include "IndexTreeCheck.h"
#include "StorageTestSupport.h"
#include "storage/dbtable/MdxIndexFile.h"

#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <random>

using namespace dbtable;
using indexcheck::CheckTree;
using indexcheck::Key;
using indexcheck::TLeafEntry;
using indexcheck::Word32;
using storagetest::ReadAll;
using storagetest::WriteAll;

namespace {

void Put(QByteArray& b, qsizetype at, int value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        b[at + i] = char((quint32(value) >> (8 * i)) & 0xFF);
}

// A multi-tag file: the 48-byte file header announcing one tag, the tag header in block 1
// (root and highest page 2), and page 2 an empty leaf.
QByteArray TagFile(int keyLength, char keyType = 'C', int root = 2) {
    QByteArray file(3 * 512, '\0');
    Put(file, 28, 1, 2);
    Put(file, 512 + 0, root, 4);
    Put(file, 512 + 4, 2, 4);
    file[512 + 9] = keyType;
    Put(file, 512 + 12, keyLength, 2);
    Put(file, 512 + 14, 504 / (keyLength + 8), 2);
    Put(file, 512 + 18, keyLength + 8, 2);
    return file;
}

QList<TLeafEntry> Walk(IndexTag& tag) {
    QList<TLeafEntry> out;
    tag.First();
    while (tag.Next()) {
        const int n = tag.GetPhysicalRecNo();
        out.append({QByteArray(tag.LeafPage()->Entry() + 8, tag.HeaderKeyLength()), n});
    }
    return out;
}

class IndexTagTest : public ::testing::Test {
protected:
    // The tag of a new file, its key the first keyLength bytes of a record.
    IndexTag& Open(int keyLength) {
        WriteAll(dir.filePath("t.mdx"), TagFile(keyLength));
        file = TFileRef<TIndexFile>(new TIndexFile(dir.filePath("t.mdx"), TPagedMode::ReadWrite));
        tag = std::make_unique<IndexTag>(file.get(), 1, 0, keyLength);
        return *tag;
    }
    QByteArray Bytes() { return ReadAll(dir.filePath("t.mdx")); }

    QTemporaryDir dir;
    TFileRef<TIndexFile> file;
    std::unique_ptr<IndexTag> tag;
};

TEST_F(IndexTagTest, KeysStoreRecordNumbersFromOneAndAFullPageSplitsAtItsEnd) {
    IndexTag& t = Open(10);
    EXPECT_EQ(file->TagCount(), 1);
    // An empty tag has nothing to step onto and counts no keys.
    t.First();
    EXPECT_FALSE(t.Next());
    EXPECT_EQ(t.GetRecordCount(), 0);

    for (int i = 0; i < 29; ++i)
        t.AddKey(i, Key("K" + QByteArray::number(100 + i), 10));
    const QByteArray bytes = Bytes();
    // The tag header moved with the root and the page counter; the new pages lie beyond
    // everything the file held.
    EXPECT_EQ(Word32(bytes, 512), 3);
    EXPECT_EQ(Word32(bytes, 516), 4);
    EXPECT_EQ(t.TagHeader().left(8), bytes.mid(512, 8));
    // Inserting at the end of a full page moves all its keys to the new page; the old page
    // keeps its number and takes the new key alone.
    EXPECT_EQ(Word32(bytes, 3 * 512), 1);
    EXPECT_EQ(Word32(bytes, 3 * 512 + 4), 4);
    EXPECT_EQ(bytes.mid(3 * 512 + 12, 10), Key("K127", 10));
    EXPECT_EQ(Word32(bytes, 3 * 512 + 4 + 18), 2);
    EXPECT_EQ(Word32(bytes, 4 * 512), 28);
    EXPECT_EQ(Word32(bytes, 4 * 512 + 8), 1); // record 0 stored as 1
    EXPECT_EQ(Word32(bytes, 2 * 512), 1);
    EXPECT_EQ(bytes.mid(2 * 512 + 12, 10), Key("K128", 10));
    EXPECT_EQ(t.GetRecordCount(), 29);

    const QList<TLeafEntry> walked = Walk(t);
    ASSERT_EQ(walked.size(), 29);
    for (int i = 0; i < 29; ++i)
        EXPECT_EQ(walked[i].recNo, i);
    t.SetPhysicalRecNo(17);
    EXPECT_EQ(t.GetPhysicalRecNo(), 17);
    EXPECT_EQ(t.GetRecNo(), 17);
    t.SetPhysicalRecNo(99); // not there: the search stops on the last key
    EXPECT_EQ(t.GetPhysicalRecNo(), 28);
}

TEST_F(IndexTagTest, UpdatesFindTheOldKeyWhereverTheTagStandsAndIgnoreLetterCase) {
    IndexTag& t = Open(10);
    QList<QByteArray> keys;
    for (int i = 0; i < 60; ++i) {
        keys.append(Key("key" + QByteArray::number(i * 37 % 60), 10));
        t.AddKey(i, keys.back());
    }
    const QByteArray before = Bytes();
    t.UpdateKey(5, keys[5], keys[5].toUpper());
    EXPECT_EQ(Bytes(), before);

    t.First();
    t.UpdateKey(40, keys[40], Key("aaa", 10));
    keys[40] = Key("aaa", 10);
    const indexcheck::TTreeReport report = CheckTree(Bytes(), Word32(Bytes(), 512), 10);
    EXPECT_EQ(report.problem, "");
    ASSERT_EQ(report.leaves.size(), 60);
    EXPECT_EQ(report.leaves[0], (TLeafEntry{Key("aaa", 10), 41}));
    bool found = false;
    t.FindPath(40, keys[40].constData(), &found);
    EXPECT_TRUE(found);
    EXPECT_EQ(t.GetPhysicalRecNo(), 40);
}

TEST_F(IndexTagTest, RandomChangesKeepTheTreeSound) {
    IndexTag& t = Open(40);
    std::mt19937 random(99);
    std::map<int, QByteArray> live;
    for (int step = 0; step < 1500; ++step) {
        const QByteArray k = Key("w" + QByteArray::number(int(random() % 50)), 40);
        if (live.size() < 10 || random() % 3) {
            const int n = int(live.size());
            t.AddKey(n, k);
            live[n] = k;
        } else {
            auto it = live.begin();
            std::advance(it, random() % live.size());
            t.UpdateKey(it->first, it->second, k);
            it->second = k;
        }
    }
    const indexcheck::TTreeReport report = CheckTree(Bytes(), Word32(Bytes(), 512), 40);
    EXPECT_EQ(report.problem, "");
    EXPECT_EQ(report.leaves.size(), qsizetype(live.size()));
    EXPECT_EQ(Walk(t).size(), qsizetype(live.size()));
}

TEST_F(IndexTagTest, TagsThatNoTreeOfTheFormatHasAreRefused) {
    auto refused = [&](const QByteArray& bytes, int block = 1, int keyLength = 10) {
        WriteAll(dir.filePath("bad.mdx"), bytes);
        TFileRef<TIndexFile> f(new TIndexFile(dir.filePath("bad.mdx"), TPagedMode::Read));
        try {
            IndexTag t(f.get(), block, 0, keyLength);
        } catch (const EBinaryDataSetError& e) {
            return e.Message.contains("is damaged");
        }
        return false;
    };
    EXPECT_FALSE(refused(TagFile(10)));
    EXPECT_TRUE(refused(TagFile(10), 0));     // block 0 is the file header
    EXPECT_TRUE(refused(TagFile(250), 1, 8)); // a page of one key cannot split
    EXPECT_TRUE(refused(TagFile(10), 1, 11)); // a key longer than the tag's
    EXPECT_TRUE(refused(TagFile(10, 'C', 0)));
    EXPECT_TRUE(refused(TagFile(10), 7)); // a tag header beyond the file
    QByteArray overfull = TagFile(10);
    Put(overfull, 2 * 512, 500, 4);
    EXPECT_TRUE(refused(overfull));
    // Nor can a read-only file take keys.
    WriteAll(dir.filePath("ro.mdx"), TagFile(10));
    TFileRef<TIndexFile> ro(new TIndexFile(dir.filePath("ro.mdx"), TPagedMode::Read));
    IndexTag t(ro.get(), 1, 0, 10);
    EXPECT_THROW(t.AddKey(0, Key("x", 10)), EInOutError);
}

} // namespace
