// Ends while it holds a changed table of each engine in objects of namespace scope, made before
// anything of the engines is used and so destroyed after all the engines keep for the program:
// "held1.dbf" and "held2.dbf" in the folder of its argument, one record each.
#include "framework/data/Field.h"
#include "storage/dbdataset/DbDataset.h"
#include "storage/dbtable/DbTable.h"

TDbTable first;
dbdataset::TDbDataset second;

int main(int, char** argv) {
    const QString folder = QString::fromLocal8Bit(argv[1]);
    first.FieldDefs().Add("NAME", ftString, 20);
    first.SetRunTimePath(folder);
    first.SetTableName("held1");
    first.CreateTable();
    second.FieldDefs().AddFieldDef("NAME", ftString, 20, false);
    dbdataset::SetDefaultFolder(folder + "/");
    second.SetTableName("held2.dbf");
    for (TDataSet* table : {static_cast<TDataSet*>(&first), static_cast<TDataSet*>(&second)}) {
        table->Open();
        table->Append();
        table->FieldByName("NAME")->SetAsString("kept");
        table->Post();
    }
}
