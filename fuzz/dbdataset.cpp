// Opens a second-generation table and its memo file, both from arbitrary bytes, through the
// dataset TDbDataset and its engine: reads every record as the grid would (every field as
// text, memos included), then edits the first record, appends one, and reads it all again.
#include "storage/dbdataset/DbDataset.h"
#include "FuzzSupport.h"

#include <QFileInfo>

using namespace dbdataset;

namespace {

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
    const QString path = fuzzsupport::TableWithMemo(data[0], data + 1, size - 1);
    SetDefaultFolder(QFileInfo(path).path() + "/");
    for (bool readOnly : {true, false, true}) {
        try {
            TDbDataset table;
            table.SetOpenMode(omNormal);
            table.SetReadOnly(readOnly);
            table.SetTableName(QFileInfo(path).fileName());
            table.Open();
            fuzzsupport::ReadAll(table, 500);
            if (!readOnly)
                change(table);
            table.SetShowDeleted(true);
            fuzzsupport::ReadAll(table, 500);
        } catch (const Exception&) {
            // A damaged table is refused with a message; that is all a reader owes it.
        }
        if (!TPagedFile::OpenFiles().empty())
            __builtin_trap();
    }
    return 0;
}
