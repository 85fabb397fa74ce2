// Arbitrary bytes as an internet shortcut (".url") imported into an item table, as a new record
// and then into the current one; the first byte tells how many of the next ones name the file.
// The import must hold up, and what it posts must read back as the shortcut's address.
#include "framework/data/Field.h"
#include "itemtable/InternetShortcut.h"
#include "storage/dbtable/DbTable.h"
#include "storage/project/ItemTableFields.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

// The address as the FILE field keeps it: its size, up to a NUL, without control characters
// and blanks around it.
QString kept(const QString& address) {
    QString text = address.left(160);
    text.truncate(text.indexOf(QChar(0)) < 0 ? text.size() : text.indexOf(QChar(0)));
    qsizetype b = 0, e = text.size();
    while (b < e && text[b].unicode() <= 0x20)
        ++b;
    while (e > b && text[e - 1].unicode() <= 0x20)
        --e;
    return text.mid(b, e - b);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const size_t nameLength = std::min<size_t>(data[0] % 48, size - 1);
    QString name =
        QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(nameLength));
    name.replace(QChar('/'), QChar('_')).replace(QChar(0), QChar('_'));
    const QString folder = QStringLiteral("%1/orv_fuzz_url_%2")
                               .arg(QDir::tempPath())
                               .arg(QCoreApplication::applicationPid());
    QDir().mkpath(folder);
    const QString path = folder + '/' + (name.isEmpty() ? QStringLiteral("x") : name) + ".url";
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(reinterpret_cast<const char*>(data + 1 + nameLength), qint64(size - 1 - nameLength));
    file.close();

    const QString address = InternetShortcutURL(path);
    try {
        TDbTable table;
        AddItemTableFields(table);
        table.SetRunTimePath(folder);
        table.SetTableName(QStringLiteral("items"));
        table.CreateTable();
        table.Open();
        for (const bool asNew : {true, false}) {
            bool posted = false;
            try {
                posted = ImportInternetShortcut(table, path, asNew);
            } catch (const Exception&) {
                // A name or address the table's code page cannot hold is refused.
                table.Cancel();
            }
            if ((posted && address.isEmpty()) || (address.isEmpty() && !table.IsEmpty()))
                abort();
            if (posted && table.FieldByName(QStringLiteral("FILE"))->AsString() != kept(address))
                abort();
        }
        if (table.RecordCount() > 1)
            abort();
    } catch (const Exception&) {
        abort(); // making and opening the table must not fail
    }
    QFile::remove(path);
    return 0;
}
