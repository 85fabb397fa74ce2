#include "platform/Trash.h"

#include "platform/ReplaceFile.h"
#include "platform/Volumes.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Trash {

namespace {

// Names tried for one file before the trash is taken for unusable.
constexpr int kMostNames = 10000;

QByteArray encoded(const QString& path) {
    return QFile::encodeName(path);
}

QString readOnly(const QString& folder) {
    return QStringLiteral("the folder \"%1\" is read-only.").arg(folder);
}

QString unmakeable(const QString& path, int error) {
    return error == EROFS
               ? readOnly(QFileInfo(path).path())
               : QStringLiteral("\"%1\" cannot be made: %2").arg(path, Files::ErrorText(error));
}

// The folders one move to the trash made; unless the move succeeds they go again, innermost
// first, so that a trash that could not be used leaves nothing behind.
class TMadeFolders {
public:
    ~TMadeFolders() {
        if (!keep)
            for (auto folder = made_.crbegin(); folder != made_.crend(); ++folder)
                ::rmdir(encoded(*folder).constData());
    }

    // Makes the folder unless it is there: empty, or why it cannot serve. One that is there
    // must be a folder of this user's own, not a link that could lead elsewhere.
    QString Make(const QString& folder) {
        struct stat st {};
        if (::lstat(encoded(folder).constData(), &st) == 0)
            return S_ISDIR(st.st_mode) && st.st_uid == ::getuid()
                       ? QString()
                       : QStringLiteral("\"%1\" is no trash folder of this user's own.")
                             .arg(folder);
        if (::mkdir(encoded(folder).constData(), 0700) != 0)
            return unmakeable(folder, errno);
        made_ << folder;
        return {};
    }
    // The same with the folders above it that are missing.
    QString MakeWithParents(const QString& folder) {
        const QString parent = QFileInfo(folder).path();
        if (parent != folder && !QFileInfo::exists(parent))
            if (QString why = MakeWithParents(parent); !why.isEmpty())
                return why;
        return Make(folder);
    }

    bool keep = false;

private:
    QStringList made_;
};

QString homeTrash() {
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (!data.startsWith(QLatin1Char('/')))
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(data) + QStringLiteral("/Trash");
}

// The mount that holds the path, or the nearest folder above it that exists. A file moves by
// a rename only within one mount, even between two mounts of the same volume.
QString mountOf(QString path) {
    while (!QFileInfo::exists(path) && QFileInfo(path).path() != path)
        path = QFileInfo(path).path();
    return Volumes::VolumeRoot(QFileInfo(path).canonicalFilePath());
}

// "name.2", "name.3", ... before the extension, for a name the trash holds already.
QString numbered(const QString& name, int n) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const qsizetype at = dot > 0 ? dot : name.size();
    return name.left(at) + QLatin1Char('.') + QString::number(n) + name.mid(at);
}

} // namespace

QString MoveToTrash(const QString& path) {
    const QFileInfo info(path);
    if (!Files::NameTaken(path))
        return Files::ErrorText(ENOENT);
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    const QString source = QDir(folder).filePath(info.fileName());
    // The file leaves its folder: where that cannot change, no trash is made for nothing.
    if (::access(encoded(folder).constData(), W_OK) != 0)
        return errno == EROFS ? readOnly(folder)
                              : QStringLiteral("the folder \"%1\" cannot be changed: %2")
                                    .arg(folder, Files::ErrorText(errno));

    TMadeFolders made;
    QString trash;
    QString recorded; // where the file came from, as its record says
    const QString home = homeTrash();
    const QString top = mountOf(folder);
    if (mountOf(home) == top) {
        trash = home;
        recorded = source;
        if (QString why = made.MakeWithParents(home); !why.isEmpty())
            return why;
    } else {
        // Another volume keeps its own trash, and the record names the file from its top.
        recorded = source.mid(top == QLatin1String("/") ? 1 : top.size() + 1);
        const QString uid = QString::number(::getuid());
        const QString shared = top + QStringLiteral("/.Trash");
        struct stat st {};
        // A shared trash counts only as an administrator sets it up: a folder, sticky.
        if (::lstat(encoded(shared).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
            (st.st_mode & S_ISVTX) && made.Make(shared + QLatin1Char('/') + uid).isEmpty()) {
            trash = shared + QLatin1Char('/') + uid;
        } else {
            trash = QDir(top).filePath(QStringLiteral(".Trash-") + uid);
            if (QString why = made.Make(trash); !why.isEmpty())
                return why;
        }
    }
    for (const char* part : {"/files", "/info"})
        if (QString why = made.Make(trash + QLatin1String(part)); !why.isEmpty())
            return why;

    // The record is made first and claims the name, so that two moves never share one.
    const QByteArray record =
        "[Trash Info]\nPath=" + encoded(recorded).toPercentEncoding("/") + "\nDeletionDate=" +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddThh:mm:ss")).toUtf8() +
        "\n";
    for (int n = 1; n <= kMostNames; ++n) {
        const QString name = n == 1 ? info.fileName() : numbered(info.fileName(), n);
        const QString infoPath =
            trash + QStringLiteral("/info/") + name + QStringLiteral(".trashinfo");
        const QString target = trash + QStringLiteral("/files/") + name;
        const int fd =
            ::open(encoded(infoPath).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return unmakeable(infoPath, errno);
        const bool written =
            ::write(fd, record.constData(), size_t(record.size())) == record.size();
        const int writeError = errno;
        ::close(fd);
        int error = written ? 0 : (writeError ? writeError : EIO);
        if (!error && Files::NameTaken(target))
            error = EEXIST;
        if (!error)
            error = Files::RenamePath(source, target, false);
        if (!error) {
            made.keep = true;
            return {};
        }
        ::unlink(encoded(infoPath).constData());
        if (error != EEXIST)
            return Files::ErrorText(error);
    }
    return QStringLiteral("the trash \"%1\" holds too many files of that name.").arg(trash);
}

} // namespace Trash
