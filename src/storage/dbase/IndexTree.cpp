#include "storage/dbase/IndexTree.h"

#include "storage/dbase/DbfLayout.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <exception>

namespace dbindex {

using dbflayout::get16;
using dbflayout::get32;
using dbflayout::put32;

namespace {

// Weights stop growing here: positions stay sums that cannot overflow, and anything this large
// lies beyond the 32-bit positions a cursor hands out anyway.
constexpr qint64 WeightCap = qint64(1) << 40;

qint64 grownWeight(qint64 lower, int keysPerPage) {
    return std::min(WeightCap, lower * (keysPerPage + 1));
}

int clampToInt(qint64 v) {
    return int(std::clamp<qint64>(v, INT_MIN, INT_MAX));
}

int childOf(const char* entry) {
    return qint32(get32(entry));
}

int recNoOf(const char* entry) {
    return qint32(get32(entry + 4));
}

int compareDoubles(double a, double b) {
    if (std::isnan(a) || std::isnan(b))
        return std::isnan(a) == std::isnan(b) ? 0 : (std::isnan(a) ? 1 : -1);
    return a < b ? -1 : (a > b ? 1 : 0);
}

} // namespace

// ---------------------------------------------------------------- one level

TIndexPage::TIndexPage(TIndexTree* owner) : OwnerFile(owner) {}

void TIndexPage::SetCount(int n) {
    put32(Page.data(), quint32(n));
}

void TIndexPage::GotoEntry(int i) {
    if (OwnerFile->Rules() == TRules::Table) {
        EntryNo = i;
        return;
    }
    const bool valid = i >= 0 && i <= Count() && qint64(i) * OwnerFile->EntrySize() <= PageSize;
    EntryNo = valid ? i : -1;
}

int TIndexPage::LastEntryNo() const {
    const int last = HasLowerLevel() ? Count() : Count() - 1;
    return OwnerFile->Rules() == TRules::Dataset ? std::max(last, 0) : last;
}

bool TIndexPage::PriorEntry() {
    if (EntryNo <= 0)
        return false;
    GotoEntry(EntryNo - 1);
    return true;
}

bool TIndexPage::NextEntry() {
    if (EntryNo >= LastEntryNo())
        return false;
    GotoEntry(EntryNo + 1);
    return true;
}

bool TIndexPage::NextKey() {
    if (HasLowerLevel() && LowerPage()->NextKey())
        return true;
    if (!NextEntry())
        return false;
    if (HasLowerLevel())
        LowerPage()->DescendFirst();
    return true;
}

bool TIndexPage::PriorKey() {
    if (HasLowerLevel() && LowerPage()->PriorKey())
        return true;
    if (!PriorEntry())
        return false;
    if (HasLowerLevel())
        LowerPage()->DescendLast();
    return true;
}

void TIndexPage::DescendFirst() {
    FirstEntry();
    if (HasLowerLevel())
        LowerPage()->DescendFirst();
}

void TIndexPage::DescendLast() {
    LastEntry();
    if (HasLowerLevel())
        LowerPage()->DescendLast();
}

TIndexPage* TIndexPage::LowerPage() {
    if (!LowerLevel)
        return nullptr;
    if (const char* e = Entry()) {
        const int child = childOf(e);
        if (child != LowerLevel->PageNo)
            LowerLevel->LoadPage(child);
    }
    return LowerLevel.get();
}

void TIndexPage::LoadPage(int n) {
    if (n == PageNo)
        return;
    // Page 0 is the header: an upper entry naming it, or nothing, is damage.
    if (n < 1)
        OwnerFile->Refuse();
    // A page that names a page of its own path would make the walk go round in a circle.
    for (const TIndexPage* p = UpperLevel; p; p = p->UpperLevel)
        if (p->PageNo == n)
            OwnerFile->Refuse();
    for (const TIndexPage* p = LowerLevel.get(); p; p = p->LowerLevel.get())
        if (p->PageNo == n)
            OwnerFile->Refuse();
    Page.fill(0);
    PageNo = n;
    EntryNo = -1;
    OwnerFile->ReadPageChecked(n, Page.data());
    if (!OwnerFile->PageIsSound(*this)) {
        Page.fill(0);
        PageNo = -1;
        OwnerFile->Refuse();
    }
    if (OwnerFile->met_)
        OwnerFile->Meet(n);
}

void TIndexPage::WritePage() {
    OwnerFile->StorePage(PageNo, Page.data());
}

int TIndexPage::FindKey(int recNo, const char* key) {
    const int count = Count();
    int levelsBelow = 0;
    for (const TIndexPage* p = LowerLevel.get(); p; p = p->LowerLevel.get())
        ++levelsBelow;
    for (int i = 0; i < count; ++i) {
        GotoEntry(i);
        const char* e = EntryAt(i);
        const int c = OwnerFile->CompareKeys(key, e + 8);
        if (c > 0)
            continue;
        if (c < 0)
            return -1;
        // An equal key: the record numbers decide where it stands. Above the leaves the
        // entry holds no record number, so the last one of its subtree is looked up: a key
        // equal to a separator may belong on either side of it.
        if (levelsBelow == 0) {
            const int stored = recNoOf(e);
            if (recNo == stored)
                return 0;
            if (recNo < stored)
                return -1;
        } else if (recNo < 1 || recNo <= OwnerFile->GreatestRecNo(childOf(e), levelsBelow)) {
            return -1;
        }
    }
    GotoEntry(count);
    return 1;
}

void TIndexPage::SetEntry(int recNo, const char* key, int child) {
    char* e = Entry();
    if (!e)
        OwnerFile->Refuse();
    if (EntryNo == Count()) {
        // The trailing slot keeps no key: the page's greatest key is held one level up.
        if (UpperLevel)
            UpperLevel->SetEntry(0, key, PageNo);
    } else if (key) {
        char* at = e + 8;
        if (OwnerFile->CharacterKeys()) {
            const int length = OwnerFile->HeaderKeyLength();
            int n = 0;
            while (n < length && key[n] != '\0') {
                at[n] = key[n];
                ++n;
            }
            std::memset(at + n, ' ', size_t(length - n));
        } else {
            std::memcpy(at, key, 8);
        }
    }
    put32(e, quint32(child));
    put32(e + 4, quint32(recNo));
    WritePage();
}

bool TIndexPage::InsertEntry(int recNo, const char* key, int child) {
    const int count = Count();
    if (count >= OwnerFile->KeysPerPage())
        return false;
    if (EntryNo < 0 || EntryNo > count)
        OwnerFile->Refuse();
    const int size = OwnerFile->EntrySize();
    std::memmove(EntryAt(EntryNo + 1), EntryAt(EntryNo), size_t((count - EntryNo) * size + 8));
    SetCount(count + 1);
    SetEntry(recNo, key, child);
    return true;
}

bool TIndexPage::DeleteEntry() {
    int count = Count();
    if (count < 0)
        return false;
    if (EntryNo < 0 || EntryNo > count)
        OwnerFile->Refuse();
    // The entries after the current one and the trailing slot move down; removing the
    // trailing slot makes the last entry the trailing slot.
    const int moved = (count - EntryNo - 1) * OwnerFile->EntrySize() + 8;
    if (moved > 0)
        std::memmove(EntryAt(EntryNo), EntryAt(EntryNo + 1), size_t(moved));
    SetCount(--count);
    WritePage();
    const bool emptied = HasLowerLevel() ? count < 0 : count == 0;
    if (emptied) {
        if (UpperLevel)
            UpperLevel->DeleteEntry();
    } else if (EntryNo > LastEntryNo()) {
        // The page's greatest key changed.
        GotoEntry(LastEntryNo());
        if (UpperLevel && Entry())
            UpperLevel->SetEntry(0, Entry() + 8, PageNo);
    }
    return true;
}

int TIndexPage::SplitPoint(int current, int count) const {
    if (OwnerFile->Rules() == TRules::Dataset)
        return std::max(2, std::min(current, count - 2));
    return std::max(current, OwnerFile->KeysPerPage() / 2);
}

void TIndexPage::InsertKey(int recNo, const char* key, int child) {
    if (InsertEntry(recNo, key, child))
        return;
    if (!UpperLevel)
        OwnerFile->AddRootLevel();
    const int e = EntryNo;
    const int count = Count();
    if (e < 0 || e > count)
        OwnerFile->Refuse();
    const int s = SplitPoint(e, count);
    const int size = OwnerFile->EntrySize();
    const bool leaf = !HasLowerLevel();

    // The lower keys go to a new page; this page keeps the upper ones and its number.
    const int newPageNo = OwnerFile->NewPageNo();
    std::array<char, PageBufferSize> fresh{};
    std::memcpy(fresh.data() + 4, EntryAt(0), size_t(s * size));
    put32(fresh.data(), quint32(leaf ? s : s - 1));
    std::memmove(EntryAt(0), EntryAt(s), size_t((count - s) * size + 8));
    SetCount(count - s);
    OwnerFile->StorePage(newPageNo, fresh.data());
    WritePage();

    // The new page's greatest key (above the leaves its trailing slot, whose bytes are the
    // last entry copied) names it one level up.
    const char* lastEntry = fresh.data() + 4 + (s - 1) * size;
    const QByteArray lastKey(lastEntry + 8, OwnerFile->StoredKeyLength());
    UpperLevel->InsertKey(0, lastKey.constData(), newPageNo);

    if (s <= e) {
        UpperLevel->NextEntry();
        UpperLevel->LowerPage();
        GotoEntry(e - s);
    } else {
        UpperLevel->LowerPage();
        GotoEntry(e);
    }
    if (!InsertEntry(recNo, key, child))
        OwnerFile->Refuse();
}

// ---------------------------------------------------------------- the tree

TIndexTree::TIndexTree(TRules rules)
    : rules_(rules), rootLevel_(std::make_unique<TIndexPage>(this)) {}

TIndexTree::~TIndexTree() = default;

int TIndexTree::RootPageNo() {
    return qint32(get32(TreeHeader() + HdrRoot));
}

int TIndexTree::HighestPageNo() {
    return qint32(get32(TreeHeader() + HdrHighest));
}

void TIndexTree::SetShape(char keyType, int keyLength) {
    keyType_ = keyType;
    headerKeyLength_ = keyLength;
    keysPerPage_ = EntryBytes / (keyLength + 8);
}

bool TIndexTree::ShapeIsSound(int minKeysPerPage) {
    const char* h = TreeHeader();
    const int length = get16(h + HdrKeyLength);
    const int entrySize = get16(h + HdrEntrySize);
    const int keysPerPage = get16(h + HdrKeysPerPage);
    if (length < 1 || entrySize != length + 8 || keysPerPage != EntryBytes / entrySize ||
        keysPerPage < minKeysPerPage || qint32(get32(h + HdrRoot)) < 1)
        return false;
    // Other keys are doubles of 8 bytes, which the key area must hold.
    if (h[HdrKeyType] != 'C' && length < 8)
        return false;
    SetShape(h[HdrKeyType], length);
    return true;
}

void TIndexTree::ResetRoot(int n, bool empty) {
    levelsKnown_ = false;
    rootLevel_ = std::make_unique<TIndexPage>(this);
    if (empty)
        rootLevel_->PageNo = n;
    else
        rootLevel_->LoadPage(n);
}

int TIndexTree::Levels() const {
    int n = 0;
    for (const TIndexPage* p = rootLevel_.get(); p; p = p->LowerLevel.get())
        ++n;
    return n;
}

void TIndexTree::BuildLevels() {
    levelsKnown_ = false;
    rootLevel_->LowerLevel.reset();
    TIndexPage* level = rootLevel_.get();
    int depth = 1;
    for (;;) {
        const int child = childOf(level->EntryAt(0));
        if (child == 0)
            break;
        if (++depth > MaxLevels)
            Refuse();
        auto lower = std::make_unique<TIndexPage>(this);
        lower->UpperLevel = level;
        level->LowerLevel = std::move(lower);
        level = level->LowerLevel.get();
        level->LoadPage(child);
    }
    level->Weight = 1;
    for (; level->UpperLevel; level = level->UpperLevel)
        level->UpperLevel->Weight = grownWeight(level->Weight, keysPerPage_);
    // Each level's page can now be held against its place in the tree.
    levelsKnown_ = true;
    for (const TIndexPage* p = rootLevel_.get(); p; p = p->LowerLevel.get())
        if (p->PageNo >= 1 && !PageIsSound(*p))
            Refuse();
}

void TIndexTree::Meet(int n) {
    std::vector<bool>& met = *met_;
    if (size_t(n) >= met.size())
        met.resize(size_t(n) + 1);
    if (met[size_t(n)])
        Refuse();
    met[size_t(n)] = true;
}

void TIndexTree::CheckEveryPage(int lastRecNo) {
    std::vector<bool> met(size_t(std::max(PagesInFile(), 0)) + 1);
    std::vector<bool> shown(size_t(std::max(lastRecNo, 0)) + 1);
    {
        met_ = &met;
        struct TStop {
            TIndexTree* tree;
            ~TStop() { tree->met_ = nullptr; }
        } stop{this};
        // The walk starts on the pages the levels hold: the first page of each.
        First();
        for (const TIndexPage* p = rootLevel_.get(); p; p = p->LowerLevel.get())
            Meet(p->PageNo);
        QByteArray before(StoredKeyLength(), '\0');
        int beforeRecNo = 0;
        while (Next()) {
            TIndexPage* leaf = LeafPage();
            const char* e = leaf->Entry();
            if (!e || leaf->EntryNo >= leaf->Count())
                break; // an empty index
            const int recNo = recNoOf(e);
            const int c = beforeRecNo > 0 ? CompareKeys(before.constData(), e + 8) : -1;
            if (recNo > lastRecNo || shown[size_t(recNo)] || c > 0 ||
                (c == 0 && rules_ == TRules::Dataset && recNo <= beforeRecNo))
                Refuse();
            shown[size_t(recNo)] = true;
            // A leaf's last key is the key of the entry that leads to it from above (through
            // the last children of the levels between), or a search would miss its keys.
            if (leaf->EntryNo == leaf->Count() - 1) {
                const TIndexPage* up = leaf->UpperLevel;
                while (up && up->EntryNo == up->Count())
                    up = up->UpperLevel;
                if (up && CompareKeys(e + 8, up->EntryAt(up->EntryNo) + 8) != 0)
                    Refuse();
            }
            std::memcpy(before.data(), e + 8, size_t(before.size()));
            beforeRecNo = recNo;
        }
    }
    First();
}

void TIndexTree::Refuse() const {
    damaged_ = true;
    Damaged();
    std::terminate(); // Damaged raises; an override that did not would leave no way on
}

bool TIndexTree::PageInFile(int n) {
    return n >= 1 && (n <= PagesInFile() || n <= PagesInFileNow());
}

void TIndexTree::ReadPageChecked(int n, char* page) {
    if (damaged_ || !PageInFile(n))
        Refuse();
    ReadPage(n, page);
}

void TIndexTree::StorePage(int n, const char* page) {
    // A page is written where the file holds one, or right after its end.
    if (damaged_ || n < 1 || (n - 1 > PagesInFile() && n - 1 > PagesInFileNow()))
        Refuse();
    WritePage(n, page);
}

bool TIndexTree::PageIsSound(const TIndexPage& level) {
    const int count = level.Count();
    if (count < 0 || count > keysPerPage_)
        return false;
    if (!levelsKnown_)
        return true;
    const bool leaf = !level.HasLowerLevel();
    if (leaf) {
        // Only the root of an empty index is an empty leaf: splits leave at least two keys in
        // each page, and a leaf that loses its last key leaves the tree.
        if (count == 0 && level.UpperLevel && rules_ == TRules::Dataset)
            return false;
        for (int i = 0; i < count; ++i)
            if (childOf(level.EntryAt(i)) != 0 || recNoOf(level.EntryAt(i)) < 1)
                return false;
    } else {
        for (int i = 0; i <= count; ++i)
            if (!PageInFile(childOf(level.EntryAt(i))))
                return false;
    }
    for (int i = 1; i < count; ++i) {
        const char* before = level.EntryAt(i - 1);
        const char* entry = level.EntryAt(i);
        const int c = CompareKeys(before + 8, entry + 8);
        if (c > 0 ||
            (c == 0 && leaf && rules_ == TRules::Dataset && recNoOf(before) >= recNoOf(entry)))
            return false;
    }
    return true;
}

int TIndexTree::NewPageNo() {
    // A counter beyond the file's end would place the new page far out in the file.
    if (damaged_ || (HighestPageNo() > PagesInFile() && HighestPageNo() > PagesInFileNow()))
        Refuse();
    const qint64 next = qint64(std::max(HighestPageNo(), PagesInFile())) + 1;
    if (next > INT_MAX)
        Refuse();
    put32(TreeHeader() + HdrHighest, quint32(next));
    WriteTreeHeader();
    return int(next);
}

void TIndexTree::AddRootLevel() {
    if (Levels() >= MaxLevels)
        Refuse();
    const int n = NewPageNo();
    auto root = std::make_unique<TIndexPage>(this);
    root->PageNo = n;
    root->Weight = grownWeight(rootLevel_->Weight, keysPerPage_);
    TIndexPage* old = rootLevel_.get();
    old->UpperLevel = root.get();
    root->LowerLevel = std::move(rootLevel_);
    rootLevel_ = std::move(root);
    put32(TreeHeader() + HdrRoot, quint32(n));
    WriteTreeHeader();
    rootLevel_->GotoEntry(0);
    rootLevel_->SetEntry(0, nullptr, old->PageNo);
}

QByteArray TIndexTree::KeyOfRecord(const char* record) const {
    QByteArray key(StoredKeyLength(), ' ');
    KeyOfRecord(record, key.data());
    return key;
}

void TIndexTree::KeyOfRecord(const char* record, char* key) const {
    const char* source = record + KeyOffset;
    if (!CharacterKeys()) {
        std::memcpy(key, source, 8);
        return;
    }
    const int length = std::max(0, std::min(KeyLength, headerKeyLength_));
    const void* end = std::memchr(source, '\0', size_t(length));
    const int n = end ? int(static_cast<const char*>(end) - source) : length;
    std::memcpy(key, source, size_t(n));
    std::memset(key + n, ' ', size_t(headerKeyLength_ - n));
}

int TIndexTree::CompareKeys(const char* key, const char* stored) const {
    if (!CharacterKeys()) {
        double a = 0;
        double b = 0;
        std::memcpy(&a, key, 8);
        std::memcpy(&b, stored, 8);
        return compareDoubles(a, b);
    }
    const int length = KeyLength > 0 ? std::min(KeyLength, headerKeyLength_) : headerKeyLength_;
    for (int i = 0; i < length && stored[i] != '\0'; ++i) {
        if (key[i] == stored[i])
            continue;
        const quint8 a = quint8(FoldLetter(key[i]));
        const quint8 b = quint8(FoldLetter(stored[i]));
        if (a != b)
            return a < b ? -1 : 1;
    }
    return 0;
}

bool TIndexTree::KeysDiffer(const char* oldRecord, const char* newRecord) const {
    const char* a = oldRecord + KeyOffset;
    const char* b = newRecord + KeyOffset;
    const bool fold = rules_ == TRules::Table;
    for (int i = 0; i < KeyLength; ++i) {
        const char x = fold ? FoldLetter(a[i]) : a[i];
        const char y = fold ? FoldLetter(b[i]) : b[i];
        if (x != y)
            return true;
        if (x == '\0')
            return false;
    }
    return false;
}

int TIndexTree::GreatestRecNo(int n, int levelsBelow) {
    std::array<char, PageBufferSize> page{};
    for (int depth = levelsBelow;; --depth) {
        page.fill(0);
        ReadPageChecked(n, page.data());
        const int count = qint32(get32(page.data()));
        if (count < 0 || count > keysPerPage_)
            Refuse();
        const char* entries = page.data() + 4;
        if (depth <= 1)
            return count > 0 ? recNoOf(entries + (count - 1) * EntrySize()) : 0;
        n = childOf(entries + count * EntrySize());
    }
}

TIndexPage* TIndexTree::FindPath(int recNo, const char* key, bool* found) {
    if (found)
        *found = false;
    TIndexPage* level = rootLevel_.get();
    for (;;) {
        if (level->FindKey(recNo, key) == 0) {
            if (found)
                *found = true;
            return level;
        }
        if (!level->HasLowerLevel())
            return level;
        level = level->LowerPage();
    }
}

void TIndexTree::DeleteCurrentKey() {
    TIndexPage* level = rootLevel_.get();
    while (level->HasLowerLevel())
        level = level->LowerPage();
    level->DeleteEntry();
    // The root lost its last child: every key is gone, and the root is an empty leaf again.
    TIndexPage* root = rootLevel_.get();
    if (root->HasLowerLevel() && root->Count() < 0) {
        root->LowerLevel.reset();
        root->Page.fill(0);
        root->EntryNo = -1;
        root->Weight = 1;
        root->WritePage();
    }
}

TIndexPage* TIndexTree::LeafPage() {
    TIndexPage* level = rootLevel_.get();
    while (level->HasLowerLevel())
        level = rules_ == TRules::Table ? level->LowerPage() : level->LowerLevel.get();
    return level;
}

void TIndexTree::First() {
    rootLevel_->DescendFirst();
    TIndexPage* leaf = LeafPage();
    leaf->GotoEntry(leaf->EntryNo - 1);
}

void TIndexTree::Last() {
    rootLevel_->DescendLast();
    TIndexPage* leaf = LeafPage();
    leaf->GotoEntry(leaf->EntryNo + 1);
}

int TIndexTree::StoredRecNo() {
    TIndexPage* level = rootLevel_.get();
    for (;;) {
        if (!level->Entry())
            return -1;
        if (!level->HasLowerLevel())
            break;
        level = level->LowerLevel.get();
    }
    if (level->EntryNo >= level->Count())
        return -1;
    return recNoOf(level->Entry());
}

int TIndexTree::Position() {
    qint64 position = 0;
    for (const TIndexPage* p = rootLevel_.get(); p; p = p->LowerLevel.get())
        position += qint64(p->EntryNo) * p->Weight;
    return clampToInt(position);
}

void TIndexTree::GotoPosition(int position) {
    qint64 p = position;
    for (TIndexPage* level = rootLevel_.get(); level;) {
        level->GotoEntry(clampToInt(p / level->Weight));
        p %= level->Weight;
        if (!level->HasLowerLevel())
            break;
        level = level->LowerPage();
    }
}

int TIndexTree::EstimatedKeyCount() {
    const qint64 count = rootLevel_->Count() + (rules_ == TRules::Dataset ? 1 : 0);
    return int(std::clamp<qint64>(count * rootLevel_->Weight, 0, INT_MAX));
}

void TIndexTree::InsertRecordKey(int recNo, const char* record) {
    if (KeyLength == 0)
        return;
    const QByteArray key = KeyOfRecord(record);
    bool found = false;
    TIndexPage* leaf = FindPath(recNo, key.constData(), &found);
    if (!found)
        leaf->InsertKey(recNo, key.constData(), 0);
}

void TIndexTree::UpdateRecordKey(int recNo, const char* oldRecord, const char* newRecord) {
    if (KeyLength == 0 || !KeysDiffer(oldRecord, newRecord))
        return;
    const QByteArray oldKey = KeyOfRecord(oldRecord);
    bool found = false;
    FindPath(recNo, oldKey.constData(), &found);
    if (found)
        DeleteCurrentKey();
    InsertRecordKey(recNo, newRecord);
}

} // namespace dbindex
