#include "platform/FileCopy.h"

#include "platform/Files.h"
#include "platform/ReplaceFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace Files {

namespace {

constexpr qint64 kBlockSize = qint64(1) << 20;

// Copies one file into a new file at `target` (which does not exist yet).
bool copyNewFile(const QString& source, const QString& target) {
    QFile in(source);
    QFile out(target);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    const bool copied = CopyContent(in, out, kBlockSize) == TCopyResult::Copied && out.flush() &&
                        out.setPermissions(in.permissions());
    out.close();
    return copied && out.error() == QFileDevice::NoError;
}

bool copyTree(const QString& source, const QString& target) {
    const QFileInfoList entries = QDir(source).entryInfoList(QDir::AllEntries | QDir::Hidden |
                                                             QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        const QString to = target + QLatin1Char('/') + entry.fileName();
        if (entry.isDir()) {
            // A link to a folder could lead anywhere, even back here.
            if (entry.isSymLink() || !QDir().mkdir(to) || !copyTree(entry.filePath(), to))
                return false;
        } else if (!entry.isFile() || !copyNewFile(entry.filePath(), to)) {
            return false;
        }
    }
    return true;
}

} // namespace

bool SameFile(const QString& a, const QString& b) {
    const QString ca = QFileInfo(ExistingOrNativePath(a)).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(ExistingOrNativePath(b)).canonicalFilePath();
}

bool CopyFileA(const QString& existing, const QString& target, bool failIfExists) {
    const QString from = ExistingOrNativePath(existing);
    const QString to = ExistingOrNativePath(target);
    if (!QFileInfo(from).isFile())
        return false;
    if (NameTaken(to)) {
        if (failIfExists)
            return false;
        if (SameFile(from, to))
            return true;
    }

    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    return TReplaceFile::Write(
        to, [&in](QFile& out) { return CopyContent(in, out, kBlockSize) == TCopyResult::Copied; },
        TReplaceFile::Replace, in.permissions());
}

bool DeleteFileA(const QString& path) {
    const QString native = ExistingOrNativePath(path);
    const QFileInfo info(native);
    if (info.isDir() && !info.isSymLink())
        return false;
    return NameTaken(native) && QFile::remove(native);
}

bool CreateEmptyFile(const QString& path) {
    const QString native = ExistingOrNativePath(path);
    if (QFileInfo(native).isFile())
        return true;
    QFile file(native);
    return file.open(QIODevice::WriteOnly | QIODevice::NewOnly);
}

bool WriteWholeFile(const QString& path, const QByteArray& bytes, bool executable) {
    QFileDevice::Permissions permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ReadGroup | QFileDevice::ReadOther;
    if (executable)
        permissions |= QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;
    return TReplaceFile::Write(
        ExistingOrNativePath(path),
        [&bytes](QFile& out) { return out.write(bytes) == bytes.size(); }, TReplaceFile::Replace,
        permissions);
}

QStringList FindFiles(const QString& folder, const QString& masks) {
    QDir dir(ExistingOrNativePath(folder));
    dir.setNameFilters(masks.split(QLatin1Char(';'), Qt::SkipEmptyParts));
    dir.setFilter(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot |
                  QDir::CaseSensitive);
    dir.setSorting(QDir::Unsorted);
    return dir.entryList();
}

bool DirectoryExists(const QString& path) {
    return !path.isEmpty() && QFileInfo(ExistingOrNativePath(path)).isDir();
}

bool CopyFolder(const QString& source, const QString& target) {
    const QString from = ExistingOrNativePath(source);
    const QString to = ExistingOrNativePath(target);
    if (!QFileInfo(from).isDir() || NameTaken(to))
        return false;
    QTemporaryDir partial(TReplaceFile::TemporaryTemplate(to));
    if (!partial.isValid() || !copyTree(from, partial.path()) ||
        !QFile::setPermissions(partial.path(), QFileInfo(from).permissions()))
        return false;
    if (RenamePath(partial.path(), to, false) != 0)
        return false;
    partial.setAutoRemove(false);
    return true;
}

bool RemoveFolder(const QString& path) {
    const QString native = ExistingOrNativePath(path);
    const QFileInfo info(native);
    if (info.isSymLink())
        return QFile::remove(native);
    if (!info.exists())
        return true;
    return info.isDir() && QDir(native).removeRecursively();
}

} // namespace Files
