#include "platform/FileLock.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Far beyond the largest file a table can make, so that no byte range another program locks
// in its data comes near them.
constexpr off_t UseByte = 0x7FFFFFFFFFFFFF00;
constexpr off_t WriteByte = UseByte + 1;

int setLock(int fd, short type, off_t at, off_t length = 1) {
    struct flock fl = {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = at;
    fl.l_len = length;
    while (fcntl(fd, F_OFD_SETLK, &fl) != 0) {
        if (errno != EINTR)
            return errno;
    }
    return 0;
}

bool unsupported(int error) {
    return error == ENOLCK || error == EINVAL || error == EOPNOTSUPP || error == ENOSYS;
}

bool writable(int fd) {
    const int flags = fcntl(fd, F_GETFL);
    return flags >= 0 && (flags & O_ACCMODE) != O_RDONLY;
}

// The locks of a share on one open file description; 0 or the error that kept them.
int lockFor(int fd, FileLock::Share share) {
    using Share = FileLock::Share;
    int error = setLock(fd, share == Share::Exclusive ? F_WRLCK : F_RDLCK, UseByte);
    if (error != 0)
        return error;
    if (share == Share::ShareAll)
        return setLock(fd, F_UNLCK, WriteByte);
    return setLock(fd, F_WRLCK, WriteByte);
}

// The openings of one file in this program: one open file description holds their locks.
struct Entry {
    int fd = -1;
    std::array<int, 3> openings{};
    FileLock::Share held = FileLock::Share::ShareAll;

    FileLock::Share strongest() const {
        for (int s = 2; s > 0; --s)
            if (openings[size_t(s)] > 0)
                return FileLock::Share(s);
        return FileLock::Share::ShareAll;
    }
};

// Never destroyed, like the mutex below: a program may still close a file while it ends, after
// the objects of this file would have gone.
std::map<FileLock::Key, Entry>& entries() {
    static auto* all = new std::map<FileLock::Key, Entry>;
    return *all;
}

std::mutex& entriesMutex() {
    static auto* m = new std::mutex;
    return *m;
}

// Brings the entry's locks to `share`, taking them on a description of `fd` when its own
// cannot hold a write lock. 0 or the error that kept them (then the entry holds what it held).
int raise(Entry& e, int fd, FileLock::Share share) {
    if (share <= e.held)
        return 0;
    if (writable(e.fd)) {
        const int error = lockFor(e.fd, share);
        if (error != 0)
            lockFor(e.fd, e.held);
        else
            e.held = share;
        return error;
    }
    // Only a description open for writing holds a write lock: move the locks to a copy of
    // the new opening's. The old one's shared use would stand in the way of an exclusive use.
    const int moved = dup(fd);
    if (moved < 0)
        return errno;
    setLock(e.fd, F_UNLCK, UseByte, 2);
    const int error = lockFor(moved, share);
    if (error != 0) {
        setLock(moved, F_UNLCK, UseByte, 2);
        close(moved);
        lockFor(e.fd, e.held);
        return error;
    }
    close(e.fd);
    e.fd = moved;
    e.held = share;
    return 0;
}

} // namespace

std::unique_ptr<FileLock> FileLock::Acquire(int fd, Share share, Result* result) {
    Result dummy;
    Result& r = result ? *result : dummy;
    // No lock: refused when another program holds the file, else (the file system takes no
    // locks, or `error` is 0 for a step that failed before locking) the file goes unguarded.
    const auto unlocked = [&](const Key& key, int error) -> std::unique_ptr<FileLock> {
        if (error != 0 && !unsupported(error)) {
            r = Result::InUse;
            return nullptr;
        }
        r = Result::Unsupported;
        return std::unique_ptr<FileLock>(new FileLock(key, share, false));
    };
    struct stat st = {};
    if (fstat(fd, &st) != 0)
        return unlocked({0, 0}, 0);
    const Key key{static_cast<unsigned long long>(st.st_dev),
                  static_cast<unsigned long long>(st.st_ino)};
    std::lock_guard<std::mutex> guard(entriesMutex());
    auto& all = entries();
    auto it = all.find(key);
    if (it == all.end()) {
        const int own = dup(fd);
        if (own < 0)
            return unlocked(key, 0);
        if (const int error = lockFor(own, share)) {
            setLock(own, F_UNLCK, UseByte, 2);
            close(own);
            return unlocked(key, error);
        }
        Entry e;
        e.fd = own;
        e.held = share;
        it = all.emplace(key, e).first;
    } else if (const int error = raise(it->second, fd, share)) {
        return unlocked(key, error);
    }
    ++it->second.openings[size_t(share)];
    r = Result::Locked;
    return std::unique_ptr<FileLock>(new FileLock(key, share, true));
}

namespace {

// One opening of the file gives up its share: all of it, or all but ShareAll.
void lower(const FileLock::Key& key, FileLock::Share from, bool keepSharing) {
    std::lock_guard<std::mutex> guard(entriesMutex());
    auto& all = entries();
    auto it = all.find(key);
    if (it == all.end())
        return;
    Entry& e = it->second;
    if (e.openings[size_t(from)] > 0)
        --e.openings[size_t(from)];
    if (keepSharing)
        ++e.openings[size_t(FileLock::Share::ShareAll)];
    if (e.openings[0] + e.openings[1] + e.openings[2] == 0) {
        setLock(e.fd, F_UNLCK, UseByte, 2);
        close(e.fd);
        all.erase(it);
        return;
    }
    const FileLock::Share needed = e.strongest();
    if (needed < e.held && lockFor(e.fd, needed) == 0)
        e.held = needed;
}

} // namespace

FileLock::~FileLock() {
    if (holding_)
        lower(key_, share_, false);
}

void FileLock::ShareWrites() {
    if (share_ == Share::ShareAll)
        return;
    if (holding_)
        lower(key_, share_, true);
    share_ = Share::ShareAll;
}
