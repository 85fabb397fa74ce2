#pragma once

#include <QByteArray>
#include <QString>

// What the media layer reads itself of a MIDI sequence: a standard MIDI file (".mid"), or one
// wrapped in a RIFF "RMID" file (".rmi"). The synthesiser reads the rest. Any bytes are
// safe to give: what is not a sequence, or is cut short, reads as far as it goes.
namespace MidiSequence {

// The tempo a sequence starts with is near its start; no more of a file is read.
constexpr qsizetype HeadBytes = 64 * 1024;

struct TSequenceInfo {
    bool Valid = false; // the bytes hold a MIDI file header
    // Beats a minute at the start (120 when the file sets none); frames a second for a file
    // timed in SMPTE frames.
    int Tempo = 0;
};

// The standard MIDI file inside the bytes: the bytes themselves, or the "data" chunk of an
// "RMID" file; empty when they are neither.
QByteArray Unwrap(const QByteArray& bytes);

TSequenceInfo Read(const QByteArray& bytes);
// Reads the start of the file; a file that cannot be read is no sequence.
TSequenceInfo ReadFile(const QString& path);

} // namespace MidiSequence
