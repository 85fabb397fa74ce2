// Opens a table and its memo file, both from arbitrary bytes, through the dataset the windows
// use, and reads every record of it the way a grid and the edits would: every field as text,
// unfiltered, filtered to a group and with deleted records shown.
#include "storage/dbtable/DbTable.h"
#include "FuzzSupport.h"

#include <QFileInfo>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first byte tells where the table ends and the memo file begins; the second is the
    // group looked for.
    if (size < 2)
        return 0;
    const QString filter = QString(QChar(data[1] % 2 ? 'g' : 'G')) + QChar('0' + data[1] % 10);
    const QString path = fuzzsupport::TableWithMemo(data[0], data + 2, size - 2);
    try {
        TDbTable table;
        table.SetReadOnly(true);
        table.SetRunTimePath(QFileInfo(path).path());
        table.SetTableName(QFileInfo(path).fileName());
        table.Open();
        fuzzsupport::ReadAll(table, 2000);
        table.Close();
        table.SetRecordFilterText(filter);
        table.Open();
        fuzzsupport::ReadAll(table, 2000);
        table.Close();
        table.SetShowDeleted(true);
        table.SetRecordFilterText(QString());
        table.Open();
        fuzzsupport::ReadAll(table, 2000);
    } catch (const Exception&) {
        // A damaged table is refused with a message; that is all a reader owes it.
    }
    return 0;
}
