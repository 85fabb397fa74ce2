#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>

// Tables made byte by byte, so that tests read what a foreign writer would have left, not what
// the code under test produces.
namespace tablebytes {

// A 32-byte descriptor: name (at most 11 bytes, no NUL added when it fills them), letter,
// size and decimals.
QByteArray Short(const QByteArray& name, char letter, int size, int decimals = 0);
// A 48-byte descriptor with the next auto-increment value at 42.
QByteArray Wide(const QByteArray& name, char letter, int size, int decimals = 0,
                quint32 autoIncNext = 0);
// Header (version, counts and sizes as given), the descriptors, 0x0D, zero bytes up to
// headerSize (wide tables get the 36 bytes between header and descriptors), then the records.
// headerSize and recordSize < 0 take the sizes the descriptors give.
QByteArray Table(quint8 version, const QList<QByteArray>& descriptors, const QByteArray& records,
                 quint32 countInHeader, int headerSize = -1, int recordSize = -1);
// The sum of the descriptors' sizes plus the deletion byte.
int RecordSizeOf(const QList<QByteArray>& descriptors);

} // namespace tablebytes
