// The design window's Database page: the project's item table and its groups.
#include "editor/DataWindow.h"
#include "editor/DesignWindow.h"
#include "editor/Dialogs.h"
#include "editor/EditorControls.h"
#include "editor/EditorRules.h"
#include "framework/forms/Controls.h"
#include "platform/Files.h"
#include "storage/dbtable/DbTable.h"

#include <QComboBox>
#include <QFile>

namespace Orvello {

namespace {

const QString kDbfExtension = QStringLiteral(".dbf");

// The files of the table named so, where the item table would open them.
dbtable::TTablePaths tablePathsOf(const TDbTable& table, const QString& name) {
    return dbtable::ResolveTablePaths(name, table.RunTimePath(), table.DesignTimePath(), false);
}

bool removeFile(const QString& path) {
    return !QFile::exists(path) || QFile::remove(path);
}

} // namespace

void TForm1::BitBtn6Click(QObject*) {
    if (!SaveDialog2->Execute())
        return;
    const QString name = SaveDialog2->FileName;
    if (!HasExtension(name, kDbfExtension))
        return;
    TDbTable* table = Data->Table1;
    table->Close();
    table->SetTableName(name);
    // A table opened before leaves its own definitions behind; a new one has the item fields.
    table->FieldDefs().Clear();
    table->CreateTable();
    TableName->setText(name);
}

void TForm1::BitBtn7Click(QObject*) {
    if (!OpenDialog2->Execute())
        return;
    DBCheck->setChecked(false);
    const QString name = OpenDialog2->FileName;
    if (!HasExtension(name, kDbfExtension))
        return;
    Data->Table1->Close();
    Data->Table1->SetTableName(name);
    TableName->setText(name);
    DBCheck->setChecked(true);
}

void TForm1::BitBtn8Click(QObject*) {
    const QString name = TableName->text();
    if (name.isEmpty())
        return;
    TDbTable* table = Data->Table1;
    const dbtable::TTablePaths paths = tablePathsOf(*table, name);
    if (!Files::FileExists(paths.Table))
        return;
    if (!Ask(QStringLiteral("Do you really want to delete table : ") + name + QStringLiteral(" ?"),
             QStringLiteral("no")))
        return;
    table->Close();
    // A table that stays must not look deleted: the page keeps naming it. The memo goes
    // first, so that a memo that cannot be removed leaves the table whole.
    for (const QString& path : {paths.Memo, paths.Table}) {
        if (!removeFile(path)) {
            ShowInfo(QStringLiteral("\"") + path + QStringLiteral("\" could not be deleted !"));
            return;
        }
    }
    TableName->clear();
    TableTitle->setText(QStringLiteral("Data"));
    DBCheck->setChecked(false);
}

void TForm1::SpeedButton11Click(QObject*) {
    if (Ask(QStringLiteral("Do you really want to delete all entries ?"), QStringLiteral("no")))
        ResetGroupsGrid();
}

void TForm1::SpeedButton10Click(QObject*) {
    const QString name = TableName->text();
    TDbTable* table = Data->Table1;
    if (name.isEmpty() || !Files::FileExists(tablePathsOf(*table, name).Table)) {
        ShowInfo(QStringLiteral("Database not found !"));
        return;
    }
    table->Close();
    table->SetTableName(name);

    StringGrid1->CommitEdit();
    QComboBox* groups = Data->Groups;
    groups->clear();
    size_t count = 0;
    for (int row = 1; row < StringGrid1->RowCount(); ++row) {
        const QString caption = StringGrid1->Cell(1, row);
        if (caption.isEmpty())
            break;
        groups->addItem(caption);
        Data->GroupIdentifiers[count++] = StringGrid1->Cell(2, row);
    }
    groups->addItem(TData::AllGroups);
    Data->GroupIdentifiers[count] = TData::AllGroups;
    groups->setCurrentIndex(0);
    Data->GroupsChange(groups);
    Data->ShowModal();
}

} // namespace Orvello
