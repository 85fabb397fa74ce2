#include "StorageTestSupport.h"
#include "framework/data/DataSet.h"
#include "framework/data/Field.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace storagetest {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        ADD_FAILURE() << "cannot write " << path.toStdString();
    f.write(bytes);
}

QString Caption(TDataSet& d) {
    return d.FieldByName("CAPTION")->AsString();
}

QStringList Shown(TDataSet& d, QList<int>* recNos) {
    QStringList out;
    for (d.First(); !d.Eof(); d.Next()) {
        out << Caption(d);
        if (recNos)
            recNos->append(d.RecNo());
    }
    return out;
}

QByteArray RunTool(const QString& program, const QStringList& args, bool* ok) {
    QProcess p;
    p.start(program, args);
    const bool finished = p.waitForFinished(60000);
    if (ok)
        *ok = finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    return p.readAllStandardOutput();
}

bool HaveTool(const QString& program) {
    return !QStandardPaths::findExecutable(program).isEmpty();
}

QList<QMap<QString, QString>> ParseDbfDump(const QString& out) {
    QList<QMap<QString, QString>> records;
    for (const QString& line : out.split('\n')) {
        if (line.startsWith("Record:")) {
            records.append(QMap<QString, QString>());
            continue;
        }
        const qsizetype colon = line.indexOf(": ");
        if (colon < 0 || records.isEmpty())
            continue;
        const QString value = line.mid(colon + 2).trimmed();
        records.last()[line.left(colon)] = value == "(NULL)" ? QString() : value;
    }
    return records;
}

QStringList PgdbfLines(const QString& out) {
    const qsizetype from = out.indexOf("FROM STDIN\n");
    const qsizetype to = out.indexOf("\n\\.");
    if (from < 0 || to <= from)
        return {};
    return out.mid(from + 11, to - from - 11).split('\n');
}

bool MakeShapelibTable(const QString& path, const QStringList& fieldArgs,
                       const QList<QStringList>& rows) {
    bool ok = false;
    RunTool("dbfcreate", QStringList{path} + fieldArgs, &ok);
    for (const QStringList& row : rows) {
        if (!ok)
            break;
        RunTool("dbfadd", QStringList{path} + row, &ok);
    }
    return ok;
}

} // namespace storagetest
