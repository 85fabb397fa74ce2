// A program that still holds a table of each engine, open and changed, when it ends: both are
// objects of namespace scope, made before anything of the engines is used and so destroyed
// after everything the engines keep for the whole program. Makes the tables "held1.dbf" and
// "held2.dbf" in the folder of its first argument, appends one record to each and returns.
#include "framework/data/Field.h"
#include "framework/data/Notices.h"
#include "storage/dbdataset/DbDataset.h"
#include "storage/dbtable/DbTable.h"

#include <QString>

namespace {

TDbTable first;
dbdataset::TDbDataset second;

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    SetShowMessageProc([](const QString&) {});
    const QString folder = QString::fromLocal8Bit(argv[1]);
    first.FieldDefs().Add("NAME", ftString, 20, false);
    first.FieldDefs().Add("NOTES", ftMemo, 0, false);
    first.SetRunTimePath(folder);
    first.SetTableName("held1");
    first.CreateTable();
    second.FieldDefs().AddFieldDef("NAME", ftString, 20, false);
    second.FieldDefs().AddFieldDef("NOTES", ftMemo, 0, false);
    dbdataset::SetDefaultFolder(folder + "/");
    second.SetTableName("held2.dbf");
    for (TDataSet* table : {static_cast<TDataSet*>(&first), static_cast<TDataSet*>(&second)}) {
        table->Open();
        table->Append();
        table->FieldByName("NAME")->SetAsString("kept");
        table->FieldByName("NOTES")->SetAsString("held until the end");
        table->Post();
    }
    return 0;
}
