#pragma once

#include "storage/dbase/IndexTree.h"
#include "storage/dbtable/TablePagedFile.h"

#include <QByteArray>

namespace dbtable {

// The multi-tag index file (".mdx") beside a table, as far as this engine uses it: the file
// is opened and shared with the table and its 48-byte file header is read; no tag is loaded
// and the index never orders or changes anything. Pages are 512 bytes from the file's start.
class TIndexFile : public TPagedFile {
public:
    static constexpr int HeaderLength = 48;
    static constexpr int PageSize = 512;

    // Reads the file header when the file name's extension is exactly ".mdx". The index plays
    // no part in reading or writing the table, so a file too short for its header is no
    // reason to refuse the table: the missing bytes read as zero and HeaderComplete() is
    // false.
    TIndexFile(const QString& path, TPagedMode mode);

    const QByteArray& Header() const { return header_; }
    bool HeaderComplete() const { return complete_; }
    // The number of tags the file header announces.
    int TagCount() const;

private:
    QByteArray header_;
    bool complete_ = false;
};

using TIndexPage = dbindex::TIndexPage;

// One tag of the multi-tag index file: its 280-byte tag header, which starts the block
// HeaderBlock and has the first 24 bytes of an index header (root page, highest page, key
// type, key length, keys per page, entry size), and the tree of its key. Record numbers are
// counted from 0 here and stored counted from 1. Every change of the root or of the page
// counter rewrites the tag header. Pages are handed out beyond everything the file holds, so
// that the tags of one file never share a page.
//
// A tag's page must hold two keys (keys of at most 244 bytes).
class IndexTag : public dbindex::TIndexTree {
public:
    static constexpr int TagHeaderLength = 280;
    static constexpr int MaxKeyLength = 244;

    // Reads the tag header at block headerBlock (1 or more) and walks the tree down from its
    // root. The key is the keyLength bytes at keyOffset of a record image; it may not be
    // longer than the key the tag header describes. A tag header or page that no tree of
    // this format can have raises EBinaryDataSetError.
    IndexTag(TIndexFile* file, int headerBlock, int keyOffset, int keyLength);

    TIndexFile* File() const { return file_; }
    int HeaderBlock() const { return headerBlock_; }
    const QByteArray& TagHeader() const { return tagHeader_; }

    TIndexPage* FindPath(int recNo, const char* key, bool* found = nullptr) {
        return TIndexTree::FindPath(recNo + 1, key, found);
    }
    void AddKey(int recNo, const char* record) { InsertRecordKey(recNo + 1, record); }
    // The old key of the record is found by its value and the record number, whichever
    // position the tag stands at, and replaced when the key changed (letter case aside).
    void UpdateKey(int recNo, const char* oldRecord, const char* newRecord) {
        UpdateRecordKey(recNo + 1, oldRecord, newRecord);
    }
    int GetRecordCount() { return EstimatedKeyCount(); }
    int GetRecNo() { return Position(); }
    // The record number of the current key, -1 before the first or after the last.
    int GetPhysicalRecNo();
    // Stands on the key of record n: from the first key on until it is found or the keys end.
    void SetPhysicalRecNo(int n);

    [[noreturn]] void Damaged() const override;

protected:
    char* TreeHeader() override { return tagHeader_.data(); }
    void WriteTreeHeader() override;
    void ReadPage(int n, char* page) override;
    void WritePage(int n, const char* page) override;
    int PagesInFile() const override;
    int PagesInFileNow() override;

private:
    TIndexFile* file_;
    int headerBlock_;
    QByteArray tagHeader_;
};

} // namespace dbtable
