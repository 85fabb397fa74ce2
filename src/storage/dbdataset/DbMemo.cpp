#include "storage/dbdataset/DbMemo.h"

#include "storage/dbase/DbfLayout.h"
#include "storage/dbase/MemoLayout.h"
#include "storage/dbdataset/DbCommon.h"

#include <climits>
#include <cstring>

namespace dbdataset {

using dbflayout::get16;
using dbflayout::get32;
using dbflayout::put16;
using dbflayout::put32;

using memolayout::BlockSizeWord;

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
    const int word = memolayout::SettledBlockWord(get16(Header() + BlockSizeWord));
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
    if (block == 0)
        return QByteArray();
    return memolayout::ReadMemoText(
        dbase3_, qint64(block) * BlockSize(),
        [this](qint64 pos, char* data, qint64 count) { return ReadAt(pos, data, int(count)); },
        [this] { return FileSize(); });
}

quint32 TDBTFile::WriteMemo(quint32 block, qint64 oldSize, const QByteArray& text) {
    const qint64 size = text.size();
    if (size == 0)
        return 0;
    const qint64 blockSize = BlockSize();
    const qint64 overhead = memolayout::Overhead(dbase3_);
    // Written in one piece of whole blocks.
    if (size + overhead > qint64(INT_MAX) - blockSize)
        throw EDbfFileError("Memo too long : " + QString::number(size));
    const qint64 needed = memolayout::BlocksFor(size + overhead, blockSize);
    bool atEnd = false;
    if (!memolayout::PlaceMemo(block, needed, memolayout::BlocksFor(oldSize, blockSize), FileSize(),
                               blockSize, atEnd))
        throw EDbfFileError("Memo file full : " + Path());
    QByteArray out = memolayout::StoredForm(text, dbase3_);
    out.append(QByteArray(needed * blockSize - out.size(), '\0'));
    WriteAt(qint64(block) * blockSize, out.constData(), int(out.size()));
    if (atEnd) {
        put32(Header(), quint32(block + needed));
        WriteHeader();
    }
    return block;
}

memolayout::TMark TDBTFile::Mark() {
    return memolayout::MarkOf(FileSize(), HeaderSize(), [this](qint64 pos, char* data, int n) {
        return ReadAt(pos, data, n);
    });
}

void TDBTFile::CutBack(const memolayout::TMark& mark) noexcept {
    memolayout::CutBack(
        mark, Header(), [this] { return FileSize(); }, [this](qint64 size) { Truncate(size); },
        [this](qint64 pos, char* data, int n) { return ReadAt(pos, data, n); },
        [this](qint64 pos, const char* data, int n) { WriteAt(pos, data, n); });
}

} // namespace dbdataset
