#pragma once

#include "storage/dbase/SharedFiles.h"
#include "storage/dbdataset/DbCommon.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <utility>
#include <vector>

class DiskFile;

namespace dbdataset {

// A disk file seen as a header region of HeaderSize bytes followed by records of RecordSize
// bytes, record n (counted from 1) at (n - 1) * RecordSize + HeaderSize. The header region is
// held in memory. Every open file is listed in one process-wide list by the file it holds, so
// that the engines and cursors of the process that reach one file, under whatever name, share
// one object and one stream, counted by references: the first holder adds the first reference, the
// last Release frees the file. Derived classes change HeaderSize and RecordSize while they work to
// address other fixed-size units (descriptors, index pages).
//
// Reads report nothing: what the file does not hold leaves the buffer as it was. Writes that
// fail (a full disk, a stream that a read-only open made) raise EInOutError, so that no
// change is ever lost without a word, and one that would have made the file longer leaves it
// as it was. Nothing read is kept: reads go through a shared mapping
// of the file, which shows every write at once, this program's and any other's.
class TPagedFile {
public:
    // Opens the file, or creates it when it is missing and autoCreate is true or recreate is
    // 1; otherwise raises "Open: Table file not found : " + fileName. An existing file is
    // opened for reading only when readOnly is true, else for reading and writing; it is never
    // truncated here. Other programs may read and write it meanwhile; only one that wants it
    // alone is held back. The file is registered only once it is open.
    TPagedFile(const QString& fileName, int recreate, bool autoCreate, bool readOnly);
    // Frees the stream and the header. A file that is still registered (a derived constructor
    // that failed after this one had registered it) leaves the list here.
    virtual ~TPagedFile();
    TPagedFile(const TPagedFile&) = delete;
    TPagedFile& operator=(const TPagedFile&) = delete;

    // The registered file that is the file fileName names now; no reference is added.
    static TPagedFile* FindOpenFile(const QString& fileName);
    // The registered files, in the order they were opened.
    static const std::vector<TPagedFile*>& OpenFiles();

    void AddRef() { ++refCount_; }
    // Drops one reference; the last one unregisters and frees the file.
    void Release();
    int RefCount() const { return refCount_; }

    // The name upper-cased (by which an engine selects its index), and the path as it was
    // passed.
    const QString& FileName() const { return fileName_; }
    FileIdentity Identity() const { return identity_; }
    const QString& Path() const { return path_; }
    bool IsNew() const { return isNew_; }
    bool IsReadOnly() const { return readOnly_; }
    // Refuses every write from now on, as if the file had been opened for reading only.
    void DropWriteAccess() { readOnly_ = true; }

    int HeaderSize() const { return headerSize_; }
    // Discards the header in memory and reads n bytes of it from the file (zero beyond the
    // end of the file); nothing happens when n is the current size.
    void SetHeaderSize(int n);
    int RecordSize() const { return recordSize_; }
    void SetRecordSize(int n);
    // Whole records after the header region; 0 without a record size.
    int RecordCount() const { return recordCount_; }
    // Bytes of the file.
    qint64 FileSize() const;
    // Cuts or extends the file to n records, or to `size` bytes.
    void SetRecordCount(int n);
    void Truncate(qint64 size);
    void UpdateRecordCount();

    // The header region in memory: HeaderSize bytes, none when it is 0.
    char* Header() { return header_.isEmpty() ? nullptr : header_.data(); }
    const char* Header() const { return header_.isEmpty() ? nullptr : header_.constData(); }
    void FillHeader(char b);
    // Writes the header region at the start of the file.
    virtual void WriteHeader();

    void SeekRecord(int n);
    // Reads record n into buffer (RecordSize bytes); returns how many bytes the file held.
    int ReadRecord(int n, char* buffer);
    // Reads `count` bytes of record n from `offset` on into buffer; returns how many the file
    // held.
    int ReadRecordPart(int n, int offset, int count, char* buffer);
    // Writes record n; a record beyond the last one extends the file and the count.
    void WriteRecord(int n, const char* buffer);
    // Writes one byte at the current position.
    void WriteByte(char b);

protected:
    // Raw transfers for the derived files, with the same rules as records.
    int ReadAt(qint64 pos, char* data, int count);
    void WriteAt(qint64 pos, const char* data, int count);

private:
    qint64 RecordPosition(int n) const;
    [[noreturn]] void WriteError() const;

    std::unique_ptr<DiskFile> stream_;
    QString path_;
    QString fileName_;
    FileIdentity identity_;
    QByteArray header_;
    int headerSize_ = 0;
    int recordSize_ = 0;
    int refCount_ = 0;
    int recordCount_ = 0;
    qint64 position_ = 0;
    bool isNew_ = false;
    bool readOnly_ = false;
};

// Holds one reference to a shared paged file and releases it when it goes; taking a file
// adds the holder's reference.
template <class T> using TFileRef = sharedfiles::TFileRef<T, true>;

} // namespace dbdataset
