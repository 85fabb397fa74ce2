#include "platform/DiskFile.h"

#include "platform/DiskViews.h"
#include "platform/FileLock.h"

#include <QFile>
#include <QVarLengthArray>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

FileLock::Share shareOf(DiskFile::Mode mode) {
    switch (mode) {
    case DiskFile::Mode::Read:
    case DiskFile::Mode::Shared:
        return FileLock::Share::ShareAll;
    case DiskFile::Mode::ReadWrite:
        return FileLock::Share::DenyWrite;
    case DiskFile::Mode::Create:
        break;
    }
    return FileLock::Share::Exclusive;
}

} // namespace

std::unique_ptr<DiskFile> DiskFile::Open(const QString& path, Mode mode, Failure* failure) {
    Failure dummy;
    Failure& result = failure ? *failure : dummy;
    result = Failure::Other;
    const QByteArray name = QFile::encodeName(path);
    int flags = O_CLOEXEC;
    switch (mode) {
    case Mode::Read:
        flags |= O_RDONLY;
        break;
    case Mode::ReadWrite:
        flags |= O_RDWR;
        break;
    case Mode::Create: // emptied only once nobody else has it open: see below
    case Mode::Shared:
        flags |= O_RDWR | O_CREAT;
        break;
    }
    int fd;
    do {
        fd = ::open(name.constData(), flags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        result = errno == ENOENT ? Failure::Missing : Failure::Other;
        return nullptr;
    }
    struct stat st = {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    std::unique_ptr<FileLock> lock = FileLock::Acquire(fd, shareOf(mode));
    if (!lock) {
        ::close(fd);
        result = Failure::InUse;
        return nullptr;
    }
    std::unique_ptr<DiskFile> file(new DiskFile(fd, mode));
    file->lock_ = std::move(lock);
    file->size_ = st.st_size;
    if (mode == Mode::Create && !file->Truncate(0))
        return nullptr;
    result = Failure::None;
    return file;
}

DiskFile::DiskFile(int fd, Mode mode) : fd_(fd), mode_(mode) {}

DiskFile::~DiskFile() {
    // The view may be kept, and with it this opening: its share mode goes now.
    DiskViews::Release(view_);
    lock_.reset();
    ::close(fd_);
}

qint64 DiskFile::RefreshSize() {
    struct stat st = {};
    if (fstat(fd_, &st) == 0)
        size_ = st.st_size;
    return size_;
}

qint64 DiskFile::Read(qint64 pos, char* data, qint64 count) {
    if (count <= 0 || pos < 0)
        return 0;
    // Another program may have added to a shared file since its size was seen.
    if (pos + count > size_ && Shared())
        RefreshSize();
    if (pos >= size_)
        return 0;
    count = std::min(count, size_ - pos);
    return Shared() ? readMapped(pos, data, count) : readPlain(pos, data, count);
}

qint64 DiskFile::readMapped(qint64 pos, char* data, qint64 count) {
    if (!view_ && !viewTried_) {
        viewTried_ = true;
        struct stat st = {};
        if (fstat(fd_, &st) == 0)
            view_ = DiskViews::Acquire(fd_, quint64(st.st_dev), quint64(st.st_ino), size_);
    }
    if (view_ && DiskViews::Copy(view_, fd_, pos, data, count))
        return count;
    return readPlain(pos, data, count);
}

qint64 DiskFile::readPlain(qint64 pos, char* data, qint64 count) {
    qint64 done = 0;
    while (done < count) {
        const ssize_t r = ::pread(fd_, data + done, size_t(count - done), off_t(pos + done));
        if (r < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (r == 0)
            break;
        done += r;
    }
    return done;
}

bool DiskFile::Write(qint64 pos, const char* data, qint64 count) {
    if (mode_ == Mode::Read || pos < 0)
        return false;
    // A write that makes the file longer may fail half way (a full disk): the file is then put
    // back as it was, cut to its old size and with the old bytes the write reached. Another
    // program may have made a shared file longer meanwhile.
    if (pos + count > size_ && Shared())
        RefreshSize();
    const qint64 before = size_;
    const bool grows = pos + count > before;
    QVarLengthArray<char, 256> old; // most often a table's end mark alone
    if (grows && pos < before) {
        old.resize(before - pos);
        old.resize(std::max<qint64>(0, Read(pos, old.data(), old.size())));
    }
    if (writeAll(pos, data, count)) {
        size_ = std::max(size_, pos + count);
        return true;
    }
    if (grows && Truncate(before))
        writeAll(pos, old.constData(), old.size());
    // What reached the file is not known for certain: its size is asked anew.
    RefreshSize();
    return false;
}

bool DiskFile::writeAll(qint64 pos, const char* data, qint64 count) {
    qint64 done = 0;
    while (done < count) {
        const ssize_t w = ::pwrite(fd_, data + done, size_t(count - done), off_t(pos + done));
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            return false;
        done += w;
    }
    return true;
}

bool DiskFile::Truncate(qint64 size) {
    if (mode_ == Mode::Read || size < 0)
        return false;
    int r;
    do {
        r = ::ftruncate(fd_, off_t(size));
    } while (r != 0 && errno == EINTR);
    if (r != 0)
        return false;
    size_ = size;
    return true;
}

void DiskFile::DropWriteAccess() {
    if (mode_ == Mode::Read)
        return;
    if (lock_)
        lock_->ShareWrites();
    mode_ = Mode::Read;
}
