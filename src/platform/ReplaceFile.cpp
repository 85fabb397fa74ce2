#include "platform/ReplaceFile.h"

#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Names longer than this (in the file system's bytes) are shortened in the temporary name, so
// that the name with its hidden prefix and unique suffix stays below the usual 255-byte limit.
constexpr int kLongestKeptName = 128;
// A chain of links longer than this is taken for a loop.
constexpr int kMostLinks = 40;

QByteArray encoded(const QString& path) {
    return QFile::encodeName(path);
}

// The mode bits for permissions as Qt gives them: what the current user may do counts for the
// owner, as when Qt sets them itself.
mode_t modeOf(QFileDevice::Permissions p) {
    mode_t mode = 0;
    if (p & (QFileDevice::ReadOwner | QFileDevice::ReadUser))
        mode |= S_IRUSR;
    if (p & (QFileDevice::WriteOwner | QFileDevice::WriteUser))
        mode |= S_IWUSR;
    if (p & (QFileDevice::ExeOwner | QFileDevice::ExeUser))
        mode |= S_IXUSR;
    if (p & QFileDevice::ReadGroup)
        mode |= S_IRGRP;
    if (p & QFileDevice::WriteGroup)
        mode |= S_IWGRP;
    if (p & QFileDevice::ExeGroup)
        mode |= S_IXGRP;
    if (p & QFileDevice::ReadOther)
        mode |= S_IROTH;
    if (p & QFileDevice::WriteOther)
        mode |= S_IWOTH;
    if (p & QFileDevice::ExeOther)
        mode |= S_IXOTH;
    return mode;
}

QString uniqueName(const QString& pattern) {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString name = pattern;
    for (qsizetype i = name.size() - 6; i < name.size(); ++i)
        name[i] =
            QLatin1Char(letters[QRandomGenerator::global()->bounded(int(sizeof letters - 1))]);
    return name;
}

} // namespace

namespace Files {

QString ErrorText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

bool NameTaken(const QString& path) {
    struct stat st {};
    return !path.isEmpty() && ::lstat(encoded(path).constData(), &st) == 0;
}

int RenamePath(const QString& from, const QString& to, bool replace) {
    const QByteArray f = encoded(from);
    const QByteArray t = encoded(to);
    if (replace)
        return ::rename(f.constData(), t.constData()) == 0 ? 0 : errno;
    if (::renameat2(AT_FDCWD, f.constData(), AT_FDCWD, t.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return errno;
    // A file system without that kind of rename: a new link is refused where the name exists.
    if (::link(f.constData(), t.constData()) == 0) {
        ::unlink(f.constData());
        return 0;
    }
    const int linkError = errno;
    if (linkError == EXDEV)
        return EXDEV;
    if (linkError == EEXIST || NameTaken(to))
        return EEXIST;
    return ::rename(f.constData(), t.constData()) == 0 ? 0 : errno;
}

TCopyResult CopyContent(QFile& in, QFile& out, qint64 blockSize,
                        const std::function<bool(qint64 done)>& progress,
                        const std::function<qint64(QFile&, const QByteArray&)>& write) {
    qint64 done = 0;
    for (;;) {
        const QByteArray block = in.read(blockSize);
        if (block.isEmpty())
            return in.error() == QFileDevice::NoError ? TCopyResult::Copied
                                                      : TCopyResult::ReadFailed;
        if ((write ? write(out, block) : out.write(block)) != block.size())
            return TCopyResult::WriteFailed;
        done += block.size();
        if (progress && !progress(done))
            return TCopyResult::Stopped;
    }
}

} // namespace Files

TReplaceFile::TReplaceFile(const QString& target, TMode mode) : target_(target), mode_(mode) {}

TReplaceFile::~TReplaceFile() {
    Discard();
}

void TReplaceFile::SetPermissions(QFileDevice::Permissions permissions) {
    permissions_ = permissions;
}

void TReplaceFile::SetModificationTime(const QDateTime& time) {
    modified_ = time;
}

QString TReplaceFile::TemporaryTemplate(const QString& target) {
    const QFileInfo info(target);
    QString name = info.fileName();
    while (encoded(name).size() > kLongestKeptName) {
        name.chop(1);
        if (!name.isEmpty() && name.back().isHighSurrogate())
            name.chop(1);
    }
    return info.absolutePath() + QStringLiteral("/.") + name + QStringLiteral(".partial-XXXXXX");
}

bool TReplaceFile::Fail(int error, const QString& text) {
    error_ = error;
    errorString_ = text;
    return false;
}

bool TReplaceFile::FailWithErrno() {
    const int error = errno;
    return Fail(error, Files::ErrorText(error));
}

void TReplaceFile::Discard() {
    if (file_.isOpen())
        file_.close();
    if (!temporary_.isEmpty() && !committed_)
        ::unlink(encoded(temporary_).constData());
    temporary_.clear();
}

bool TReplaceFile::Open() {
    if (file_.isOpen() || committed_)
        return Fail(EINVAL, QStringLiteral("the file is already being written"));
    if (target_.isEmpty())
        return Fail(ENOENT, QStringLiteral("no file name was given"));

    // The permissions the finished file is to get; -1 when it keeps what a new file gets.
    int mode = permissions_ ? int(modeOf(*permissions_)) : -1;
    struct stat st {};
    if (mode_ == Update) {
        QFileInfo info(target_);
        int links = 0;
        while (info.isSymLink()) {
            if (++links > kMostLinks)
                return Fail(ELOOP, Files::ErrorText(ELOOP));
            info.setFile(info.symLinkTarget());
        }
        target_ = info.filePath();
        if (::stat(encoded(target_).constData(), &st) == 0) {
            if (S_ISDIR(st.st_mode))
                return Fail(EISDIR, Files::ErrorText(EISDIR));
            if (::access(encoded(target_).constData(), W_OK) != 0)
                return FailWithErrno();
            if (mode < 0)
                mode = int(st.st_mode & 0777);
        }
    } else if (::lstat(encoded(target_).constData(), &st) == 0 && S_ISDIR(st.st_mode)) {
        return Fail(EISDIR, Files::ErrorText(EISDIR));
    }
    permissionsToSet_ = mode;

    // Kept to the owner until it is complete when it is to get permissions of its own;
    // otherwise created as any new file is.
    const QString pattern = TemporaryTemplate(target_);
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
        const QString name = uniqueName(pattern);
        fd = ::open(encoded(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                    mode >= 0 ? 0600 : 0666);
        if (fd >= 0)
            temporary_ = name;
        else if (errno != EEXIST || attempt == 100)
            return FailWithErrno();
    }
    if (!file_.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        const QString why = file_.errorString();
        Discard();
        return Fail(EIO, why);
    }
    return true;
}

bool TReplaceFile::WriteBuffered() {
    if (!file_.isOpen())
        return Fail(EBADF, QStringLiteral("the file is not open"));
    errno = 0;
    // An earlier write that failed counts too, even when its caller did not look.
    if (!file_.flush() || file_.error() != QFileDevice::NoError) {
        const int error = errno ? errno : EIO;
        return Fail(error, file_.errorString());
    }
    return true;
}

bool TReplaceFile::Flush() {
    if (!WriteBuffered())
        return false;
    // A file system that cannot sync a file says so with EINVAL; the content is written.
    if (::fsync(file_.handle()) != 0 && errno != EINVAL)
        return FailWithErrno();
    return true;
}

bool TReplaceFile::Append(const char* data, qint64 size) {
    if (!WriteBuffered())
        return false;
    while (size > 0) {
        const ssize_t written = ::write(file_.handle(), data, size_t(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 ? FailWithErrno() : Fail(EIO, Files::ErrorText(EIO));
        data += written;
        size -= written;
    }
    return true;
}

bool TReplaceFile::Commit() {
    if (!Flush()) {
        Discard();
        return false;
    }
    // Permissions and time are what the file is given, not what it is: a file system that
    // cannot hold them still gets the whole content.
    if (permissionsToSet_ >= 0)
        ::fchmod(file_.handle(), mode_t(permissionsToSet_));
    if (modified_ && modified_->isValid()) {
        const qint64 ms = modified_->toMSecsSinceEpoch();
        const qint64 seconds = ms / 1000 - (ms % 1000 < 0 ? 1 : 0);
        const timespec times[2] = {{0, UTIME_OMIT},
                                   {time_t(seconds), long((ms - seconds * 1000) * 1000000)}};
        ::futimens(file_.handle(), times);
    }
    errno = 0;
    file_.close();
    if (file_.error() != QFileDevice::NoError) {
        const int error = errno ? errno : EIO;
        const QString why = file_.errorString();
        Discard();
        return Fail(error, why);
    }
    if (const int error = Files::RenamePath(temporary_, target_, mode_ != KeepExisting)) {
        Discard();
        return Fail(error, Files::ErrorText(error));
    }
    committed_ = true;
    temporary_.clear();
    return true;
}

bool TReplaceFile::Write(const QString& target, const std::function<bool(QFile&)>& write,
                         TMode mode, std::optional<QFileDevice::Permissions> permissions) {
    TReplaceFile file(target, mode);
    if (permissions)
        file.SetPermissions(*permissions);
    return file.Open() && write(file.File()) && file.Commit();
}
