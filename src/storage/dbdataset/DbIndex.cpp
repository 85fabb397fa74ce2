#include "storage/dbdataset/DbIndex.h"

#include "storage/dbase/DbfLayout.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <numeric>
#include <vector>

namespace dbdataset {

using namespace dbindex;
using dbflayout::get16;
using dbflayout::put16;
using dbflayout::put32;

namespace {

constexpr int MaxFieldName = 255;
constexpr int FieldNameRead = 232;

} // namespace

TIndexFile::TIndexFile(const QString& fileName, int recreate, bool autoCreate, bool readOnly)
    : TPagedFile(fileName, recreate, autoCreate, readOnly), TIndexTree(TRules::Dataset) {
    SetRecordSize(PageSize);
    SetHeaderSize(PageSize);
    if (recreate == 1) {
        Clear();
        return;
    }
    const int length = get16(Header() + HdrKeyLength);
    if (length > MaxKeyLength)
        throw EDbfEngineError(QStringLiteral("The index file \"%1\" has keys of %2 bytes; at "
                                             "most %3 are supported.")
                                  .arg(fileName)
                                  .arg(length)
                                  .arg(MaxKeyLength));
    // A page counter beyond the file's end would place new pages far out in the file.
    if (!ShapeIsSound(EntryBytes / (MaxKeyLength + 8)) || HighestPageNo() > RecordCount())
        Damaged();
    ResetRoot(RootPageNo(), false);
    BuildLevels();
}

void TIndexFile::Clear() {
    put32(Header() + HdrRoot, 1);
    put32(Header() + HdrHighest, 1);
    WriteHeader();
    SetRecordCount(1);
    // An empty leaf, written with its first key.
    ResetRoot(1, true);
    BuildLevels();
}

void TIndexFile::InitHeader(int keyOffset, int keyLength, const QString& fieldName) {
    if (keyLength < 1 || keyLength > MaxKeyLength)
        throw EDbfEngineError(
            QStringLiteral("Cannot create an index with keys of %1 bytes; at most %2 are "
                           "supported.")
                .arg(keyLength)
                .arg(MaxKeyLength));
    FillHeader(0);
    char* h = Header();
    put32(h + HdrRoot, 1);
    put32(h + HdrHighest, 1);
    h[HdrKeyType] = 'C';
    h[11] = 0x58;
    put16(h + HdrKeyLength, quint32(keyLength));
    put16(h + HdrKeysPerPage, quint32(EntryBytes / (keyLength + 8)));
    put16(h + HdrEntrySize, quint32(keyLength + 8));
    const QByteArray name = ToTableText(fieldName.toUpper(), fieldName).left(MaxFieldName);
    std::memcpy(h + FieldNameOffset, name.constData(), size_t(name.size()));
    WriteHeader();
    SetRecordCount(0);
    SetShape('C', keyLength);
    KeyOffset = keyOffset;
    KeyLength = keyLength;
    // Page 1 lies beyond the file's end until Clear adds it.
    ResetRoot(1, true);
}

namespace {

// Pages numbered one after the other, gathered and written in runs.
class TPageRun {
public:
    explicit TPageRun(std::function<void(int, const char*, int)> write)
        : write_(std::move(write)), pages_(size_t(RunPages) * PageSize) {}
    // Page n, all zero, to be filled before the next call; n follows the page before.
    char* Next(int n) {
        if (used_ == RunPages)
            Flush();
        if (used_ == 0)
            first_ = n;
        char* page = pages_.data() + size_t(used_++) * PageSize;
        std::memset(page, 0, PageSize);
        return page;
    }
    void Flush() {
        if (used_ > 0)
            write_(first_, pages_.data(), used_);
        used_ = 0;
    }

private:
    static constexpr int RunPages = 256;
    std::function<void(int, const char*, int)> write_;
    std::vector<char> pages_;
    int first_ = 0;
    int used_ = 0;
};

// Eight bytes of a key from `from` on, letters folded, as a number that orders like them;
// bytes at or beyond `end` count as zero.
quint64 foldedWord(const char* key, int from, int end) {
    quint64 w = 0;
    for (int i = from; i < from + 8; ++i)
        w = w << 8 | (i < end ? quint8(FoldLetter(key[i])) : 0);
    return w;
}

} // namespace

void TIndexFile::SortFolded(const QByteArray& keys, int count, std::vector<int>& order) const {
    // Keys made from records hold no NUL, so the bytes alone decide, letters folded.
    const int length = StoredKeyLength();
    const int compared = KeyLength > 0 ? std::min(KeyLength, length) : length;
    const char* all = keys.constData();
    auto keyAt = [&](int record) { return all + qsizetype(record) * length; };
    // What all keys share is passed over, and the next 16 bytes go with each record into the
    // array that is sorted: most comparisons then stay within it.
    int common = compared;
    for (int i = 1; i < count && common > 0; ++i) {
        const char* key = keyAt(i);
        int same = 0;
        while (same < common && FoldLetter(key[same]) == FoldLetter(all[same]))
            ++same;
        common = same;
    }
    struct TSortKey {
        quint64 high;
        quint64 low;
        int record;
    };
    std::vector<TSortKey> sorted(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        sorted[size_t(i)] = {foldedWord(keyAt(i), common, compared),
                             foldedWord(keyAt(i), common + 8, compared), i};
    std::sort(sorted.begin(), sorted.end(), [&](const TSortKey& a, const TSortKey& b) {
        if (a.high != b.high)
            return a.high < b.high;
        if (a.low != b.low)
            return a.low < b.low;
        const char* x = keyAt(a.record);
        const char* y = keyAt(b.record);
        for (int i = common + 16; i < compared; ++i)
            if (FoldLetter(x[i]) != FoldLetter(y[i]))
                return quint8(FoldLetter(x[i])) < quint8(FoldLetter(y[i]));
        return a.record < b.record;
    });
    for (int i = 0; i < count; ++i)
        order[size_t(i)] = sorted[size_t(i)].record;
}

void TIndexFile::BuildFromKeys(const QByteArray& keys, int count) {
    const int length = StoredKeyLength();
    if (count <= 0 || keys.size() < qsizetype(count) * length)
        return;
    const char* key = keys.constData();
    auto keyAt = [&](int record) { return key + qsizetype(record) * length; };

    // The records in key order; equal keys in record order.
    std::vector<int> order(static_cast<size_t>(count));
    if (CharacterKeys()) {
        SortFolded(keys, count, order);
    } else {
        std::iota(order.begin(), order.end(), 0);
        std::sort(order.begin(), order.end(), [&](int a, int b) {
            const int c = CompareKeys(keyAt(a), keyAt(b));
            return c != 0 ? c < 0 : a < b;
        });
    }

    // A page of the level being laid, and where in `order` the greatest key under it stands.
    struct Node {
        int page;
        int last;
    };
    const int perPage = KeysPerPage();
    const int size = EntrySize();
    TPageRun run([this](int first, const char* pages, int n) {
        WriteAt(qint64(first) * PageSize, pages, n * PageSize);
    });
    int nextPage = 1;
    std::vector<Node> level;
    // Spread evenly, so that no page but the root is left nearly empty.
    auto share = [](int items, int pages, int i) { return items / pages + (i < items % pages); };
    const int leaves = (count + perPage - 1) / perPage;
    for (int i = 0, at = 0; i < leaves; ++i) {
        const int n = share(count, leaves, i);
        char* page = run.Next(nextPage);
        put32(page, quint32(n));
        for (int j = 0; j < n; ++j) {
            char* entry = page + 4 + j * size;
            const int record = order[size_t(at + j)];
            put32(entry + 4, quint32(record + 1));
            std::memcpy(entry + 8, keyAt(record), size_t(length));
        }
        at += n;
        level.push_back({nextPage++, at - 1});
    }
    // Each upper page names up to perPage + 1 children, the last in its trailing slot.
    while (level.size() > 1) {
        std::vector<Node> upper;
        const int children = int(level.size());
        const int pages = (children + perPage) / (perPage + 1);
        for (int i = 0, at = 0; i < pages; ++i) {
            const int n = share(children, pages, i);
            char* page = run.Next(nextPage);
            put32(page, quint32(n - 1));
            for (int j = 0; j < n; ++j) {
                char* entry = page + 4 + j * size;
                const Node& child = level[size_t(at + j)];
                put32(entry, quint32(child.page));
                if (j < n - 1)
                    std::memcpy(entry + 8, keyAt(order[size_t(child.last)]), size_t(length));
            }
            at += n;
            upper.push_back({nextPage++, level[size_t(at - 1)].last});
        }
        level.swap(upper);
    }
    run.Flush();
    UpdateRecordCount();
    put32(Header() + HdrRoot, quint32(level.front().page));
    put32(Header() + HdrHighest, quint32(nextPage - 1));
    WriteHeader();
    ResetRoot(level.front().page, false);
    BuildLevels();
}

QString TIndexFile::KeyFieldName() const {
    const char* name = Header() + FieldNameOffset;
    return FromTableText(QByteArray(name, qsizetype(qstrnlen(name, FieldNameRead))));
}

void TIndexFile::Damaged() const {
    throw EDbfEngineError(QStringLiteral("The index file \"%1\" is damaged.").arg(Path()));
}

bool TIndexCursor::GotoRecord(int recNo, const char* record) {
    bool found = false;
    if (file_->KeyLength > 0) {
        const QByteArray key = file_->KeyOfRecord(record);
        file_->FindPath(recNo, key.constData(), &found);
    }
    if (!found)
        file_->LeafPage()->GotoEntry(-1);
    return found;
}

} // namespace dbdataset
