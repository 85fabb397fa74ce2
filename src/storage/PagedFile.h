#pragma once

#include "storage/TableCommon.h"

#include <QByteArray>
#include <QString>
#include <memory>

class QIODevice;

namespace dbtable {

// A file of fixed-size records behind a header; record n starts at HeaderSize + n *
// RecordSize. Every open paged file of the process is listed by its lowercased path, so that
// one name is opened once and shared: FindOpenFile hands out the open object with a new
// reference, Release drops one and frees the file with the last.
class TPagedFile {
public:
    // An empty path gives a private file in memory, never found by name.
    TPagedFile(const QString& path, TPagedMode mode);
    virtual ~TPagedFile();
    TPagedFile(const TPagedFile&) = delete;
    TPagedFile& operator=(const TPagedFile&) = delete;

    static TPagedFile* FindOpenFile(const QString& path);
    // The same, for a file of one kind; a file of another kind under that name is not taken.
    template <class T> static T* FindOpenFileAs(const QString& path) {
        TPagedFile* file = FindOpen(path);
        T* typed = dynamic_cast<T*>(file);
        if (typed)
            typed->AddRef();
        return typed;
    }
    // How many paged files are open in the process.
    static int OpenFileCount();

    void AddRef() { ++refCount_; }
    void Release();
    int RefCount() const { return refCount_; }

    const QString& Name() const { return name_; }
    const QString& Path() const { return path_; }
    TPagedMode Mode() const { return mode_; }

    qint64 HeaderSize() const { return headerSize_; }
    void SetHeaderSize(qint64 size) { headerSize_ = size; }
    qint64 RecordSize() const { return recordSize_; }
    void SetRecordSize(qint64 size) { recordSize_ = size; }

    // Records that fit in the file after the header; 0 without a record size, never below 0.
    int RecordCount() const;
    void SeekRecord(int n);
    // Reads up to RecordSize bytes of record n; returns how many the file held (a short read
    // at the end of the file is no error).
    qint64 ReadRecord(int n, char* buffer);
    void WriteRecord(int n, const char* buffer);

    // Copies a NUL-terminated text into an area of n bytes, blank-padded.
    static void CopyPadded(const char* text, char* area, int n);

    // Raw access for the derived files. ReadAt returns the bytes read (fewer at the end of
    // the file); ReadExact raises the stream read error on a short read; WriteAt raises the
    // stream write error when not everything was written.
    qint64 Size() const;
    void Truncate(qint64 size);
    qint64 ReadAt(qint64 pos, char* data, qint64 count);
    void ReadExact(qint64 pos, char* data, qint64 count);
    void WriteAt(qint64 pos, const char* data, qint64 count);

private:
    static TPagedFile* FindOpen(const QString& path);
    void Seek(qint64 pos);

    std::unique_ptr<QIODevice> stream_;
    QByteArray memory_;
    QString path_;
    QString name_;
    TPagedMode mode_;
    qint64 headerSize_ = 0;
    qint64 recordSize_ = 0;
    int refCount_ = 1;
};

// Holds one reference to a shared paged file and releases it when it goes.
template <class T> class TFileRef {
public:
    TFileRef() = default;
    explicit TFileRef(T* file) : file_(file) {}
    ~TFileRef() { reset(); }
    TFileRef(TFileRef&& other) noexcept : file_(other.release()) {}
    TFileRef& operator=(TFileRef&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    TFileRef(const TFileRef&) = delete;
    TFileRef& operator=(const TFileRef&) = delete;

    T* get() const { return file_; }
    T* operator->() const { return file_; }
    T& operator*() const { return *file_; }
    explicit operator bool() const { return file_ != nullptr; }
    T* release() {
        T* f = file_;
        file_ = nullptr;
        return f;
    }
    void reset(T* file = nullptr) {
        if (file_)
            file_->Release();
        file_ = file;
    }

private:
    T* file_ = nullptr;
};

} // namespace dbtable
