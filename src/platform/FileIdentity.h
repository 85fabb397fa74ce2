#pragma once

#include <QString>
#include <QtGlobal>

// What a file is, whatever name reaches it: the volume it lies on and its number there. Two
// names (another letter case on a volume that tells cases apart, a link, a path with "..")
// name one file exactly when their identities are equal; a file kept open keeps its identity
// even when its name is removed or given to another file meanwhile.
struct FileIdentity {
    quint64 Device = 0;
    quint64 Inode = 0;
    bool Valid = false;

    // Equal only for two valid identities of one file.
    bool operator==(const FileIdentity& other) const {
        return Valid && other.Valid && Device == other.Device && Inode == other.Inode;
    }

    // The file a path names (links followed); invalid when there is none.
    static FileIdentity OfPath(const QString& path);
    // The file an open handle holds (a descriptor as Qt's file classes give it).
    static FileIdentity OfHandle(int handle);
};
