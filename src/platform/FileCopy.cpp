#include "platform/FileCopy.h"

#include "platform/Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <filesystem>
#include <functional>
#include <system_error>

namespace Files {

namespace {

// Replaces whatever is at `to` (a file or a link, never a folder) by `from` in one step.
bool replaceWith(const QString& from, const QString& to) {
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(from).toStdString(),
                            QFile::encodeName(to).toStdString(), error);
    return !error;
}

// A hidden temporary name beside `path`, for a file or folder that takes its place.
QString partialTemplate(const QString& path) {
    const QFileInfo info(path);
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() +
           QStringLiteral(".partial-XXXXXX");
}

bool copyContent(QFile& in, QFile& out) {
    constexpr qint64 block = qint64(1) << 20;
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(block);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError)
            return false;
        if (out.write(chunk) != chunk.size())
            return false;
    }
    return in.error() == QFileDevice::NoError && out.flush();
}

// Writes a file beside `to` under a hidden name, with the permissions given, and puts it in
// the place of `to` once it is complete; nothing is left behind when writing fails.
bool writeInPlaceOf(const QString& to, QFileDevice::Permissions permissions,
                    const std::function<bool(QFile&)>& write) {
    QTemporaryFile out(partialTemplate(to));
    if (!out.open() || !write(out) || !out.setPermissions(permissions))
        return false;
    out.close();
    if (out.error() != QFileDevice::NoError || !replaceWith(out.fileName(), to))
        return false;
    out.setAutoRemove(false);
    return true;
}

// Copies one file into a new file at `target` (which does not exist yet).
bool copyNewFile(const QString& source, const QString& target) {
    QFile in(source);
    QFile out(target);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    const bool copied = copyContent(in, out) && out.setPermissions(in.permissions());
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
    const QFileInfo old(to);
    if (old.exists() || old.isSymLink()) {
        if (failIfExists || (old.isDir() && !old.isSymLink()))
            return false;
        if (SameFile(from, to))
            return true;
    }

    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    return writeInPlaceOf(to, in.permissions(), [&in](QFile& out) { return copyContent(in, out); });
}

bool DeleteFileA(const QString& path) {
    const QString native = ExistingOrNativePath(path);
    const QFileInfo info(native);
    if (info.isDir() && !info.isSymLink())
        return false;
    return (info.exists() || info.isSymLink()) && QFile::remove(native);
}

bool CreateEmptyFile(const QString& path) {
    const QString native = ExistingOrNativePath(path);
    if (QFileInfo(native).isFile())
        return true;
    QFile file(native);
    return file.open(QIODevice::WriteOnly | QIODevice::NewOnly);
}

bool WriteWholeFile(const QString& path, const QByteArray& bytes) {
    const QString native = ExistingOrNativePath(path);
    const QFileInfo old(native);
    if (old.isDir() && !old.isSymLink())
        return false;
    return writeInPlaceOf(
        native,
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
            QFileDevice::ReadOther,
        [&bytes](QFile& out) { return out.write(bytes) == bytes.size() && out.flush(); });
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
    const QFileInfo old(to);
    if (!QFileInfo(from).isDir() || old.exists() || old.isSymLink())
        return false;
    QTemporaryDir partial(partialTemplate(to));
    if (!partial.isValid() || !copyTree(from, partial.path()) ||
        !QFile::setPermissions(partial.path(), QFileInfo(from).permissions()))
        return false;
    if (!replaceWith(partial.path(), to))
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
