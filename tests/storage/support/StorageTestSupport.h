#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QStringList>
#include <QTemporaryDir>

class TDataSet;

// What the tests of both table engines need, whichever engine they test: a folder of its own for
// each test, files read and written whole, the captions a dataset shows, and the independent
// dBase tools run as peers.
namespace storagetest {

QByteArray ReadAll(const QString& path);
void WriteAll(const QString& path, const QByteArray& bytes);

// The caption of the current record, and the captions of every record shown, first to last,
// with their record numbers.
QString Caption(TDataSet& d);
QStringList Shown(TDataSet& d, QList<int>* recNos = nullptr);

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
