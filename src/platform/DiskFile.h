#pragma once

#include "platform/FileIdentity.h"

#include <QString>
#include <QtGlobal>
#include <memory>

class FileLock;
namespace DiskViews {
struct View;
}

// A file of the table engine on disk, opened with the share mode of its use (FileLock):
//   Read       - for reading; every other program may read and write it meanwhile
//   ReadWrite  - for reading and writing an existing file; other programs may only read it
//   Create     - made anew (emptied); nobody else may have it open meanwhile
//   Shared     - for reading and writing, made when it is missing; every other program may
//                read and write it meanwhile
//
// Writes go straight to the operating system: once Write returns, the bytes are the file's
// and outlive a crash of the program. Nothing read is kept by this class. A file that other
// programs may write (Read, Shared) is read through a shared mapping of the file, which shows
// what another program or this one writes at once; the size is asked of the file system again
// whenever a read reaches beyond the size seen last. A file opened for writing alone is read
// with plain reads (its size changes only through this opening, as other programs cannot
// write it).
//
// Should another program cut the file short while it is mapped, the bytes that are gone
// read as zero instead of ending the program.
//
// The files of one table are used by one thread at a time, as the table engine does.
class DiskFile {
public:
    enum class Mode { Read, ReadWrite, Create, Shared };
    enum class Failure { None, Missing, InUse, Other };

    // Null when the file cannot be opened; `failure` tells why. Read and ReadWrite never make
    // a file that is not there; no mode opens anything but a plain file.
    static std::unique_ptr<DiskFile> Open(const QString& path, Mode mode, Failure* failure);
    ~DiskFile();
    DiskFile(const DiskFile&) = delete;
    DiskFile& operator=(const DiskFile&) = delete;

    Mode OpenMode() const { return mode_; }
    // Whether other programs may write the file while it is open here.
    bool Shared() const { return mode_ == Mode::Read || mode_ == Mode::Shared; }
    // The file this opening holds, whatever name reaches it now.
    FileIdentity Identity() const { return FileIdentity::OfHandle(fd_); }

    // The size as seen last: after the open, a refresh or this opening's own writes.
    qint64 Size() const { return size_; }
    // Asks the file system for the size now (other programs may have changed it).
    qint64 RefreshSize();

    // Copies up to `count` bytes from `pos`; returns how many the file holds there (fewer at
    // its end, 0 beyond it) or -1 when reading fails.
    qint64 Read(qint64 pos, char* data, qint64 count);
    // Writes everything or fails. A write that would have made the file longer leaves it as
    // it was when it fails (a full disk): as long as before, with its old bytes.
    bool Write(qint64 pos, const char* data, qint64 count);
    bool Truncate(qint64 size);

    // Keeps the file open for reading only, sharing everything from now on.
    void DropWriteAccess();

private:
    DiskFile(int fd, Mode mode);
    qint64 readMapped(qint64 pos, char* data, qint64 count);
    qint64 readPlain(qint64 pos, char* data, qint64 count);
    bool writeAll(qint64 pos, const char* data, qint64 count);

    int fd_;
    Mode mode_;
    std::unique_ptr<FileLock> lock_;
    qint64 size_ = 0;
    DiskViews::View* view_ = nullptr;
    bool viewTried_ = false;
};
