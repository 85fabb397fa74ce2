#include "platform/Files.h"

#include "platform/ProgramImage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace Files {

namespace {

bool hasDriveLetter(const QString& path) {
    return path.size() >= 2 && path[1] == QLatin1Char(':');
}

bool isNetworkPath(const QString& path) {
    return path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
}

// Length of "\\server\share" at the start of a network path (up to the separator after the
// share, or the whole text when nothing follows).
qsizetype networkPrefixLength(const QString& path) {
    qsizetype i = 2;
    for (int part = 0; part < 2; ++part) {
        while (i < path.size() && !IsSeparator(path[i]))
            ++i;
        if (part == 0 && i < path.size())
            ++i; // the separator between server and share
    }
    return i;
}

} // namespace

QString ProgramFile() {
    return ProgramImage::File();
}

QString ProgramFolder() {
    return ExtractFilePath(ProgramFile());
}

int ParamCount() {
    return int(QCoreApplication::arguments().size()) - 1;
}

QString ParamStr(int index) {
    const QStringList args = QCoreApplication::arguments();
    if (index == 0)
        return ProgramFile();
    if (index < 0 || index >= args.size())
        return QString();
    return args[index];
}

QStringList Arguments() {
    QStringList args = QCoreApplication::arguments();
    if (!args.isEmpty())
        args.removeFirst();
    return args;
}

QString NativePath(const QString& path) {
    QString native = path;
    native.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return native;
}

QString ExistingOrNativePath(const QString& path) {
    if (!path.contains(QLatin1Char('\\')) || QFileInfo::exists(path))
        return path;
    return NativePath(path);
}

bool FileExists(const QString& path) {
    if (path.isEmpty())
        return false;
    return QFileInfo(NativePath(path)).isFile();
}

QString GetCurrentDir() {
    return QDir::currentPath();
}

bool SetCurrentDir(const QString& folder) {
    if (folder.isEmpty())
        return false;
    return QDir::setCurrent(NativePath(folder));
}

QString CanonicalPath(const QString& path) {
    const QString canonical = QFileInfo(NativePath(path)).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

bool IsSeparator(QChar c) {
    return c == QLatin1Char('\\') || c == QLatin1Char('/');
}

bool IsAbsolutePath(const QString& path) {
    return hasDriveLetter(path) || (!path.isEmpty() && IsSeparator(path[0]));
}

QString ExtractFilePath(const QString& path) {
    for (qsizetype i = path.size() - 1; i >= 0; --i)
        if (IsSeparator(path[i]) || path[i] == QLatin1Char(':'))
            return path.left(i + 1);
    return QString();
}

QString ExtractFileName(const QString& path) {
    return path.mid(ExtractFilePath(path).size());
}

QString ExpandFileName(const QString& path, const QString& workingFolder) {
    const QString full = IsAbsolutePath(path) ? path : workingFolder + QLatin1Char('/') + path;

    QString prefix;
    qsizetype restStart = 0;
    bool windowsForm = false;
    if (hasDriveLetter(full)) {
        prefix = full.left(2);
        restStart = 2;
        windowsForm = true;
    } else if (isNetworkPath(full)) {
        restStart = networkPrefixLength(full);
        prefix = full.left(restStart);
        windowsForm = full[0] == QLatin1Char('\\');
    }
    const QChar sep = windowsForm ? QLatin1Char('\\') : QLatin1Char('/');
    if (windowsForm)
        prefix.replace(QLatin1Char('/'), sep);
    else
        prefix.replace(QLatin1Char('\\'), sep);

    QStringList parts;
    QString part;
    auto flush = [&] {
        if (part == QLatin1String("..")) {
            if (!parts.isEmpty())
                parts.removeLast();
        } else if (!part.isEmpty() && part != QLatin1String(".")) {
            parts.append(part);
        }
        part.clear();
    };
    for (qsizetype i = restStart; i < full.size(); ++i) {
        if (IsSeparator(full[i]))
            flush();
        else
            part += full[i];
    }
    flush();

    QString result = prefix + sep + parts.join(sep);
    if (!parts.isEmpty() && !path.isEmpty() && IsSeparator(path.back()))
        result += sep;
    return result;
}

std::optional<QString> ExtractFileDrive(const QString& path,
                                        const std::vector<Volumes::MountEntry>& mounts) {
    if (hasDriveLetter(path))
        return path.left(2);
    if (isNetworkPath(path))
        return path.left(networkPrefixLength(path));
    if (path.isEmpty() || !IsSeparator(path[0]))
        return std::nullopt;
    const QString native = NativePath(path);
    const QString root = Volumes::VolumeRoot(native, mounts);
    if (root == QLatin1String("/"))
        return QString();
    // The root must stand literally at the start, so that what follows it is the path on the
    // volume; a path that reaches the volume only after folding "." or ".." counts as being
    // on the root volume.
    if (native.startsWith(root) && (native.size() == root.size() || native[root.size()] == '/'))
        return path.left(root.size());
    return QString();
}

} // namespace Files
