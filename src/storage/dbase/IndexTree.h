#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <array>
#include <memory>
#include <vector>

// The B-tree of one index key over 512-byte pages, as both table engines keep it: the
// second-generation index file (dbdataset::TIndexFile) and the tags of the multi-tag index
// file beside a table (dbtable::IndexTag). The two keep the same pages and walk them alike;
// where they differ the tree follows its TRules.
//
// Page: a signed 32-bit count n, then n entries of (child page, record number, key) of
// KeyLength + 8 bytes, then a trailing slot (child page, record number). Leaves hold one entry
// per record in key order, equal keys in record-number order, child 0. An upper page holds one
// entry per child but the last, whose key is the greatest key of that child's subtree; its
// trailing slot names the last child. All leaves lie at one depth. There is exactly one page
// object per level, linked from the root down; moving through the tree reloads pages into
// them, and every change is written at once.
namespace dbindex {

inline constexpr int PageSize = 512;
// A page in memory: the trailing slot's record number and its key may lie beyond the 512
// stored bytes; they are kept in memory only.
inline constexpr int PageBufferSize = 1024;
// The deepest tree walked: far beyond what 2^31 records need, and a bound on damaged files
// whose pages name each other in a circle.
inline constexpr int MaxLevels = 48;

// The first 24 bytes of the header of a tree (header block or tag header); little-endian.
inline constexpr int HdrRoot = 0;         // 32 bits: root page
inline constexpr int HdrHighest = 4;      // 32 bits: highest page handed out
inline constexpr int HdrKeyType = 9;      // 'C' for character keys, else 8-byte doubles
inline constexpr int HdrKeyLength = 12;   // 16 bits
inline constexpr int HdrKeysPerPage = 14; // 16 bits: 504 div (key length + 8)
inline constexpr int HdrEntrySize = 18;   // 16 bits: key length + 8
inline constexpr int EntryBytes = 504;    // room for entries after the count

// Character keys compare with the letters a to z as A to Z.
inline char FoldLetter(char c) {
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

// Which engine's tree: they differ in the points listed at each operation.
enum class TRules {
    Table,   // the multi-tag index of the table engine of the windows
    Dataset, // the index file of the second-generation engine
};

class TIndexTree;

// One level of the tree in memory: the page it holds and its current entry.
class TIndexPage {
public:
    explicit TIndexPage(TIndexTree* owner);
    TIndexPage(const TIndexPage&) = delete;
    TIndexPage& operator=(const TIndexPage&) = delete;

    TIndexTree* OwnerFile;
    int PageNo = -1;  // -1 before the first load
    int EntryNo = -1; // -1: no current entry
    std::unique_ptr<TIndexPage> LowerLevel;
    TIndexPage* UpperLevel = nullptr;
    std::array<char, PageBufferSize> Page{};
    // Positions below this level's entries: 1 at the leaves, (keys per page + 1) times the
    // level below elsewhere.
    qint64 Weight = 1;

    bool HasLowerLevel() const { return LowerLevel != nullptr; }
    int Count() const;
    // The current entry; none when EntryNo names no entry or trailing slot of the page.
    char* Entry();
    char* EntryAt(int i) { return Page.data() + EntryOffset(i); }
    const char* EntryAt(int i) const { return Page.data() + EntryOffset(i); }

    // Entry i becomes current. Dataset rules: only 0 to Count (the trailing slot), anything
    // else leaves no current entry. Table rules: the number is kept as it is, and only a
    // number within the page has an entry.
    void GotoEntry(int i);
    // The last entry a walk stops at: Count - 1 at the leaves, Count (the trailing slot)
    // above; never below 0 under the dataset rules.
    int LastEntryNo() const;
    void FirstEntry() { GotoEntry(0); }
    void LastEntry() { GotoEntry(LastEntryNo()); }
    bool PriorEntry();
    bool NextEntry();
    bool PriorKey();
    bool NextKey();
    void DescendFirst();
    void DescendLast();
    // The level below, holding the child page of the current entry.
    TIndexPage* LowerPage();
    void LoadPage(int n);
    void WritePage();

    // Within this page: -1 with the entry current before which the key belongs, 0 with the
    // entry of that key and record number current (leaves only), 1 with the trailing slot
    // current when the key belongs after every entry.
    int FindKey(int recNo, const char* key);
    void SetEntry(int recNo, const char* key, int child);
    bool InsertEntry(int recNo, const char* key, int child);
    bool DeleteEntry();
    // Inserts at the current entry, splitting a full page.
    void InsertKey(int recNo, const char* key, int child);

private:
    int EntryOffset(int i) const;
    void SetCount(int n);
    int SplitPoint(int current, int count) const;
};

// The tree of one key. A subclass keeps the header and moves the pages.
class TIndexTree {
public:
    explicit TIndexTree(TRules rules);
    virtual ~TIndexTree();
    TIndexTree(const TIndexTree&) = delete;
    TIndexTree& operator=(const TIndexTree&) = delete;

    TRules Rules() const { return rules_; }
    TIndexPage* RootLevel() const { return rootLevel_.get(); }

    // The key as the header describes it (set by ReadShape or SetShape).
    char KeyType() const { return keyType_; }
    bool CharacterKeys() const { return keyType_ == 'C'; }
    int HeaderKeyLength() const { return headerKeyLength_; }
    int KeysPerPage() const { return keysPerPage_; }
    int EntrySize() const { return headerKeyLength_ + 8; }
    // Bytes a key takes in an entry: the key length for character keys, 8 for the others.
    int StoredKeyLength() const { return CharacterKeys() ? headerKeyLength_ : 8; }

    // Where the key lies in a record image and how many of its bytes count; a KeyLength of
    // 0 keeps the index as it is whatever the records do.
    int KeyOffset = 0;
    int KeyLength = 0;

    int RootPageNo();
    int HighestPageNo();

    // Frees the levels below the root and walks down again along entry 0.
    void BuildLevels();
    // Walks every key from the first to the last: each page is to be met once, keys in order
    // (equal keys in record-number order under the dataset rules) and as the entries above
    // them say, each record number once and at most `lastRecNo`. A page that two entries
    // name, or that stands at two depths, would show its records twice and hide others, and
    // refuses the tree like any other damage.
    void CheckEveryPage(int lastRecNo);
    // A new root above the old one; its trailing slot names the old root.
    void AddRootLevel();
    // A page number no page of the file uses yet; the header is written.
    int NewPageNo();

    // Character keys: up to KeyLength bytes at KeyOffset, up to a NUL, blank-padded to the
    // key length. Other keys: the 8 bytes there.
    QByteArray KeyOfRecord(const char* record) const;
    // The same into `key`, which has room for StoredKeyLength bytes.
    void KeyOfRecord(const char* record, char* key) const;
    // Character keys: at most KeyLength bytes, up to a NUL in the stored key, letters a to z
    // as A to Z, other bytes unsigned. Other keys: as doubles, NaN after every number.
    int CompareKeys(const char* key, const char* stored) const;
    // Whether an update changes the key of a record: dataset rules compare bytes, case
    // counting; table rules ignore the case of a to z. Both stop at a NUL.
    bool KeysDiffer(const char* oldRecord, const char* newRecord) const;

    // From the root down to the level where the key belongs: its entry when found (a leaf
    // entry with that key and record number; `found` tells), else the insertion point.
    TIndexPage* FindPath(int recNo, const char* key, bool* found = nullptr);
    // Removes the key at the current entry of the leaf level.
    void DeleteCurrentKey();
    TIndexPage* LeafPage();

    bool Next() { return rootLevel_->NextKey(); }
    bool Prior() { return rootLevel_->PriorKey(); }
    // Before the first key, after the last.
    void First();
    void Last();
    // The record number of the current leaf entry as stored; -1 before the first or after
    // the last key, or when some level has no current entry.
    int StoredRecNo();
    // Approximate positions: the sum of each level's entry number times its weight.
    int Position();
    void GotoPosition(int position);
    // An upper estimate of the number of keys.
    int EstimatedKeyCount();

    // The key of a record added; nothing when it is there already.
    void InsertRecordKey(int recNo, const char* record);
    // The record's old key, found by its value and the record number, replaced by its new
    // one; nothing when the key did not change.
    void UpdateRecordKey(int recNo, const char* oldRecord, const char* newRecord);

    // Raises the engine's error for a file whose tree cannot be right.
    [[noreturn]] virtual void Damaged() const = 0;
    // Raises that error and keeps the tree from then on from reading or writing any page,
    // so that a damaged file is never made worse.
    [[noreturn]] void Refuse() const;
    bool IsDamaged() const { return damaged_; }

protected:
    // The header of the tree in memory (at least 24 bytes) and writing it.
    virtual char* TreeHeader() = 0;
    virtual void WriteTreeHeader() = 0;
    // Page n as 512 bytes (zero where the file ends), and writing it.
    virtual void ReadPage(int n, char* page) = 0;
    virtual void WritePage(int n, const char* page) = 0;
    // The highest page number the file holds, as last seen, and as the file system tells now
    // (another program may have added pages).
    virtual int PagesInFile() const = 0;
    virtual int PagesInFileNow() { return PagesInFile(); }

    // Takes the key's shape from the header; a shape the tree cannot keep (a key too long
    // for minKeysPerPage keys in a page, sizes that do not agree) raises `refuse`'s error.
    bool ShapeIsSound(int minKeysPerPage);
    void SetShape(char keyType, int keyLength);
    // A fresh root level holding page n (loaded, or all zero when `empty`).
    void ResetRoot(int n, bool empty);

    // Page n when the file holds it; otherwise the tree is refused.
    void ReadPageChecked(int n, char* page);
    // Writes page n, which the file holds or which is the next page after its end.
    void StorePage(int n, const char* page);
    // Whether the page `level` holds can stand there: a count within the page and, once the
    // levels' places are known, children within the file above the leaves, record numbers
    // and no children in the leaves, and keys in order.
    bool PageIsSound(const TIndexPage& level);

private:
    friend class TIndexPage;
    // The record number of the last key under child page n, whose level has levelsBelow
    // levels under it.
    int GreatestRecNo(int n, int levelsBelow);
    int Levels() const;
    bool PageInFile(int n);
    // CheckEveryPage meets page n; a page met before refuses the tree.
    void Meet(int n);

    TRules rules_;
    std::unique_ptr<TIndexPage> rootLevel_;
    char keyType_ = 'C';
    int headerKeyLength_ = 0;
    int keysPerPage_ = 0;
    mutable bool damaged_ = false;
    // The pages met so far while CheckEveryPage walks; none at other times.
    std::vector<bool>* met_ = nullptr;
    // While BuildLevels walks down, the levels' places are not known yet.
    bool levelsKnown_ = false;
};

inline int TIndexPage::EntryOffset(int i) const {
    return 4 + i * OwnerFile->EntrySize();
}

inline int TIndexPage::Count() const {
    const auto* p = reinterpret_cast<const unsigned char*>(Page.data());
    return qint32(quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24);
}

inline char* TIndexPage::Entry() {
    if (EntryNo < 0 || EntryNo > Count() || EntryNo > OwnerFile->KeysPerPage())
        return nullptr;
    return EntryAt(EntryNo);
}

} // namespace dbindex
