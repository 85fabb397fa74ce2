#pragma once

#include "storage/dbdataset/DbPagedFile.h"

namespace dbdataset {

// A position in a table through which the engine and the dataset move: in physical order
// over the table file, or in key order over an index file. The cursor holds one reference to
// the file it walks, so the last cursor of a file frees it.
class TVirtualCursor {
public:
    explicit TVirtualCursor(TPagedFile* file) : file_(file) {
        if (file_)
            file_->AddRef();
    }
    virtual ~TVirtualCursor() {
        if (file_)
            file_->Release();
    }
    TVirtualCursor(const TVirtualCursor&) = delete;
    TVirtualCursor& operator=(const TVirtualCursor&) = delete;

    TPagedFile* PagedFile() const { return file_; }
    int GetRecordSize() const { return file_ ? file_->RecordSize() : 0; }

    // Steps forward; false when past the end.
    virtual bool Next() = 0;
    // Steps back; false when before the start.
    virtual bool Prior() = 0;
    // Before the first record.
    virtual void First() = 0;
    // After the last record.
    virtual void Last() = 0;
    // The record number in the table file at the current position.
    virtual int GetPhysicalRecNo() = 0;
    virtual int GetRecordCount() = 0;
    // The sequence number of the current position.
    virtual int GetRecNo() = 0;
    virtual void SetPhysicalRecNo(int recNo) = 0;
    // A value that identifies the current position, and returning to it.
    virtual int GetBookmark() = 0;
    virtual void GotoBookmark(int bookmark) = 0;
    // The record image was appended as record recNo.
    virtual void Insert(int recNo, const char* record) = 0;
    // Record recNo was rewritten.
    virtual void Update(int recNo, const char* oldRecord, const char* newRecord) = 0;

private:
    TPagedFile* file_;
};

} // namespace dbdataset
