#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <utility>

// Reads an index tree straight from the bytes of its file, the way a foreign reader would,
// and tells whether it is sound: every leaf at one depth, every upper entry holding the
// greatest key of its child's subtree, the leaves in key order (letters a to z as A to Z)
// with equal keys in record-number order.
namespace indexcheck {

struct TLeafEntry {
    QByteArray key;
    int recNo;
    bool operator==(const TLeafEntry&) const = default;
};

struct TTreeReport {
    QString problem; // empty when the tree is sound
    int depth = 0;   // levels, the leaves included
    QList<TLeafEntry> leaves;
};

TTreeReport CheckTree(const QByteArray& file, int rootPage, int keyLength);

// The key as the tree orders it.
QByteArray Folded(const QByteArray& key);
// A key text blank-padded (or cut) to the key length.
QByteArray Key(const QByteArray& text, int length);
// Little-endian numbers of the file.
int Word32(const QByteArray& bytes, qsizetype at);
int Word16(const QByteArray& bytes, qsizetype at);

} // namespace indexcheck
