// Arbitrary bytes as the start of a MIDI or RMID file and as the sequencer's client list: the
// readers must hold up, and a sequence read must have a tempo a play can be scaled by.
#include "platform/media/MidiPorts.h"
#include "platform/media/MidiSequence.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const MidiSequence::TSequenceInfo info = MidiSequence::Read(bytes);
    if (info.Valid && (!MidiSequence::Unwrap(bytes).startsWith("MThd") || info.Tempo <= 0))
        abort();
    for (const QString& name : MidiPorts::OutputPorts(bytes))
        if (name.contains(QLatin1Char('\n')))
            abort();
    return 0;
}
