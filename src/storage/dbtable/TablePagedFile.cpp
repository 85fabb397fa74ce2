#include "storage/dbtable/TablePagedFile.h"

#include "platform/DiskFile.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

namespace dbtable {

// Pieces of a file that only this process writes, read a piece at a time so that walking
// through the records takes one read of the operating system per piece instead of one per
// record. The file's writes pass through Wrote, which keeps every piece held as the file is;
// nobody else may write the file meanwhile, so a piece is never older than the file.
class TChunkCache {
public:
    static constexpr qint64 ChunkSize = 64 * 1024;
    static constexpr size_t MaxChunks = 32;

    // Copies up to `count` bytes from `pos` (fewer at the end of the file); -1 on failure.
    qint64 Read(DiskFile& file, qint64 pos, char* data, qint64 count) {
        qint64 done = 0;
        while (done < count) {
            const qint64 at = pos + done;
            Chunk* c = chunkAt(file, at);
            if (!c)
                return -1;
            const qint64 offset = at - c->start;
            const qint64 n = std::min(count - done, c->valid - offset);
            if (n <= 0)
                break; // the end of the file
            std::memcpy(data + done, c->data.get() + offset, size_t(n));
            done += n;
        }
        return done;
    }

    // Brings the pieces held up to date with bytes just written.
    void Wrote(qint64 pos, const char* data, qint64 count) {
        const qint64 end = pos + count;
        for (Chunk& c : chunks_) {
            if (c.start < 0 || end <= c.start || pos >= c.start + ChunkSize)
                continue;
            const qint64 from = std::max(pos, c.start) - c.start;
            const qint64 to = std::min(end, c.start + ChunkSize) - c.start;
            if (from > c.valid) {
                c.start = -1; // a gap before the new bytes: read the piece anew when needed
                continue;
            }
            std::memcpy(c.data.get() + from, data + (c.start + from - pos), size_t(to - from));
            c.valid = std::max(c.valid, to);
        }
    }

    void Clear() {
        chunks_.clear();
        last_ = nullptr;
    }

private:
    struct Chunk {
        qint64 start = -1;
        qint64 valid = 0; // bytes of the file the piece holds
        quint64 used = 0;
        std::unique_ptr<char[]> data;
    };

    Chunk* chunkAt(DiskFile& file, qint64 pos) {
        const qint64 start = pos - pos % ChunkSize;
        Chunk* c = last_ && last_->start == start ? last_ : nullptr;
        if (!c) {
            for (Chunk& candidate : chunks_)
                if (candidate.start == start)
                    c = &candidate;
        }
        // A piece read while the file was shorter is read again once it has grown.
        if (!c || (pos - start >= c->valid && c->valid < ChunkSize && file.Size() > pos)) {
            if (!c)
                c = freeChunk();
            const qint64 got = file.Read(start, c->data.get(), ChunkSize);
            if (got < 0) {
                c->start = -1;
                return nullptr;
            }
            c->start = start;
            c->valid = got;
        }
        c->used = ++tick_;
        last_ = c;
        return c;
    }

    Chunk* freeChunk() {
        if (chunks_.size() < MaxChunks) {
            chunks_.emplace_back();
            chunks_.back().data = std::make_unique<char[]>(size_t(ChunkSize));
            last_ = nullptr; // the vector may have moved its pieces
            return &chunks_.back();
        }
        return &*std::min_element(chunks_.begin(), chunks_.end(),
                                  [](const Chunk& a, const Chunk& b) { return a.used < b.used; });
    }

    std::vector<Chunk> chunks_;
    Chunk* last_ = nullptr;
    quint64 tick_ = 0;
};

namespace {

// Every open paged file of the process, of every kind. Never destroyed: a dataset that lives
// as long as the program closes its files after the objects of this file would have gone.
sharedfiles::TOpenFileList<TPagedFile>& openFiles() {
    static auto* files = new sharedfiles::TOpenFileList<TPagedFile>;
    return *files;
}

DiskFile::Mode diskMode(TPagedMode mode) {
    switch (mode) {
    case TPagedMode::Read:
        return DiskFile::Mode::Read;
    case TPagedMode::ReadWrite:
        return DiskFile::Mode::ReadWrite;
    case TPagedMode::Create:
        break;
    }
    return DiskFile::Mode::Create;
}

} // namespace

TPagedFile::TPagedFile(const QString& path, TPagedMode mode) : path_(path), mode_(mode) {
    if (!path.isEmpty()) {
        DiskFile::Failure failure = DiskFile::Failure::None;
        disk_ = DiskFile::Open(path, diskMode(mode), &failure);
        if (!disk_) {
            if (failure == DiskFile::Failure::InUse)
                throw EInOutError(
                    QStringLiteral("Cannot open file \"%1\". The file is in use by another "
                                   "program.")
                        .arg(path));
            throw EInOutError(QStringLiteral("Cannot open file \"%1\"").arg(path));
        }
        if (!disk_->Shared())
            cache_ = std::make_unique<TChunkCache>();
        identity_ = disk_->Identity();
    }
    openFiles().Add(this);
}

TPagedFile::~TPagedFile() {
    openFiles().Remove(this);
}

TPagedFile* TPagedFile::FindOpen(const QString& path) {
    return openFiles().Find(path);
}

TPagedFile* TPagedFile::FindOpenFile(const QString& path) {
    TPagedFile* f = FindOpen(path);
    if (f)
        f->AddRef();
    return f;
}

int TPagedFile::OpenFileCount() {
    return int(openFiles().Files().size());
}

void TPagedFile::Release() {
    if (--refCount_ <= 0)
        delete this;
}

void TPagedFile::DropWriteAccess() {
    if (mode_ == TPagedMode::Read)
        return;
    mode_ = TPagedMode::Read;
    if (disk_) {
        disk_->DropWriteAccess();
        cache_.reset();
    }
}

void TPagedFile::readError() const {
    throw EInOutError("Stream read error : " + path_);
}

void TPagedFile::writeError() const {
    throw EInOutError("Stream write error : " + path_);
}

qint64 TPagedFile::Size() const {
    return disk_ ? disk_->Size() : memory_.size();
}

qint64 TPagedFile::CurrentSize() {
    return disk_ && disk_->Shared() ? disk_->RefreshSize() : Size();
}

namespace {

int recordsIn(qint64 size, qint64 headerSize, qint64 recordSize) {
    if (recordSize <= 0)
        return 0;
    return int(std::clamp<qint64>((size - headerSize) / recordSize, 0, INT_MAX));
}

} // namespace

int TPagedFile::RecordCount() {
    return recordsIn(CurrentSize(), headerSize_, recordSize_);
}

int TPagedFile::KnownRecordCount() const {
    return recordsIn(Size(), headerSize_, recordSize_);
}

qint64 TPagedFile::SeekRecord(int n) const {
    if (n < 0)
        throw EBinaryDataSetError(
            QStringLiteral("Invalid record number : %1 in %2").arg(n).arg(path_));
    return headerSize_ + qint64(n) * recordSize_;
}

qint64 TPagedFile::ReadRecord(int n, char* buffer) {
    return ReadAt(SeekRecord(n), buffer, recordSize_);
}

void TPagedFile::WriteRecord(int n, const char* buffer) {
    WriteAt(SeekRecord(n), buffer, recordSize_);
}

void TPagedFile::CopyPadded(const char* text, char* area, int n) {
    int i = 0;
    for (; i < n && text[i] != '\0'; ++i)
        area[i] = text[i];
    if (i < n)
        std::memset(area + i, ' ', size_t(n - i));
}

void TPagedFile::Truncate(qint64 size) {
    if (size < 0)
        writeError();
    if (!disk_) {
        memory_.resize(size);
        return;
    }
    if (cache_)
        cache_->Clear();
    if (!disk_->Truncate(size))
        writeError();
}

qint64 TPagedFile::ReadAt(qint64 pos, char* data, qint64 count) {
    if (count <= 0)
        return 0;
    if (pos < 0)
        readError();
    if (!disk_) {
        if (pos >= memory_.size())
            return 0;
        const qint64 n = std::min(count, memory_.size() - pos);
        std::memcpy(data, memory_.constData() + pos, size_t(n));
        return n;
    }
    const qint64 n =
        cache_ ? cache_->Read(*disk_, pos, data, count) : disk_->Read(pos, data, count);
    if (n < 0)
        readError();
    return n;
}

void TPagedFile::ReadExact(qint64 pos, char* data, qint64 count) {
    if (ReadAt(pos, data, count) != count)
        readError();
}

void TPagedFile::WriteAt(qint64 pos, const char* data, qint64 count) {
    if (count <= 0)
        return;
    if (pos < 0 || mode_ == TPagedMode::Read)
        writeError();
    if (!disk_) {
        if (pos + count > memory_.size())
            memory_.resize(pos + count, '\0');
        std::memcpy(memory_.data() + pos, data, size_t(count));
        return;
    }
    if (!disk_->Write(pos, data, count)) {
        // What reached the file is unknown now: read it afresh.
        if (cache_)
            cache_->Clear();
        writeError();
    }
    if (cache_)
        cache_->Wrote(pos, data, count);
}

} // namespace dbtable
