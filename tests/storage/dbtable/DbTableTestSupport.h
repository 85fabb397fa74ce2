#pragma once

#include "storage/dbtable/TableFiles.h"

#include <QList>
#include <QStringList>
#include <vector>

// The few steps of the first engine's files that its tests need: making a table, appending
// records with memos, reading values back.
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

} // namespace storagetest
