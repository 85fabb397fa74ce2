#include "editor/EditorRules.h"

#include "platform/Files.h"

#include <QDir>
#include <algorithm>

namespace Orvello {

namespace {

const QString kMarker = QStringLiteral("?:");

// A path that stands for the volume root followed by `rest` (the path on the volume).
QString onVolume(const QString& root, const QString& rest) {
    QString tail = Files::NativePath(rest);
    if (!tail.startsWith(QLatin1Char('/')))
        tail.prepend(QLatin1Char('/'));
    if (root == QLatin1String("/"))
        return tail;
    return root + tail;
}

} // namespace

QString ExtractFileExt(const QString& path) {
    const QString name = ExtractFileName(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}

bool HasExtension(const QString& path, const QString& ext) {
    return ExtractFileExt(path).compare(ext, Qt::CaseInsensitive) == 0;
}

bool IsTemplateFile(const QString& fileName) {
    return HasExtension(fileName, QStringLiteral(".zun"));
}

QString WindowCaption(const QString& title, const QString& projectFileName) {
    if (projectFileName.isEmpty())
        return title;
    return title + QStringLiteral(" - ") + ExtractFileName(projectFileName);
}

QString EntryFolderOf(const QString& programPath) {
    const QString folder = Files::ExtractFilePath(programPath);
    if (folder.size() <= 1)
        return folder;
    return folder.left(folder.size() - 1);
}

int PixelsOfPoints(int points) {
    return int(std::clamp((qint64(points) * 96 + 36) / 72, qint64(1), qint64(1000)));
}

int PointsOfPixels(int pixels) {
    return int((qint64(pixels) * 72 + 48) / 96);
}

QString MarkCdDrive(const QString& path, const std::vector<Volumes::MountEntry>& mounts) {
    if (path.size() <= 2 || path[0] != QLatin1Char('/') || path.startsWith(QLatin1String("//")))
        return path;
    const std::optional<QString> drive = Files::ExtractFileDrive(path, mounts);
    if (!drive)
        return path;
    const QString root = drive->isEmpty() ? QStringLiteral("/") : *drive;
    if (Volumes::DriveTypeOf(root, mounts) != Volumes::DRIVE_CDROM)
        return path;
    const QString rest = drive->isEmpty() ? path : path.mid(drive->size());
    // The root alone ("e:" on the designer's system) has nothing to mark.
    return rest.isEmpty() ? path : kMarker + rest;
}

QString FindOnCdDrive(const QString& path, const std::vector<Volumes::MountEntry>& mounts,
                      QString& cachedRoot) {
    if (path.size() <= 2 || !path.startsWith(kMarker))
        return path;
    const QString rest = path.mid(2);
    if (!cachedRoot.isEmpty()) {
        const QString candidate = onVolume(cachedRoot, rest);
        if (Files::FileExists(candidate))
            return candidate;
    }
    QStringList tried;
    for (const Volumes::MountEntry& m : mounts) {
        const QString root = QDir::cleanPath(m.mountPoint);
        if (tried.contains(root) || Volumes::DriveTypeOf(root, mounts) != Volumes::DRIVE_CDROM)
            continue;
        tried << root;
        const QString candidate = onVolume(root, rest);
        if (Files::FileExists(candidate)) {
            cachedRoot = root;
            return candidate;
        }
    }
    return path;
}

} // namespace Orvello
