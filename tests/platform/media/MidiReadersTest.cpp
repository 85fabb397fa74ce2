#include "common/MidiFiles.h"
#include "platform/media/MidiPorts.h"
#include "platform/media/MidiSequence.h"

#include <gtest/gtest.h>

TEST(MidiSequence, ReadsTheTempoASequenceStartsWith) {
    const QByteArray smf = MidiFileBytes(false);
    const QByteArray header = MidiChunk("MThd", QByteArray::fromHex("0000000101e0"));
    const auto track = [](const char* hex) { return MidiChunk("MTrk", QByteArray::fromHex(hex)); };
    const auto riff = [](const QByteArray& chunks) { return MidiChunk("RIFF", chunks, true); };
    // What the bytes are, and the tempo of the sequence they hold (0: none).
    const std::tuple<const char*, QByteArray, int> cases[] = {
        {"plain file", smf, 150},
        {"RMID file", MidiFileBytes(true), 150},
        {"RMID file, data after another chunk",
         riff("RMID" + MidiChunk("LIST", "abc", true) + "data" + QByteArray::fromHex("ff000000") +
              smf),
         150},
        {"no tempo", header + track("00903c64608003c0000ff2f00"), 120},
        {"running status before the tempo", header + track("00903c64003e6400ff51030927c0"), 100},
        {"system exclusive before the tempo", header + track("00f0037e7ff700ff51030f4240"), 60},
        {"tempo after time has passed", header + track("00903c6410ff51030f4240"), 120},
        {"tempo of 0", header + track("00ff5103000000"), 120},
        {"chunk of another kind first",
         header + MidiChunk("XTRA", QByteArray::fromHex("abcd")) + track("00ff51030f4240"), 60},
        {"track cut short", header + track("00ff5103"), 120},
        {"SMPTE frames",
         MidiChunk("MThd", QByteArray::fromHex("00000001e728")) + track("00ff51030f4240"), 25},
        {"header cut short", header.left(12), 0},
        {"wave file", riff("WAVEfmt " + QByteArray(20, 0)), 0},
        {"RMID without data", riff("RMIDLIST" + QByteArray::fromHex("ffffff7f")), 0},
        {"nothing", QByteArray(), 0}};
    for (const auto& [what, bytes, tempo] : cases) {
        const MidiSequence::TSequenceInfo info = MidiSequence::Read(bytes);
        EXPECT_EQ(info.Valid, tempo != 0) << what;
        EXPECT_EQ(info.Tempo, tempo) << what;
    }
}

TEST(MidiPorts, ListsThePortsOthersCanSendTo) {
    // The flags: readable, writable ("W": others may connect to write), exported, duplex.
    const QByteArray older =
        "Client info\n  cur  clients : 4\n\nClient   0 : \"System\" [Kernel]\n"
        "  Port   0 : \"Timer\" (Rwe-)\n  Port   1 : \"Announce\" (R-e-)\n"
        "Client  14 : \"Midi Through\" [Kernel]\n  Port   0 : \"Midi Through Port-0\" (RWe-)\n"
        "    Connecting To: 128:0\n  Port   1 : \"Keyboard\" (R-e-)\n"
        "  Port   2 : \"Hidden\" (RW--)\n  Port   3 : \"Own use\" (-we-)\n"
        "Client 128 : \"TiMidity\" [User]\n  Port   0 : \"TiMidity port 0\" (-We-)\n";
    const QByteArray newer = "Client 130 : \"FLUID Synth\" [User UMP MIDI1]\n"
                             "  Port   0 : \"Synth \"A\" (input)\" (-We-) [In]\n";
    EXPECT_EQ(MidiPorts::OutputPorts(older),
              QStringList({"Midi Through Port-0", "TiMidity port 0"}));
    EXPECT_EQ(MidiPorts::OutputPorts(newer), QStringList({"Synth \"A\" (input)"}));
    EXPECT_TRUE(MidiPorts::OutputPorts("garbage\n  Port : \"x\" (\n").isEmpty());
}
