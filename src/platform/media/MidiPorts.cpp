#include "platform/media/MidiPorts.h"

#include <QFile>
#include <QRegularExpression>

namespace MidiPorts {

namespace {

// The list is a few lines for each client and port; anything longer is not the list.
constexpr qsizetype MaxListBytes = 1024 * 1024;

} // namespace

QStringList OutputPorts(const QByteArray& clients) {
    // `  Port   0 : "Midi Through Port-0" (RWe-)`, newer kernels adding more after it. The
    // flags are: readable, writable ("W" when others may also connect to write), exported
    // ("e"), duplex. The name may itself hold quotes, so the last `" (` closes it.
    static const QRegularExpression port(
        QString::fromLatin1(R"re(^\s+Port\s+\d+\s*:\s*"(.*)"\s+\((.)(.)(.)(.)\))re"));
    QStringList names;
    for (const QByteArray& line : clients.split('\n')) {
        const auto match = port.match(QString::fromUtf8(line));
        if (match.hasMatch() && match.captured(3) == QLatin1String("W") &&
            match.captured(4) == QLatin1String("e"))
            names << match.captured(1);
    }
    return names;
}

QStringList SystemOutputPorts() {
    QFile file(QString::fromLatin1(SequencerClientsFile));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // The kernel's files tell no size: read until the end.
    QByteArray clients;
    while (clients.size() < MaxListBytes) {
        const QByteArray chunk = file.read(MaxListBytes - clients.size());
        if (chunk.isEmpty())
            break;
        clients += chunk;
    }
    return OutputPorts(clients);
}

} // namespace MidiPorts
