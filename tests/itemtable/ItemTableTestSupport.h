#pragma once

#include "framework/data/Field.h"
#include "storage/dbtable/DbTable.h"
#include "storage/project/ItemTableFields.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QStringList>
#include <gtest/gtest.h>

// Item tables, pictures and internet shortcuts on disk for the tests of the item-table windows.
namespace itemtest {

// One record: GROUP, CAPTION, DESCRIPTOR, COMMENTS, PICTURE, FILE (missing values empty).
using Row = QStringList;

// Writes a new item table (with its memo file) holding the rows, in order.
inline void WriteItemTable(const QString& folder, const QString& name, const QList<Row>& rows) {
    TDbTable table;
    AddItemTableFields(table);
    table.SetRunTimePath(folder);
    table.SetTableName(name);
    table.CreateTable();
    table.Open();
    for (const Row& row : rows) {
        table.Append();
        for (int i = 0; i < table.FieldCount(); ++i)
            table.Field(i)->SetAsString(row.value(i));
        table.Post();
    }
    table.Close();
}

// The records of an item table as they are stored, each as its six texts.
inline QList<Row> ReadItemTable(const QString& folder, const QString& name) {
    TDbTable table;
    AddItemTableFields(table);
    table.SetRunTimePath(folder);
    table.SetTableName(name);
    table.SetReadOnly(true);
    table.Open();
    QList<Row> rows;
    for (table.First(); !table.Eof(); table.Next()) {
        Row row;
        for (int i = 0; i < table.FieldCount(); ++i)
            row << table.Field(i)->AsString();
        rows << row;
    }
    table.Close();
    return rows;
}

inline void WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A one-colour picture file of the size, in the format its extension names.
inline void WritePicture(const QString& path, int width, int height) {
    QDir().mkpath(QFileInfo(path).path());
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(QColor(Qt::darkCyan));
    ASSERT_TRUE(picture.save(path)) << path.toStdString();
}

// An internet shortcut; without an address it has no "URL" key.
inline void WriteShortcut(const QString& path, const QString& address) {
    QByteArray text = "[InternetShortcut]\r\n";
    if (!address.isEmpty())
        text += "URL=" + address.toUtf8() + "\r\n";
    else
        text += "IconIndex=0\r\n";
    WriteFile(path, text);
}

} // namespace itemtest
