// Opens a table and its memo file, both from arbitrary bytes, through the dataset the windows
// use, and reads every record of it the way a grid and the edits would: every field as text,
// unfiltered, filtered to a group and with deleted records shown.
#include "storage/DbTable.h"
#include "FuzzSupport.h"
#include "framework/data/Field.h"

#include <QFileInfo>

namespace {

void readAll(TDbTable& table) {
    int seen = 0;
    for (table.First(); !table.Eof() && seen < 2000; table.Next(), ++seen)
        for (int i = 0; i < table.FieldCount(); ++i) {
            TField* field = table.Field(i);
            (void)field->AsString();
            (void)field->IsNull();
        }
    table.Last();
    table.Prior();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first byte tells where the table ends and the memo file begins; the second is the
    // group looked for.
    if (size < 2)
        return 0;
    const size_t tableSize = std::min(size - 2, size_t(data[0]) * 64);
    const QString filter = QString(QChar(data[1] % 2 ? 'g' : 'G')) + QChar('0' + data[1] % 10);
    const QString path = fuzzsupport::InputFile("dbf", data + 2, tableSize);
    fuzzsupport::InputFile("dbt", data + 2 + tableSize, size - 2 - tableSize);
    try {
        TDbTable table;
        table.SetReadOnly(true);
        table.SetRunTimePath(QFileInfo(path).path());
        table.SetTableName(QFileInfo(path).fileName());
        table.Open();
        readAll(table);
        table.Close();
        table.SetRecordFilterText(filter);
        table.Open();
        readAll(table);
        table.Close();
        table.SetShowDeleted(true);
        table.SetRecordFilterText(QString());
        table.Open();
        readAll(table);
    } catch (const Exception&) {
        // A damaged table is refused with a message; that is all a reader owes it.
    }
    return 0;
}
