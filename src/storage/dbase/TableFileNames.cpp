#include "storage/dbase/TableFileNames.h"

#include "platform/Files.h"

#include <QFileInfo>

namespace tablefiles {

QString TableFilePath(const QString& path, const QString& extension) {
    qsizetype slash = path.size() - 1;
    while (slash >= 0 && !Files::IsSeparator(path[slash]))
        --slash;
    const qsizetype dot = path.lastIndexOf('.');
    const QString stem = dot > slash ? path.left(dot) : path;
    const QString given = dot > slash ? path.mid(dot) : QString();
    const bool table = extension == QLatin1String(".dbf");
    if (given.compare(QLatin1String(".dbf"), Qt::CaseInsensitive) == 0 && table)
        return path;
    if (table)
        return stem + extension;
    const bool capitals =
        given.compare(QLatin1String(".dbf"), Qt::CaseInsensitive) == 0 && given == given.toUpper();
    const QString preferred = stem + (capitals ? extension.toUpper() : extension);
    const QString other = stem + (capitals ? extension : extension.toUpper());
    if (!QFileInfo::exists(Files::ExistingOrNativePath(preferred)) &&
        QFileInfo::exists(Files::ExistingOrNativePath(other)))
        return other;
    return preferred;
}

} // namespace tablefiles
