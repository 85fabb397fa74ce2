#pragma once

#include "storage/dbase/MemoLayout.h"
#include "storage/dbtable/TablePagedFile.h"

#include <QBuffer>
#include <QByteArray>
#include <array>
#include <functional>

namespace dbtable {

// The memo file beside a table: block 0 holds the 24-byte header, memo texts start at a
// block and run on over as many blocks as they need. The dBase III form ends a text with
// 0x1A 0x1A; the dBase IV form puts FF FF 08 00 and the length (8 + text) before it.
class TDbtFile : public TPagedFile {
public:
    static constexpr int HeaderLength = 24;

    // `level` is the table's level: 0 gives the dBase III form, others the dBase IV form.
    // Create makes a new one-block file; other modes read the header (a file shorter than
    // it raises the stream read error).
    TDbtFile(const QString& path, int level, TPagedMode mode);

    bool DBase3() const { return form_ == 0; }
    int BlockSize() const { return int(RecordSize()); }
    quint32 NextFreeBlock() const;
    const QByteArray& Header() const { return header_; }

    // The memo text that starts at the block; empty for block 0, for a block beyond the
    // file and for a dBase IV block without its prefix. `stored` (when given) receives the
    // bytes the memo takes in the file: the text with its prefix or its end mark.
    QByteArray ReadMemo(quint32 block, qint64* stored = nullptr);
    // Stores a memo whose text had `oldSize` bytes when it was read from `block` (taking
    // `oldStored` bytes in the file, when known); returns the block where it now starts (0
    // for an empty text, which writes nothing). A text that fits in the old memo's blocks is
    // rewritten there, a longer one goes to the end of the file.
    quint32 WriteMemo(quint32 block, qint64 oldSize, const QByteArray& text, qint64 oldStored = -1);

    memolayout::TMark Mark();
    // Cuts the file back to a mark, as far as it can: it reports nothing.
    void CutBack(const memolayout::TMark& mark) noexcept;

private:
    void writeHeader();

    int form_ = 0;
    QByteArray header_;
    std::array<char, HeaderLength> fileHeader_{}; // the header's bytes as the file holds them
};

// How a memo stream is opened.
enum class TBlobMode { Read, Write, ReadWrite };

// The text of one memo field for one read or write. It is read when the stream is made. In
// Write mode the text written from position 0 is stored when the stream is flushed or freed
// (the text is cut at the stream's position); in ReadWrite mode the whole text is stored
// when it changed. `stored` then receives the memo's block, which the dataset puts into the
// record. A table without memo file fails with EBinaryDataSetError for every stream that
// would have to read or write the file; an empty memo can still be read.
class TMyBlobFile {
public:
    TMyBlobFile(TDbtFile* memo, const QString& memoPath, TBlobMode mode, quint32 block,
                std::function<void(quint32)> stored);
    // Stores the memo unless an exception is under way (then nothing is stored).
    ~TMyBlobFile() noexcept(false);
    TMyBlobFile(const TMyBlobFile&) = delete;
    TMyBlobFile& operator=(const TMyBlobFile&) = delete;

    QBuffer& Stream() { return stream_; }
    TBlobMode Mode() const { return mode_; }
    quint32 Block() const { return block_; }
    qint64 OldSize() const { return oldSize_; }

    // Stores the memo now; later calls and the destructor store nothing more.
    void Flush();

private:
    TDbtFile* memo_;
    TBlobMode mode_;
    quint32 block_;
    qint64 oldSize_ = 0;
    qint64 oldStored_ = 0;
    QByteArray original_;
    QByteArray data_;
    QBuffer stream_;
    std::function<void(quint32)> stored_;
    bool flushed_ = false;
    int exceptionsAtStart_;
};

} // namespace dbtable
