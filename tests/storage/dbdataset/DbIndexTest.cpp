#include "storage/dbdataset/DbIndex.h"
#include "IndexTreeCheck.h"
#include "StorageTestSupport.h"

#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <random>

using namespace dbdataset;
using indexcheck::CheckTree;
using indexcheck::Folded;
using indexcheck::Key;
using indexcheck::TLeafEntry;
using indexcheck::Word16;
using indexcheck::Word32;
using storagetest::ReadAll;

namespace {

// The keys of the leaves in walking order, forwards or backwards, through the cursor.
QList<TLeafEntry> Walk(TIndexCursor& c, bool backwards = false) {
    QList<TLeafEntry> out;
    backwards ? c.Last() : c.First();
    while (backwards ? c.Prior() : c.Next()) {
        if (c.GetPhysicalRecNo() < 0)
            break;
        TIndexPage* leaf = c.LeafPage();
        const int length = c.IndexFile()->HeaderKeyLength();
        out.append({QByteArray(leaf->Entry() + 8, length), c.GetPhysicalRecNo()});
    }
    return out;
}

class DbIndexTest : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return dir.filePath(name); }

    // A new, empty character index on keys of `length` bytes at the start of each record.
    TIndexFile* Make(const QString& name, int length, int offset = 0) {
        auto* f = new TIndexFile(Path(name), 1, true, false);
        f->InitHeader(offset, length, "KEY");
        f->Clear();
        return f;
    }
    void Check(TIndexFile* f, const QList<TLeafEntry>& expected) {
        const indexcheck::TTreeReport report =
            CheckTree(ReadAll(f->Path()), f->RootPageNo(), f->HeaderKeyLength());
        EXPECT_EQ(report.problem, "") << f->Path().toStdString();
        EXPECT_EQ(report.leaves, expected);
    }

    QTemporaryDir dir;
};

TEST_F(DbIndexTest, NewIndexIsAHeaderAndOneEmptyLeaf) {
    TIndexCursor c(Make("empty.mdx", 10));
    const QByteArray file = ReadAll(Path("empty.mdx"));
    ASSERT_EQ(file.size(), 1024);
    EXPECT_EQ(Word32(file, 0), 1); // root
    EXPECT_EQ(Word32(file, 4), 1); // highest page
    EXPECT_EQ(file[9], 'C');
    EXPECT_EQ(quint8(file[11]), 0x58);
    EXPECT_EQ(Word16(file, 12), 10);
    EXPECT_EQ(Word16(file, 14), 28);
    EXPECT_EQ(Word16(file, 18), 18);
    EXPECT_EQ(file.mid(24, 4), QByteArray("KEY\0", 4));
    EXPECT_EQ(file.mid(512), QByteArray(512, '\0'));
    EXPECT_EQ(c.IndexFile()->KeyFieldName(), "KEY");

    // An empty index still reports a step from before its first key, onto no record.
    c.First();
    EXPECT_TRUE(c.Next());
    EXPECT_EQ(c.GetPhysicalRecNo(), -1);
    EXPECT_FALSE(c.Next());
    c.Last();
    EXPECT_FALSE(c.Prior());
    EXPECT_EQ(c.GetRecordCount(), 1);
}

TEST_F(DbIndexTest, TwentyNinthAscendingKeySplitsThePageAsTheFormatSays) {
    TIndexCursor c(Make("split.mdx", 10));
    for (int i = 0; i < 29; ++i)
        c.Insert(i + 1, Key("K" + QByteArray::number(100 + i), 10));
    const QByteArray file = ReadAll(Path("split.mdx"));
    ASSERT_EQ(file.size(), 4 * 512);
    EXPECT_EQ(Word32(file, 0), 2); // root
    EXPECT_EQ(Word32(file, 4), 3); // highest page

    const QByteArray root = file.mid(2 * 512, 512);
    EXPECT_EQ(Word32(root, 0), 1);
    EXPECT_EQ(Word32(root, 4), 3); // entry 0 names page 3 ...
    EXPECT_EQ(Word32(root, 8), 0);
    EXPECT_EQ(root.mid(12, 10), Key("K125", 10)); // ... with its greatest key
    EXPECT_EQ(Word32(root, 4 + 18), 1);           // the trailing slot names page 1

    const QByteArray low = file.mid(3 * 512, 512);
    ASSERT_EQ(Word32(low, 0), 26);
    for (int i = 0; i < 26; ++i) {
        EXPECT_EQ(Word32(low, 4 + i * 18), 0);
        EXPECT_EQ(Word32(low, 8 + i * 18), i + 1);
        EXPECT_EQ(low.mid(12 + i * 18, 10), Key("K" + QByteArray::number(100 + i), 10));
    }
    const QByteArray high = file.mid(512, 512);
    ASSERT_EQ(Word32(high, 0), 3);
    EXPECT_EQ(high.mid(12, 10), Key("K126", 10));
    EXPECT_EQ(high.mid(12 + 2 * 18, 10), Key("K128", 10));
    EXPECT_EQ(Word32(high, 8 + 2 * 18), 29);

    // Deleting the greatest key of a leaf puts the next greatest into the entry above.
    bool found = false;
    c.FindPath(26, Key("K125", 10).constData(), &found);
    ASSERT_TRUE(found);
    c.DeleteCurrentKey();
    const QByteArray after = ReadAll(Path("split.mdx"));
    EXPECT_EQ(Word32(after, 3 * 512), 25);
    EXPECT_EQ(after.mid(2 * 512 + 12, 10), Key("K124", 10));
    EXPECT_EQ(c.GetRecordCount(), 2 * 29);
}

TEST_F(DbIndexTest, KeysIgnoreLetterCaseAndEqualKeysStandInRecordNumberOrder) {
    TIndexCursor c(Make("eq.mdx", 10));
    c.Insert(5, Key("abd", 10));
    c.Insert(2, Key("abc", 10));
    c.Insert(1, Key("ABC", 10));
    QList<TLeafEntry> walked = Walk(c);
    ASSERT_EQ(walked.size(), 3);
    EXPECT_EQ(walked[0], (TLeafEntry{Key("ABC", 10), 1}));
    EXPECT_EQ(walked[1], (TLeafEntry{Key("abc", 10), 2}));
    EXPECT_EQ(walked[2], (TLeafEntry{Key("abd", 10), 5}));

    // Equal keys over many pages, inserted in any order, still come in record-number order,
    // and each of them is found again: the separators above say nothing of record numbers.
    TIndexCursor same(Make("same.mdx", 10));
    std::vector<int> recNos(200);
    for (int i = 0; i < 200; ++i)
        recNos[size_t(i)] = i + 1;
    std::mt19937 random(7);
    std::shuffle(recNos.begin(), recNos.end(), random);
    QList<TLeafEntry> expected;
    for (int n : recNos)
        same.Insert(n, Key(n % 2 ? "same" : "SAME", 10));
    for (int n = 1; n <= 200; ++n)
        expected.append({Key(n % 2 ? "same" : "SAME", 10), n});
    Check(same.IndexFile(), expected);
    EXPECT_EQ(Walk(same), expected);
    for (int n = 1; n <= 200; ++n) {
        bool found = false;
        same.FindPath(n, Key("Same", 10).constData(), &found);
        EXPECT_TRUE(found) << n;
        EXPECT_EQ(same.GetPhysicalRecNo(), n);
    }
}

TEST_F(DbIndexTest, PositionsLeadBackToTheirKeysWhileTheTreeKeepsItsShape) {
    TIndexCursor c(Make("pos.mdx", 40));
    for (int i = 0; i < 300; ++i)
        c.Insert(i + 1, Key(QByteArray::number((i * 7919) % 1000), 40));
    std::vector<std::pair<int, int>> seen;
    c.First();
    while (c.Next())
        seen.emplace_back(c.GetRecNo(), c.GetPhysicalRecNo());
    ASSERT_EQ(seen.size(), 300u);
    for (size_t i = 1; i < seen.size(); ++i)
        EXPECT_LT(seen[i - 1].first, seen[i].first);
    EXPECT_GE(c.GetRecordCount(), 300);
    for (const auto& [position, recNo] : seen) {
        c.GotoBookmark(position);
        EXPECT_EQ(c.GetPhysicalRecNo(), recNo);
        EXPECT_EQ(c.GetBookmark(), position);
    }
}

TEST_F(DbIndexTest, UpdatesTouchTheIndexOnlyWhenTheKeyBytesChange) {
    TIndexCursor c(Make("upd.mdx", 10, 1));
    const QByteArray a = " alpha     ";
    const QByteArray b = " beta      ";
    c.Insert(1, a);
    c.Insert(2, b);
    const QByteArray before = ReadAll(Path("upd.mdx"));
    c.Update(1, a, a);
    EXPECT_EQ(ReadAll(Path("upd.mdx")), before);
    // Another letter case is another key text: it is stored, the order stays.
    c.Update(1, a, " ALPHA     ");
    EXPECT_NE(ReadAll(Path("upd.mdx")), before);
    EXPECT_EQ(Walk(c), (QList<TLeafEntry>{{Key("ALPHA", 10), 1}, {Key("beta", 10), 2}}));
    // Whatever position the index stands at, the record's own old entry goes.
    c.First();
    c.Update(2, b, " aaa       ");
    EXPECT_EQ(Walk(c), (QList<TLeafEntry>{{Key("aaa", 10), 2}, {Key("ALPHA", 10), 1}}));
}

TEST_F(DbIndexTest, DeletingEveryKeyLeavesAnEmptyIndexThatTakesKeysAgain) {
    TIndexCursor c(Make("all.mdx", 120));
    for (int i = 1; i <= 40; ++i)
        c.Insert(i, Key("key" + QByteArray::number(i), 120));
    for (int i = 1; i <= 40; ++i) {
        bool found = false;
        c.FindPath(i, Key("key" + QByteArray::number(i), 120).constData(), &found);
        ASSERT_TRUE(found) << i;
        c.DeleteCurrentKey();
    }
    Check(c.IndexFile(), {});
    EXPECT_TRUE(Walk(c).isEmpty());
    c.Insert(7, Key("again", 120));
    Check(c.IndexFile(), {{Key("again", 120), 7}});
}

TEST_F(DbIndexTest, HeadersTheTreeCannotKeepAreRefused) {
    auto refused = [&](const QByteArray& header) -> QString {
        storagetest::WriteAll(Path("bad.mdx"), header + QByteArray(512, '\0'));
        try {
            TIndexFile f(Path("bad.mdx"), 0, false, false);
        } catch (const EDbfEngineError& e) {
            EXPECT_EQ(TPagedFile::FindOpenFile(Path("bad.mdx")), nullptr);
            return e.Message;
        }
        return "opened";
    };
    auto header = [](int root, int length, int perPage, int entry) {
        QByteArray h(512, '\0');
        h[0] = char(root);
        h[4] = char(root);
        h[9] = 'C';
        h[12] = char(length & 0xFF);
        h[13] = char(length >> 8);
        h[14] = char(perPage);
        h[18] = char(entry & 0xFF);
        h[19] = char(entry >> 8);
        return h;
    };
    const QString damaged = "The index file \"" + Path("bad.mdx") + "\" is damaged.";
    EXPECT_EQ(refused(header(1, 200, 2, 208)),
              "The index file \"" + Path("bad.mdx") +
                  "\" has keys of 200 bytes; at most 160 are supported.");
    EXPECT_EQ(refused(header(1, 10, 28, 18)), "opened");
    EXPECT_EQ(refused(header(0, 10, 28, 18)), damaged); // no root
    EXPECT_EQ(refused(header(1, 10, 30, 18)), damaged); // keys per page do not follow
    EXPECT_EQ(refused(header(1, 10, 28, 20)), damaged); // nor the entry size
    EXPECT_EQ(refused(header(1, 0, 63, 8)), damaged);   // no key
    EXPECT_EQ(refused(QByteArray()), damaged);          // an empty file
    QByteArray numeric = header(1, 4, 42, 12);
    numeric[9] = 'N';
    EXPECT_EQ(refused(numeric), damaged); // a double does not fit its key area
    // A root whose page claims more keys than a page holds.
    QByteArray overfull = header(1, 10, 28, 18) + QByteArray(512, '\0');
    overfull[512] = 29;
    storagetest::WriteAll(Path("over.mdx"), overfull);
    EXPECT_THROW(TIndexFile(Path("over.mdx"), 0, false, false), EDbfEngineError);
}

// The index against a model: several indexes at once, keys of 10, 40 and 120 bytes (28, 10 and
// 3 keys a page) from a small set in random letter case, so that pages split often and equal
// keys abound, under random inserts, updates and deletes.
TEST_F(DbIndexTest, RandomChangesKeepEveryIndexEqualToItsModel) {
    struct Field {
        int offset;
        int length;
    };
    const Field fields[] = {{0, 10}, {10, 40}, {50, 120}};
    constexpr int RecordLength = 170;
    std::vector<TIndexCursor*> cursors;
    std::vector<std::unique_ptr<TIndexCursor>> owned;
    for (int i = 0; i < 3; ++i) {
        owned.push_back(std::make_unique<TIndexCursor>(
            Make(QString("model%1.mdx").arg(i), fields[i].length, fields[i].offset)));
        cursors.push_back(owned.back().get());
    }
    std::mt19937 random(20240611);
    auto word = [&] {
        QByteArray w = "k" + QByteArray::number(int(random() % 60));
        for (char& ch : w)
            if (random() % 2)
                ch = char(std::toupper(ch));
        return w;
    };
    auto record = [&] {
        QByteArray r(RecordLength, ' ');
        for (const Field& f : fields)
            r.replace(f.offset, f.length, Key(word(), f.length));
        return r;
    };
    std::map<int, QByteArray> live;
    int next = 1;
    auto expected = [&](int i) {
        std::vector<std::pair<QByteArray, int>> keys;
        for (const auto& [n, r] : live)
            keys.emplace_back(r.mid(fields[i].offset, fields[i].length), n);
        std::sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) {
            const QByteArray fa = Folded(a.first);
            const QByteArray fb = Folded(b.first);
            return fa != fb ? fa < fb : a.second < b.second;
        });
        QList<TLeafEntry> out;
        for (const auto& [k, n] : keys)
            out.append({k, n});
        return out;
    };
    auto verify = [&](int step) {
        for (int i = 0; i < 3; ++i) {
            SCOPED_TRACE(QString("index %1 after %2 changes").arg(i).arg(step).toStdString());
            const QList<TLeafEntry> model = expected(i);
            Check(cursors[size_t(i)]->IndexFile(), model);
            EXPECT_EQ(Walk(*cursors[size_t(i)]), model);
            QList<TLeafEntry> back = Walk(*cursors[size_t(i)], true);
            std::reverse(back.begin(), back.end());
            EXPECT_EQ(back, model);
            for (const auto& [n, r] : live) {
                bool found = false;
                cursors[size_t(i)]->FindPath(n, r.constData() + fields[i].offset, &found);
                EXPECT_TRUE(found) << n;
            }
        }
    };

    for (int step = 1; step <= 4000; ++step) {
        const int choice = int(random() % 100);
        if (choice < 45 || live.size() < 5) {
            const QByteArray r = record();
            for (TIndexCursor* c : cursors)
                c->Insert(next, r.constData());
            live[next++] = r;
        } else {
            auto it = live.begin();
            std::advance(it, random() % live.size());
            if (choice < 80) {
                QByteArray changed = it->second;
                const Field& f = fields[random() % 3];
                changed.replace(f.offset, f.length, Key(word(), f.length));
                for (TIndexCursor* c : cursors)
                    c->Update(it->first, it->second.constData(), changed.constData());
                it->second = changed;
            } else {
                for (size_t i = 0; i < cursors.size(); ++i) {
                    bool found = false;
                    cursors[i]->FindPath(it->first, it->second.constData() + fields[i].offset,
                                         &found);
                    ASSERT_TRUE(found);
                    cursors[i]->DeleteCurrentKey();
                }
                live.erase(it);
            }
        }
        if (step % 1000 == 0)
            verify(step);
    }

    // The files alone, opened again, hold the same trees.
    owned.clear();
    ASSERT_TRUE(TPagedFile::OpenFiles().empty());
    for (int i = 0; i < 3; ++i) {
        auto* f = new TIndexFile(Path(QString("model%1.mdx").arg(i)), 0, false, false);
        f->KeyOffset = fields[i].offset;
        f->KeyLength = fields[i].length;
        f->CheckEveryPage(next - 1); // sound, whatever the changes did to its shape
        owned.push_back(std::make_unique<TIndexCursor>(f));
        cursors[size_t(i)] = owned.back().get();
    }
    verify(0);
}

} // namespace
