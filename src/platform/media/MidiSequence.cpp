#include "platform/media/MidiSequence.h"

#include <QFile>
#include <optional>

namespace MidiSequence {

namespace {

constexpr int DefaultMicrosecondsPerBeat = 500000; // 120 beats a minute
constexpr int MicrosecondsPerMinute = 60000000;

// Reads big- and little-endian numbers and the files' variable-length numbers from a byte
// array; every read past the end fails instead of reading on.
class TReader {
public:
    explicit TReader(const QByteArray& bytes, qsizetype at = 0) : bytes_(bytes), at_(at) {}

    qsizetype At() const { return at_; }
    qsizetype Left() const { return bytes_.size() - at_; }
    bool Skip(qint64 count) {
        if (count < 0 || count > Left())
            return false;
        at_ += qsizetype(count);
        return true;
    }
    bool Has(const char* tag) const { return Left() >= 4 && bytes_.mid(at_, 4) == tag; }
    std::optional<quint32> Big(int size) {
        if (Left() < size)
            return std::nullopt;
        quint32 value = 0;
        for (int i = 0; i < size; ++i)
            value = (value << 8) | Byte(at_ + i);
        at_ += size;
        return value;
    }
    std::optional<quint32> Little32() {
        if (Left() < 4)
            return std::nullopt;
        const quint32 value =
            Byte(at_) | Byte(at_ + 1) << 8 | Byte(at_ + 2) << 16 | quint32(Byte(at_ + 3)) << 24;
        at_ += 4;
        return value;
    }
    // At most four bytes, as the files allow.
    std::optional<quint32> Variable() {
        quint32 value = 0;
        for (int i = 0; i < 4; ++i) {
            const auto byte = Big(1);
            if (!byte)
                return std::nullopt;
            value = (value << 7) | (*byte & 0x7f);
            if (!(*byte & 0x80))
                return value;
        }
        return std::nullopt;
    }
    std::optional<quint8> Peek() const {
        if (Left() < 1)
            return std::nullopt;
        return Byte(at_);
    }

private:
    quint32 Byte(qsizetype at) const { return quint8(bytes_.at(at)); }

    const QByteArray& bytes_;
    qsizetype at_;
};

// The tempo in force at the first tick of a track: the last tempo event before any time has
// passed, else the default.
int StartTempo(TReader& track) {
    int tempo = DefaultMicrosecondsPerBeat;
    int running = 0;
    for (;;) {
        const auto delta = track.Variable();
        if (!delta || *delta != 0)
            return tempo;
        const auto peek = track.Peek();
        if (!peek)
            return tempo;
        int status = *peek;
        if (status & 0x80)
            track.Skip(1);
        else if (running)
            status = running; // the byte read is the event's first data byte
        else
            return tempo;
        if (status == 0xff) {
            const auto type = track.Big(1);
            const auto length = track.Variable();
            if (!type || !length)
                return tempo;
            if (*type == 0x51 && *length >= 3) {
                TReader value(track);
                const auto microseconds = value.Big(3);
                if (microseconds && *microseconds > 0)
                    tempo = int(*microseconds);
            }
            if (*type == 0x2f || !track.Skip(*length))
                return tempo;
            running = 0;
        } else if (status == 0xf0 || status == 0xf7) {
            const auto length = track.Variable();
            if (!length || !track.Skip(*length))
                return tempo;
            running = 0;
        } else if (status >= 0x80 && status < 0xf0) {
            const int kind = status & 0xf0;
            if (!track.Skip(kind == 0xc0 || kind == 0xd0 ? 1 : 2))
                return tempo;
            running = status;
        } else {
            return tempo; // no other event belongs in a file
        }
    }
}

} // namespace

QByteArray Unwrap(const QByteArray& bytes) {
    if (bytes.startsWith("MThd"))
        return bytes;
    if (!bytes.startsWith("RIFF") || bytes.mid(8, 4) != "RMID")
        return QByteArray();
    TReader riff(bytes, 12);
    while (riff.Left() >= 8) {
        const bool data = riff.Has("data");
        riff.Skip(4);
        const quint32 size = *riff.Little32();
        if (data)
            return bytes.mid(riff.At(), qsizetype(std::min<qint64>(size, riff.Left())));
        // Chunks are padded to an even length.
        if (!riff.Skip(qint64(size) + (size & 1)))
            break;
    }
    return QByteArray();
}

TSequenceInfo Read(const QByteArray& bytes) {
    const QByteArray file = Unwrap(bytes);
    TReader reader(file);
    if (!reader.Has("MThd"))
        return {};
    reader.Skip(4);
    const auto headerLength = reader.Big(4);
    if (!headerLength || *headerLength < 6 || reader.Left() < 6)
        return {};
    TReader header(reader);
    header.Skip(4); // format and number of tracks
    const quint32 division = *header.Big(2);
    TSequenceInfo info;
    info.Valid = true;
    if (division & 0x8000) {
        // The frame rate, stored negated in the high byte.
        info.Tempo = -int(qint8(quint8(division >> 8)));
        return info;
    }
    int microseconds = DefaultMicrosecondsPerBeat;
    if (reader.Skip(*headerLength)) {
        // The first track holds the tempo map; chunks of other kinds come before it at most.
        while (reader.Left() >= 8) {
            const bool track = reader.Has("MTrk");
            reader.Skip(4);
            const quint32 size = *reader.Big(4);
            if (track) {
                const QByteArray upToTrackEnd =
                    file.left(reader.At() + qsizetype(std::min<qint64>(size, reader.Left())));
                TReader events(upToTrackEnd, reader.At());
                microseconds = StartTempo(events);
                break;
            }
            if (!reader.Skip(size))
                break;
        }
    }
    info.Tempo = (MicrosecondsPerMinute + microseconds / 2) / microseconds;
    return info;
}

TSequenceInfo ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return Read(file.read(HeadBytes));
}

} // namespace MidiSequence
