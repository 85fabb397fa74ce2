#include "storage/dbtable/DbtMemoFile.h"

#include "storage/dbase/DbfLayout.h"
#include "storage/dbase/MemoLayout.h"

#include <QFileInfo>
#include <cstring>
#include <exception>

namespace dbtable {

using dbflayout::get16;
using dbflayout::get32;
using dbflayout::put16;
using dbflayout::put32;
using memolayout::DefaultBlockSize;

TDbtFile::TDbtFile(const QString& path, int level, TPagedMode mode)
    : TPagedFile(path, mode), form_(level == 0 ? 0 : 1), header_(HeaderLength, '\0') {
    if (mode == TPagedMode::Create) {
        put32(header_.data(), 1);
        const QByteArray name = QFileInfo(path).fileName().toLatin1().left(8);
        std::memcpy(header_.data() + 8, name.constData(), size_t(name.size()));
        header_[18] = 2;
        header_[19] = 1;
    } else {
        ReadExact(0, header_.data(), HeaderLength);
    }
    std::memcpy(fileHeader_.data(), header_.constData(), HeaderLength);
    // The settled word reaches the file with the next header write.
    const int word =
        memolayout::SettledBlockWord(get16(header_.constData() + memolayout::BlockSizeWord));
    put16(header_.data() + memolayout::BlockSizeWord, quint32(word));
    SetHeaderSize(0);
    SetRecordSize(DBase3() ? DefaultBlockSize : word);
    if (mode == TPagedMode::Create) {
        QByteArray block(DefaultBlockSize, '\0');
        std::memcpy(block.data(), header_.constData(), HeaderLength);
        WriteAt(0, block.constData(), block.size());
        std::memcpy(fileHeader_.data(), header_.constData(), HeaderLength);
    }
}

quint32 TDbtFile::NextFreeBlock() const {
    return get32(header_.constData());
}

void TDbtFile::writeHeader() {
    WriteAt(0, header_.constData(), HeaderLength);
    std::memcpy(fileHeader_.data(), header_.constData(), HeaderLength);
}

QByteArray TDbtFile::ReadMemo(quint32 block, qint64* stored) {
    if (stored)
        *stored = 0;
    if (block == 0)
        return QByteArray();
    return memolayout::ReadMemoText(
        DBase3(), qint64(block) * BlockSize(),
        [this](qint64 pos, char* data, qint64 count) { return ReadAt(pos, data, count); },
        [this] { return CurrentSize(); }, stored);
}

quint32 TDbtFile::WriteMemo(quint32 block, qint64 oldSize, const QByteArray& text,
                            qint64 oldStored) {
    const qint64 size = text.size();
    if (size == 0)
        return 0;
    const qint64 blockSize = BlockSize();
    const qint64 overhead = memolayout::Overhead(DBase3());
    if (size + overhead > qint64(UINT32_MAX))
        throw EBinaryDataSetError("Memo too long : " + QString::number(size) + " in " + Path());
    const qint64 needed = memolayout::BlocksFor(size + overhead, blockSize);
    // The old memo holds its blocks with its prefix or end mark: a text that fits them
    // again is rewritten there, so rewriting a memo does not make the file grow.
    if (oldStored < 0)
        oldStored = oldSize > 0 ? oldSize + overhead : 0;
    bool atEnd = false;
    if (!memolayout::PlaceMemo(block, needed, memolayout::BlocksFor(oldStored, blockSize), Size(),
                               blockSize, atEnd))
        throw EBinaryDataSetError("Memo file full : " + Path());
    const QByteArray out = memolayout::StoredForm(text, DBase3());
    WriteAt(qint64(block) * blockSize, out.constData(), out.size());
    if (atEnd) {
        put32(header_.data(), quint32(block + needed));
        writeHeader();
    }
    return block;
}

memolayout::TMark TDbtFile::Mark() {
    // The header as the file holds it is known without reading it: a mark is taken with every
    // record posted.
    memolayout::TMark mark{Size(), {}};
    mark.Header.append(fileHeader_.data(), HeaderLength);
    return mark;
}

void TDbtFile::CutBack(const memolayout::TMark& mark) noexcept {
    memolayout::CutBack(
        mark, header_.data(), [this] { return Size(); }, [this](qint64 size) { Truncate(size); },
        [this](qint64 pos, char* data, int n) { return ReadAt(pos, data, n); },
        [this](qint64 pos, const char* data, int n) { WriteAt(pos, data, n); });
    std::memcpy(fileHeader_.data(), mark.Header.constData(), HeaderLength);
}

TMyBlobFile::TMyBlobFile(TDbtFile* memo, const QString& memoPath, TBlobMode mode, quint32 block,
                         std::function<void(quint32)> stored)
    : memo_(memo), mode_(mode), block_(block), stored_(std::move(stored)),
      exceptionsAtStart_(std::uncaught_exceptions()) {
    if (!memo_ && (block_ != 0 || mode_ != TBlobMode::Read))
        throw EBinaryDataSetError("Memo file not found : " + memoPath);
    if (memo_)
        original_ = memo_->ReadMemo(block_, &oldStored_);
    data_ = original_;
    oldSize_ = original_.size();
    stream_.setBuffer(&data_);
    stream_.open(mode_ == TBlobMode::Read ? QIODevice::ReadOnly : QIODevice::ReadWrite);
}

TMyBlobFile::~TMyBlobFile() noexcept(false) {
    if (std::uncaught_exceptions() == exceptionsAtStart_)
        Flush();
}

void TMyBlobFile::Flush() {
    if (flushed_ || mode_ == TBlobMode::Read)
        return;
    flushed_ = true;
    QByteArray text = data_;
    if (mode_ == TBlobMode::Write)
        text.truncate(stream_.pos());
    else if (text == original_)
        return;
    const quint32 block = memo_->WriteMemo(block_, oldSize_, text, oldStored_);
    if (stored_)
        stored_(block);
}

} // namespace dbtable
