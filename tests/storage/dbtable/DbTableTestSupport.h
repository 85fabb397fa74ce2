#pragma once

#include "storage/dbtable/TableFiles.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QStringList>
#include <vector>

// The few steps of the first engine's files that its tests need: making a table, appending
// records with memos, reading values back; and the independent dBase tools run as its peers.
namespace storagetest {

// The item table's six fields.
QList<dbtable::TDbfFieldDef> ItemFields();

// Creates the table with its memo file and closes it again.
void CreateTable(const QString& dbfPath, const QList<dbtable::TDbfFieldDef>& defs);

// An open table with its field layout read.
struct OpenTable {
    explicit OpenTable(const QString& dbfPath, bool readOnly = false);
    ~OpenTable();

    // Appends a record of string fields (memo fields take the text as memo, others the text
    // as is); returns its record number.
    int Append(const QStringList& values);
    // The text of every field of record n (memo fields give their memo text).
    QStringList Values(int n);
    QByteArray Image(int n);

    dbtable::TTableFiles files;
    std::vector<dbtable::TDbfType> types;
};

// Runs a program and returns its standard output; `ok` tells whether it ran and exited 0.
QByteArray RunTool(const QString& program, const QStringList& args, bool* ok = nullptr);
bool HaveTool(const QString& program);

// The records `dbfdump -m` prints: "NAME: value" lines, blanks around values dropped and
// "(NULL)" read as an empty value.
QList<QMap<QString, QString>> ParseDbfDump(const QString& out);
// The data lines of the COPY block pgdbf prints; none when it printed none.
QStringList PgdbfLines(const QString& out);
// A table made by shapelib's dbfcreate (the field arguments as it takes them) and filled by
// dbfadd, one call per row of value texts; false when a tool failed.
bool MakeShapelibTable(const QString& path, const QStringList& fieldArgs,
                       const QList<QStringList>& rows);

} // namespace storagetest
