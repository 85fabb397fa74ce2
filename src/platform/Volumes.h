#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// Volumes stand in for drives: a path's drive is the root (mount point) of the volume that
// holds it, and the drive type says what kind of volume that is.
namespace Volumes {

enum DriveType : unsigned {
    DRIVE_UNKNOWN = 0,
    DRIVE_NO_ROOT_DIR = 1,
    DRIVE_REMOVABLE = 2,
    DRIVE_FIXED = 3,
    DRIVE_REMOTE = 4,
    DRIVE_CDROM = 5,
    DRIVE_RAMDISK = 6,
};

struct MountEntry {
    QString device;
    QString mountPoint;
    QString fsType;
};

// Reads mount-table text in the form of /proc/mounts (octal escapes such as "\040" decoded).
std::vector<MountEntry> ParseMountTable(const QByteArray& text);
// The mount table of this machine.
std::vector<MountEntry> MountTable();

// Whether a mount is one a user can browse: not one of the kernel's pseudo file systems nor
// of the system's own run-time mounts, and a folder.
bool IsBrowsable(const MountEntry& m);
// The volumes a user can browse, as drive roots: the mounted folders of the table without the
// kernel's pseudo file systems and the system's own run-time mounts, each once, in table order.
QStringList BrowsableVolumes(const std::vector<MountEntry>& table);

// The mount point that holds the absolute native path (the longest matching mount point);
// "/" when none matches.
QString VolumeRoot(const QString& nativePath, const std::vector<MountEntry>& table);
QString VolumeRoot(const QString& nativePath);

// Kind of the volume mounted at `root` (a root from VolumeRoot): an optical file system or
// device is a CD-ROM; a root that is no mount point gives DRIVE_NO_ROOT_DIR.
DriveType DriveTypeOf(const QString& root, const std::vector<MountEntry>& table);
// GetDriveTypeA: the type of the volume that holds the path.
DriveType GetDriveTypeA(const QString& path);

} // namespace Volumes
