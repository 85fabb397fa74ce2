#pragma once

#include "storage/dbase/IndexTree.h"
#include "storage/dbdataset/DbCursor.h"

#include <QString>
#include <vector>

namespace dbdataset {

// Errors of the engine: an index it cannot open or build, a field it cannot find.
ORV_DECLARE_EXCEPTION(EDbfEngineError, Exception)

using TIndexPage = dbindex::TIndexPage;

// The index file of one key: block 0 is the header (root page, highest page, key type 'C' or
// another for 8-byte doubles, key length, keys per page, entry size, the key field's name from
// byte 24), every further 512-byte block a page of the tree. Pages are never freed.
//
// The longest key it keeps is 160 bytes: a page must hold three keys for a split to leave
// two pages that each can take the key being inserted.
class TIndexFile : public TPagedFile, public dbindex::TIndexTree {
public:
    static constexpr int MaxKeyLength = 160;
    static constexpr int FieldNameOffset = 24;

    // Opens or creates the file. Recreate 1 empties it (Clear); otherwise the header must
    // describe a tree this engine can keep (EDbfEngineError names the file) and the tree is
    // walked down from its root.
    TIndexFile(const QString& fileName, int recreate, bool autoCreate, bool readOnly);

    // Makes the header of a new character index on the field and cuts the file to it.
    void InitHeader(int keyOffset, int keyLength, const QString& fieldName);
    // Root and highest page 1, the file the header and one empty page.
    void Clear();
    // An empty index (as Clear leaves it) takes the keys of records 1 to count in one pass:
    // `keys` holds them in record order, StoredKeyLength bytes each as KeyOfRecord makes
    // them. The leaves are filled in key order, equal keys in record order, and the levels
    // above them are laid over them; each page is written once.
    void BuildFromKeys(const QByteArray& keys, int count);
    // The key field's name in the header (at most 232 characters).
    QString KeyFieldName() const;

    [[noreturn]] void Damaged() const override;

protected:
    char* TreeHeader() override { return Header(); }
    void WriteTreeHeader() override { WriteHeader(); }
    void ReadPage(int n, char* page) override { ReadRecord(n, page); }
    void WritePage(int n, const char* page) override { WriteRecord(n, page); }
    int PagesInFile() const override { return RecordCount(); }
    int PagesInFileNow() override {
        UpdateRecordCount();
        return RecordCount();
    }

private:
    // The records 0 to count - 1 by their character keys, letter case aside; equal keys in
    // record order.
    void SortFolded(const QByteArray& keys, int count, std::vector<int>& order) const;
};

// Walks a table in the key order of one index file. The position is the index file's: every
// cursor over one file stands where the last of them moved it. Bookmarks and record numbers
// are approximate positions (each level's entry number times its weight); they name the same
// key only while the tree keeps its shape.
class TIndexCursor : public TVirtualCursor {
public:
    explicit TIndexCursor(TIndexFile* file) : TVirtualCursor(file), file_(file) {}

    TIndexFile* IndexFile() const { return file_; }

    bool Next() override { return file_->Next(); }
    bool Prior() override { return file_->Prior(); }
    void First() override { file_->First(); }
    void Last() override { file_->Last(); }
    int GetPhysicalRecNo() override { return file_->StoredRecNo(); }
    int GetRecordCount() override { return file_->EstimatedKeyCount(); }
    int GetRecNo() override { return file_->Position(); }
    void SetPhysicalRecNo(int) override {}
    int GetBookmark() override { return file_->Position(); }
    void GotoBookmark(int bookmark) override { file_->GotoPosition(bookmark); }
    // The record's key is added.
    void Insert(int recNo, const char* record) override { file_->InsertRecordKey(recNo, record); }
    // When the record's key changed, its old entry (found by the old key and the record
    // number) goes and the new key is added.
    void Update(int recNo, const char* oldRecord, const char* newRecord) override {
        file_->UpdateRecordKey(recNo, oldRecord, newRecord);
    }

    TIndexPage* FindPath(int recNo, const char* key, bool* found = nullptr) {
        return file_->FindPath(recNo, key, found);
    }
    void DeleteCurrentKey() { file_->DeleteCurrentKey(); }
    TIndexPage* LeafPage() { return file_->LeafPage(); }
    // Stands on the entry of record recNo, whose image is `record`; false, with no current
    // record, when the index holds no such entry.
    bool GotoRecord(int recNo, const char* record);

private:
    TIndexFile* file_;
};

} // namespace dbdataset
