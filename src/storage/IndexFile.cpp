#include "storage/IndexFile.h"

#include <QFileInfo>

namespace dbtable {

TIndexFile::TIndexFile(const QString& path, TPagedMode mode)
    : TPagedFile(path, mode), header_(HeaderLength, '\0') {
    SetHeaderSize(0);
    SetRecordSize(PageSize);
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf('.');
    if (mode != TPagedMode::Create && dot >= 0 && name.mid(dot) == QLatin1String(".mdx"))
        complete_ = ReadAt(0, header_.data(), HeaderLength) == HeaderLength;
}

int TIndexFile::TagCount() const {
    return quint8(header_[28]) | (quint8(header_[29]) << 8);
}

} // namespace dbtable
