#pragma once

#include "platform/media/MediaDevice.h"

// The system's own media driver: Qt Multimedia (GStreamer) plays what it can decode. It has
// no route to a MIDI synthesiser, so it lists no MIDI output device and MIDI sequences fail
// to open. Opening waits, within a bound, until the backend knows the file's length.
class TQtMediaSystem : public TMediaSystem {
public:
    // How long an open may wait for the backend to load the file.
    static constexpr int OpenTimeoutMs = 5000;
    // What a waiting play allows beyond the rest of the file before it gives up.
    static constexpr int WaitSlackMs = 3000;

    std::unique_ptr<TMediaDevice> Open(const QString& element, QString* error) override;
    QStringList MidiOutDevices() override;
    QStringList MediaExtensions() override;

    // Whether the multimedia backend is there at all.
    static bool Available();
};
