#include "storage/PagedFile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

namespace dbtable {

namespace {

// Every open paged file of the process, of every kind.
std::vector<TPagedFile*>& openFiles() {
    static std::vector<TPagedFile*> files;
    return files;
}

[[noreturn]] void readError() {
    throw EInOutError("Stream read error");
}

[[noreturn]] void writeError() {
    throw EInOutError("Stream write error");
}

} // namespace

TPagedFile::TPagedFile(const QString& path, TPagedMode mode)
    : path_(path), name_(path.toLower()), mode_(mode) {
    if (path.isEmpty()) {
        auto buffer = std::make_unique<QBuffer>(&memory_);
        buffer->open(QIODevice::ReadWrite);
        stream_ = std::move(buffer);
    } else {
        auto file = std::make_unique<QFile>(path);
        bool ok = false;
        switch (mode) {
        case TPagedMode::Read:
            ok = file->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
            break;
        case TPagedMode::ReadWrite:
            // Opening for writing must not make a file that is not there.
            ok = QFileInfo(path).isFile() &&
                 file->open(QIODevice::ReadWrite | QIODevice::Unbuffered);
            break;
        case TPagedMode::Create:
            ok = file->open(QIODevice::ReadWrite | QIODevice::Truncate | QIODevice::Unbuffered);
            break;
        }
        if (!ok)
            throw EInOutError(QStringLiteral("Cannot open file \"%1\"").arg(path));
        stream_ = std::move(file);
    }
    openFiles().push_back(this);
}

TPagedFile::~TPagedFile() {
    auto& files = openFiles();
    files.erase(std::remove(files.begin(), files.end(), this), files.end());
    stream_->close();
}

TPagedFile* TPagedFile::FindOpen(const QString& path) {
    if (path.isEmpty())
        return nullptr;
    const QString name = path.toLower();
    for (TPagedFile* f : openFiles())
        if (f->name_ == name)
            return f;
    return nullptr;
}

TPagedFile* TPagedFile::FindOpenFile(const QString& path) {
    TPagedFile* f = FindOpen(path);
    if (f)
        f->AddRef();
    return f;
}

int TPagedFile::OpenFileCount() {
    return int(openFiles().size());
}

void TPagedFile::Release() {
    if (--refCount_ <= 0)
        delete this;
}

qint64 TPagedFile::Size() const {
    return stream_->size();
}

int TPagedFile::RecordCount() const {
    if (recordSize_ <= 0)
        return 0;
    const qint64 count = (Size() - headerSize_) / recordSize_;
    return int(std::clamp<qint64>(count, 0, INT_MAX));
}

void TPagedFile::Seek(qint64 pos) {
    if (pos < 0 || !stream_->seek(pos))
        readError();
}

namespace {

qint64 recordPosition(int n, qint64 headerSize, qint64 recordSize) {
    if (n < 0)
        throw EBinaryDataSetError(QStringLiteral("Invalid record number : %1").arg(n));
    return headerSize + qint64(n) * recordSize;
}

} // namespace

void TPagedFile::SeekRecord(int n) {
    Seek(recordPosition(n, headerSize_, recordSize_));
}

qint64 TPagedFile::ReadRecord(int n, char* buffer) {
    return ReadAt(recordPosition(n, headerSize_, recordSize_), buffer, recordSize_);
}

void TPagedFile::WriteRecord(int n, const char* buffer) {
    WriteAt(recordPosition(n, headerSize_, recordSize_), buffer, recordSize_);
}

void TPagedFile::CopyPadded(const char* text, char* area, int n) {
    int i = 0;
    for (; i < n && text[i] != '\0'; ++i)
        area[i] = text[i];
    if (i < n)
        std::memset(area + i, ' ', size_t(n - i));
}

void TPagedFile::Truncate(qint64 size) {
    if (auto* file = dynamic_cast<QFile*>(stream_.get())) {
        if (!file->resize(size))
            writeError();
    } else {
        memory_.resize(size);
    }
}

qint64 TPagedFile::ReadAt(qint64 pos, char* data, qint64 count) {
    if (count <= 0)
        return 0;
    if (pos >= Size())
        return 0;
    Seek(pos);
    qint64 done = 0;
    while (done < count) {
        const qint64 r = stream_->read(data + done, count - done);
        if (r < 0)
            readError();
        if (r == 0)
            break;
        done += r;
    }
    return done;
}

void TPagedFile::ReadExact(qint64 pos, char* data, qint64 count) {
    if (ReadAt(pos, data, count) != count)
        readError();
}

void TPagedFile::WriteAt(qint64 pos, const char* data, qint64 count) {
    if (count <= 0)
        return;
    if (pos < 0 || !stream_->seek(pos))
        writeError();
    if (stream_->write(data, count) != count)
        writeError();
}

} // namespace dbtable
