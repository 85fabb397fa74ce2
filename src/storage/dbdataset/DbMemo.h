#pragma once

#include "storage/dbase/MemoLayout.h"
#include "storage/dbdataset/DbPagedFile.h"

#include <QByteArray>

namespace dbdataset {

// The memo file (".dbt") beside a second-generation table: block 0 is the header, whose first
// four bytes hold the next free block; a memo starts at a block and runs on over as many
// blocks as it needs. The dBase III form (tables of levels below 3) ends a text with 0x1A
// 0x1A in blocks of 512 bytes; the dBase IV form puts FF FF 08 00 and the length (8 + text)
// before it, in blocks of the header's block size word (512 when the word is 0 or not a
// multiple of 128). The file is read and written in whole blocks, the header being one.
class TDBTFile : public TPagedFile {
public:
    static constexpr int DefaultBlockSize = memolayout::DefaultBlockSize;

    // Opens the memo file, or creates it (one zero header block but for the next free
    // block 1) when this open made it or recreate is 1. `level` is the table's level.
    TDBTFile(const QString& fileName, int recreate, bool autoCreate, bool readOnly, int level);

    bool DBase3() const { return dbase3_; }
    int BlockSize() const { return RecordSize(); }
    quint32 NextFreeBlock() const;

    // The text of the memo that starts at the block; empty for block 0, a block beyond the
    // file and a dBase IV block without its prefix. Never more than the file holds.
    QByteArray ReadMemo(quint32 block);
    // Stores a memo whose text had oldSize bytes when it was read from `block`; returns the
    // block where it now starts (0 for an empty text, which writes nothing). A text that fits
    // its old blocks is rewritten there; a longer one starts after everything the file
    // holds, and the next free block then lies behind it.
    quint32 WriteMemo(quint32 block, qint64 oldSize, const QByteArray& text);

    memolayout::TMark Mark();
    // Cuts the file back to a mark, as far as it can: it reports nothing.
    void CutBack(const memolayout::TMark& mark) noexcept;

private:
    bool dbase3_;
};

} // namespace dbdataset
