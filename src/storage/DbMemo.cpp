#include "storage/DbMemo.h"

#include "storage/DbCommon.h"
#include "storage/DbfLayout.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace dbdataset {

using dbflayout::get16;
using dbflayout::get32;
using dbflayout::put16;
using dbflayout::put32;

namespace {

constexpr int BlockSizeWord = 20;
const char Dbase4Prefix[4] = {char(0xFF), char(0xFF), 0x08, 0x00};
// Text is read in pieces of this size, so that a length word the file does not back costs
// no memory.
constexpr qint64 ReadPiece = 65536;

} // namespace

TDBTFile::TDBTFile(const QString& fileName, int recreate, bool autoCreate, bool readOnly, int level)
    : TPagedFile(fileName, recreate, autoCreate, readOnly), dbase3_(level < 3) {
    if (IsNew() || recreate == 1) {
        SetHeaderSize(DefaultBlockSize);
        SetRecordSize(DefaultBlockSize);
        FillHeader(0);
        put32(Header(), 1);
        SetRecordCount(0);
        WriteHeader();
        return;
    }
    SetHeaderSize(BlockSizeWord + 2);
    int word = get16(Header() + BlockSizeWord);
    if (word == 0 || word % 128 != 0)
        word = DefaultBlockSize;
    const int blockSize = dbase3_ ? DefaultBlockSize : word;
    SetHeaderSize(blockSize);
    SetRecordSize(blockSize);
    // The corrected word reaches the file with the next header write.
    put16(Header() + BlockSizeWord, quint32(word));
}

quint32 TDBTFile::NextFreeBlock() const {
    return get32(Header());
}

QByteArray TDBTFile::ReadMemo(quint32 block) {
    QByteArray text;
    if (block == 0)
        return text;
    const qint64 start = qint64(block) * BlockSize();
    if (!dbase3_) {
        char head[8];
        if (ReadAt(start, head, 8) != 8 || std::memcmp(head, Dbase4Prefix, 4) != 0)
            return text;
        const qint64 length = qint64(get32(head + 4)) - 8;
        for (qint64 done = 0; done < length;) {
            const int piece = int(std::min(ReadPiece, length - done));
            text.resize(done + piece);
            const int got = ReadAt(start + 8 + done, text.data() + done, piece);
            done += got;
            if (got < piece) {
                text.resize(done);
                break;
            }
        }
        return text;
    }

    char chunk[DefaultBlockSize];
    char previousLast = 0;
    for (qint64 pos = start;; pos += DefaultBlockSize) {
        const int got = ReadAt(pos, chunk, DefaultBlockSize);
        if (got <= 0)
            break;
        for (int i = 0; i < std::min(got, DefaultBlockSize - 1); ++i) {
            const bool pair = chunk[i] == 0x1A && i + 1 < got && chunk[i + 1] == 0x1A;
            const bool straddling = i == 0 && chunk[0] == 0x1A && previousLast == 0x1A;
            if (chunk[i] == '\0' || pair || straddling) {
                // A mark that began in the block before: its first half is not text.
                if (straddling)
                    text.chop(1);
                return text.append(chunk, i);
            }
        }
        text.append(chunk, got);
        previousLast = chunk[got - 1];
    }
    return text;
}

quint32 TDBTFile::WriteMemo(quint32 block, qint64 oldSize, const QByteArray& text) {
    const qint64 size = text.size();
    if (size == 0)
        return 0;
    const qint64 blockSize = BlockSize();
    const qint64 overhead = dbase3_ ? 2 : 8;
    // Written in one piece of whole blocks.
    if (size + overhead > qint64(INT_MAX) - blockSize)
        throw EDbfFileError("Memo too long : " + QString::number(size));
    const qint64 needed = (size + overhead + blockSize - 1) / blockSize;
    const qint64 old = (oldSize + blockSize - 1) / blockSize;
    const bool atEnd = block == 0 || needed > old;
    if (atEnd) {
        // After everything the file holds: a next free block pointing into existing memos
        // would overwrite them, one far beyond the end would bloat the file.
        const qint64 endBlock = std::max<qint64>(1, (FileSize() + blockSize - 1) / blockSize);
        if (endBlock + needed > qint64(UINT32_MAX))
            throw EDbfFileError("Memo file full : " + Path());
        block = quint32(endBlock);
    }

    QByteArray out;
    out.reserve(needed * blockSize);
    if (!dbase3_) {
        char head[8];
        std::memcpy(head, Dbase4Prefix, 4);
        put32(head + 4, quint32(size + 8));
        out.append(head, 8);
    }
    out.append(text);
    if (dbase3_)
        out.append("\x1A\x1A", 2);
    out.append(QByteArray(needed * blockSize - out.size(), '\0'));
    WriteAt(qint64(block) * blockSize, out.constData(), int(out.size()));

    if (atEnd) {
        put32(Header(), quint32(block + needed));
        WriteHeader();
    }
    return block;
}

} // namespace dbdataset
