#include "platform/FileIdentity.h"

#include <QFile>
#include <sys/stat.h>

namespace {

FileIdentity identityOf(const struct stat& st) {
    return {quint64(st.st_dev), quint64(st.st_ino), true};
}

} // namespace

FileIdentity FileIdentity::OfPath(const QString& path) {
    struct stat st = {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return identityOf(st);
}

FileIdentity FileIdentity::OfHandle(int handle) {
    struct stat st = {};
    if (handle < 0 || ::fstat(handle, &st) != 0)
        return {};
    return identityOf(st);
}
