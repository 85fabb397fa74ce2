#pragma once

// The item table the benchmarks run on: 100,000 records with memos in 50 groups ("grp01" to
// "grp50", record i in group i % 50 + 1), and the plain sequential read of its file that each
// case is put beside.
#include "framework/data/Field.h"
#include "storage/dbtable/DbTable.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <vector>

namespace itembench {

inline constexpr int TableRecords = 100000;
inline constexpr int Groups = 50;

// Where the tables are made; the benchmark's main sets it.
inline QTemporaryDir* folder = nullptr;

inline const char* const FieldNames[] = {"GROUP",    "CAPTION", "DESCRIPTOR",
                                         "COMMENTS", "PICTURE", "FILE"};
inline const char* const CharFields[] = {"GROUP", "CAPTION", "DESCRIPTOR", "PICTURE", "FILE"};

// The item table's six fields as definitions: the dataset makes its fields from the table.
inline void Prepare(TDbTable& t, const QString& name) {
    t.FieldDefs().Add("GROUP", ftString, 20);
    t.FieldDefs().Add("CAPTION", ftString, 120);
    t.FieldDefs().Add("DESCRIPTOR", ftString, 180);
    t.FieldDefs().Add("COMMENTS", ftMemo);
    t.FieldDefs().Add("PICTURE", ftString, 160);
    t.FieldDefs().Add("FILE", ftString, 160);
    t.SetRunTimePath(folder->path());
    t.SetTableName(name);
}

inline QString TablePath(const QString& name) {
    return folder->filePath(name + ".dbf");
}

inline QString MemoPath(const QString& name) {
    return folder->filePath(name + ".dbt");
}

// The values of item i, as both the dataset and the plain writer store them.
struct Item {
    QString group, caption, descriptor, comments, file;
};

inline Item ItemNumber(int i) {
    return {QString("grp%1").arg(i % Groups + 1, 2, 10, QChar('0')),
            QString("Item number %1").arg(i),
            QString("A description of item %1 for the benchmark").arg(i),
            QString("Comments on item %1, long enough to be a real note.").arg(i),
            QString("programs\\setup%1.exe").arg(i)};
}

inline void AppendItems(TDbTable& t, int count) {
    TField* group = t.FieldByName("GROUP");
    TField* caption = t.FieldByName("CAPTION");
    TField* descriptor = t.FieldByName("DESCRIPTOR");
    TField* comments = t.FieldByName("COMMENTS");
    TField* file = t.FieldByName("FILE");
    for (int i = 0; i < count; ++i) {
        const Item item = ItemNumber(i);
        t.Append();
        group->SetAsString(item.group);
        caption->SetAsString(item.caption);
        descriptor->SetAsString(item.descriptor);
        comments->SetAsString(item.comments);
        file->SetAsString(item.file);
        t.Post();
    }
}

inline void MakeTable(const QString& name, int records) {
    TDbTable t;
    Prepare(t, name);
    t.CreateTable();
    t.Open();
    AppendItems(t, records);
    t.Close();
}

inline double Seconds(const QElapsedTimer& timer) {
    return double(timer.nsecsElapsed()) / 1e9;
}

// Reads the file from its first record to its end in record-size chunks; returns seconds.
inline double PlainRead(const QString& path) {
    QElapsedTimer timer;
    timer.start();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    char header[12];
    f.read(header, sizeof header);
    const int headerSize = quint8(header[8]) | quint8(header[9]) << 8;
    const int recordSize = quint8(header[10]) | quint8(header[11]) << 8;
    std::vector<char> record(static_cast<size_t>(recordSize));
    f.seek(headerSize);
    qint64 bytes = 0;
    while (f.read(record.data(), recordSize) == recordSize)
        bytes += record[0];
    benchmark::DoNotOptimize(bytes);
    return Seconds(timer);
}

// The fastest of a few plain reads, against which a case is put.
inline double PlainReadBest(const QString& path) {
    double best = 1e9;
    for (int i = 0; i < 5; ++i)
        best = std::min(best, PlainRead(path));
    return best;
}

} // namespace itembench
