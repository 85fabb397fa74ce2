#include "itemtable/InternetShortcut.h"

#include "framework/data/DataSet.h"
#include "framework/data/Field.h"
#include "platform/Files.h"
#include "platform/Profile.h"

#include <QFileInfo>

QString InternetShortcutURL(const QString& path) {
    return Profile::GetPrivateProfileString(QStringLiteral("InternetShortcut"),
                                            QStringLiteral("URL"), QString(),
                                            Files::NativePath(path));
}

bool ImportInternetShortcut(TDataSet& table, const QString& path, bool asNewRecord) {
    if (path.isEmpty())
        return false;
    const QString address = InternetShortcutURL(path);
    if (address.isEmpty())
        return false;
    QString name = QFileInfo(Files::NativePath(path)).fileName();
    name.chop(4); // ".url"
    if (asNewRecord)
        table.Insert();
    else
        table.Edit();
    table.FieldByName(QStringLiteral("CAPTION"))
        ->SetAsString(name.left(30) + QStringLiteral(" ..."));
    table.FieldByName(QStringLiteral("DESCRIPTOR"))->SetAsString(name);
    table.FieldByName(QStringLiteral("FILE"))->SetAsString(address);
    table.Post();
    return true;
}
