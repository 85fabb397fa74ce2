#include "platform/Volumes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSet>

namespace Volumes {

namespace {

// /proc/mounts escapes blanks, tabs, newlines and backslashes as three octal digits.
QString unescape(const QByteArray& field) {
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const char c = field[i];
        if (c == '\\' && i + 3 < field.size()) {
            const char a = field[i + 1], b = field[i + 2], d = field[i + 3];
            if (a >= '0' && a <= '3' && b >= '0' && b <= '7' && d >= '0' && d <= '7') {
                out += char(((a - '0') << 6) | ((b - '0') << 3) | (d - '0'));
                i += 3;
                continue;
            }
        }
        out += c;
    }
    return QString::fromUtf8(out);
}

bool isUnder(const QString& path, const QString& root) {
    if (root == QLatin1String("/"))
        return path.startsWith('/');
    return path == root || path.startsWith(root + '/');
}

} // namespace

// The kernel's own file systems and the system's run-time mounts are no place to browse.
bool IsBrowsable(const MountEntry& m) {
    static const QSet<QString> pseudo = {
        "proc",       "sysfs",    "cgroup",    "cgroup2",         "devpts",      "devtmpfs",
        "securityfs", "pstore",   "bpf",       "debugfs",         "tracefs",     "mqueue",
        "hugetlbfs",  "configfs", "fusectl",   "autofs",          "binfmt_misc", "efivarfs",
        "rpc_pipefs", "nsfs",     "selinuxfs", "fuse.gvfsd-fuse", "fuse.portal"};
    if (pseudo.contains(m.fsType))
        return false;
    const QString point = QDir::cleanPath(m.mountPoint);
    for (const char* system : {"/proc", "/sys", "/dev", "/snap"})
        if (point == QLatin1String(system) || point.startsWith(QLatin1String(system) + '/'))
            return false;
    if (point == QLatin1String("/run") || (point.startsWith(QLatin1String("/run/")) &&
                                           !point.startsWith(QLatin1String("/run/media/"))))
        return false;
    return QFileInfo(point).isDir();
}

QStringList BrowsableVolumes(const std::vector<MountEntry>& table) {
    QStringList roots;
    for (const MountEntry& m : table) {
        const QString point = QDir::cleanPath(m.mountPoint);
        if (IsBrowsable(m) && !roots.contains(point))
            roots << point;
    }
    return roots;
}

std::vector<MountEntry> ParseMountTable(const QByteArray& text) {
    std::vector<MountEntry> table;
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 3 || fields[1].isEmpty() || !fields[1].startsWith('/'))
            continue;
        table.push_back({unescape(fields[0]), unescape(fields[1]), QString::fromUtf8(fields[2])});
    }
    return table;
}

std::vector<MountEntry> MountTable() {
    QFile f(QStringLiteral("/proc/self/mounts"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    // /proc files report size 0: read until the end.
    return ParseMountTable(f.readAll());
}

QString VolumeRoot(const QString& nativePath, const std::vector<MountEntry>& table) {
    QString path = QDir::cleanPath(nativePath);
    QString best = QStringLiteral("/");
    for (const MountEntry& m : table) {
        const QString root = QDir::cleanPath(m.mountPoint);
        if (isUnder(path, root) && root.size() > best.size())
            best = root;
    }
    return best;
}

QString VolumeRoot(const QString& nativePath) {
    return VolumeRoot(QFileInfo(nativePath).absoluteFilePath(), MountTable());
}

DriveType DriveTypeOf(const QString& root, const std::vector<MountEntry>& table) {
    const QString clean = QDir::cleanPath(root);
    const MountEntry* found = nullptr;
    for (const MountEntry& m : table)
        if (QDir::cleanPath(m.mountPoint) == clean)
            found = &m; // the last mount on a point is the one in force
    if (!found)
        return clean == QLatin1String("/") ? DRIVE_FIXED : DRIVE_NO_ROOT_DIR;
    const QString fs = found->fsType.toLower();
    const QString dev = found->device;
    if (fs == QLatin1String("iso9660") || fs == QLatin1String("udf") ||
        dev.startsWith(QLatin1String("/dev/sr")) || dev.startsWith(QLatin1String("/dev/cdrom")))
        return DRIVE_CDROM;
    if (fs == QLatin1String("tmpfs") || fs == QLatin1String("ramfs"))
        return DRIVE_RAMDISK;
    if (fs.startsWith(QLatin1String("nfs")) || fs == QLatin1String("cifs") ||
        fs == QLatin1String("smbfs") || fs == QLatin1String("smb3") ||
        fs.startsWith(QLatin1String("fuse.sshfs")) || fs == QLatin1String("9p"))
        return DRIVE_REMOTE;
    if (fs == QLatin1String("vfat") || fs == QLatin1String("exfat") || fs == QLatin1String("msdos"))
        return DRIVE_REMOVABLE;
    return DRIVE_FIXED;
}

DriveType GetDriveTypeA(const QString& path) {
    if (path.isEmpty())
        return DRIVE_NO_ROOT_DIR;
    const QFileInfo info(path);
    if (!info.exists())
        return DRIVE_NO_ROOT_DIR;
    const std::vector<MountEntry> table = MountTable();
    return DriveTypeOf(VolumeRoot(info.absoluteFilePath(), table), table);
}

} // namespace Volumes
