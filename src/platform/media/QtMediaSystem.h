#pragma once

#include "platform/media/MediaBackend.h"
#include "platform/media/MediaDevice.h"

// The system's own media driver: Qt Multimedia (GStreamer) plays what it can decode, and
// GStreamer's FluidSynth synthesiser plays MIDI sequences on the desktop's sound output. The
// MIDI output devices it lists are the ALSA sequencer's ports, none of which it plays on.
// Opening waits, within a bound, until the backend knows the file's length.
//
// Qt Multimedia lives in a backend library of its own, loaded at the first open: a program
// that plays nothing, or not yet, does not load it and the twenty libraries it stands on.
// Without it every open fails and the driver still lists what it would play.
class TQtMediaSystem : public TMediaSystem {
public:
    static constexpr int OpenTimeoutMs = MediaBackend::OpenTimeoutMs;
    static constexpr int WaitSlackMs = MediaBackend::WaitSlackMs;
    // The backend library's file name.
    static const char* const BackendFileName;

    // Looks for the backend beside the program, else in the runtime folder beside it.
    TQtMediaSystem();
    // Looks for the backend at these paths, in this order.
    explicit TQtMediaSystem(QStringList backendCandidates);
    ~TQtMediaSystem() override;

    std::unique_ptr<TMediaDevice> Open(const QString& element, QString* error) override;
    QStringList MidiOutDevices() override;
    QStringList MediaExtensions() override;

    // Whether the backend has been loaded by this driver.
    bool BackendLoaded() const { return tried_ && backend_; }

    // Whether the multimedia backend beside the program plays anything at all (loads it).
    static bool Available();
    // Where the backend library is looked for, in this order, for a program in that folder.
    static QStringList BackendCandidates(const QString& programFolder);

private:
    // The backend, loaded at the first call; null, with the reason in `error`, when there is
    // none.
    TMediaBackend* backend(QString* error);

    QStringList candidates_;
    bool tried_ = false;
    std::unique_ptr<TMediaBackend> backend_;
    QString error_;
};
