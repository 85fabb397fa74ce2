#include "common/MidiFiles.h"
#include "platform/media/MidiPorts.h"
#include "platform/media/MidiSequence.h"

#include <gtest/gtest.h>

namespace {

QByteArray header(const char* division = "01e0") {
    return QByteArray::fromHex(QByteArray("4d5468640000000600000001") + division);
}

QByteArray track(const char* events) {
    const QByteArray bytes = QByteArray::fromHex(events);
    return "MTrk" + QByteArray(3, 0) + char(bytes.size()) + bytes;
}

QByteArray riff(const QByteArray& chunks, const char* kind = "RMID") {
    return "RIFF" + QByteArray::fromHex("00010000") + kind + chunks;
}

} // namespace

TEST(MidiSequence, ReadsTheTempoASequenceStartsWith) {
    const QByteArray smf = MidiFileBytes(500, 150, false);
    const struct {
        const char* what;
        QByteArray bytes;
        bool valid;
        int tempo;
    } cases[] = {
        {"plain file", smf, true, 150},
        {"RMID file", MidiFileBytes(500, 150, true), true, 150},
        {"RMID file, data after another chunk",
         riff("LIST" + QByteArray::fromHex("03000000") + "abc" + QByteArray(1, 0) + "data" +
              QByteArray::fromHex("ff000000") + smf),
         true, 150},
        {"no tempo", header() + track("00903c64608003c0000ff2f00"), true, 120},
        {"running status before the tempo", header() + track("00903c64003e6400ff51030927c0"), true,
         100},
        {"system exclusive before the tempo", header() + track("00f0037e7ff700ff51030f4240"), true,
         60},
        {"tempo after time has passed", header() + track("00903c6410ff51030f4240"), true, 120},
        {"tempo of 0", header() + track("00ff5103000000"), true, 120},
        {"chunk of another kind first",
         header() + "XTRA" + QByteArray::fromHex("00000002abcd") + track("00ff51030f4240"), true,
         60},
        {"track cut short", header() + track("00ff5103").left(20), true, 120},
        {"SMPTE frames", header("e728") + track("00ff51030f4240"), true, 25},
        {"header cut short", header().left(12), false, 0},
        {"wave file", riff("fmt " + QByteArray(20, 0), "WAVE"), false, 0},
        {"RMID without data", riff("LIST" + QByteArray::fromHex("ffffff7f")), false, 0},
        {"nothing", QByteArray(), false, 0},
    };
    for (const auto& c : cases) {
        const MidiSequence::TSequenceInfo info = MidiSequence::Read(c.bytes);
        EXPECT_EQ(info.Valid, c.valid) << c.what;
        EXPECT_EQ(info.Tempo, c.tempo) << c.what;
    }
}

TEST(MidiPorts, ListsThePortsOthersCanSendTo) {
    // The flags: readable, writable ("W": others may connect to write), exported, duplex.
    const QByteArray older =
        "Client info\n  cur  clients : 4\n\nClient   0 : \"System\" [Kernel]\n"
        "  Port   0 : \"Timer\" (Rwe-)\n  Port   1 : \"Announce\" (R-e-)\n"
        "Client  14 : \"Midi Through\" [Kernel]\n"
        "  Port   0 : \"Midi Through Port-0\" (RWe-)\n    Connecting To: 128:0\n"
        "  Port   1 : \"Keyboard\" (R-e-)\n  Port   2 : \"Hidden\" (RW--)\n"
        "  Port   3 : \"Own use\" (-we-)\nClient 128 : \"TiMidity\" [User]\n"
        "  Port   0 : \"TiMidity port 0\" (-We-)\n";
    const QByteArray newer = "Client 130 : \"FLUID Synth\" [User UMP MIDI1]\n"
                             "  Port   0 : \"Synth \"A\" (input)\" (-We-) [In]\n";
    EXPECT_EQ(MidiPorts::OutputPorts(older),
              QStringList({"Midi Through Port-0", "TiMidity port 0"}));
    EXPECT_EQ(MidiPorts::OutputPorts(newer), QStringList({"Synth \"A\" (input)"}));
    EXPECT_TRUE(MidiPorts::OutputPorts("garbage\n  Port : \"x\" (\n").isEmpty());
}
