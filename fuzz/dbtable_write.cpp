// Opens a table and its memo file, both from arbitrary bytes, for writing, and changes it the
// way the item-table windows do: every record edited (each field given a text, memos longer
// and shorter than before), one record deleted, one appended. Whatever the bytes, the dataset
// refuses with a message or writes inside its records and memos.
#include "FuzzSupport.h"
#include "framework/data/Field.h"
#include "storage/DbTable.h"

#include <QFileInfo>

namespace {

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
    try {
        table.SetRunTimePath(QFileInfo(path).path());
        table.SetTableName(QFileInfo(path).fileName());
        table.Open();
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
        table.Close();
        table.Open();
        for (table.First(); !table.Eof(); table.Next())
            for (int i = 0; i < table.FieldCount(); ++i)
                (void)table.Field(i)->AsString();
    } catch (const Exception&) {
        // A damaged table is refused with a message.
    }
    return 0;
}
