// Opens a second-generation table from arbitrary bytes, walks every record with a physical
// cursor and reads every field as every dataset type; then changes the table as the engine
// would (values, auto-increment counters, a record, the header) and opens it again.
#include "storage/dbdataset/DbFile.h"
#include "FuzzSupport.h"

#include <algorithm>
#include <vector>

using namespace dbdataset;

namespace {

const TFieldType Types[] = {ftString,   ftSmallint, ftInteger, ftBoolean, ftFloat,
                            ftCurrency, ftDate,     ftAutoInc, ftMemo,    ftDateTime};

void ReadAll(TDbfFile& table) {
    TDbfFieldDefs copy;
    table.CopyFieldDefs(copy);
    std::vector<char> record(size_t(table.RecordSize()) + 1);
    std::vector<char> out(512);
    TDbfCursor cursor(&table);
    // Every record of a small table; of a large one as many as keep a run short.
    const int records = std::max(20, 2000 / (table.FieldDefs().Count() + 1));
    for (int n = 0; n < records && cursor.Next(); ++n) {
        table.ReadRecord(cursor.GetPhysicalRecNo(), record.data());
        for (int i = 0; i < table.FieldDefs().Count(); ++i) {
            for (TFieldType type : Types)
                table.GetFieldValue(i, type, record.data(), out.data());
            QString text;
            table.GetFieldText(i, record.data(), text);
        }
    }
    cursor.Last();
    cursor.Prior();
}

void Change(TDbfFile& table) {
    std::vector<char> record(size_t(table.RecordSize()), ' ');
    table.FillAutoIncFields(record.data());
    const qint32 number = 12345;
    const qint16 flag = 1;
    const double amount = -3.25;
    const qint32 day = 738000;
    for (int i = 0; i < table.FieldDefs().Count(); ++i) {
        try {
            table.SetFieldValue(i, ftInteger, &number, record.data());
            table.SetFieldValue(i, ftBoolean, &flag, record.data());
            table.SetFieldValue(i, ftFloat, &amount, record.data());
            table.SetFieldValue(i, ftDate, &day, record.data());
            table.SetFieldText(i, QString::fromUtf8("Grüße"), record.data());
        } catch (const EDbfFileError&) {
            // Values that do not fit a field are refused; the next field goes on.
        }
    }
    // Appended to a short table, else over its first record: the file stays small.
    table.WriteRecord(table.RecordCount() < 10 ? table.RecordCount() + 1 : 1, record.data());
    table.AdvanceAutoInc();
    table.WriteHeader();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 200000)
        return 0;
    const QString path = fuzzsupport::InputFile("dbf", data, size);
    try {
        TFileRef<TDbfFile> table(new TDbfFile(path, 0, false, true));
        ReadAll(*table);
    } catch (const Exception&) {
        // A damaged table is refused with a message; that is all a reader owes it.
    }
    try {
        TFileRef<TDbfFile> table(new TDbfFile(path, 0, false, false));
        Change(*table);
    } catch (const Exception&) {
    }
    try {
        TFileRef<TDbfFile> table(new TDbfFile(path, 0, false, true));
        ReadAll(*table);
    } catch (const Exception&) {
    }
    // Nothing may stay registered whatever happened.
    if (TPagedFile::FindOpenFile(path))
        __builtin_trap();
    return 0;
}
