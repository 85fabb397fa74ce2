#pragma once

#include <memory>

// The share modes with which a program opens a file, held against other programs as locks of
// an open file (open-file-description locks): they go with the close of the last opening of
// the file in this program, or with the end of the program, and never touch the file's bytes.
// Only programs that take them are held back.
//
// Two bytes far beyond any data stand for the two rights. Every opening shares the "use"
// byte; an opening that denies writing holds the "write" byte alone; an exclusive one holds
// both alone:
//   ShareAll   - reading; others may read and write        (use shared)
//   DenyWrite  - reading and writing; others may only read (use shared, write held)
//   Exclusive  - others may not open the file at all       (use and write held)
// So any number of ShareAll openings live beside one DenyWrite opening, a second DenyWrite
// opening fails, and Exclusive succeeds only on a file no other program has open.
//
// Within this program the openings of one file do not hold each other back (the program
// shares its open files by name and decides itself): they hold, together, the strongest share
// any of them needs.
class FileLock {
public:
    enum class Share { ShareAll, DenyWrite, Exclusive };
    enum class Result {
        Locked,      // the share mode holds
        InUse,       // another program's share mode or use forbids it
        Unsupported, // the file system keeps no locks: the file is used without them
    };

    // Takes `share` for one opening of the file open as `fd` (opened for writing unless
    // ShareAll). Null when another program forbids it (`result` InUse); with Unsupported a
    // holder that holds nothing is returned.
    static std::unique_ptr<FileLock> Acquire(int fd, Share share, Result* result = nullptr);
    // Gives up this opening's share.
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    Share Held() const { return share_; }
    // This opening no longer needs more than ShareAll.
    void ShareWrites();

    // The file a lock is about.
    struct Key {
        unsigned long long device;
        unsigned long long inode;
        bool operator<(const Key& o) const {
            return device != o.device ? device < o.device : inode < o.inode;
        }
    };

private:
    FileLock(Key key, Share share, bool holding) : key_(key), share_(share), holding_(holding) {}

    Key key_;
    Share share_;
    bool holding_;
};
