#include "DbTableTestSupport.h"

#include <QProcess>
#include <QStandardPaths>

using namespace dbtable;

namespace storagetest {

QList<TDbfFieldDef> ItemFields() {
    return {{"GROUP", TDbfType::String, 20, false},       {"CAPTION", TDbfType::String, 120, false},
            {"DESCRIPTOR", TDbfType::String, 180, false}, {"COMMENTS", TDbfType::Memo, 0, false},
            {"PICTURE", TDbfType::String, 160, false},    {"FILE", TDbfType::String, 160, false}};
}

void CreateTable(const QString& dbfPath, const QList<TDbfFieldDef>& defs) {
    TTableFiles files;
    const TTablePaths paths = ResolveTablePaths(dbfPath, ".", "", false);
    files.Create(paths);
    try {
        files.Table()->WriteFieldDescriptors(defs);
    } catch (...) {
        files.Close();
        throw;
    }
    files.Close();
}

OpenTable::OpenTable(const QString& dbfPath, bool readOnly) {
    files.Open(ResolveTablePaths(dbfPath, ".", "", false), readOnly);
    for (const TDbfFieldDef& d : files.Table()->ReadFieldDescriptors())
        types.push_back(d.Type);
}

OpenTable::~OpenTable() {
    files.Close();
}

int OpenTable::Append(const QStringList& values) {
    TDbfFile* t = files.Table();
    QByteArray image(t->ImageSize(), ' ');
    for (int i = 0; i < values.size() && size_t(i) < types.size(); ++i) {
        const QByteArray text = values[i].toLatin1();
        if (types[size_t(i)] == TDbfType::Memo) {
            TMyBlobFile blob(files.Memo(), files.Paths().Memo, TBlobMode::Write, 0,
                             [&](quint32 block) { t->WriteMemoBlock(i, block, image.data()); });
            blob.Stream().write(text);
        } else {
            t->WriteFieldData(i, TDbfType::String, text.constData(), image.data());
        }
    }
    return t->AppendRecordImage(image.constData());
}

QByteArray OpenTable::Image(int n) {
    QByteArray image(files.Table()->ImageSize(), '\0');
    files.Table()->ReadRecordImage(n, image.data());
    return image;
}

QStringList OpenTable::Values(int n) {
    TDbfFile* t = files.Table();
    const QByteArray image = Image(n);
    QStringList out;
    for (size_t i = 0; i < types.size(); ++i) {
        if (types[i] == TDbfType::Memo) {
            TMyBlobFile blob(files.Memo(), files.Paths().Memo, TBlobMode::Read,
                             t->ReadMemoBlock(int(i), image.constData()), nullptr);
            out << QString::fromLatin1(blob.Stream().readAll());
        } else {
            QByteArray text(t->Fields()[i].Length + 1, '\0');
            if (t->ReadFieldData(int(i), TDbfType::String, text.data(), image.constData()))
                out << QString::fromLatin1(text.constData());
            else
                out << QString();
        }
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
