#pragma once

#include <QFile>
#include <QtEndian>

// A chunk: its kind, its size and its bytes; in a RIFF file little-endian and padded to even.
inline QByteArray MidiChunk(const char* kind, const QByteArray& bytes, bool riff = false) {
    const quint32 n = quint32(bytes.size()), size = riff ? qToLittleEndian(n) : qToBigEndian(n);
    return kind + QByteArray(reinterpret_cast<const char*>(&size), 4) + bytes +
           QByteArray(riff ? n % 2 : 0, 0);
}

// A standard MIDI file of one track at 480 ticks a beat: a tempo of 150 beats a minute, then
// one note held for ten beats, four seconds; in an "RMID" wrapper when asked.
inline QByteArray MidiFileBytes(bool rmi) {
    const QByteArray file =
        MidiChunk("MThd", QByteArray::fromHex("0000000101e0")) +
        MidiChunk("MTrk", QByteArray::fromHex("00ff5103061a8000c00000903c64a540803c0000ff2f00"));
    return rmi ? MidiChunk("RIFF", "RMID" + MidiChunk("data", file, true), true) : file;
}

inline void WriteFileBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}
