#include "TableBytes.h"

#include <algorithm>
#include <cstring>

namespace tablebytes {

QByteArray Short(const QByteArray& name, char letter, int size, int decimals) {
    QByteArray d(32, '\0');
    std::memcpy(d.data(), name.constData(), size_t(std::min<qsizetype>(name.size(), 11)));
    d[11] = letter;
    d[16] = char(size);
    d[17] = char(decimals);
    return d;
}

QByteArray Wide(const QByteArray& name, char letter, int size, int decimals, quint32 autoIncNext) {
    QByteArray d(48, '\0');
    std::memcpy(d.data(), name.constData(), size_t(std::min<qsizetype>(name.size(), 32)));
    d[32] = letter;
    d[33] = char(size);
    d[34] = char(decimals);
    for (int i = 0; i < 4; ++i)
        d[42 + i] = char((autoIncNext >> (8 * i)) & 0xFF);
    return d;
}

int RecordSizeOf(const QList<QByteArray>& descriptors) {
    int size = 1;
    for (const QByteArray& d : descriptors)
        size += quint8(d.size() == 48 ? d[33] : d[16]);
    return size;
}

QByteArray Table(quint8 version, const QList<QByteArray>& descriptors, const QByteArray& records,
                 quint32 countInHeader, int headerSize, int recordSize) {
    const bool wide = !descriptors.isEmpty() && descriptors[0].size() == 48;
    QByteArray h(wide ? 68 : 32, '\0');
    for (const QByteArray& d : descriptors)
        h += d;
    h += char(0x0D);
    if (headerSize < 0)
        headerSize = int(h.size());
    if (recordSize < 0)
        recordSize = RecordSizeOf(descriptors);
    h[0] = char(version);
    h[1] = char(99);
    h[2] = char(1);
    h[3] = char(2);
    for (int i = 0; i < 4; ++i)
        h[4 + i] = char((countInHeader >> (8 * i)) & 0xFF);
    h[8] = char(headerSize & 0xFF);
    h[9] = char((headerSize >> 8) & 0xFF);
    h[10] = char(recordSize & 0xFF);
    h[11] = char((recordSize >> 8) & 0xFF);
    if (h.size() < headerSize)
        h += QByteArray(headerSize - h.size(), '\0');
    h.truncate(headerSize);
    return h + records;
}

} // namespace tablebytes
