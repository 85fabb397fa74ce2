#pragma once

#include "framework/data/DataSet.h"
#include "framework/data/Field.h"
#include "framework/data/Notices.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <algorithm>
#include <cstddef>
#include <cstdint>

// The fuzz input as files in a folder of this process, with the table engines' notices about
// damaged headers dropped, and the reading that the table fuzzers share.
namespace fuzzsupport {

inline QString InputFile(const char* extension, const uint8_t* data, size_t size) {
    static const bool hooked = [] {
        SetShowMessageProc([](const QString&) {});
        return true;
    }();
    (void)hooked;
    const QString path =
        QDir::tempPath() +
        QString("/orv_fuzz_%1.%2").arg(QCoreApplication::applicationPid()).arg(extension);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    return path;
}

// A table and its memo file from one input: the table takes the first `split` * 64 bytes (at
// most all of them), the memo file the rest. Returns the table's path.
inline QString TableWithMemo(uint8_t split, const uint8_t* data, size_t size) {
    const size_t tableSize = std::min(size, size_t(split) * 64);
    const QString path = InputFile("dbf", data, tableSize);
    InputFile("dbt", data + tableSize, size - tableSize);
    return path;
}

// Reads up to `most` records the way a grid and the edits would: every field as text, memos
// included; then the last record and the one before it.
inline void ReadAll(TDataSet& table, int most) {
    int seen = 0;
    for (table.First(); !table.Eof() && seen < most; table.Next(), ++seen)
        for (int i = 0; i < table.FieldCount(); ++i) {
            TField* field = table.Field(i);
            (void)field->AsString();
            (void)field->IsNull();
        }
    table.Last();
    table.Prior();
    (void)table.RecordCount();
}

} // namespace fuzzsupport
