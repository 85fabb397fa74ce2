#include "storage/dbdataset/DbCommon.h"

#include "storage/dbase/TableText.h"

namespace dbdataset {

QByteArray ToTableText(const QString& text, const QString& fieldName) {
    QByteArray bytes;
    char32_t refused = 0;
    if (!tabletext::ToStored(text, true, bytes, refused))
        throw EDbfFileError(tabletext::RefusalMessage(refused, fieldName));
    return bytes;
}

QString FromTableText(const QByteArray& bytes) {
    return tabletext::FromStored(bytes.constData(), bytes.size());
}

} // namespace dbdataset
