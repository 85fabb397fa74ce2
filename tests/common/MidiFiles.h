#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>

// A standard MIDI file of one track: a tempo, then one note held for the given time; in an
// "RMID" wrapper when asked.
inline QByteArray MidiFileBytes(int milliseconds, int beatsPerMinute, bool rmi) {
    const int ticksPerBeat = 480;
    const quint32 ticks = quint32(qint64(milliseconds) * ticksPerBeat * beatsPerMinute / 60000);
    auto variable = [](quint32 value) {
        QByteArray bytes(1, char(value & 0x7f));
        while (value >>= 7)
            bytes.prepend(char(0x80 | (value & 0x7f)));
        return bytes;
    };
    auto big = [](quint32 value, int size) {
        QByteArray bytes;
        for (int i = size - 1; i >= 0; --i)
            bytes += char(value >> (8 * i));
        return bytes;
    };
    QByteArray track;
    track += QByteArray::fromHex("00ff5103") + big(60000000 / beatsPerMinute, 3);
    track += QByteArray::fromHex("00c000") + QByteArray::fromHex("00903c64");
    track += variable(ticks) + QByteArray::fromHex("803c00") + QByteArray::fromHex("00ff2f00");
    QByteArray file = "MThd" + big(6, 4) + big(0, 2) + big(1, 2) + big(ticksPerBeat, 2);
    file += "MTrk" + big(quint32(track.size()), 4) + track;
    if (!rmi)
        return file;
    auto little = [](quint32 value) {
        QByteArray bytes(4, 0);
        qToLittleEndian(value, bytes.data());
        return bytes;
    };
    QByteArray data = "data" + little(quint32(file.size())) + file;
    if (file.size() % 2)
        data += '\0';
    return "RIFF" + little(quint32(4 + data.size())) + "RMID" + data;
}

inline void WriteMidiFile(const QString& path, int milliseconds, int beatsPerMinute, bool rmi) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(MidiFileBytes(milliseconds, beatsPerMinute, rmi));
}
