#include "platform/FileOperation.h"

#include "platform/Files.h"
#include "platform/ReplaceFile.h"
#include "platform/Trash.h"
#include "platform/WinError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace Shell {

QStringList NameList(const QString& list) {
    QStringList names;
    for (const QString& name : list.split(QChar(0))) {
        if (name.isEmpty())
            break;
        names << name;
    }
    return names;
}

QString ToNameList(const QString& text) {
    QString list = text;
    if (!QFileInfo::exists(Files::ExistingOrNativePath(text)))
        list.replace(QLatin1Char(';'), QChar(0));
    return list + QChar(0) + QChar(0);
}

} // namespace Shell

namespace {

int codeOf(int err) {
    switch (err) {
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
        return ERROR_ACCESS_DENIED;
    case EEXIST:
        return ERROR_ALREADY_EXISTS;
    case ENOSPC:
    case EDQUOT:
        return ERROR_DISK_FULL;
    case EXDEV:
        return ERROR_NOT_SAME_DEVICE;
    default:
        return ERROR_WRITE_FAULT;
    }
}

QString caption(unsigned func) {
    switch (func) {
    case FO_MOVE:
        return QStringLiteral("Error Moving File");
    case FO_DELETE:
        return QStringLiteral("Error Deleting File");
    case FO_RENAME:
        return QStringLiteral("Error Renaming File");
    default:
        return QStringLiteral("Error Copying File");
    }
}

QString verbOf(bool move) {
    return move ? QStringLiteral("move") : QStringLiteral("copy");
}

// A name as the file system takes it: native separators, full, "." and ".." folded.
QString fullPath(const QString& name) {
    return QDir::cleanPath(QDir::current().absoluteFilePath(Files::ExistingOrNativePath(name)));
}

bool sameFile(const QString& a, const QString& b) {
    struct stat sa {};
    struct stat sb {};
    return ::stat(QFile::encodeName(a).constData(), &sa) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

} // namespace

int TFileOperation::Fail(unsigned func, const QString& text, int code) {
    ui_.ShowError(caption(func), text);
    return code;
}

int TFileOperation::Run(SHFILEOPSTRUCTA& op) {
    op.fAnyOperationsAborted = false;
    replaceAll_ = false;
    QStringList sources = Shell::NameList(op.pFrom);
    QStringList targets = Shell::NameList(op.pTo);
    for (QString& s : sources)
        s = fullPath(s);
    for (QString& t : targets)
        t = fullPath(t);
    if (sources.isEmpty())
        return ERROR_INVALID_PARAMETER;

    switch (op.wFunc) {
    case FO_DELETE:
        return Delete(sources, op);
    case FO_RENAME:
        if (sources.size() != 1 || targets.size() != 1)
            return Fail(FO_RENAME,
                        QStringLiteral("Cannot rename \"%1\": give one new name (\";\" separates "
                                       "names).")
                            .arg(sources.first()),
                        ERROR_INVALID_PARAMETER);
        return Rename(sources.first(), targets.first());
    case FO_COPY:
    case FO_MOVE: {
        const bool move = op.wFunc == FO_MOVE;
        if (targets.size() != 1)
            return Fail(op.wFunc,
                        QStringLiteral("Cannot %1 \"%2\": give one target folder (\";\" separates "
                                       "names).")
                            .arg(verbOf(move), sources.first()),
                        ERROR_INVALID_PARAMETER);
        const QString& destination = targets.first();
        const bool intoFolder = QFileInfo(destination).isDir();
        if (!intoFolder && sources.size() > 1)
            return Fail(op.wFunc,
                        QStringLiteral("Cannot %1 several files to \"%2\": it is no folder.")
                            .arg(verbOf(move), destination),
                        ERROR_PATH_NOT_FOUND);
        for (const QString& source : sources) {
            const QString target =
                intoFolder ? QDir(destination).filePath(QFileInfo(source).fileName()) : destination;
            if (const int code = Transfer(source, target, move, sources.size() > 1, op))
                return code;
        }
        return 0;
    }
    default:
        return ERROR_INVALID_PARAMETER;
    }
}

int TFileOperation::Transfer(const QString& source, const QString& target, bool move, bool several,
                             SHFILEOPSTRUCTA& op) {
    const unsigned func = move ? FO_MOVE : FO_COPY;
    const QString verb = verbOf(move);
    const QFileInfo from(source);
    const QFileInfo to(target);
    const QString folder = to.path();
    if (!from.exists())
        return Fail(func,
                    QStringLiteral("Cannot %1 \"%2\": the file does not exist.").arg(verb, source),
                    ERROR_FILE_NOT_FOUND);
    if (from.isDir())
        return Fail(
            func, QStringLiteral("Cannot %1 \"%2\": it is a folder, not a file.").arg(verb, source),
            ERROR_ACCESS_DENIED);
    if (!QFileInfo(folder).isDir())
        return Fail(func,
                    QStringLiteral("Cannot %1 \"%2\": the folder \"%3\" does not exist.")
                        .arg(verb, source, folder),
                    ERROR_PATH_NOT_FOUND);
    if (sameFile(source, target))
        return Fail(func,
                    QStringLiteral("Cannot %1 \"%2\" to \"%3\": it is the file itself.")
                        .arg(verb, source, folder),
                    ERROR_ACCESS_DENIED);

    bool replace = false;
    if (Files::NameTaken(target)) {
        if (to.isDir())
            return Fail(func,
                        QStringLiteral("Cannot %1 \"%2\": there is a folder named \"%3\".")
                            .arg(verb, source, target),
                        ERROR_ALREADY_EXISTS);
        TFileOperationUi::TAnswer answer =
            replaceAll_ ? TFileOperationUi::Yes : ui_.ConfirmReplace(target, source, several);
        if (answer == TFileOperationUi::No || answer == TFileOperationUi::Cancel) {
            op.fAnyOperationsAborted = true;
            return answer == TFileOperationUi::Cancel ? int(ERROR_CANCELLED) : 0;
        }
        replaceAll_ = replaceAll_ || answer == TFileOperationUi::YesToAll;
        replace = true;
    }

    if (move) {
        const int err = Files::RenamePath(source, target, replace);
        if (err == 0)
            return 0;
        if (err == EEXIST)
            return Fail(func,
                        QStringLiteral("Cannot move \"%1\": \"%2\" came to exist meanwhile.")
                            .arg(source, target),
                        ERROR_ALREADY_EXISTS);
        if (err != EXDEV)
            return Fail(func,
                        QStringLiteral("Cannot move \"%1\" to \"%2\": %3")
                            .arg(source, folder, Files::ErrorText(err)),
                        codeOf(err));
        // Another volume: a copy, and the source goes only once the copy stands.
    }
    if (const int code = CopyFile(source, target, replace, move, op))
        return code;
    if (move && ::unlink(QFile::encodeName(source).constData()) != 0) {
        const int err = errno;
        return Fail(func,
                    QStringLiteral("\"%1\" was copied to \"%2\" but could not be removed: %3")
                        .arg(source, folder, Files::ErrorText(err)),
                    codeOf(err));
    }
    return 0;
}

int TFileOperation::CopyFile(const QString& source, const QString& target, bool replace, bool move,
                             SHFILEOPSTRUCTA& op) {
    const unsigned func = move ? FO_MOVE : FO_COPY;
    const QString verb = verbOf(move);
    const QString folder = QFileInfo(target).path();
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return Fail(func,
                    QStringLiteral("Cannot %1 \"%2\": %3").arg(verb, source, in.errorString()),
                    ERROR_READ_FAULT);
    TReplaceFile out(target, replace ? TReplaceFile::Replace : TReplaceFile::KeepExisting);
    out.SetPermissions(in.permissions());
    out.SetModificationTime(QFileInfo(source).lastModified());
    if (!out.Open())
        return Fail(func,
                    QStringLiteral("Cannot %1 \"%2\" to \"%3\": %4")
                        .arg(verb, source, folder, out.ErrorString()),
                    ERROR_ACCESS_DENIED);

    QString failure;
    int code = 0;
    int writeError = 0;
    ui_.BeginCopy(source, folder, in.size(), move);
    switch (Files::CopyContent(
        in, out.File(), BlockSize, [this](qint64 done) { return ui_.CopyProgress(done); },
        [&](QFile&, const QByteArray& block) {
            writeError = WriteBlock(out, block.constData(), block.size());
            return writeError ? qint64(-1) : qint64(block.size());
        })) {
    case Files::TCopyResult::ReadFailed:
        failure = in.errorString();
        code = ERROR_READ_FAULT;
        break;
    case Files::TCopyResult::WriteFailed:
        failure = Files::ErrorText(writeError);
        code = codeOf(writeError);
        break;
    case Files::TCopyResult::Stopped:
        code = ERROR_CANCELLED;
        break;
    case Files::TCopyResult::Copied:
        // On the disk before the progress ends, so that what it reports is really done.
        if (!out.Flush()) {
            failure = out.ErrorString();
            code = codeOf(out.Error());
        }
        break;
    }
    ui_.EndCopy();
    // What was written of a copy that stops goes before anything is shown: on a full disk it
    // would keep the disk full while the user reads why.
    if (code != 0)
        out.Discard();
    if (code == ERROR_CANCELLED) {
        op.fAnyOperationsAborted = true;
        return code;
    }
    if (code != 0)
        return Fail(
            func,
            QStringLiteral("Cannot %1 \"%2\" to \"%3\": %4").arg(verb, source, folder, failure),
            code);
    if (!out.Commit()) {
        const int err = out.Error();
        return Fail(func,
                    err == EEXIST
                        ? QStringLiteral("Cannot %1 \"%2\": \"%3\" came to exist meanwhile.")
                              .arg(verb, source, target)
                        : QStringLiteral("Cannot %1 \"%2\" to \"%3\": %4")
                              .arg(verb, source, folder, out.ErrorString()),
                    codeOf(err));
    }
    return 0;
}

int TFileOperation::Delete(const QStringList& sources, SHFILEOPSTRUCTA& op) {
    for (const QString& source : sources) {
        const QFileInfo info(source);
        if (!info.exists())
            return Fail(
                FO_DELETE,
                QStringLiteral("Cannot delete \"%1\": the file does not exist.").arg(source),
                ERROR_FILE_NOT_FOUND);
        if (info.isDir())
            return Fail(
                FO_DELETE,
                QStringLiteral("Cannot delete \"%1\": it is a folder, not a file.").arg(source),
                ERROR_ACCESS_DENIED);
    }
    const bool toTrash = op.fFlags & FOF_ALLOWUNDO;
    if (!ui_.ConfirmDelete(sources, toTrash)) {
        op.fAnyOperationsAborted = true;
        return 0;
    }
    for (const QString& source : sources) {
        if (toTrash) {
            if (const QString why = Trash::MoveToTrash(source); !why.isEmpty())
                return Fail(FO_DELETE,
                            QStringLiteral("Cannot move \"%1\" to the trash: %2").arg(source, why),
                            ERROR_ACCESS_DENIED);
            continue;
        }
        QFile file(source);
        if (!file.remove())
            return Fail(FO_DELETE,
                        QStringLiteral("Cannot delete \"%1\": %2").arg(source, file.errorString()),
                        ERROR_ACCESS_DENIED);
    }
    return 0;
}

int TFileOperation::Rename(const QString& source, const QString& target) {
    const QFileInfo from(source);
    if (!from.exists())
        return Fail(FO_RENAME,
                    QStringLiteral("Cannot rename \"%1\": the file does not exist.").arg(source),
                    ERROR_FILE_NOT_FOUND);
    // A new name, not a way into another folder.
    if (QFileInfo(target).path() != from.path())
        return Fail(FO_RENAME,
                    QStringLiteral("Cannot rename \"%1\" to \"%2\": a new name stays in the "
                                   "file's own folder.")
                        .arg(source, target),
                    ERROR_INVALID_PARAMETER);
    if (target == source)
        return 0;
    const int err = Files::RenamePath(source, target, false);
    if (err == 0)
        return 0;
    return Fail(FO_RENAME,
                err == EEXIST
                    ? QStringLiteral("Cannot rename \"%1\": there is already a file or folder "
                                     "named \"%2\".")
                          .arg(source, QFileInfo(target).fileName())
                    : QStringLiteral("Cannot rename \"%1\": %2").arg(source, Files::ErrorText(err)),
                codeOf(err));
}

int TFileOperation::WriteBlock(TReplaceFile& target, const char* data, qint64 size) {
    return target.Append(data, size) ? 0 : (target.Error() ? target.Error() : EIO);
}
