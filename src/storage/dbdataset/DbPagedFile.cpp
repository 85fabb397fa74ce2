#include "storage/dbdataset/DbPagedFile.h"

#include "platform/DiskFile.h"

#include <QFileInfo>
#include <algorithm>
#include <climits>

namespace dbdataset {

namespace {

// Never destroyed: a dataset that lives as long as the program closes its files after the
// objects of this file would have gone.
sharedfiles::TOpenFileList<TPagedFile>& openFiles() {
    static auto* files = new sharedfiles::TOpenFileList<TPagedFile>;
    return *files;
}

} // namespace

TPagedFile::TPagedFile(const QString& fileName, int recreate, bool autoCreate, bool readOnly)
    : path_(fileName), fileName_(fileName.toUpper()) {
    DiskFile::Mode mode = DiskFile::Mode::Shared;
    if (QFileInfo::exists(fileName)) {
        readOnly_ = readOnly;
        if (readOnly)
            mode = DiskFile::Mode::Read;
    } else if (autoCreate || recreate == 1) {
        isNew_ = true;
    } else {
        throw Exception("Open: Table file not found : " + fileName);
    }
    DiskFile::Failure failure = DiskFile::Failure::None;
    stream_ = DiskFile::Open(fileName, mode, &failure);
    if (!stream_)
        throw EInOutError(failure == DiskFile::Failure::InUse
                              ? QStringLiteral("Cannot open file \"%1\": it is in use by another "
                                               "program.")
                                    .arg(fileName)
                              : QStringLiteral("Cannot open file \"%1\".").arg(fileName));
    identity_ = stream_->Identity();
    openFiles().Add(this);
    UpdateRecordCount();
}

TPagedFile::~TPagedFile() {
    openFiles().Remove(this);
}

TPagedFile* TPagedFile::FindOpenFile(const QString& fileName) {
    return openFiles().Find(fileName);
}

const std::vector<TPagedFile*>& TPagedFile::OpenFiles() {
    return openFiles().Files();
}

void TPagedFile::Release() {
    if (--refCount_ <= 0)
        delete this;
}

qint64 TPagedFile::FileSize() const {
    return stream_->RefreshSize();
}

void TPagedFile::UpdateRecordCount() {
    if (recordSize_ <= 0) {
        recordCount_ = 0;
        return;
    }
    const qint64 count = (stream_->RefreshSize() - headerSize_) / recordSize_;
    // One below the largest integer, so that "after the last record" is still a number.
    recordCount_ = int(std::clamp<qint64>(count, 0, INT_MAX - 1));
}

void TPagedFile::SetHeaderSize(int n) {
    if (n == headerSize_)
        return;
    header_.clear();
    headerSize_ = n;
    if (n > 0)
        header_ = QByteArray(n, '\0');
    UpdateRecordCount();
    if (n > 0)
        ReadAt(0, header_.data(), n);
}

void TPagedFile::FillHeader(char b) {
    header_.fill(b);
}

void TPagedFile::SetRecordSize(int n) {
    recordSize_ = n;
    UpdateRecordCount();
}

void TPagedFile::SetRecordCount(int n) {
    Truncate(qint64(n) * recordSize_ + headerSize_);
}

void TPagedFile::Truncate(qint64 size) {
    if (size < 0 || readOnly_ || !stream_->Truncate(size))
        WriteError();
    UpdateRecordCount();
}

void TPagedFile::WriteHeader() {
    WriteAt(0, header_.constData(), int(header_.size()));
}

qint64 TPagedFile::RecordPosition(int n) const {
    return (qint64(n) - 1) * recordSize_ + headerSize_;
}

void TPagedFile::SeekRecord(int n) {
    position_ = RecordPosition(n);
}

int TPagedFile::ReadRecord(int n, char* buffer) {
    SeekRecord(n);
    return ReadAt(position_, buffer, recordSize_);
}

int TPagedFile::ReadRecordPart(int n, int offset, int count, char* buffer) {
    return ReadAt(RecordPosition(n) + offset, buffer, count);
}

void TPagedFile::WriteRecord(int n, const char* buffer) {
    SeekRecord(n);
    WriteAt(position_, buffer, recordSize_);
    if (n >= recordCount_)
        recordCount_ = std::min(n, INT_MAX - 1);
}

void TPagedFile::WriteByte(char b) {
    WriteAt(position_, &b, 1);
}

int TPagedFile::ReadAt(qint64 pos, char* data, int count) {
    const qint64 done = stream_->Read(pos, data, count);
    if (done <= 0)
        return 0;
    position_ = pos + done;
    return int(done);
}

void TPagedFile::WriteAt(qint64 pos, const char* data, int count) {
    if (count <= 0)
        return;
    if (readOnly_ || !stream_->Write(pos, data, count))
        WriteError();
    position_ = pos + count;
}

void TPagedFile::WriteError() const {
    throw EInOutError(QStringLiteral("Cannot write to file \"%1\"").arg(path_));
}

} // namespace dbdataset
