#pragma once

#include "framework/data/DataSet.h"
#include "framework/data/Field.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// What the tests of both table engines need, whichever engine they test: a folder of its own for
// each test, files read and written whole, and the captions a dataset shows.
namespace storagetest {

inline QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        ADD_FAILURE() << "cannot write " << path.toStdString();
    f.write(bytes);
}

// The caption of the current record, and the captions of every record shown, first to last,
// with their record numbers.
inline QString Caption(TDataSet& d) {
    return d.FieldByName("CAPTION")->AsString();
}

inline QStringList Shown(TDataSet& d, QList<int>* recNos = nullptr) {
    QStringList out;
    for (d.First(); !d.Eof(); d.Next()) {
        out << Caption(d);
        if (recNos)
            recNos->append(d.RecNo());
    }
    return out;
}

} // namespace storagetest
