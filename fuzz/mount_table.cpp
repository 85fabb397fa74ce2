// Arbitrary bytes as the mount table: the volume list, the volume of a path and the kind of a
// volume must hold up, and every volume they name must be one the table has.
#include "platform/Volumes.h"

#include <QDir>
#include <cstdint>
#include <cstdlib>

using namespace Volumes;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<MountEntry> table =
        ParseMountTable(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    QStringList points{QStringLiteral("/")};
    for (const MountEntry& m : table) {
        if (!m.mountPoint.startsWith('/'))
            abort();
        points << QDir::cleanPath(m.mountPoint);
    }
    QStringList browsable = BrowsableVolumes(table);
    if (browsable.removeDuplicates() != 0)
        abort();
    for (const QString& root : browsable)
        if (!points.contains(root))
            abort();
    for (const MountEntry& m : table) {
        const QString path = m.mountPoint + QStringLiteral("/a b/../c");
        const QString root = VolumeRoot(path, table);
        if (!points.contains(root) || !QDir::cleanPath(path).startsWith(root))
            abort();
        // A mount point is the root of a volume.
        if (DriveTypeOf(m.mountPoint, table) == DRIVE_NO_ROOT_DIR)
            abort();
    }
    return 0;
}
