#pragma once

#include "storage/dbdataset/DbFieldDef.h"
#include "storage/dbtable/TableFiles.h"

class TDataSet;

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QStringList>
#include <QTemporaryDir>
#include <vector>

// A folder of its own for each test, and the few steps of a dataset that the file tests need:
// making a table, appending records with memos, reading values back.
namespace storagetest {

QByteArray ReadAll(const QString& path);
void WriteAll(const QString& path, const QByteArray& bytes);

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

// The caption of the current record, and the captions of every record shown, first to last,
// with their record numbers.
QString Caption(TDataSet& d);
QStringList Shown(TDataSet& d, QList<int>* recNos = nullptr);

// Adds a number field ("N") of the second-generation engine with the given size and decimals.
dbdataset::TDbfFieldDef* AddNumberField(dbdataset::TDbfFieldDefs& defs, const QString& name,
                                        int size, int decimals);

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
