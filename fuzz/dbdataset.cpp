// Opens a second-generation table and its memo file, both from arbitrary bytes, through the
// dataset TDbDataset and its engine: reads every record as the grid would (every field as
// text, memos included), then edits the first record, appends one, and reads it all again.
#include "storage/DbDataset.h"
#include "FuzzSupport.h"
#include "framework/data/Field.h"

#include <QFileInfo>

using namespace dbdataset;

namespace {

void readAll(TDbDataset& table) {
    int seen = 0;
    for (table.First(); !table.Eof() && seen < 500; table.Next(), ++seen)
        for (int i = 0; i < table.FieldCount(); ++i) {
            TField* field = table.Field(i);
            (void)field->AsString();
            (void)field->IsNull();
        }
    table.Last();
    table.Prior();
    (void)table.RecordCount();
}

void change(TDbDataset& table) {
    for (int step = 0; step < 2; ++step) {
        if (step == 0 && !table.IsEmpty())
            table.Edit();
        else
            table.Append();
        for (int i = 0; i < table.FieldCount(); ++i) {
            TField* field = table.Field(i);
            try {
                if (field->DataType() == ftString || field->IsBlob())
                    field->SetAsString(QString::fromUtf8("Grüße %1").arg(i));
                else if (field->DataType() != ftDateTime)
                    field->SetAsInteger(7);
            } catch (const Exception&) {
                // A value the field cannot hold is refused; the next field goes on.
            }
        }
        table.Post();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first byte tells where the table ends and the memo file begins.
    if (size < 1 || size > 200000)
        return 0;
    const size_t tableSize = std::min(size - 1, size_t(data[0]) * 64);
    const QString path = fuzzsupport::InputFile("dbf", data + 1, tableSize);
    fuzzsupport::InputFile("dbt", data + 1 + tableSize, size - 1 - tableSize);
    SetDefaultFolder(QFileInfo(path).path() + "/");
    for (bool readOnly : {true, false, true}) {
        try {
            TDbDataset table;
            table.SetOpenMode(omNormal);
            table.SetReadOnly(readOnly);
            table.SetTableName(QFileInfo(path).fileName());
            table.Open();
            readAll(table);
            if (!readOnly)
                change(table);
            table.SetShowDeleted(true);
            readAll(table);
        } catch (const Exception&) {
            // A damaged table is refused with a message; that is all a reader owes it.
        }
        if (!TPagedFile::OpenFiles().empty())
            __builtin_trap();
    }
    return 0;
}
