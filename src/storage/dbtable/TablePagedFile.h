#pragma once

#include "storage/dbase/SharedFiles.h"
#include "storage/dbtable/TableTypes.h"

#include <QByteArray>
#include <QString>
#include <memory>

class DiskFile;

namespace dbtable {

class TChunkCache;

// A file of fixed-size records behind a header; record n starts at HeaderSize + n *
// RecordSize. Every open paged file of the process is listed by the file it holds, so that
// one file is opened once and shared whatever name reaches it: FindOpenFile hands out the
// open object with a new reference, Release drops one and frees the file with the last.
//
// Between programs the file is held in its mode's share mode: Read shares everything,
// ReadWrite denies writing to other programs (a second program that opens it so fails with
// an error naming the file), Create denies every other use while the file is made.
//
// Every write goes to the operating system before it returns. A file opened for reading is
// read through a mapping of the file, so what another program writes is seen at the next
// read; a file opened for writing, which no other program may write meanwhile, is read
// through a cache of its own that its writes keep up to date.
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

    // The file held open; invalid for a file in memory, which no name reaches.
    FileIdentity Identity() const { return identity_; }
    const QString& Path() const { return path_; }
    TPagedMode Mode() const { return mode_; }
    // Keeps the file open for reading only (sharing everything) from now on.
    void DropWriteAccess();

    qint64 HeaderSize() const { return headerSize_; }
    void SetHeaderSize(qint64 size) { headerSize_ = size; }
    qint64 RecordSize() const { return recordSize_; }
    void SetRecordSize(qint64 size) { recordSize_ = size; }

    // Records that fit in the file after the header; 0 without a record size, never below 0.
    // A file other programs may write is measured anew.
    int RecordCount();
    // The same from the size seen last (which this process's own writes keep exact).
    int KnownRecordCount() const;
    // The position of record n (a negative n raises EBinaryDataSetError).
    qint64 SeekRecord(int n) const;
    // Reads up to RecordSize bytes of record n; returns how many the file held (a short read
    // at the end of the file is no error).
    qint64 ReadRecord(int n, char* buffer);
    void WriteRecord(int n, const char* buffer);

    // Copies a NUL-terminated text into an area of n bytes, blank-padded.
    static void CopyPadded(const char* text, char* area, int n);

    // Raw access for the derived files. ReadAt returns the bytes read (fewer at the end of
    // the file); ReadExact raises the stream read error on a short read; WriteAt raises the
    // stream write error when not everything was written, and a write that would have made
    // the file longer then leaves it as it was. The errors name the file. Size is
    // the size seen last, CurrentSize measures a file other programs may write anew.
    qint64 Size() const;
    qint64 CurrentSize();
    void Truncate(qint64 size);
    qint64 ReadAt(qint64 pos, char* data, qint64 count);
    void ReadExact(qint64 pos, char* data, qint64 count);
    void WriteAt(qint64 pos, const char* data, qint64 count);

private:
    static TPagedFile* FindOpen(const QString& path);
    [[noreturn]] void readError() const;
    [[noreturn]] void writeError() const;

    std::unique_ptr<DiskFile> disk_; // none for a file in memory
    std::unique_ptr<TChunkCache> cache_;
    QByteArray memory_;
    QString path_;
    FileIdentity identity_;
    TPagedMode mode_;
    qint64 headerSize_ = 0;
    qint64 recordSize_ = 0;
    int refCount_ = 1;
};

// Holds one reference to a shared paged file, one that FindOpenFile or the constructor
// handed out, and releases it when it goes.
template <class T> using TFileRef = sharedfiles::TFileRef<T, false>;

} // namespace dbtable
