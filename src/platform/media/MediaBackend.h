#pragma once

#include <QString>
#include <functional>
#include <memory>

// What the media backend library offers the program. The backend (Qt Multimedia and all it
// stands on) is a library of its own that the program loads at its first media use, so that
// a program that plays nothing never loads it. The two are built together but share no code
// and no static data: only these classes, whose members are all pure virtual.

// One file opened for playing. All positions are in milliseconds.
class TMediaBackendPlayer {
public:
    virtual ~TMediaBackendPlayer() = default;

    // Called with a notification code (MCI_NOTIFY_SUCCESSFUL when the file played to its end,
    // MCI_NOTIFY_FAILURE when playing failed) whenever a play ends by itself.
    virtual void SetEndHandler(std::function<void(int code)> handler) = 0;

    virtual int Length() = 0;
    virtual int Position() = 0;
    // Plays from the current position. With `wait` it returns only when the play has ended or,
    // at the latest, `WaitSlackMs` after the rest of the file should have played; a play that
    // outlasts that is stopped and ends as failed.
    virtual void Play(bool wait) = 0;
    // Stops where the play is; a later Play goes on from there. No end is reported.
    virtual void Pause() = 0;
    virtual void SeekTo(int position) = 0;
    // Plays faster (above 1) or slower from here on; positions and the length stay those of
    // the file.
    virtual void SetRate(double rate) = 0;
};

class TMediaBackend {
public:
    virtual ~TMediaBackend() = default;

    // Whether the multimedia framework has a backend that plays anything on this machine.
    virtual bool Available() = 0;
    // Opens an existing file; waits, at most `OpenTimeoutMs`, until the file's length is
    // known. On failure returns null and says why in `error`.
    virtual std::unique_ptr<TMediaBackendPlayer> Open(const QString& path, QString* error) = 0;
    // The same for a MIDI sequence, played on a software synthesiser with the system's
    // General MIDI sound font.
    virtual std::unique_ptr<TMediaBackendPlayer> OpenMidi(const QString& path, QString* error) = 0;
};

namespace MediaBackend {

// Raised whenever the classes above change, so that a program never uses a backend library
// built for another layout.
constexpr int Version = 2;
// How long an open may wait for the backend to load the file.
constexpr int OpenTimeoutMs = 5000;
// What a waiting play allows beyond the rest of the file before it gives up.
constexpr int WaitSlackMs = 3000;

// The function the library exports: a new backend when the library was built for `version`,
// else null.
using TCreateFunction = TMediaBackend* (*)(int version);
constexpr const char* CreateFunctionName = "OrvCreateMediaBackend";

} // namespace MediaBackend
