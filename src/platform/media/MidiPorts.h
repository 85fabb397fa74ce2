#pragma once

#include <QByteArray>
#include <QStringList>

// The MIDI output ports of the system: the ports of the ALSA sequencer that other programs can
// send MIDI data to. They are read from the list that the kernel keeps of the sequencer's
// clients, which needs no library and costs no more than reading a short file; a system
// without the sequencer has no list and no ports.
namespace MidiPorts {

constexpr const char* SequencerClientsFile = "/proc/asound/seq/clients";

// Names of the ports of such a list that take data and let others connect to them, in the
// order of the list.
QStringList OutputPorts(const QByteArray& clients);
// The same for the system's own list.
QStringList SystemOutputPorts();

} // namespace MidiPorts
