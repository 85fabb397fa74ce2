#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>

// A standard MIDI file of one track: a tempo, then one note held for the given time; in an
// "RMID" wrapper when asked.
inline QByteArray MidiFileBytes(int milliseconds, int beatsPerMinute, bool rmi) {
    auto big = [](quint32 value, int size) {
        return QByteArray::number(value, 16).rightJustified(size * 2, '0');
    };
    const quint32 ticks = quint32(qint64(milliseconds) * 480 * beatsPerMinute / 60000);
    QByteArray held = QByteArray::number(ticks & 0x7f, 16).rightJustified(2, '0');
    for (quint32 rest = ticks >> 7; rest; rest >>= 7)
        held.prepend(QByteArray::number(0x80 | (rest & 0x7f), 16));
    const QByteArray track = QByteArray::fromHex("00ff5103" + big(60000000 / beatsPerMinute, 3) +
                                                 "00c00000903c64" + held + "803c0000ff2f00");
    QByteArray file = QByteArray::fromHex("4d546864000000060000000101e04d54726b" +
                                          big(quint32(track.size()), 4)) +
                      track;
    if (!rmi)
        return file;
    auto little = [&](quint32 value) { return QByteArray::fromHex(big(qToBigEndian(value), 4)); };
    const QByteArray data =
        "data" + little(quint32(file.size())) + file + QByteArray(file.size() % 2, 0);
    return "RIFF" + little(quint32(4 + data.size())) + "RMID" + data;
}

inline void WriteFileBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}
