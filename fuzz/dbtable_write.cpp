// Opens a table and its memo file, both from arbitrary bytes, for writing, and changes it the
// way the item-table windows do: every record edited (each field given a text, memos longer
// and shorter than before), one record deleted, one appended. Whatever the bytes, the dataset
// refuses with a message or writes inside its records and memos. A second dataset reads the
// table beside the writer (through the writer's cache and share mode), and the table is read
// again opened for reading only (through a mapping of the files, kept from one opening to
// the next).
#include "FuzzSupport.h"
#include "framework/data/Field.h"
#include "storage/dbtable/DbTable.h"

#include <QFileInfo>

namespace {

void readAll(TDbTable& table) {
    int seen = 0;
    for (table.First(); !table.Eof() && seen < 200; table.Next(), ++seen)
        for (int i = 0; i < table.FieldCount(); ++i)
            (void)table.Field(i)->AsString();
}

void setAll(TDbTable& table, int round) {
    for (int i = 0; i < table.FieldCount(); ++i) {
        TField* field = table.Field(i);
        try {
            field->SetAsString(QString(QChar('a' + i % 26)).repeated(1 + (round * 37 + i) % 700));
        } catch (const Exception&) {
            // A value the field cannot hold (a text in a number field) is refused.
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first byte tells where the table ends and the memo file begins.
    if (size < 1)
        return 0;
    const size_t tableSize = std::min(size - 1, size_t(data[0]) * 64);
    const QString path = fuzzsupport::InputFile("dbf", data + 1, tableSize);
    fuzzsupport::InputFile("dbt", data + 1 + tableSize, size - 1 - tableSize);
    TDbTable table;
    TDbTable beside;
    try {
        table.SetRunTimePath(QFileInfo(path).path());
        table.SetTableName(QFileInfo(path).fileName());
        beside.SetRunTimePath(table.RunTimePath());
        beside.SetTableName(table.TableName());
        table.Open();
        beside.Open();
        int round = 0;
        for (table.First(); !table.Eof() && round < 50; table.Next(), ++round) {
            table.Edit();
            setAll(table, round);
            table.Post();
        }
        table.First();
        if (!table.Eof())
            table.Delete();
        table.Append();
        setAll(table, round);
        table.Post();
        readAll(beside);
        beside.Close();
        table.Close();
        table.SetReadOnly(true);
        for (int reading = 0; reading < 2; ++reading) {
            table.Open();
            readAll(table);
            table.Close();
        }
        table.SetReadOnly(false);
        table.Open();
        for (table.First(); !table.Eof(); table.Next())
            for (int i = 0; i < table.FieldCount(); ++i)
                (void)table.Field(i)->AsString();
    } catch (const Exception&) {
        // A damaged table is refused with a message.
    }
    return 0;
}
