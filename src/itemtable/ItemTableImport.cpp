// Choosing files for a record, and internet shortcuts as records.
#include "itemtable/InternetShortcut.h"
#include "itemtable/ItemTableWindow.h"

#include "framework/data/Field.h"
#include "framework/dbcontrols/DBEdit.h"
#include "platform/Files.h"
#include "storage/dbtable/DbTable.h"

#include <QDir>
#include <QFileInfo>

const QString TItemTableWindow::ShortcutQuestion = QStringLiteral(
    "You have selected an Internet Shortcut !\r\n\r\nWould you like to add all Internet "
    "Shortcuts of this\r\ndirectory to the current group of your database ?");

std::optional<QString> TItemTableWindow::ChooseFile(int filterIndex) {
    OpenDialog1.FilterIndex = filterIndex;
    if (!OpenDialog1.Execute(this) || OpenDialog1.FileName.isEmpty())
        return std::nullopt;
    return OpenDialog1.FileName;
}

void TItemTableWindow::SetPickedPath(TDBEdit* edit, const QString& path) {
    if (!Table1->Active())
        return;
    edit->setFocus();
    Table1->Edit();
    if (TField* field = edit->Field())
        field->SetAsString(path);
}

void TItemTableWindow::SelectPictureFile() {
    if (const std::optional<QString> chosen = ChooseFile(1))
        SetPickedPath(DBEdit4, StoredPathOf(*chosen));
}

void TItemTableWindow::SelectRecordFile() {
    const std::optional<QString> chosen = ChooseFile(4);
    if (!chosen)
        return;
    DBEdit5->setFocus();
    if (ExtensionOf(*chosen) != QLatin1String("url"))
        SetPickedPath(DBEdit5, StoredPathOf(*chosen));
    else
        ImportChosenShortcut(*chosen);
}

void TItemTableWindow::ImportInternetShortcut(const QString& path, bool asNewRecord) {
    ::ImportInternetShortcut(*Table1, path, asNewRecord);
}

void TItemTableWindow::ImportFolderShortcuts(const QString& folder) {
    // Names that differ only by case are the same kind of file here as there.
    const QDir dir(Files::NativePath(folder));
    const QStringList names = dir.entryList({QStringLiteral("*.url")},
                                            QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& name : names)
        ImportInternetShortcut(dir.filePath(name), true);
}

void TItemTableWindow::ImportChosenShortcut(const QString& path) {
    if (AskImportFolder())
        ImportFolderShortcuts(QFileInfo(Files::NativePath(path)).absolutePath());
    else
        ImportInternetShortcut(path, false);
}
