#include "storage/DbtFile.h"

#include <QFileInfo>
#include <cstring>
#include <exception>

namespace dbtable {

namespace {

constexpr int DefaultBlock = 512;
constexpr int FirstRead = 128;
const char Dbase4Prefix[4] = {char(0xFF), char(0xFF), 0x08, 0x00};

quint32 get32(const char* b) {
    return quint32(quint8(b[0])) | (quint32(quint8(b[1])) << 8) | (quint32(quint8(b[2])) << 16) |
           (quint32(quint8(b[3])) << 24);
}

void put32(char* b, quint32 v) {
    for (int i = 0; i < 4; ++i)
        b[i] = char((v >> (8 * i)) & 0xFF);
}

} // namespace

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
    int word = quint8(header_[20]) | (quint8(header_[21]) << 8);
    if (word == 0 || word % 128 != 0) {
        word = DefaultBlock;
        header_[20] = char(word & 0xFF);
        header_[21] = char(word >> 8);
    }
    SetHeaderSize(0);
    SetRecordSize(DBase3() ? DefaultBlock : word);
    if (mode == TPagedMode::Create) {
        QByteArray block(DefaultBlock, '\0');
        std::memcpy(block.data(), header_.constData(), HeaderLength);
        WriteAt(0, block.constData(), block.size());
    }
}

quint32 TDbtFile::NextFreeBlock() const {
    return get32(header_.constData());
}

void TDbtFile::writeHeader() {
    WriteAt(0, header_.constData(), HeaderLength);
}

QByteArray TDbtFile::ReadMemo(quint32 block, qint64* stored) {
    QByteArray text;
    if (stored)
        *stored = 0;
    if (block == 0)
        return text;
    const qint64 start = qint64(block) * BlockSize();

    char chunk[DefaultBlock];
    if (!DBase3()) {
        // Most memos are short: their prefix and text come with one read.
        const qint64 got = ReadAt(start, chunk, FirstRead);
        if (got < 8 || std::memcmp(chunk, Dbase4Prefix, 4) != 0)
            return text;
        const quint32 length = get32(chunk + 4);
        if (length < 8)
            return text;
        const qint64 wanted = qint64(length) - 8;
        if (wanted <= got - 8) {
            text = QByteArray(chunk + 8, wanted);
        } else {
            // Never more than the file holds, whatever the length says.
            const qint64 held = std::max<qint64>(0, std::min(wanted, CurrentSize() - start - 8));
            text.resize(held);
            text.resize(ReadAt(start + 8, text.data(), held));
        }
        if (stored)
            *stored = 8 + text.size();
        return text;
    }

    char previousLast = 0;
    for (qint64 pos = start;; pos += DefaultBlock) {
        const int got = int(ReadAt(pos, chunk, DefaultBlock));
        if (got <= 0)
            break;
        int mark = -1;
        int markLength = 0;
        for (int i = 0; i < std::min(got, DefaultBlock - 1); ++i) {
            if (chunk[i] == '\0' || (chunk[i] == 0x1A && i + 1 < got && chunk[i + 1] == 0x1A)) {
                mark = i;
                markLength = chunk[i] == '\0' ? 1 : 2;
                break;
            }
            if (i == 0 && chunk[0] == 0x1A && previousLast == 0x1A) {
                // The end mark straddles two blocks: its first half is not text.
                text.chop(1);
                mark = 0;
                markLength = 2;
                break;
            }
        }
        if (mark >= 0) {
            text.append(chunk, mark);
            if (stored)
                *stored = text.size() + markLength;
            return text;
        }
        text.append(chunk, got);
        previousLast = chunk[got - 1];
    }
    if (stored)
        *stored = text.size(); // the end of the file ended it
    return text;
}

quint32 TDbtFile::WriteMemo(quint32 block, qint64 oldSize, const QByteArray& text,
                            qint64 oldStored) {
    const qint64 size = text.size();
    if (size == 0)
        return 0;
    const qint64 blockSize = BlockSize();
    const qint64 overhead = DBase3() ? 2 : 8;
    if (size + overhead > qint64(UINT32_MAX))
        throw EBinaryDataSetError("Memo too long : " + QString::number(size) + " in " + Path());
    const qint64 needed = (size + overhead + blockSize - 1) / blockSize;
    // The old memo holds its blocks with its prefix or end mark: a text that fits them
    // again is rewritten there, so rewriting a memo does not make the file grow.
    if (oldStored < 0)
        oldStored = oldSize > 0 ? oldSize + overhead : 0;
    const qint64 old = (oldStored + blockSize - 1) / blockSize;

    const bool atEnd = block == 0 || needed > old;
    if (atEnd) {
        // A new memo starts after everything the file holds: a next free block that points
        // into existing memos, or far beyond the end, would corrupt or bloat the file.
        const qint64 endBlock = std::max<qint64>(1, (Size() + blockSize - 1) / blockSize);
        if (endBlock + needed > qint64(UINT32_MAX))
            throw EBinaryDataSetError("Memo file full : " + Path());
        block = quint32(endBlock);
    }

    QByteArray out;
    out.reserve(size + overhead);
    if (!DBase3()) {
        char head[8];
        std::memcpy(head, Dbase4Prefix, 4);
        put32(head + 4, quint32(size + 8));
        out.append(head, 8);
    }
    out.append(text);
    if (DBase3())
        out.append("\x1A\x1A", 2);
    WriteAt(qint64(block) * blockSize, out.constData(), out.size());

    if (atEnd) {
        put32(header_.data(), quint32(block + needed));
        writeHeader();
    }
    return block;
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
