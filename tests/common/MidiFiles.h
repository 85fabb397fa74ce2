#pragma once

#include <QFile>
#include <QtEndian>

// A chunk of a MIDI file: its kind, its size big-endian and its bytes; of a RIFF file: the size
// little-endian and the bytes padded to an even length.
inline QByteArray MidiChunk(const char* kind, const QByteArray& bytes, bool riff = false) {
    const quint32 n = quint32(bytes.size()), size = riff ? qToLittleEndian(n) : qToBigEndian(n);
    return kind + QByteArray(reinterpret_cast<const char*>(&size), 4) + bytes +
           QByteArray(riff ? n % 2 : 0, 0);
}

// A standard MIDI file of one track at 480 ticks a beat: a tempo, then one note held for the
// given time; in an "RMID" wrapper when asked.
inline QByteArray MidiFileBytes(int milliseconds, int beatsPerMinute, bool rmi) {
    const quint32 ticks = quint32(qint64(milliseconds) * 480 * beatsPerMinute / 60000);
    QByteArray held(1, char(ticks & 0x7f));
    for (quint32 rest = ticks >> 7; rest; rest >>= 7)
        held.prepend(char(0x80 | (rest & 0x7f)));
    const QByteArray tempo =
        QByteArray::number(60000000 / beatsPerMinute, 16).rightJustified(6, '0');
    const QByteArray file =
        MidiChunk("MThd", QByteArray::fromHex("0000000101e0")) +
        MidiChunk("MTrk", QByteArray::fromHex("00ff5103" + tempo + "00c00000903c64") + held +
                              QByteArray::fromHex("803c0000ff2f00"));
    return rmi ? MidiChunk("RIFF", "RMID" + MidiChunk("data", file, true), true) : file;
}

inline void WriteFileBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}
